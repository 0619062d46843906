#include "platform/sax/sax_attributes_view.h"

#include "platform/sax/sax_wide_text.h"

namespace ZVXML {
namespace platform {
namespace {

enum Field { kLocalName, kPrefix, kUri, kValue, kEnd, kFields };

} // namespace

bool SaxAttributesView::GetValue(const wchar_t* localName, std::wstring& value) const
{
    if (localName == nullptr) {
        return false;
    }
    for (int i = 0; i < m_count; ++i) {
        const Utf8* attribute = m_attributes + i * kFields;
        if (attribute[kUri] != nullptr || !WideEqualsUtf8(localName, attribute[kLocalName])) {
            continue;
        }
        // Entity and character references are already replaced (the parser
        // runs with entity substitution), so the bytes are the value.
        AssignUtf8(attribute[kValue], static_cast<std::size_t>(attribute[kEnd] - attribute[kValue]), value);
        return true;
    }
    return false;
}

} // namespace platform
} // namespace ZVXML
