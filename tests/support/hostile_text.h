// Texts of hostile documents: deep nesting, entity bombs, long repetitions.
#ifndef ZVXML_TESTS_HOSTILE_TEXT_H
#define ZVXML_TESTS_HOSTILE_TEXT_H

#include <string>

namespace zvtest {

inline std::string Repeat(const std::string& text, long times)
{
    std::string out;
    out.reserve(text.size() * static_cast<std::size_t>(times));
    for (long i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

// <name> `depth` times, `inner`, then the end tags.
inline std::string Nested(const std::string& name, long depth, const std::string& inner = "")
{
    return Repeat("<" + name + ">", depth) + inner + Repeat("</" + name + ">", depth);
}

// `depth` elements <e>, each start tag ending its line, as wide text: the
// element too deep for a reader starts on line `depth`.
inline std::wstring NestedOnLines(long depth)
{
    const std::string text = Repeat("<e>\n", depth) + Repeat("</e>", depth);
    return std::wstring(text.begin(), text.end());
}

// A DOCTYPE whose entity lol9 expands to a billion "lol"s.
inline std::string BillionLaughs(const std::string& root)
{
    std::string text = "<?xml version='1.0'?>\n<!DOCTYPE " + root + " [\n<!ENTITY lol0 'lol'>\n";
    for (int level = 1; level <= 9; ++level) {
        text += "<!ENTITY lol" + std::to_string(level) + " '" + Repeat("&lol" + std::to_string(level - 1) + ";", 10) +
                "'>\n";
    }
    return text + "]>\n";
}

} // namespace zvtest

#endif
