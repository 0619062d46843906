/// @file
/// ZVXML: text helpers for XML.
///
/// Stateless functions, safe on any thread. Wide text is UTF-32 on Linux; where
/// a rule is defined on UTF-16 code units, a character above U+FFFF is treated
/// as its two UTF-16 halves would be (see each function).
#ifndef ZVXML_TEXT_H
#define ZVXML_TEXT_H

#include "config.h"

#include <string>
#include <string_view>

namespace ZVXML {

/// Sets `result` to `text` escaped for XML character data or a quoted attribute
/// value: & < > " ' become entity references; tab, line feed, carriage return
/// and printable ASCII stay; other control characters, lone surrogates, U+FFFE
/// and U+FFFF become "?"; every other character becomes `&#xHEX;` (upper-case
/// digits, whole character, also above U+FFFF). Throws ZVXMLInvalidArgument for
/// a NULL text.
ZVXML_API void ConvertToXmlString(const wchar_t* text, std::wstring& result);

/// Makes `name` a valid XML tag name in place: every character that is not "_",
/// a letter, or (after the first position) a letter or digit becomes the token
/// "__xhhhh__" (four lower-case hex digits; a character above U+FFFF becomes the
/// two tokens of its UTF-16 surrogate halves). Letters and digits are those of
/// Unicode, whatever the host's locale. Returns 1 when anything was replaced.
ZVXML_API int EncodeToValidXmlTag(std::wstring& name);

/// Reverses EncodeToValidXmlTag in place: each "__xhhhh__" token (hex digits of
/// either case) becomes its character, and a high and a low surrogate token
/// next to each other become one character. Text that only resembles a token
/// stays. Returns 1 when any token was decoded.
ZVXML_API int DecodeFromValidXmlTag(std::wstring& name);

/// Signed decimal text of `value` ("-42").
///@{
ZVXML_API std::wstring ToWString(long value);
inline std::wstring ToWString(int value) { return ToWString(static_cast<long>(value)); }
///@}

/// Wide text of a NUL-terminated UTF-8 string; NULL or "" give "". Invalid
/// bytes become U+FFFD.
ZVXML_API std::wstring ToWString(const char* text);
/// Wide text of all `text.size()` bytes of UTF-8, which need not end in a NUL
/// and may hold NUL bytes (each stays a NUL character). Each invalid sequence
/// (a stray or missing continuation byte, an overlong form of three or four
/// bytes, an encoded surrogate, a value above U+10FFFF) becomes one U+FFFD.
/// The bytes C0, C1 and F5 to FF start no sequence: each becomes one U+FFFD
/// of its own, so the two-byte overlong form C0 AF becomes two.
ZVXML_API std::wstring ToWString(std::string_view text);

/// UTF-8 text of a NUL-terminated wide string; NULL or "" give "". A lone
/// surrogate half or a value above U+10FFFF becomes U+FFFD; a high and a low
/// surrogate next to each other become the one character they encode.
ZVXML_API std::string ToUtf8(const wchar_t* text);
/// The same for all `text.size()` characters, which need not end in a NUL
/// and may hold NUL characters (each stays a NUL byte).
ZVXML_API std::string ToUtf8(std::wstring_view text);

} // namespace ZVXML

#endif // ZVXML_TEXT_H
