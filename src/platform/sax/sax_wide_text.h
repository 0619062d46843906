// The reader's UTF-8 to wide conversion, made for its hot path: text comes
// from libxml2 already checked as UTF-8, mostly ASCII, and is converted into
// memory that is reused from event to event. The decoding itself is the
// foundation's (foundation/utf8.h).
#ifndef ZVXML_PLATFORM_SAX_SAX_WIDE_TEXT_H
#define ZVXML_PLATFORM_SAX_SAX_WIDE_TEXT_H

#include <cstddef>
#include <string>
#include <vector>

namespace ZVXML {
namespace platform {

// Replaces `out` with the wide form of `size` bytes of UTF-8.
void AssignUtf8(const unsigned char* text, std::size_t size, std::wstring& out);

// Whether the NUL-terminated wide text and the NUL-terminated UTF-8 text
// hold the same characters.
bool WideEqualsUtf8(const wchar_t* wide, const unsigned char* utf8);

// Rewrites CR LF and a lone CR as LF in place and returns the new length.
// `afterCr` says whether the text before this piece ended with a CR (so a
// leading LF belongs to that line end) and is set for the next piece.
std::size_t NormalizeLineEnds(wchar_t* text, std::size_t length, bool& afterCr);

// Wide text converted from UTF-8 into one buffer that grows to the longest
// piece seen and is then reused without allocating.
class SaxTextBuffer {
public:
    // The converted text, which the caller may change; valid until the next
    // call.
    wchar_t* Convert(const unsigned char* text, std::size_t size, std::size_t& length);

private:
    std::vector<wchar_t> m_chars;
};

} // namespace platform
} // namespace ZVXML

#endif
