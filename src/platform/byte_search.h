// Searches over bytes of markup, sixteen at a time where SSE2 is there.
//
// The markup guard and the tag positions look at every byte of a document
// the parser reads; most runs they scan are short (a line's indentation, a
// value, an end tag), where a library call per run costs more than the
// scan, and the longest (text) are where a byte-at-a-time loop is slowest.
#ifndef ZVXML_PLATFORM_BYTE_SEARCH_H
#define ZVXML_PLATFORM_BYTE_SEARCH_H

#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ZVXML {
namespace platform {

// The first of the four bytes in [p, end), or end.
inline const char* FindAnyOf4(const char* p, const char* end, char a, char b, char c, char d)
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

// The first `c` in [p, end), or end. The first 64 bytes inline; a longer
// run (a text) goes on in memchr, which takes wider steps.
inline const char* FindByte(const char* p, const char* end, char c)
{
    const char* const near = end - p > 64 ? p + 64 : end;
#if defined(__SSE2__)
    const __m128i vc = _mm_set1_epi8(c);
    for (; near - p >= 16; p += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        if (const int bits = _mm_movemask_epi8(_mm_cmpeq_epi8(x, vc))) {
            return p + __builtin_ctz(static_cast<unsigned>(bits));
        }
    }
#endif
    for (; p < near; ++p) {
        if (*p == c) {
            return p;
        }
    }
    const void* found = p < end ? std::memchr(p, c, static_cast<std::size_t>(end - p)) : nullptr;
    return found != nullptr ? static_cast<const char*>(found) : end;
}

// How many bytes of [p, end) are `c`.
inline std::size_t CountByte(const char* p, const char* end, char c)
{
    std::size_t count = 0;
#if defined(__SSE2__)
    const __m128i vc = _mm_set1_epi8(c);
    for (; end - p >= 16; p += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        // Bit by bit: the bytes counted (line feeds) are few in a block, and
        // a popcount instruction is not in the baseline instruction set.
        for (auto bits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, vc))); bits != 0; bits &= bits - 1) {
            ++count;
        }
    }
#endif
    for (; p < end; ++p) {
        count += *p == c;
    }
    return count;
}

// Set bits of a 16-bit mask, without the popcount instruction (not in the
// baseline instruction set, so the builtin would be a library call).
inline long BitsSet16(unsigned x)
{
    x = x - ((x >> 1) & 0x5555u);
    x = (x & 0x3333u) + ((x >> 2) & 0x3333u);
    x = (x + (x >> 4)) & 0x0F0Fu;
    return static_cast<long>((x + (x >> 8)) & 0x1Fu);
}

// UTF-8 characters (bytes that do not continue one) and line feeds.
struct CharacterCount {
    long characters;
    long lineFeeds;
};

// Counts [p, end), reading up to `readable` (at least end): a run shorter
// than sixteen bytes, as most runs between two tags are, takes one load
// rather than a loop over its bytes.
inline CharacterCount CountCharacters(const char* p, const char* end, const char* readable)
{
    CharacterCount count{0, 0};
#if defined(__SSE2__)
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i topBits = _mm_set1_epi8(static_cast<char>(0xC0));
    const __m128i continuing = _mm_set1_epi8(static_cast<char>(0x80));
    for (; p < end && readable - p >= 16; p += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const std::ptrdiff_t left = end - p;
        const unsigned inRun = left >= 16 ? 0xFFFFu : (1u << left) - 1;
        const auto lines = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, lineFeed))) & inRun;
        const auto tails =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(x, topBits), continuing))) & inRun;
        // Mostly ASCII, and a line feed or none.
        count.characters += (left >= 16 ? 16 : static_cast<long>(left)) - (tails != 0 ? BitsSet16(tails) : 0);
        count.lineFeeds += lines == 0 ? 0 : (lines & (lines - 1)) == 0 ? 1 : BitsSet16(lines);
    }
#endif
    for (; p < end; ++p) {
        count.characters += (*p & 0xC0) != 0x80;
        count.lineFeeds += *p == '\n';
    }
    return count;
}

} // namespace platform
} // namespace ZVXML

#endif
