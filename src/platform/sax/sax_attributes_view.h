// SaxAttributes over the attribute array of libxml2's SAX2 start event:
// five pointers per attribute (local name, prefix, namespace URI, value,
// end of value), all UTF-8. Nothing is converted unless a value is asked for.
#ifndef ZVXML_PLATFORM_SAX_SAX_ATTRIBUTES_VIEW_H
#define ZVXML_PLATFORM_SAX_SAX_ATTRIBUTES_VIEW_H

#include "platform/sax/sax_reader.h"

namespace ZVXML {
namespace platform {

class SaxAttributesView final : public SaxAttributes {
public:
    using Utf8 = const unsigned char*;

    SaxAttributesView(const Utf8* attributes, int count) : m_attributes(attributes), m_count(count) {}

    bool GetValue(const wchar_t* localName, std::wstring& value) const override;
    std::size_t Count() const override { return static_cast<std::size_t>(m_count); }

private:
    const Utf8* m_attributes;
    int m_count;
};

} // namespace platform
} // namespace ZVXML

#endif
