/// @file
/// ZVXML: the namespace URIs of schema files and instance documents.
#ifndef ZVXML_NAMESPACES_H
#define ZVXML_NAMESPACES_H

#include "config.h"

namespace ZVXML {

/// The namespace of ZVXML 2.0 schema files and instance documents.
ZVXML_API extern const wchar_t* const ZVXML_NAMESPACE_URI;
/// The namespace of the older format, recognised only to be refused.
ZVXML_API extern const wchar_t* const ZVXML_LEGACY_NAMESPACE_URI;

} // namespace ZVXML

#endif // ZVXML_NAMESPACES_H
