#include "json_check.h"

#include <cstdint>

namespace zvtest {
namespace {

class Reader {
public:
    explicit Reader(const std::string& text) : m_text(text) {}

    bool Document(JsonValue& value)
    {
        Space();
        if (!Value(value)) return false;
        Space();
        return Fail(m_pos == m_text.size(), "trailing characters");
    }
    std::string error;

private:
    bool Fail(bool ok, const char* what)
    {
        if (!ok && error.empty()) error = std::string(what) + " at offset " + std::to_string(m_pos);
        return ok;
    }
    void Space()
    {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' || m_text[m_pos] == '\n' ||
                                         m_text[m_pos] == '\r')) {
            ++m_pos;
        }
    }
    bool Literal(const char* word)
    {
        const std::string w(word);
        if (m_text.compare(m_pos, w.size(), w) != 0) return Fail(false, "bad literal");
        m_pos += w.size();
        return true;
    }
    bool Digits()
    {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9') ++m_pos;
        return m_pos > start;
    }
    bool Number(JsonValue& value)
    {
        const std::size_t start = m_pos;
        if (m_text[m_pos] == '-') ++m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == '0') {
            ++m_pos;
        } else if (!Digits()) {
            return Fail(false, "bad number");
        }
        if (m_pos < m_text.size() && m_text[m_pos] == '.') {
            ++m_pos;
            if (!Digits()) return Fail(false, "bad fraction");
        }
        if (m_pos < m_text.size() && (m_text[m_pos] == 'e' || m_text[m_pos] == 'E')) {
            ++m_pos;
            if (m_pos < m_text.size() && (m_text[m_pos] == '+' || m_text[m_pos] == '-')) ++m_pos;
            if (!Digits()) return Fail(false, "bad exponent");
        }
        value.kind = JsonValue::Number;
        value.text = m_text.substr(start, m_pos - start);
        return true;
    }
    static void AppendUtf8(std::uint32_t c, std::string& out)
    {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    bool Hex4(std::uint32_t& unit)
    {
        if (m_pos + 4 > m_text.size()) return Fail(false, "short \\u escape");
        unit = 0;
        for (int i = 0; i < 4; ++i) {
            char c = m_text[m_pos++];
            unit <<= 4;
            if (c >= '0' && c <= '9') unit |= static_cast<std::uint32_t>(c - '0');
            else if (c >= 'a' && c <= 'f') unit |= static_cast<std::uint32_t>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') unit |= static_cast<std::uint32_t>(c - 'A' + 10);
            else return Fail(false, "bad \\u escape");
        }
        return true;
    }
    bool String(std::string& out)
    {
        ++m_pos; // opening quote
        while (m_pos < m_text.size()) {
            const unsigned char c = static_cast<unsigned char>(m_text[m_pos++]);
            if (c == '"') return true;
            if (c < 0x20) return Fail(false, "raw control character in string");
            if (c != '\\') {
                out.push_back(static_cast<char>(c));
                continue;
            }
            if (m_pos >= m_text.size()) break;
            const char e = m_text[m_pos++];
            switch (e) {
            case '"': out.push_back('"'); break;
            case '\\': out.push_back('\\'); break;
            case '/': out.push_back('/'); break;
            case 'b': out.push_back('\b'); break;
            case 'f': out.push_back('\f'); break;
            case 'n': out.push_back('\n'); break;
            case 'r': out.push_back('\r'); break;
            case 't': out.push_back('\t'); break;
            case 'u': {
                std::uint32_t unit = 0;
                if (!Hex4(unit)) return false;
                AppendUtf8(unit, out);
                break;
            }
            default: return Fail(false, "bad escape");
            }
        }
        return Fail(false, "unterminated string");
    }
    bool Value(JsonValue& value)
    {
        if (m_pos >= m_text.size()) return Fail(false, "missing value");
        const char c = m_text[m_pos];
        if (c == 'n') { value.kind = JsonValue::Null; return Literal("null"); }
        if (c == 't') { value.kind = JsonValue::Bool; value.boolean = true; return Literal("true"); }
        if (c == 'f') { value.kind = JsonValue::Bool; return Literal("false"); }
        if (c == '"') { value.kind = JsonValue::String; return String(value.text); }
        if (c == '[') return Array(value);
        if (c == '{') return Object(value);
        return Number(value);
    }
    bool Array(JsonValue& value)
    {
        value.kind = JsonValue::Array;
        ++m_pos;
        Space();
        if (m_pos < m_text.size() && m_text[m_pos] == ']') { ++m_pos; return true; }
        for (;;) {
            value.items.emplace_back();
            Space();
            if (!Value(value.items.back())) return false;
            Space();
            if (m_pos < m_text.size() && m_text[m_pos] == ',') { ++m_pos; continue; }
            return Fail(m_pos < m_text.size() && m_text[m_pos++] == ']', "expected , or ]");
        }
    }
    bool Object(JsonValue& value)
    {
        value.kind = JsonValue::Object;
        ++m_pos;
        Space();
        if (m_pos < m_text.size() && m_text[m_pos] == '}') { ++m_pos; return true; }
        for (;;) {
            Space();
            if (m_pos >= m_text.size() || m_text[m_pos] != '"') return Fail(false, "expected a member name");
            value.members.emplace_back();
            if (!String(value.members.back().first)) return false;
            Space();
            if (m_pos >= m_text.size() || m_text[m_pos++] != ':') return Fail(false, "expected :");
            Space();
            if (!Value(value.members.back().second)) return false;
            Space();
            if (m_pos < m_text.size() && m_text[m_pos] == ',') { ++m_pos; continue; }
            return Fail(m_pos < m_text.size() && m_text[m_pos++] == '}', "expected , or }");
        }
    }

    const std::string& m_text;
    std::size_t m_pos = 0;
};

} // namespace

const JsonValue* JsonValue::Member(const std::string& name) const
{
    for (const auto& member : members) {
        if (member.first == name) return &member.second;
    }
    return nullptr;
}

bool ParseJson(const std::string& text, JsonValue& value, std::string& error)
{
    Reader reader(text);
    const bool ok = reader.Document(value);
    error = reader.error;
    return ok;
}

} // namespace zvtest
