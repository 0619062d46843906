// Property elements: texts and their trimming, arrays and structs, unknown
// properties. The text of a property element is one run of character data
// between two tags, trimmed of tabs and line breaks at its two ends only,
// whatever pieces the reader cuts it into.
#include "instance_parse_support.h"

#include "support/expect_throw.h"
#include "support/log_capture.h"

using namespace ZVXML;
using zvtest::Document;

namespace {

class PropertyValues : public zvtest::InstanceParseTest {
protected:
    // Each row: a Pump's (or Valve's) elements, and the values they give.
    void ExpectValues(const std::vector<std::pair<std::wstring, std::wstring>>& rows)
    {
        for (const auto& [elements, values] : rows) {
            SCOPED_TRACE(testing::PrintToString(elements));
            EXPECT_EQ(Only(Document(L"root text<Pump id='P'>" + elements + L"</Pump>more")),
                      L"instance Pump#P" + values);
        }
    }
};

TEST_F(PropertyValues, ElementsGiveTheValuesTheirTextsAndNestingSay)
{
    ExpectValues({
        {L"<Flow>\n\t 12.5 \r\n</Flow><Name>\t\r\n</Name><Count>   </Count>", L"{Flow= 12.5 ;Name=;Count=   }"},
        // Text outside property elements is ignored: between properties,
        // between array members and between the properties of a struct.
        {L"<Tags>x<string>a</string>y<string>b</string>z</Tags><Origin>q<X>1</X>r<Y>2</Y>s</Origin>t"
         L"<Corners>u<Point>v<X>3</X>w</Point>x</Corners>",
         L"{Tags=[a,b];Origin={X=1;Y=2};Corners=[{X=3}]}"},
        // Arrays hold their members in document order.
        {L"<Tags>\n  <string>a</string>\n  <string> b </string>\n  <string/>\n</Tags>", L"{Tags=[a, b ,]}"},
        // Structs and arrays nest in each other three levels deep.
        {L"<Origin><X>1</X><Size><W>2</W><Codes><int>7</int><int>8</int></Codes></Size><Y>3</Y></Origin>"
         L"<Corners>  <Point><X>10</X></Point>  "
         L"<Point><Size><Codes><int>9</int></Codes><H>4</H></Size></Point></Corners>",
         L"{Origin={X=1;Size={W=2;Codes=[7,8]};Y=3};Corners=[{X=10},{Size={Codes=[9];H=4}}]}"},
        {L"<Name/><Origin/><Corners/><Tags></Tags>", L"{Name=;Origin={};Corners=[];Tags=[]}"},
        // Repeated elements replace primitives and add structs and arrays.
        {L"<Flow>1</Flow><Origin><X>1</X></Origin><Tags><string>a</string></Tags>"
         L"<Flow>2</Flow><Origin><X>2</X></Origin><Tags><string>b</string></Tags><Origin/>",
         L"{Flow=2;Origin={X=1};Tags=[a];Origin2={X=2};Tags2=[b];Origin3={}}"},
    });
    EXPECT_EQ(
        Only(Document(L"<Valve id='V'><Setting>open</Setting><Flow>3</Flow><Tags><string>t</string></Tags></Valve>")),
        L"instance Valve#V{Setting=open;Flow=3;Tags=[t]}");
}

TEST_F(PropertyValues, LineBreaksTabsAndReferencesInsideATextAreKept)
{
    ExpectValues({
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
        {L"<Name>a<![CDATA[<b>]]>c</Name>", L"{Name=a<b>c}"},
        // A comment or a processing instruction ends a run: each side is
        // trimmed by itself.
        {L"<Name>a\n<!-- note -->\nb</Name>", L"{Name=ab}"},
        {L"<Name>a <!-- note --> b</Name>", L"{Name=a  b}"},
        {L"<Name>a\t<?pi data?>\tb</Name>", L"{Name=ab}"},
    });
}

// Long enough that the reader hands it over in many pieces, cut at line ends
// and (outside ASCII) every few hundred bytes; the file is read in chunks
// of its own.
TEST_F(PropertyValues, ALongMultiLineTextReadsWholeFromAFileAndFromText)
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
    const std::wstring path = folder.Write("long.zvinstance.xml", ToUtf8(document));
    EXPECT_EQ(Only(path, 0, 1), L"instance Pump#P{Name=" + expected + L"}");
}

// Texts move into the values: what a value held before it was parked, or a
// text read earlier, never shows up in a later element or instance.
TEST_F(PropertyValues, TextsDoNotCarryOverBetweenElementsOrInstances)
{
    Parse(Document(L"<Pump id='A'><Name>a long first name</Name><Flow>1.5</Flow><Tags><string>first tag</string>"
                   L"<string/></Tags></Pump>"
                   L"<Pump id='B'><Flow/><Name>b</Name><Tags><string/><string>t</string></Tags><Count></Count></Pump>"
                   L"<Pump id='C'><Name>c</Name><Name/></Pump>"));
    const std::vector<std::wstring> expected = {L"instance Pump#A{Name=a long first name;Flow=1.5;Tags=[first tag,]}",
                                                L"instance Pump#B{Flow=;Name=b;Tags=[,t];Count=}",
                                                L"instance Pump#C{Name=}"};
    EXPECT_EQ(recorder.Instances(), expected);
}

// Skipping unknown classes does not skip unknown properties; skipping them
// skips their content, in structs too.
TEST_F(PropertyValues, AnUnknownPropertyStopsTheParseOrIsSkippedWhenAsked)
{
    const std::wstring text =
        Document(L"<Pump id='P'><Flow>1</Flow><Colour><Red>1</Red><Flow>9</Flow></Colour><Count>2</Count></Pump>");
    for (unsigned long options : {0ul, ZVINSTANCEXML_SKIP_UNKNOWN_CLASSES}) {
        EXPECT_ZV_THROW(Parse(text, options), ZVXMLFormatError,
                        L"Unrecognized ZVProperty Colour found in instance of ZVClass Pump.");
    }
    EXPECT_TRUE(recorder.Instances().empty());

    zvtest::LogCapture log;
    EXPECT_EQ(Only(text, ZVINSTANCEXML_SKIP_UNKNOWN_PROPERTIES), L"instance Pump#P{Flow=1;Count=2}");
    EXPECT_EQ(log.texts(L"ZVXML", LOG_SEV_TRACE),
              std::vector<std::wstring>{L"Ignoring unrecognized ZVProperty <Colour>"});
    EXPECT_EQ(
        Only(Document(L"<Pump id='P'><Origin><Z>1</Z><X>2</X></Origin></Pump>"), ZVINSTANCEXML_SKIP_UNKNOWN_PROPERTIES),
        L"instance Pump#P{Origin={X=2}}");
}

// A repeated array property's second value is named "Tags2", which may be a
// property of its own: its element still gets a value of its own.
TEST_F(PropertyValues, ASecondValuesNameThatIsAPropertyOfItsOwnKeepsBoth)
{
    schema.FindZVClass(L"Pump", ZVCLASSTYPE_ANY)->AddZVProperty(L"Tags2", L"string", L"");
    EXPECT_EQ(Only(Document(L"<Pump id='P'><Tags><string>a</string></Tags><Tags><string>b</string></Tags>"
                            L"<Tags2>x</Tags2><Tags2>y</Tags2></Pump>")),
              L"instance Pump#P{Tags=[a];Tags2=[b];Tags22=y}"); // Tags22: the value of Tags2
}

TEST_F(PropertyValues, ElementsThatDoNotFitTheirPropertyStopTheParse)
{
    const std::wstring member = L"Encountered array element with name not equal to the property's type name";
    schema.FindZVClass(L"Pump", ZVCLASSTYPE_ANY)->AddZVProperty(L"Frame", L"Point", L"")->TypeName() = L"Gone";
    const std::wstring nested = L"Error at (.ZVInstanceXML.Pump.Tags.string): Unexpected element.";
    const std::pair<const wchar_t*, std::wstring> cases[] = {
        {L"<Tags><string>a</string><str>b</str></Tags>", member},
        // A member inside a member would lose the text before it.
        {L"<Tags><string>a<string>b</string>c</string></Tags>", nested},
        {L"<Frame/>", L"Could not find class for struct property"},
        {L"<Flow><Count>1</Count>2</Flow>", L"EndElement called on unexpected element"},
    };
    for (const auto& [elements, message] : cases) {
        SCOPED_TRACE(elements);
        const auto parse = [&, e = elements] { Parse(Document(L"<Pump id='P'>" + std::wstring(e) + L"</Pump>")); };
        if (message == member || message == nested) {
            EXPECT_ZV_THROW(parse(), ZVXMLFormatError, message);
        } else {
            EXPECT_ZV_THROW(parse(), ZVXMLRuntimeError, message);
        }
    }
    EXPECT_TRUE(recorder.Instances().empty());
}

} // namespace
