#include <zvxml/namespaces.h>

namespace ZVXML {

const wchar_t* const ZVXML_NAMESPACE_URI = L"http://www.molvane.com/schemas/Molvane.ZVXML.2.0";
const wchar_t* const ZVXML_LEGACY_NAMESPACE_URI = L"http://www.molvane.com/schemas/1.2/ZVXML";

} // namespace ZVXML
