#include "platform/markup_guard.h"

#include <cstring>
#include <string_view>

namespace ZVXML {
namespace platform {
namespace {

constexpr std::string_view kCommentOpen = "--";   // after "<!"
constexpr std::string_view kCDataOpen = "[CDATA["; // after "<!"

} // namespace

bool MarkupGuard::Scan(const char* data, std::size_t size)
{
    const char* end = data + size;
    while (data < end && !m_failed) {
        if (m_state == State::Text) {
            // Text is most of a document: skip to the next tag in one step.
            const void* tag = std::memchr(data, '<', static_cast<std::size_t>(end - data));
            const char* stop = tag != nullptr ? static_cast<const char*>(tag) : end;
            for (const char* p = data; p < stop; ++p) {
                if (*p == '\n') {
                    ++m_line;
                    m_column = 0;
                } else {
                    ++m_column;
                }
            }
            data = stop;
            if (data == end) {
                break;
            }
        }
        Step(*data++);
    }
    return !m_failed;
}

void MarkupGuard::Step(char c)
{
    if (c == '\n') {
        ++m_line;
        m_column = 0;
    } else {
        ++m_column;
    }
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
            if (++m_attributes > kMaxAttributesPerElement) {
                Fail();
            }
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

void MarkupGuard::Fail()
{
    m_failed = true;
    m_violation.line = m_line;
    m_violation.column = m_column;
    m_violation.message = "Element has more than " + std::to_string(kMaxAttributesPerElement) + " attributes";
}

} // namespace platform
} // namespace ZVXML
