// What a writer is writing, so that a text it cannot write is refused with
// a message that names the item the text belongs to.
//
// Each writer of an item opens a scope for as long as it writes that item;
// scopes nest as the items do ("ZVProperty 'Flow' of ZVClass 'Pump'"). The
// chain is kept per thread, so writers on separate threads do not meet.
#ifndef ZVXML_FOUNDATION_WRITING_SCOPE_H
#define ZVXML_FOUNDATION_WRITING_SCOPE_H

#include <cstddef>
#include <string>
#include <string_view>

namespace ZVXML {

class WritingScope {
public:
    // `kind` names the kind of item ("ZVClass"); `name` is the item's name,
    // or NULL for an item named by its kind alone. Both texts must outlive
    // the scope.
    WritingScope(const wchar_t* kind, const wchar_t* name) noexcept;
    ~WritingScope();
    WritingScope(const WritingScope&) = delete;
    WritingScope& operator=(const WritingScope&) = delete;

    // The open scopes from the innermost out: "ZVProperty 'Flow' of ZVClass
    // 'Pump'"; empty when none is open.
    static std::wstring Describe();
    // Describe() from the innermost scope of `kind` outwards (empty when none
    // is of that kind): the item a nested part belongs to.
    static std::wstring DescribeFrom(const wchar_t* kind);

private:
    static std::wstring DescribeOutwards(const WritingScope* innermost);

    const wchar_t* m_kind;
    const wchar_t* m_name;
    WritingScope* m_outer;
};

// Every text a writer puts into a document passes here first. Throws
// ZVXMLFormatError when `text` holds a character XML 1.0 cannot carry:
// "Cannot write <item>: its <what> holds U+0002, a character XML 1.0 cannot
// carry." with the item of the open scopes and the first such character.
// NULL passes (the document writes it as an empty text).
void RequireWritableText(const wchar_t* text, const wchar_t* what);
// The same for the whole of `text`: a NUL inside it is refused as U+0000
// rather than taken for its end.
void RequireWritableText(const std::wstring& text, const wchar_t* what);

// Throws ZVXMLFormatError when `text` takes more than `limit` bytes of UTF-8:
// "Cannot write <item>: its <what> is longer than <limit> bytes, more than a
// reader of the document accepts."
void RequireReadableLength(std::wstring_view text, std::size_t limit, const wchar_t* what);

// Every element name and namespace prefix a writer puts into a document
// passes here first. Throws ZVXMLFormatError when `name` cannot be an XML
// name without ':' (IsXmlLocalName): "Cannot write <item>: its <what> '<name>'
// is not an XML name." with the item of the open scopes.
void RequireWritableName(const wchar_t* name, const wchar_t* what);

} // namespace ZVXML

#endif
