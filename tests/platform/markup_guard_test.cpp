#include "platform/markup_guard.h"

#include <gtest/gtest.h>

#include <string>

using ZVXML::platform::kMaxAttributesPerElement;
using ZVXML::platform::MarkupGuard;

namespace {

std::string ElementWith(std::size_t attributes, const std::string& name = "a")
{
    std::string text = "<" + name;
    for (std::size_t i = 0; i < attributes; ++i) {
        text += " x" + std::to_string(i) + "='v'";
    }
    return text + "/>";
}

// Feeds `text` in pieces of `piece` bytes.
bool Accepts(const std::string& text, std::size_t piece, MarkupGuard& guard)
{
    for (std::size_t at = 0; at < text.size(); at += piece) {
        if (!guard.Scan(text.data() + at, std::min(piece, text.size() - at))) {
            return false;
        }
    }
    return true;
}

} // namespace

TEST(MarkupGuard, CountsAttributesOfEachStartTag)
{
    for (std::size_t piece : {std::size_t(1), std::size_t(7), std::size_t(1) << 20}) {
        MarkupGuard fine;
        EXPECT_TRUE(Accepts("<r>\n" + ElementWith(kMaxAttributesPerElement) + ElementWith(5) + "</r>", piece, fine));
        MarkupGuard tooMany;
        EXPECT_FALSE(Accepts("<r>\n  " + ElementWith(kMaxAttributesPerElement + 1), piece, tooMany));
        EXPECT_EQ(tooMany.Violation().line, 2);
        EXPECT_EQ(tooMany.Violation().message, "Element has more than 10000 attributes");
    }
}

TEST(MarkupGuard, EqualSignsOutsideStartTagsDoNotCount)
{
    const std::string many(kMaxAttributesPerElement + 10, '=');
    const std::string text = "<?pi " + many + "?><!-- " + many + " --><r a='" + many + "' b=\"" + many +
                             "\"><![CDATA[ " + many + "]]>" + many + "</r " + ">" + "<!x " + many + ">";
    for (std::size_t piece : {std::size_t(1), std::size_t(3), text.size()}) {
        MarkupGuard guard;
        EXPECT_TRUE(Accepts(text, piece, guard)) << piece;
    }
    // Comments and sections end where they should: a tag after them counts.
    MarkupGuard after;
    EXPECT_FALSE(Accepts("<!-- - -- --><![CDATA[]]]]>" + ElementWith(kMaxAttributesPerElement + 1), 5, after));
}
