// Where a failure or a log line of an instance parse was found: the
// document's location, and the line and column of the tag being read.
#include "instance_parse_support.h"

#include "support/where.h"

using namespace ZVXML;
using zvtest::Document;
using zvtest::ReadPositionNow;
using zvtest::Where;

namespace {

class ReadPositions : public zvtest::InstanceParseTest {
protected:
    // The position of what `parse` throws, and its message.
    template <class Parse>
    std::optional<Where> ThrownAt(Parse parse, std::wstring* message = nullptr)
    {
        const std::optional<ZVXMLException> thrown = zvtest::Thrown(parse);
        if (thrown && message != nullptr) {
            *message = thrown->Message();
        }
        return thrown ? std::optional<Where>(zvtest::PositionOf(*thrown)) : std::nullopt;
    }
};

const std::wstring kRoot = L"<ZVInstanceXML xmlns='http://www.molvane.com/schemas/Molvane.ZVXML.2.0'>\n";

// The log lines of the reader, each with where the reader was when it was
// logged.
std::vector<std::pair<std::wstring, Where>> g_placed;
void RecordPlaced(LOG_SEV severity, const wchar_t* category, const wchar_t* text)
{
    if (severity == LOG_SEV_TRACE && std::wstring(category) == L"ZVXML") {
        g_placed.emplace_back(text, ReadPositionNow());
    }
}

} // namespace

// The message stays as documented; the place is the "<" of the property's
// start tag, in characters, on the line where the tag starts.
TEST_F(ReadPositions, AContentErrorCarriesTheStartOfItsTag)
{
    std::wstring message;
    const std::wstring text =
        kRoot + L"<Pump id='1'>\n  <Flow>1</Flow>  <Where\n     at='x'>3</Where>\n</Pump>\n" + L"</ZVInstanceXML>";
    EXPECT_EQ(ThrownAt([&] { ParseBare(text); }, &message), (Where{L"", 3, 19}));
    EXPECT_EQ(message, L"Unrecognized ZVProperty Where found in instance of ZVClass Pump.");

    const std::wstring accented = kRoot + L"<Pump id='\u00e9\u00e9\u00e9'><Where/></Pump></ZVInstanceXML>";
    EXPECT_EQ(ThrownAt([&] { ParseBare(accented); }), (Where{L"", 2, 16}));

    // The reader no longer holds the start of so long a line.
    const std::wstring longLine =
        kRoot + L"<Pump id='1'><Name>" + std::wstring(100000, L'x') + L"</Name><Where/></Pump></ZVInstanceXML>";
    EXPECT_EQ(ThrownAt([&] { ParseBare(longLine); }), (Where{L"", 2, 19 + 100000 + 7 + 1}));
}

// A path or URL is named as given; an unreadable one has no line.
TEST_F(ReadPositions, ADocumentReadFromAFileNamesTheLocationAsGiven)
{
    const zvtest::ScratchFolder folder;
    const std::wstring path =
        folder.Write("plant.xml", "<ZVInstanceXML xmlns='http://www.molvane.com/schemas/Molvane.ZVXML.2.0'>\n"
                                  "  <Pump id='1'/>\n  <Widget/>\n</ZVInstanceXML>\n");
    std::wstring message;
    EXPECT_EQ(ThrownAt([&] { Parse(path, 0, 1); }, &message), (Where{path, 3, 3}));
    EXPECT_EQ(message, L"Unrecognized ZVClass: Widget");
    const std::wstring url = L"file://" + path;
    EXPECT_EQ(ThrownAt([&] { Parse(url, 0, 1); }), (Where{url, 3, 3}));
    const std::wstring missing = folder.WidePath("missing.xml");
    EXPECT_EQ(ThrownAt([&] { Parse(missing, 0, 1); }), (Where{missing, 0, 0}));
}

// A callback that refuses an instance is heard at the instance's end tag.
TEST_F(ReadPositions, ACallbackRefusalCarriesTheEndTag)
{
    recorder.refuseAt = 2;
    EXPECT_EQ(ThrownAt([&] {
                  Parse(kRoot + L"<Pump id='1'/>\n<Pump id='2'>\n  <Flow>1</Flow>\n</Pump>" + L"</ZVInstanceXML>");
              }),
              (Where{L"", 5, 1}));
}

// The reader's error callback and the exception agree on the place, just
// after the offending end tag, counted in characters.
TEST_F(ReadPositions, IllFormedXmlCarriesTheErrorsPlace)
{
    EXPECT_EQ(ThrownAt([&] { Parse(Document(L"\n  <Pump>\u00e9\u00e9</Valve>")); }), (Where{L"", 2, 19}));
    ASSERT_EQ(recorder.errors.size(), 1u);
    EXPECT_EQ(recorder.errors[0].rfind(L"SAX Parser failed at line 2, column 19 with error: ", 0), 0u)
        << testing::PrintToString(recorder.errors[0]);
}

// A logging callback asks where the line it is given comes from; outside a
// parse there is nothing to tell.
TEST_F(ReadPositions, ALogCallbackLearnsThePlaceOfItsLine)
{
    g_placed.clear();
    const LoggingCallback previous = SetLoggingCallback(&RecordPlaced);
    Parse(kRoot + L"<Pump id='1'>\n <Flow>1</Flow><Where>2</Where>\n</Pump>\n</ZVInstanceXML>",
          ZVINSTANCEXML_SKIP_UNKNOWN_PROPERTIES);
    SetLoggingCallback(previous);
    ASSERT_EQ(g_placed.size(), 1u);
    EXPECT_EQ(g_placed[0].first, L"Ignoring unrecognized ZVProperty <Where>");
    EXPECT_EQ(g_placed[0].second, (Where{L"", 3, 16}));
    EXPECT_EQ(ReadPositionNow(), (Where{L"", 0, 0}));
    EXPECT_STREQ(ZVXMLRuntimeError(L"later", L"").File(), L"");
}

// A document parsed from a callback of another answers for itself while it
// runs; then the outer document answers again. Copies keep the place.
TEST_F(ReadPositions, NestedParsesAnswerInnermostFirst)
{
    struct Nested {
        CZVSchema* schema;
        IZVInstanceFactory* factory;
        std::optional<ZVXMLException> inner;
        Where outerAfter{L"", 0, 0};
    } nested{&schema, &factory, std::nullopt};
    const auto onInstance = [](CZVSchema*, void* context, CZVInstance*) {
        auto& self = *static_cast<Nested*>(context);
        const auto ignore = [](CZVSchema*, void*, CZVInstance*) { return 0; };
        const auto ignoreRelationship = [](CZVSchema*, void*, ZVRelationshipInstance*) { return 0; };
        self.inner = zvtest::Thrown([&] {
            ParseZVInstanceXML(0, Document(L"\n\n<Widget/>").c_str(), self.schema, nullptr, nullptr, ignore,
                               ignoreRelationship, nullptr, nullptr, nullptr, self.factory, 0);
        });
        self.outerAfter = ReadPositionNow();
        return 0;
    };
    const auto onRelationship = [](CZVSchema*, void*, ZVRelationshipInstance*) { return 0; };
    ParseZVInstanceXML(0, (kRoot + L"<Pump id='1'>\n\n\n  </Pump></ZVInstanceXML>").c_str(), &schema, &nested, nullptr,
                       onInstance, onRelationship, nullptr, nullptr, nullptr, &factory, 0);
    ASSERT_TRUE(nested.inner.has_value());
    EXPECT_EQ(zvtest::PositionOf(*nested.inner), (Where{L"", 3, 1}));
    EXPECT_EQ(nested.outerAfter, (Where{L"", 5, 3}));
}
