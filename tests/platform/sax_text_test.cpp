// Character data as the reader delivers it: line ends read as XML reads
// them, and comments and processing instructions marked between texts.
#include "sax_recorder.h"

#include <gtest/gtest.h>

using zvtest::SaxText;

TEST(SaxText, LineEndsReadAsLineFeedsInTextAndInCdataSections)
{
    EXPECT_EQ(SaxText(L"<r>a\r\nb\rc<![CDATA[d\r\ne\rf\r]]>\ng&#13;h</r>").events.Text(), L"a\nb\nc"
                                                                                          L"d\ne\nf\n\ng\rh");
    EXPECT_EQ(SaxText(L"<r><![CDATA[\r]]><![CDATA[\n]]></r>").events.Text(), L"\n\n");
    // The push parser hands a section longer than a chunk over in pieces of
    // a few hundred bytes; a CR LF may straddle two of them.
    std::wstring section;
    std::wstring expected;
    for (int i = 0; i < 6000; ++i) {
        section += L"l" + std::to_wstring(i) + (i % 2 == 0 ? L"\r\n" : L"\r");
        expected += L"l" + std::to_wstring(i) + L"\n";
    }
    for (std::size_t shift = 0; shift < 4; ++shift) {
        const std::wstring padding(shift, L'x');
        EXPECT_EQ(SaxText(L"<r><![CDATA[" + padding + section + L"]]></r>").events.Text(), padding + expected);
    }
}

TEST(SaxText, CommentsAndProcessingInstructionsBreakTheText)
{
    const zvtest::SaxOutcome outcome = SaxText(L"<r>a<!-- c -->b<?p i?>c<![CDATA[d]]>e</r>");
    const std::vector<std::wstring> expected = {L"start {}r r", L"text a",   L"break",    L"text b",
                                                L"break",       L"text cde", L"end {}r r"};
    EXPECT_EQ(outcome.events.events, expected);
}
