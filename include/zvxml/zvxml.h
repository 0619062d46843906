/// @file
/// ZVXML: in-memory object model for ZV schemas and ZV instances, with readers
/// and writers for their XML forms.
///
/// This is the one header a host includes. It needs nothing but the standard
/// library. Reading order:
///   config.h       version and export macro
///   errors.h       the exception family and the log
///   text.h         XML text helpers
///   ids.h          GUIDs, instance identifiers, temporary file names
///   namespaces.h   the namespace URIs of schema files and instance documents
///   dom.h          the XML document tree that schema files go through
///   ownership.h    how shallow copies share objects
///   schema.h       schemas, classes, properties, relationship classes, lookups
///   instance.h     values, the value pool, instances, custom attributes
///   instancexml.h  reading instance documents as a stream, with callbacks
///   factory.h      a ready-made instance factory for a schema
///
/// Everything lives in namespace ZVXML. Text is std::wstring / const wchar_t*
/// (UTF-32 on Linux); files are UTF-8.
///
/// Failures are thrown as ZVXMLException and its subclasses, which are NOT
/// std::exceptions: `catch (const std::exception&)` lets them pass. Write
///   catch (const ZVXML::ZVXMLException& error) { ... error.Message() ... }
/// A failure found in a document also carries its File(), Line() and
/// Column() (see errors.h).
#ifndef ZVXML_ZVXML_H
#define ZVXML_ZVXML_H

#include "config.h"
#include "errors.h"
#include "text.h"
#include "ids.h"
#include "namespaces.h"
#include "dom.h"
#include "ownership.h"
#include "schema.h"
#include "instance.h"
#include "instancexml.h"
#include "factory.h"
#include "instancewriter.h"
#include "instancevalidation.h"

#endif // ZVXML_ZVXML_H
