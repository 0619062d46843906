// Numbers as text, always in the "C" locale whatever the host has set.
#ifndef ZVXML_FOUNDATION_NUMBER_TEXT_H
#define ZVXML_FOUNDATION_NUMBER_TEXT_H

#include <string>

namespace ZVXML {

// "%i": -42 gives "-42".
void AppendLong(long value, std::wstring& out);
std::wstring FormatLong(long value);
// Unsigned decimal: ULONG_MAX gives all its digits.
std::wstring FormatUnsignedLong(unsigned long value);
// "%.15g" with the exponent written with a sign and at least three digits, as
// files written by earlier versions have it: 1e20 gives "1e+020", 0.1 "0.1".
std::wstring FormatDouble(double value);

// wcstol / wcstoul / wcstod in the "C" locale, with their errno behaviour.
long ParseLong(const wchar_t* text, wchar_t** end, int base);
unsigned long ParseUnsignedLong(const wchar_t* text, wchar_t** end, int base);
double ParseDouble(const wchar_t* text, wchar_t** end);

} // namespace ZVXML

#endif
