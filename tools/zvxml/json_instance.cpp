#include "json_instance.h"

#include <zvxml/text.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <string>
#include <system_error>

namespace zvcli {
namespace {

// What JSON text cannot hold as it is, and the two line separators, which
// JavaScript cannot hold either.
bool NeedsEscape(unsigned long c)
{
    return c < 0x20 || c == '"' || c == '\\' || c == 0x7F || c == 0x2028 || c == 0x2029;
}

void AppendEscaped(unsigned long c, std::string& out)
{
    switch (c) {
    case '"':
        out.append("\\\"");
        return;
    case '\\':
        out.append("\\\\");
        return;
    case '\n':
        out.append("\\n");
        return;
    case '\r':
        out.append("\\r");
        return;
    case '\t':
        out.append("\\t");
        return;
    case '\b':
        out.append("\\b");
        return;
    case '\f':
        out.append("\\f");
        return;
    case 0x2028:
        out.append("\\u2028");
        return;
    case 0x2029:
        out.append("\\u2029");
        return;
    default:
        break;
    }
    static const char digits[] = "0123456789abcdef";
    out.append("\\u00");
    out.push_back(digits[(c >> 4) & 0xF]);
    out.push_back(digits[c & 0xF]);
}

// The JSON number grammar: -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
// but for "-0": JSON readers take it as the integer 0, and the sign would
// be lost on the way back, so it is written as a string.
bool IsJsonNumber(const std::wstring& text)
{
    if (text == L"-0") {
        return false;
    }
    std::size_t i = 0;
    auto digits = [&]() {
        std::size_t start = i;
        while (i < text.size() && text[i] >= L'0' && text[i] <= L'9')
            ++i;
        return i > start;
    };
    if (i < text.size() && text[i] == L'-')
        ++i;
    if (i < text.size() && text[i] == L'0') {
        ++i;
    } else if (!digits()) {
        return false;
    }
    if (i < text.size() && text[i] == L'.') {
        ++i;
        if (!digits())
            return false;
    }
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        ++i;
        if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
            ++i;
        if (!digits())
            return false;
    }
    if (i != text.size()) {
        return false;
    }
    // A number no double holds ("1e400") is no JSON number to a reader of
    // the line: it stays a string.
    const std::string narrow(text.begin(), text.end());
    double number = 0;
    const auto result = std::from_chars(narrow.data(), narrow.data() + narrow.size(), number);
    return result.ec == std::errc() && std::isfinite(number);
}

bool IsNumericType(const wchar_t* type)
{
    return std::wcscmp(type, L"int") == 0 || std::wcscmp(type, L"long") == 0 || std::wcscmp(type, L"double") == 0;
}

void AppendAscii(const std::wstring& text, std::string& out)
{
    for (wchar_t c : text) {
        out.push_back(static_cast<char>(c));
    }
}

void AppendValue(ZVXML::ZVValueBase& value, std::string& out);

void AppendProperties(ZVXML::CZVInstance& instance, std::string& out)
{
    out.push_back('{');
    bool first = true;
    for (std::size_t i = 0; i < instance.GetZVValueCount(); ++i) {
        ZVXML::ZVValueBase* value = instance.GetZVValue(i);
        if (value == nullptr) {
            continue;
        }
        if (!first) {
            out.push_back(',');
        }
        first = false;
        AppendJsonString(value->PropertyName(), out);
        out.push_back(':');
        AppendValue(*value, out);
    }
    out.push_back('}');
}

void AppendPrimitive(ZVXML::CZVValue& value, std::string& out)
{
    if (value.IsNull()) {
        out.append("null");
        return;
    }
    const std::wstring& text = value.Value();
    const wchar_t* type = value.GetProperty() != nullptr ? value.GetProperty()->GetTypeName() : L"string";
    if (IsNumericType(type) && IsJsonNumber(text)) {
        AppendAscii(text, out);
    } else if (std::wcscmp(type, L"boolean") == 0 && (text == L"true" || text == L"false")) {
        AppendAscii(text, out);
    } else {
        AppendJsonString(text, out);
    }
}

void AppendValue(ZVXML::ZVValueBase& value, std::string& out)
{
    if (auto* primitive = dynamic_cast<ZVXML::CZVValue*>(&value)) {
        AppendPrimitive(*primitive, out);
    } else if (auto* structValue = dynamic_cast<ZVXML::ZVStructValue*>(&value)) {
        if (structValue->GetValue() != nullptr) {
            AppendProperties(*structValue->GetValue(), out);
        } else {
            out.append("null");
        }
    } else if (auto* array = dynamic_cast<ZVXML::ZVArrayValue*>(&value)) {
        out.push_back('[');
        for (std::size_t i = 0; i < array->GetLength(); ++i) {
            if (i > 0) {
                out.push_back(',');
            }
            ZVXML::ZVValueBase* member = array->GetValue(i);
            if (member != nullptr) {
                AppendValue(*member, out);
            } else {
                out.append("null");
            }
        }
        out.push_back(']');
    } else {
        out.append("null");
    }
}

} // namespace

void AppendJsonString(const std::wstring& text, std::string& out)
{
    out.push_back('"');
    // Characters between two escapes go through the library's encoder as
    // one run.
    std::size_t run = 0;
    const auto appendRun = [&text, &out, &run](std::size_t end) {
        if (end > run) {
            out += ZVXML::ToUtf8(std::wstring_view(text.data() + run, end - run));
        }
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned long>(text[i]);
        if (NeedsEscape(c)) {
            appendRun(i);
            AppendEscaped(c, out);
            run = i + 1;
        }
    }
    appendRun(text.size());
    out.push_back('"');
}

void AppendInstanceJson(ZVXML::CZVInstance& instance, const ZVXML::ZVRelationshipInstance* relationship,
                        std::string& out)
{
    out.append("{\"class\":");
    AppendJsonString(instance.TypeName(), out);
    out.append(",\"id\":");
    AppendJsonString(instance.InstanceID(), out);
    if (relationship != nullptr) {
        out.append(",\"source\":");
        AppendJsonString(relationship->GetSourceID(), out);
        out.append(",\"target\":");
        AppendJsonString(relationship->GetTargetID(), out);
    }
    out.append(",\"properties\":");
    AppendProperties(instance, out);
    out.push_back('}');
}

} // namespace zvcli
