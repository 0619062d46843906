// The text of a property element: the character data between two tags is
// one run, trimmed of tabs and line breaks at its two ends only, whatever
// pieces the reader cuts it into.
#include "instance_parse_support.h"

#include <fstream>

using namespace ZVXML;
using zvtest::Document;

namespace {

class TextRuns : public zvtest::InstanceParseTest {};

// Each row: a Pump's elements, and the values they give.
TEST_F(TextRuns, LineBreaksTabsAndReferencesInsideATextAreKept)
{
    const std::pair<std::wstring, std::wstring> rows[] = {
        // Line ends read as line feeds, as XML wants them read.
        {L"<Name>first\r\nsecond\r\n\tthird</Name>", L"{Name=first\nsecond\n\tthird}"},
        {L"<Name>first\rsecond\r</Name>", L"{Name=first\nsecond}"},
        {L"<Tags><string>a\r\n\tb</string><string>\r\nc\rd\r\n</string></Tags>", L"{Tags=[a\n\tb,c\nd]}"},
        // References are part of the run: only the run's ends are trimmed.
        {L"<Name>tab&#9;inside</Name>", L"{Name=tab\tinside}"},
        {L"<Name>line\n&amp;\nnext</Name>", L"{Name=line\n&\nnext}"},
        {L"<Name>&#10;a&#13;b&#9;</Name>", L"{Name=a\rb}"},
        {L"<Name>a&#9;&#10;&#9;b</Name>", L"{Name=a\t\n\tb}"},
        // CDATA sections join the text around them and read line ends alike.
        {L"<Name>x\n<![CDATA[p\rq\r\nr\r]]>\ny</Name>", L"{Name=x\np\nq\nr\n\ny}"},
        {L"<Name><![CDATA[\r\n]]>a<![CDATA[\t]]></Name>", L"{Name=a}"},
        // A comment or a processing instruction ends a run: each side is
        // trimmed by itself.
        {L"<Name>a\n<!-- note -->\nb</Name>", L"{Name=ab}"},
        {L"<Name>a <!-- note --> b</Name>", L"{Name=a  b}"},
        {L"<Name>a\t<?pi data?>\tb</Name>", L"{Name=ab}"},
    };
    for (const auto& [elements, values] : rows) {
        EXPECT_EQ(Only(Document(L"<Pump id='P'>" + elements + L"</Pump>")), L"instance Pump#P" + values) << elements;
    }
}

// Long enough that the reader hands it over in many pieces, cut at line ends
// and (outside ASCII) every few hundred bytes; the file is read in chunks
// of its own.
TEST_F(TextRuns, ALongMultiLineTextReadsWholeFromAFileAndFromText)
{
    std::wstring written = L"\r\n\t";
    std::wstring expected;
    for (int i = 0; i < 4000; ++i) {
        const std::wstring line = L"Zeile " + std::to_wstring(i) + L" \u00fcn\u00efc\u00f6d\u00e9 \U0001F600\t\u4e2d";
        written += line + (i % 3 == 0 ? L"\r\n\t" : i % 3 == 1 ? L"\r" : L"\n  ");
        expected += line + (i % 3 == 0 ? L"\n\t" : i % 3 == 1 ? L"\n" : L"\n  ");
    }
    expected.erase(expected.find_last_not_of(L"\t\n") + 1);
    const std::wstring document = Document(L"<Pump id='P'><Name>" + written + L"</Name></Pump>");
    EXPECT_EQ(Only(document), L"instance Pump#P{Name=" + expected + L"}");

    zvtest::ScratchFolder folder;
    {
        std::ofstream file(folder / "long.zvinstance.xml", std::ios::binary);
        file << ToUtf8(document);
    }
    EXPECT_EQ(Only(folder.WidePath("long.zvinstance.xml"), 0, 1), L"instance Pump#P{Name=" + expected + L"}");
}

} // namespace
