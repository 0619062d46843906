#include "platform/dom/attribute_range.h"

#include "foundation/per_thread.h"
#include "platform/dom/node_position.h"
#include "platform/dom/node_text.h"
#include "platform/libxml_resources.h"

#include <string_view>

namespace ZVXML {
namespace platform {
namespace {

// The strings of finished ranges, kept for the next ranges on the same
// thread: a load then allocates nothing per element for its attributes.
// Only a few are kept, and none grown by a long value, so what stays behind
// is small.
struct SpareAttributes {
    static constexpr std::size_t kKept = 8;
    static constexpr std::size_t kLongestKept = 256; // characters, name or value

    XMLAttribute kept[kKept];
    std::size_t count = 0;
};

// None once the thread's own objects are destroyed: ranges then keep
// nothing.
SpareAttributes* ThreadSpares() { return detail::PerThread<SpareAttributes>::Get(); }

bool Keepable(const XMLAttribute& attribute)
{
    return attribute.name.capacity() <= SpareAttributes::kLongestKept &&
           attribute.value.capacity() <= SpareAttributes::kLongestKept;
}

bool IsText(const xmlNode& node) { return node.type == XML_TEXT_NODE || node.type == XML_CDATA_SECTION_NODE; }

void AssignValue(const xmlAttr& attribute, std::wstring& into)
{
    const xmlNode* only = attribute.children;
    if (only != nullptr && only->next == nullptr && IsText(*only)) {
        into.clear();
        AppendWide(only->content, into); // the usual case: one piece of text
        return;
    }
    const std::string text = AttributeText(attribute);
    into.clear();
    AppendUtf8AsWide(text.data(), text.size(), into);
}

} // namespace

bool IsNamespaceDeclaration(const XMLAttribute& attribute)
{
    const std::wstring_view name = attribute.name;
    const std::wstring_view declaration = L"xmlns";
    return name.substr(0, declaration.size()) == declaration &&
           (name.size() == declaration.size() || name[declaration.size()] == L':');
}

void ReadAttribute(const xmlAttr& attribute, XMLAttribute& into)
{
    const xmlChar* prefix = attribute.ns != nullptr ? attribute.ns->prefix : nullptr;
    into.name.clear();
    if (prefix != nullptr) {
        AppendWide(prefix, into.name);
        into.name.push_back(L':');
    }
    AppendWide(attribute.name, into.name);
    AssignValue(attribute, into.value);
}

AttributeRange::AttributeRange(XMLNode element)
{
    SpareAttributes* spares = ThreadSpares();
    if (spares != nullptr && spares->count > 0) {
        m_current = std::move(spares->kept[--spares->count]);
    }
    const xmlNodePtr node = XMLNode::Access::Node(element);
    if (node != nullptr && node->type == XML_ELEMENT_NODE) {
        m_at = node->properties;
        Settle(false);
    }
}

AttributeRange::~AttributeRange()
{
    SpareAttributes* spares = ThreadSpares();
    if (spares != nullptr && spares->count < SpareAttributes::kKept && Keepable(m_current)) {
        spares->kept[spares->count++] = std::move(m_current);
    }
}

void AttributeRange::Settle(bool past)
{
    if (past && m_at != nullptr) {
        m_at = m_at->next;
    }
    for (; m_at != nullptr; m_at = m_at->next) {
        ReadAttribute(*m_at, m_current);
        if (!IsNamespaceDeclaration(m_current)) {
            return;
        }
    }
}

} // namespace platform
} // namespace ZVXML
