#include "instancexml/primitive_text_rules.h"

#include "foundation/number_text.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

using namespace std::string_view_literals;

namespace ZVXML {
namespace {

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

std::wstring_view Trimmed(std::wstring_view text)
{
    while (!text.empty() && IsSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// An optional sign and one or more digits, nothing else.
bool IsIntegerForm(std::wstring_view text)
{
    if (!text.empty() && (text.front() == L'+' || text.front() == L'-')) {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return false;
    }
    for (wchar_t c : text) {
        if (!IsDigit(c)) {
            return false;
        }
    }
    return true;
}

// Whether the integer `text` (in IsIntegerForm) lies in [low, high].
bool IsIntegerInRange(std::wstring_view text, std::int64_t low, std::int64_t high)
{
    const bool negative = text.front() == L'-';
    if (negative || text.front() == L'+') {
        text.remove_prefix(1);
    }
    while (text.size() > 1 && text.front() == L'0') {
        text.remove_prefix(1);
    }
    // 19 digits always fit in 64 unsigned bits; more never fit in a long.
    if (text.size() > 19) {
        return false;
    }
    std::uint64_t magnitude = 0;
    for (const wchar_t c : text) {
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(c - L'0');
    }
    const std::uint64_t limit =
        negative ? static_cast<std::uint64_t>(-(low + 1)) + 1 : static_cast<std::uint64_t>(high);
    return magnitude <= limit;
}

std::wstring IntegerProblem(std::wstring_view text, std::int64_t low, std::int64_t high, const wchar_t* type)
{
    if (!IsIntegerForm(text)) {
        return std::wstring(L"is not ") + (type[0] == L'i' ? L"an " : L"a ") + type;
    }
    if (!IsIntegerInRange(text, low, high)) {
        return std::wstring(L"is out of the range of ") + type;
    }
    return std::wstring();
}

// Digits with an optional fraction and an optional exponent, after an
// optional sign. `mayOverflow`: the value may be too large for a double
// (it has an exponent, or more integer digits than the largest double).
bool IsDecimalForm(std::wstring_view text, bool& mayOverflow)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        ++i;
    }
    std::size_t digits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        ++digits;
    }
    mayOverflow = digits > 308;
    if (i < text.size() && text[i] == L'.') {
        for (++i; i < text.size() && IsDigit(text[i]); ++i) {
            ++digits;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        mayOverflow = true;
        ++i;
        if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
            ++i;
        }
        const std::size_t start = i;
        while (i < text.size() && IsDigit(text[i])) {
            ++i;
        }
        if (i == start) {
            return false;
        }
    }
    return i == text.size();
}

bool IsDouble(std::wstring_view text, bool& outOfRange)
{
    outOfRange = false;
    if (text == L"INF"sv || text == L"-INF"sv || text == L"+INF"sv || text == L"NaN"sv) {
        return true;
    }
    // What SetValue(double) writes for infinities and NaN.
    if (text == L"inf"sv || text == L"-inf"sv || text == L"nan"sv || text == L"-nan"sv) {
        return true;
    }
    bool mayOverflow = false;
    if (!IsDecimalForm(text, mayOverflow)) {
        return false;
    }
    if (!mayOverflow) {
        return true;
    }
    // A magnitude too large reads as an infinity; one too small reads as 0
    // or a subnormal number, which is accepted. The exponent alone cannot
    // tell them apart: 400 digits before "e-11" are still too large.
    const std::wstring whole(text);
    errno = 0;
    const double value = ParseDouble(whole.c_str(), nullptr);
    outOfRange = errno == ERANGE && std::isinf(value);
    return true;
}

std::wstring DoubleProblem(std::wstring_view text)
{
    bool outOfRange = false;
    if (!IsDouble(text, outOfRange)) {
        return L"is not a double";
    }
    return outOfRange ? L"is out of the range of double" : L"";
}

// Whether `text` is `lower` in any mix of cases; `lower` is lower-case ASCII.
bool EqualsIgnoringCase(std::wstring_view text, std::wstring_view lower)
{
    if (text.size() != lower.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if ((c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c) != lower[i]) {
            return false;
        }
    }
    return true;
}

bool IsBoolean(std::wstring_view text)
{
    return text == L"1"sv || text == L"0"sv || EqualsIgnoringCase(text, L"true"sv) ||
           EqualsIgnoringCase(text, L"false"sv);
}

// Exactly `count` digits at `at`, as a number; -1 otherwise.
long Digits(std::wstring_view text, std::size_t at, std::size_t count)
{
    if (at + count > text.size()) {
        return -1;
    }
    long value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (!IsDigit(text[i])) {
            return -1;
        }
        value = value * 10 + (text[i] - L'0');
    }
    return value;
}

int DaysInMonth(long year, long month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

bool IsZone(std::wstring_view zone)
{
    if (zone.empty() || zone == L"Z"sv) {
        return true;
    }
    if (zone.size() != 6 || (zone[0] != L'+' && zone[0] != L'-') || zone[3] != L':') {
        return false;
    }
    const long hours = Digits(zone, 1, 2);
    const long minutes = Digits(zone, 4, 2);
    return hours >= 0 && minutes >= 0 && (hours < 14 ? minutes < 60 : hours == 14 && minutes == 0);
}

bool IsDateTime(std::wstring_view text)
{
    std::size_t i = text.size() > 0 && text[0] == L'-' ? 1 : 0;
    const std::size_t yearStart = i;
    long year = 0; // modulo 400, all the leap-year rule needs: a year may have any number of digits
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        year = (year * 10 + (text[i] - L'0')) % 400;
    }
    if (i - yearStart < 4 || i >= text.size() || text[i] != L'-') {
        return false;
    }
    const std::wstring_view rest = text.substr(i);
    // "-MM-DDThh:mm:ss" is 15 characters.
    if (rest.size() < 15 || rest[3] != L'-' || rest[6] != L'T' || rest[9] != L':' || rest[12] != L':') {
        return false;
    }
    const long month = Digits(rest, 1, 2);
    const long day = Digits(rest, 4, 2);
    const long hour = Digits(rest, 7, 2);
    const long minute = Digits(rest, 10, 2);
    const long second = Digits(rest, 13, 2);
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 59) {
        return false;
    }
    std::size_t j = 15;
    if (j < rest.size() && rest[j] == L'.') {
        const std::size_t start = ++j;
        while (j < rest.size() && IsDigit(rest[j])) {
            ++j;
        }
        if (j == start) {
            return false;
        }
    }
    return IsZone(rest.substr(j));
}

bool IsPoint3d(std::wstring_view text)
{
    int parts = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (parts > 0) {
            // A separator: white space, a comma, or a comma with white space.
            const std::size_t start = i;
            bool comma = false;
            while (i < text.size() && (IsSpace(text[i]) || (text[i] == L',' && !comma))) {
                comma = comma || text[i] == L',';
                ++i;
            }
            if (i == start) {
                return false;
            }
        }
        const std::size_t start = i;
        while (i < text.size() && !IsSpace(text[i]) && text[i] != L',') {
            ++i;
        }
        bool outOfRange = false;
        if (!IsDouble(text.substr(start, i - start), outOfRange) || outOfRange) {
            return false;
        }
        ++parts;
    }
    return parts == 3;
}

bool IsBase64(std::wstring_view text)
{
    std::size_t count = 0;
    std::size_t padding = 0;
    for (wchar_t c : text) {
        if (IsSpace(c)) {
            continue;
        }
        const bool letter =
            (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || IsDigit(c) || c == L'+' || c == L'/';
        if (c == L'=') {
            ++padding;
        } else if (!letter || padding > 0) {
            return false;
        }
        ++count;
    }
    return count % 4 == 0 && padding <= 2;
}

} // namespace

PrimitiveType PrimitiveTypeOf(std::wstring_view typeName)
{
    static constexpr std::pair<std::wstring_view, PrimitiveType> kNames[] = {
        {L"string"sv, PrimitiveType::String},   {L"int"sv, PrimitiveType::Int},
        {L"long"sv, PrimitiveType::Long},       {L"double"sv, PrimitiveType::Double},
        {L"boolean"sv, PrimitiveType::Boolean}, {L"dateTime"sv, PrimitiveType::DateTime},
        {L"point3d"sv, PrimitiveType::Point3d}, {L"binary"sv, PrimitiveType::Binary},
    };
    for (const auto& [name, type] : kNames) {
        if (typeName == name) {
            return type;
        }
    }
    return PrimitiveType::NotPrimitive;
}

std::wstring PrimitiveTextProblem(PrimitiveType type, std::wstring_view whole)
{
    const std::wstring_view text = Trimmed(whole);
    switch (type) {
    case PrimitiveType::Int:
        return IntegerProblem(text, INT32_MIN, INT32_MAX, L"int");
    case PrimitiveType::Long:
        return IntegerProblem(text, INT64_MIN, INT64_MAX, L"long");
    case PrimitiveType::Double:
        return DoubleProblem(text);
    case PrimitiveType::Boolean:
        return IsBoolean(text) ? L"" : L"is not a boolean";
    case PrimitiveType::DateTime:
        return IsDateTime(text) ? L"" : L"is not a dateTime";
    case PrimitiveType::Point3d:
        return IsPoint3d(text) ? L"" : L"is not a point3d";
    case PrimitiveType::Binary:
        return IsBase64(text) ? L"" : L"is not binary (base64)";
    case PrimitiveType::String:
    case PrimitiveType::NotPrimitive:
        break;
    }
    return std::wstring();
}

} // namespace ZVXML
