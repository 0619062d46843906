#include "platform/markup_guard.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ZVXML {
namespace platform {
namespace {

constexpr std::string_view kCommentOpen = "--"; // after "<!"
constexpr std::string_view kCDataOpen = "[CDATA["; // after "<!"

// The first of four bytes in [p, end), or end. Runs inside start tags are
// short, so sixteen bytes are compared at a time inline rather than through
// a library call per run.
const char* FindAny(const char* p, const char* end, char a, char b, char c, char d)
{
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi8(a);
    const __m128i vb = _mm_set1_epi8(b);
    const __m128i vc = _mm_set1_epi8(c);
    const __m128i vd = _mm_set1_epi8(d);
    for (; end - p >= 16; p += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, va), _mm_cmpeq_epi8(x, vb)),
                                          _mm_or_si128(_mm_cmpeq_epi8(x, vc), _mm_cmpeq_epi8(x, vd)));
        if (const int bits = _mm_movemask_epi8(hits)) {
            return p + __builtin_ctz(static_cast<unsigned>(bits));
        }
    }
#endif
    for (; p < end; ++p) {
        if (*p == a || *p == b || *p == c || *p == d) {
            return p;
        }
    }
    return end;
}

const char* Find(const char* p, const char* end, char c)
{
    // Most runs between markup bytes are a few bytes long.
    for (const char* near = p + std::min<std::ptrdiff_t>(end - p, 16); p < near; ++p) {
        if (*p == c) {
            return p;
        }
    }
    const void* found = std::memchr(p, c, static_cast<std::size_t>(end - p));
    return found != nullptr ? static_cast<const char*>(found) : end;
}

} // namespace

bool MarkupGuard::Scan(const char* data, std::size_t size)
{
    const char* const end = data + size;
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
    }
    return !m_failed;
}

// Ordinary tags one after the other, from Text, without going back to the
// state switch: most of a document is this. Returns at the end of the piece,
// at a failure (the place of the '='), or after "<!" or "<?".
const char* MarkupGuard::ScanTags(const char* p, const char* end)
{
    for (;;) {
        const char* open = Find(p, end, '<');
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
            const char* close = Find(p + 1, end, '>');
            if (close == end) {
                return end;
            }
            m_state = State::Text;
            p = close + 1;
            continue;
        }
        m_state = State::StartTag;
        m_attributes = 0;
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
        p = FindAny(p, end, '"', '\'', '=', '>');
        if (p == end) {
            return end;
        }
        const char c = *p;
        if (c == '>') {
            m_state = State::Text;
            return p + 1;
        }
        if (c == '=') {
            if (++m_attributes > kMaxAttributesPerElement) {
                m_failed = true;
                return p;
            }
            ++p;
            continue;
        }
        const char* close = Find(p + 1, end, c);
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
        const char* close = Find(p, end, '>');
        if (close == end) {
            return end;
        }
        m_state = State::Text;
        return close + 1;
    }
    case State::Quoted: {
        const char* quote = Find(p, end, m_quote);
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
            m_attributes = 0;
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
    case State::Declaration:
    case State::EndTag:
        if (c == '>') {
            m_state = State::Text;
        }
        break;
    case State::StartTag:
        if (c == '"' || c == '\'') {
            m_quote = c;
            m_state = State::Quoted;
        } else if (c == '=') {
            m_failed = ++m_attributes > kMaxAttributesPerElement;
        } else if (c == '>') {
            m_state = State::Text;
        }
        break;
    case State::Quoted:
        if (c == m_quote) {
            m_state = State::StartTag;
        }
        break;
    }
}

void MarkupGuard::NotePlace(const char* begin, const char* end)
{
    const std::size_t size = static_cast<std::size_t>(end - begin);
    const long newlines = static_cast<long>(std::count(begin, end, '\n'));
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
    m_violation.line = m_line;
    m_violation.column = m_column + 1;
    m_violation.message = "Element has more than " + std::to_string(kMaxAttributesPerElement) + " attributes";
}

} // namespace platform
} // namespace ZVXML
