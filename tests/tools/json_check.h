// A strict JSON checker for the program's output: it accepts exactly the
// JSON grammar, so a line any JSON reader would refuse fails the test.
#ifndef ZVXML_TESTS_TOOLS_JSON_CHECK_H
#define ZVXML_TESTS_TOOLS_JSON_CHECK_H

#include <cctype>
#include <cstring>
#include <string>

namespace zvtest {

class JsonCheck {
public:
    // "" when `text` is one complete JSON value, else where it stops being one.
    static std::string Error(const std::string& text)
    {
        JsonCheck check(text);
        const bool ok = check.Value() && check.m_pos == text.size();
        return ok ? "" : "not JSON from offset " + std::to_string(check.m_pos);
    }

private:
    explicit JsonCheck(const std::string& text) : m_text(text) {}
    char Peek() const { return m_pos < m_text.size() ? m_text[m_pos] : '\0'; }
    bool Eat(char c)
    {
        if (c == '\0' || Peek() != c) return false;
        ++m_pos;
        return true;
    }
    void Space()
    {
        while (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r') ++m_pos;
    }
    bool Digits()
    {
        const std::size_t start = m_pos;
        while (std::isdigit(static_cast<unsigned char>(Peek()))) ++m_pos;
        return m_pos > start;
    }
    bool Literal(const char* word)
    {
        const std::size_t length = std::strlen(word);
        if (m_text.compare(m_pos, length, word) != 0) return false;
        m_pos += length;
        return true;
    }
    bool Number()
    {
        Eat('-');
        if (!Eat('0') && !Digits()) return false;
        if (Eat('.') && !Digits()) return false;
        if (Eat('e') || Eat('E')) {
            if (!Eat('+')) Eat('-');
            return Digits();
        }
        return true;
    }
    bool String()
    {
        if (!Eat('"')) return false;
        while (m_pos < m_text.size()) {
            const unsigned char c = static_cast<unsigned char>(m_text[m_pos++]);
            if (c == '"') return true;
            if (c < 0x20) return false; // control characters must be escaped
            if (c == '\\' && Eat('u')) {
                for (int i = 0; i < 4; ++i) {
                    if (!std::isxdigit(static_cast<unsigned char>(Peek()))) return false;
                    ++m_pos;
                }
            } else if (c == '\\' && !(Eat('"') || Eat('\\') || Eat('/') || Eat('b') || Eat('f') || Eat('n') ||
                                      Eat('r') || Eat('t'))) {
                return false;
            }
        }
        return false;
    }
    // The items of an array or the members of an object, up to `close`.
    bool Items(char close, bool named)
    {
        ++m_pos;
        Space();
        if (Eat(close)) return true;
        do {
            Space();
            if (named && !String()) return false;
            Space();
            if ((named && !Eat(':')) || !Value()) return false;
        } while (Eat(','));
        return Eat(close);
    }
    bool Value()
    {
        Space();
        const char c = Peek();
        const bool ok = c == '{' ? Items('}', true) : c == '[' ? Items(']', false) : c == '"' ? String()
                      : c == 't' ? Literal("true") : c == 'f' ? Literal("false") : c == 'n' ? Literal("null")
                      : Number();
        Space();
        return ok;
    }

    const std::string& m_text;
    std::size_t m_pos = 0;
};

} // namespace zvtest

#endif
