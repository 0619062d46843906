// Conversion between UTF-8 (files, libxml2) and wide text (the API).
#ifndef ZVXML_FOUNDATION_UTF8_H
#define ZVXML_FOUNDATION_UTF8_H

#include <cstddef>
#include <string>
#include <string_view>

namespace ZVXML {

// Decoding rule of every function below: each maximal invalid sequence
// (stray or missing continuation bytes, overlong forms of three or four
// bytes, encoded surrogates, values above U+10FFFF) becomes one U+FFFD; the
// bytes C0, C1 and F5 to FF start no sequence and each becomes one U+FFFD;
// nothing is dropped silently and nothing is read outside the range. Where wchar_t is 16 bits wide, a
// character above U+FFFF becomes its two UTF-16 halves.

// Decodes the character that starts at text[0] (size > 0) and returns the
// number of bytes it used (at least one).
std::size_t DecodeUtf8Char(const unsigned char* text, std::size_t size, char32_t& out);

// Converts `size` bytes into `out`, which has room for `size` characters
// (the wide form is never longer), and returns the number written.
std::size_t DecodeUtf8(const unsigned char* text, std::size_t size, wchar_t* out);

// Appends the characters of `size` bytes of UTF-8.
void AppendUtf8AsWide(const char* text, std::size_t size, std::wstring& out);
std::wstring Utf8ToWide(std::string_view text);
// For NUL-terminated text; NULL gives "".
std::wstring Utf8ToWide(const char* text);

// Appends the UTF-8 form of `size` wide characters. Characters that have no
// UTF-8 form (lone surrogates, values above U+10FFFF) become U+FFFD; a high
// and a low surrogate next to each other are joined into one character.
void AppendWideAsUtf8(const wchar_t* text, std::size_t size, std::string& out);
// The same for text handed to the XML parser, except that a character with no
// UTF-8 form becomes bytes the parser refuses (a lone surrogate its
// three-byte form, a value above U+10FFFF the byte FF): the parse stops there,
// with its line and column, instead of reading U+FFFD.
void AppendWideAsUtf8ForParser(const wchar_t* text, std::size_t size, std::string& out);
// The number of bytes AppendWideAsUtf8 appends for `text`.
std::size_t Utf8Length(std::wstring_view text);
std::string WideToUtf8(std::wstring_view text);

} // namespace ZVXML

#endif
