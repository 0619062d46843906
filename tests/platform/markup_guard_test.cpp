#include "platform/markup_guard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using ZVXML::platform::kMaxAttributesPerElement;
using ZVXML::platform::MarkupGuard;

namespace {

std::string ElementWith(std::size_t attributes, const std::string& name = "a", const std::string& value = "'v'")
{
    std::string text = "<" + name;
    for (std::size_t i = 0; i < attributes; ++i) {
        text += " x" + std::to_string(i) + "=" + value;
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
        const std::string line = "  " + ElementWith(kMaxAttributesPerElement + 1);
        EXPECT_FALSE(Accepts("<r>\n\n" + line, piece, tooMany));
        // The place is that of the '=' one past the limit.
        const std::string last = " x" + std::to_string(kMaxAttributesPerElement) + "=";
        EXPECT_EQ(tooMany.Violation().line, 3);
        EXPECT_EQ(tooMany.Violation().column, static_cast<long>(line.find(last) + last.size()));
        EXPECT_EQ(tooMany.Violation().message, "Element has more than 10000 attributes");
    }
}

// Documents assembled from pieces whose verdict is known, fed in random
// pieces: the verdict must not depend on where the pieces are cut.
TEST(MarkupGuard, VerdictDoesNotDependOnHowTheDocumentIsCut)
{
    std::mt19937 random(20261206);
    const std::vector<std::string> harmless = {
        "text = more = text > ",
        "<!-- a = b <x y='1'> -- - -->",
        "<![CDATA[ = <a b='c'> ]] ]]>",
        "<?pi a=\"b\" ? > ?>",
        "<e a='x\">=' b=\">'=\"/>",
        "</e >",
        "<!x y='=' >",
        "\n\n",
    };
    for (int round = 0; round < 40; ++round) {
        std::string text = "<r>";
        const bool tooMany = round % 2 == 1;
        for (int i = 0; i < 6; ++i) {
            text += harmless[random() % harmless.size()];
        }
        // Quoted '=' and '>' are neither attributes nor the end of the tag.
        const std::string value = round % 4 < 2 ? "'=>\"'" : "\"'=>\"";
        text += ElementWith(kMaxAttributesPerElement + (tooMany ? 1 : 0), "big", value);
        text += harmless[random() % harmless.size()] + "</r>";
        MarkupGuard guard;
        bool accepted = true;
        for (std::size_t at = 0; at < text.size() && accepted;) {
            const std::size_t piece = std::min<std::size_t>(1 + random() % 300, text.size() - at);
            accepted = guard.Scan(text.data() + at, piece);
            at += piece;
        }
        EXPECT_EQ(accepted, !tooMany) << "round " << round;
    }
}
