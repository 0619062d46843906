#include "platform/markup_guard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <vector>

using ZVXML::platform::kMaxAttributesPerElement;
using ZVXML::platform::MarkupGuard;
using ZVXML::platform::MarkupViolation;

namespace {

std::string ElementWith(std::size_t attributes, const std::string& name = "a", const std::string& value = "'v'")
{
    std::string text = "<" + name;
    for (std::size_t i = 0; i < attributes; ++i) {
        text += " x" + std::to_string(i) + "=" + value;
    }
    return text + "/>";
}

// What the guard finds in `text` fed in pieces of `longest` bytes, or of 1
// to `longest` bytes at random when `random` is given; nothing when it
// accepts the text.
std::optional<MarkupViolation> Violation(const std::string& text, std::size_t longest, std::mt19937* random = nullptr)
{
    MarkupGuard guard;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t piece = std::min<std::size_t>(random ? 1 + (*random)() % longest : longest, text.size() - at);
        if (!guard.Scan(text.data() + at, piece)) {
            return guard.Violation();
        }
        at += piece;
    }
    return std::nullopt;
}

} // namespace

TEST(MarkupGuard, CountsAttributesOfEachStartTag)
{
    for (std::size_t piece : {std::size_t(1), std::size_t(7), std::size_t(1) << 20}) {
        EXPECT_FALSE(Violation("<r>\n" + ElementWith(kMaxAttributesPerElement) + ElementWith(5) + "</r>", piece));
        const std::string line = "  " + ElementWith(kMaxAttributesPerElement + 1);
        const std::optional<MarkupViolation> tooMany = Violation("<r>\n\n" + line, piece);
        ASSERT_TRUE(tooMany);
        // The place is that of the '=' one past the limit.
        const std::string last = " x" + std::to_string(kMaxAttributesPerElement) + "=";
        EXPECT_EQ(tooMany->line, 3);
        EXPECT_EQ(tooMany->column, static_cast<long>(line.find(last) + last.size()));
        EXPECT_EQ(tooMany->message, "Element has more than 10000 attributes");
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
        EXPECT_EQ(Violation(text, 300, &random).has_value(), tooMany) << "round " << round;
    }
}

namespace {

using ZVXML::platform::kMaxNamespaceDeclarationsInScope;

// A start tag declaring `count` namespaces in the spellings documents use,
// with attributes that only look like declarations in between.
std::string Declaring(const std::string& name, std::size_t count, std::size_t& serial, bool selfClosing = false)
{
    static const char* const forms[] = {" xmlns:p%='urn:x'", "\n\txmlns:p% = \"urn:x\"", " xmlns:q%\n=\n'u'"};
    std::string text = "<" + name;
    for (std::size_t i = 0; i < count; ++i, ++serial) {
        std::string form = forms[serial % 3];
        form.replace(form.find('%'), 1, std::to_string(serial));
        text += form + " xmlnsx" + std::to_string(serial) + "='xmlns:a=\"\"' axmlns='1'";
    }
    return text + (selfClosing ? "/>" : ">");
}

} // namespace

TEST(MarkupGuard, CountsNamespaceDeclarationsInScopeWhereverTheDocumentIsCut)
{
    std::mt19937 random(20261207);
    for (bool tooMany : {false, true}) {
        // Four nested elements share the limit; the default declaration
        // counts too.
        std::size_t serial = 0;
        const std::size_t perLevel = kMaxNamespaceDeclarationsInScope / 4;
        std::string text = "<r xmlns='urn:d'>";
        ++serial;
        for (int level = 0; level < 4; ++level) {
            text += Declaring("e", perLevel - (level == 0 ? 1 : 0) + (tooMany && level == 3 ? 1 : 0), serial);
        }
        text += "</e></e></e></e></r>";
        for (std::size_t longest : {std::size_t(1), std::size_t(13), std::size_t(400), text.size()}) {
            const std::optional<MarkupViolation> violation = Violation(text, longest, &random);
            ASSERT_EQ(violation.has_value(), tooMany) << longest;
            if (tooMany) {
                EXPECT_EQ(violation->message, "More than 1000 namespace declarations in scope");
                EXPECT_EQ(violation->problem, ZVXML::platform::MarkupProblem::TooManyNamespaceDeclarations);
            }
        }
    }
}

TEST(MarkupGuard, DeclarationsLeaveScopeWithTheirElement)
{
    std::mt19937 random(7);
    const std::size_t many = kMaxNamespaceDeclarationsInScope - 100;
    std::size_t serial = 0;
    // Siblings and empty elements each declare nearly the limit; none of
    // them is in scope at another.
    std::string text = "<r>" + Declaring("a", many, serial) + "</a>" + Declaring("b", many, serial, true) +
                       Declaring("c", many, serial) + "<d/></c >" + Declaring("e", many, serial) + "</e></r>";
    for (std::size_t longest : {std::size_t(1), std::size_t(29), text.size()}) {
        EXPECT_FALSE(Violation(text, longest, &random)) << longest;
    }
    // Left open, the first sibling's declarations are still in scope.
    serial = 0;
    const std::string nested = "<r>" + Declaring("a", many, serial) + Declaring("b", 101, serial) + "</b></a></r>";
    EXPECT_TRUE(Violation(nested, nested.size(), &random));
}
