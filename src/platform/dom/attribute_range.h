// An element's attributes read in place, one at a time, into a single
// XMLAttribute whose strings keep their room from one attribute to the next.
// Loading a large schema file reads millions of attributes; building a fresh
// vector and fresh strings for each element was a fifth of the load.
#ifndef ZVXML_PLATFORM_DOM_ATTRIBUTE_RANGE_H
#define ZVXML_PLATFORM_DOM_ATTRIBUTE_RANGE_H

#include <zvxml/dom.h>

#include <cstddef>
#include <iterator>

struct _xmlAttr;

namespace ZVXML {
namespace platform {

// Whether `attribute` is a namespace declaration ("xmlns" or "xmlns:p").
bool IsNamespaceDeclaration(const XMLAttribute& attribute);

// Replaces `into` with the qualified name and the value of `attribute`,
// reusing the room its strings already have.
void ReadAttribute(const _xmlAttr& attribute, XMLAttribute& into);

// The attributes of an element, less its namespace declarations, in document
// order; none for a node that is not an element. Use it in a range-based for:
// each attribute is valid until the loop moves on.
class AttributeRange {
public:
    explicit AttributeRange(XMLNode element);
    ~AttributeRange();
    AttributeRange(const AttributeRange&) = delete;
    AttributeRange& operator=(const AttributeRange&) = delete;

    class Iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = XMLAttribute;
        using difference_type = std::ptrdiff_t;
        using pointer = const XMLAttribute*;
        using reference = const XMLAttribute&;

        explicit Iterator(AttributeRange* range) : m_range(range) {}
        reference operator*() const { return m_range->m_current; }
        pointer operator->() const { return &m_range->m_current; }
        Iterator& operator++()
        {
            m_range->Advance();
            return *this;
        }
        bool operator==(const Iterator& other) const { return AtEnd() == other.AtEnd(); }
        bool operator!=(const Iterator& other) const { return !(*this == other); }

    private:
        bool AtEnd() const { return m_range == nullptr || m_range->m_at == nullptr; }
        AttributeRange* m_range;
    };

    Iterator begin() { return Iterator(this); }
    Iterator end() { return Iterator(nullptr); }

private:
    // Moves to the next attribute that is not a declaration, from m_at's
    // successor when `past` is set.
    void Settle(bool past);
    void Advance() { Settle(true); }

    const _xmlAttr* m_at = nullptr;
    XMLAttribute m_current;
};

} // namespace platform
} // namespace ZVXML

#endif
