// ZVXML: the namespace URIs of ZVXML documents.
//
// Schema files and instance documents put their elements in the ZVXML 2.0
// namespace. Files of the older 1.2 form use the legacy namespace; the schema
// reader recognises it only to refuse it with its own result code.
#ifndef ZVXML_NAMESPACES_H
#define ZVXML_NAMESPACES_H

namespace ZVXML {

inline constexpr const wchar_t* ZVXML_NAMESPACE_URI = L"http://www.molvane.com/schemas/Molvane.ZVXML.2.0";
inline constexpr const wchar_t* ZVXML_LEGACY_NAMESPACE_URI = L"http://www.molvane.com/schemas/1.2/ZVXML";

} // namespace ZVXML

#endif // ZVXML_NAMESPACES_H
