#include "platform/markup_guard.h"

#include "platform/byte_search.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace ZVXML {
namespace platform {
namespace {

constexpr std::string_view kCommentOpen = "--"; // after "<!"
constexpr std::string_view kCDataOpen = "[CDATA["; // after "<!"

constexpr bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// What an attribute name in a start tag can hold, as far as finding its start
// goes. A table: the guard walks back over every attribute name of a
// document.
struct NameBytes {
    bool is[256] = {};
    constexpr NameBytes()
    {
        for (int c = 0; c < 256; ++c) {
            const char byte = static_cast<char>(c);
            is[c] = !IsSpace(byte) && byte != '"' && byte != '\'' && byte != '=' && byte != '<';
        }
    }
};
constexpr NameBytes kNameBytes;

bool IsNameByte(char c) { return kNameBytes.is[static_cast<unsigned char>(c)]; }

} // namespace

bool MarkupGuard::Scan(const char* data, std::size_t size)
{
    const char* const end = data + size;
    m_pieceStart = data;
    for (const char* p = data; p < end && !m_failed;) {
        const char* next = m_state == State::Text ? ScanTags(p, end) : Advance(p, end);
        if (m_failed) {
            Fail(data, next);
            break;
        }
        p = next;
    }
    if (!m_failed) {
        NotePlace(data, end);
        if (m_state == State::StartTag) {
            CarryName(end);
        }
        if (size != 0) {
            m_lastByte = end[-1];
        }
    }
    return !m_failed;
}

// Ordinary tags one after the other, from Text, without going back to the
// state switch: most of a document is this. Returns at the end of the piece,
// at a failure (the place of the '='), or after "<!" or "<?".
const char* MarkupGuard::ScanTags(const char* p, const char* end)
{
    for (;;) {
        const char* open = FindByte(p, end, '<');
        if (open == end) {
            return end;
        }
        p = open + 1;
        m_state = State::TagOpen;
        if (p == end || *p == '!' || *p == '?') {
            return p;
        }
        if (*p == '/') {
            m_state = State::EndTag;
            const char* close = FindByte(p + 1, end, '>');
            if (close == end) {
                return end;
            }
            m_state = State::Text;
            EndEndTag();
            p = close + 1;
            continue;
        }
        m_state = State::StartTag;
        BeginStartTag();
        p = ScanStartTag(p, end);
        if (m_state != State::Text || m_failed) {
            return p;
        }
    }
}

// The rest of a start tag: counts its '=' signs outside quoted values.
const char* MarkupGuard::ScanStartTag(const char* p, const char* end)
{
    for (;;) {
        p = FindAnyOf4(p, end, '"', '\'', '=', '>');
        if (p == end) {
            return end;
        }
        const char c = *p;
        if (c == '>') {
            EndStartTag((p > m_pieceStart ? p[-1] : m_lastByte) == '/');
            m_state = State::Text;
            return p + 1;
        }
        if (c == '=') {
            if (!CountAttribute(p)) {
                m_failed = true;
                return p;
            }
            ++p;
            continue;
        }
        const char* close = FindByte(p + 1, end, c);
        if (close == end) {
            m_quote = c;
            m_state = State::Quoted;
            return end;
        }
        p = close + 1;
    }
}

const char* MarkupGuard::Advance(const char* p, const char* end)
{
    switch (m_state) {
    case State::Declaration:
    case State::EndTag: {
        const char* close = FindByte(p, end, '>');
        if (close == end) {
            return end;
        }
        if (m_state == State::EndTag) {
            EndEndTag();
        }
        m_state = State::Text;
        return close + 1;
    }
    case State::Quoted: {
        const char* quote = FindByte(p, end, m_quote);
        if (quote == end) {
            return end;
        }
        m_state = State::StartTag;
        return quote + 1;
    }
    case State::StartTag:
        return ScanStartTag(p, end);
    default:
        Step(*p);
        return p + 1;
    }
}

void MarkupGuard::Step(char c)
{
    switch (m_state) {
    case State::Text:
        m_state = State::TagOpen;
        break;
    case State::TagOpen:
        if (c == '!') {
            m_state = State::Bang;
            m_matched = 0;
        } else if (c == '?') {
            m_state = State::Instruction;
            m_matched = 0;
        } else if (c == '/') {
            m_state = State::EndTag;
        } else {
            m_state = State::StartTag;
            BeginStartTag();
        }
        break;
    case State::Bang: {
        // Which of "<!--", "<![CDATA[" or a declaration this is.
        m_opening[m_matched++] = c;
        const std::string_view seen(m_opening, m_matched);
        if (seen == kCommentOpen) {
            m_state = State::Comment;
            m_matched = 0;
        } else if (seen == kCDataOpen) {
            m_state = State::CData;
            m_matched = 0;
        } else if (std::string_view(kCommentOpen).substr(0, m_matched) != seen &&
                   std::string_view(kCDataOpen).substr(0, m_matched) != seen) {
            m_state = c == '>' ? State::Text : State::Declaration;
        }
        break;
    }
    case State::Comment: // ends with "-->"
        if (c == '-') {
            m_matched = m_matched < 2 ? m_matched + 1 : 2;
        } else {
            m_state = (c == '>' && m_matched == 2) ? State::Text : State::Comment;
            m_matched = 0;
        }
        break;
    case State::CData: // ends with "]]>"
        if (c == ']') {
            m_matched = m_matched < 2 ? m_matched + 1 : 2;
        } else {
            m_state = (c == '>' && m_matched == 2) ? State::Text : State::CData;
            m_matched = 0;
        }
        break;
    case State::Instruction: // ends with "?>"
        m_state = (c == '>' && m_matched == 1) ? State::Text : State::Instruction;
        m_matched = c == '?' ? 1 : 0;
        break;
    default: // Advance scans the other states in runs
        break;
    }
}

void MarkupGuard::BeginStartTag()
{
    m_attributes = 0;
    m_declarations = 0;
    m_carried = NameStart();
}

void MarkupGuard::CarryName(const char* end)
{
    const char* tokenEnd = end;
    while (tokenEnd > m_pieceStart && IsSpace(tokenEnd[-1])) {
        --tokenEnd;
    }
    const char* token = tokenEnd;
    while (token > m_pieceStart && IsNameByte(token[-1])) {
        --token;
    }
    if (token == tokenEnd) {
        if (tokenEnd > m_pieceStart) {
            m_carried = NameStart(); // the piece ends after a value, an '=' or a tag's name
        }
        m_carried.open = m_carried.open && end == m_pieceStart;
        return;
    }
    if (token > m_pieceStart || !m_carried.open) {
        m_carried.Assign(token, tokenEnd);
    } else {
        m_carried.Append(token, tokenEnd); // the whole piece goes on with the carried name
    }
    m_carried.open = tokenEnd == end;
}

void MarkupGuard::NameStart::Assign(const char* begin, const char* end)
{
    *this = NameStart();
    Append(begin, end);
}

void MarkupGuard::NameStart::Append(const char* begin, const char* end)
{
    const char* p = begin;
    for (; p < end && length < sizeof head; ++p) {
        head[length++] = *p;
    }
    length += static_cast<std::size_t>(end - p);
}

bool MarkupGuard::NameStart::IsNamespaceDeclaration() const
{
    const std::string_view start(head, std::min(length, sizeof head));
    return (length == 5 && start == "xmlns") || (length > 6 && start == "xmlns:");
}

bool MarkupGuard::CountAttribute(const char* equals)
{
    if (++m_attributes > kMaxAttributesPerElement) {
        m_problem = MarkupProblem::TooManyAttributes;
        return false;
    }
    // The name before the '=' (white space may come between), which may
    // have begun in an earlier piece.
    const char* nameEnd = equals;
    while (nameEnd > m_pieceStart && IsSpace(nameEnd[-1])) {
        --nameEnd;
    }
    const char* name = nameEnd;
    while (name > m_pieceStart && IsNameByte(name[-1])) {
        --name;
    }
    NameStart found;
    if (name > m_pieceStart) {
        found.Assign(name, nameEnd);
    } else if (nameEnd > name) { // the name starts the piece, and may go on from the last
        if (m_carried.open) {
            found = m_carried;
        }
        found.Append(name, nameEnd);
    } else {
        found = m_carried; // only white space between the piece's start and the '='
    }
    if (!found.IsNamespaceDeclaration()) {
        return true;
    }
    if (m_inScope + ++m_declarations > kMaxNamespaceDeclarationsInScope) {
        m_problem = MarkupProblem::TooManyNamespaceDeclarations;
        return false;
    }
    return true;
}

void MarkupGuard::EndStartTag(bool selfClosing)
{
    if (selfClosing) {
        return; // its declarations leave scope with it
    }
    ++m_depth;
    if (m_declarations != 0) {
        m_scopes.push_back(Scope{m_depth, m_declarations});
        m_inScope += m_declarations;
    }
}

void MarkupGuard::EndEndTag()
{
    if (m_depth == 0) {
        return; // an end tag without a start: libxml2 reports it
    }
    if (!m_scopes.empty() && m_scopes.back().depth == m_depth) {
        m_inScope -= m_scopes.back().declarations;
        m_scopes.pop_back();
    }
    --m_depth;
}

void MarkupGuard::NotePlace(const char* begin, const char* end)
{
    const std::size_t size = static_cast<std::size_t>(end - begin);
    const long newlines = static_cast<long>(CountByte(begin, end, '\n'));
    if (newlines == 0) {
        m_column += static_cast<long>(size);
        return;
    }
    m_line += newlines;
    const char* lastNewline = static_cast<const char*>(memrchr(begin, '\n', size));
    m_column = static_cast<long>(end - lastNewline - 1);
}

void MarkupGuard::Fail(const char* begin, const char* at)
{
    NotePlace(begin, at);
    m_violation.problem = m_problem;
    m_violation.line = m_line;
    m_violation.column = m_column + 1;
    m_violation.message =
        m_problem == MarkupProblem::TooManyAttributes
            ? "Element has more than " + std::to_string(kMaxAttributesPerElement) + " attributes"
            : "More than " + std::to_string(kMaxNamespaceDeclarationsInScope) + " namespace declarations in scope";
}

} // namespace platform
} // namespace ZVXML
