// Bytes that are not the text they claim to be.
#include "hostile/hostile.h"
#include "support/stdout_capture.h"

#include <gtest/gtest.h>

using namespace zvtest;

namespace {

struct BrokenBytes {
    const char* name;
    std::string schema; // a schema file's bytes
    std::string instances; // an instance document's bytes
};

std::string Utf16WithoutMark(const std::string& ascii)
{
    std::string bytes;
    for (char c : ascii) {
        bytes += std::string{c, '\0'};
    }
    return bytes;
}

std::vector<BrokenBytes> Cases()
{
    const std::string schema = SchemaFile("schemaName='E' nameSpacePrefix='e'", "<ZVClass typeName='A'/>");
    const std::string instances = InstanceDocument("<Pump><Name>n</Name></Pump>");
    auto replace = [](std::string text, const std::string& what, const std::string& with) {
        return text.replace(text.find(what), what.size(), with);
    };
    return {
        {"invalid UTF-8", replace(schema, "'A'", "'A\xC3\x28'"), replace(instances, ">n<", ">\xFF\xFE<")},
        {"a NUL byte", replace(schema, "'A'", std::string("'A\0B'", 5)),
         replace(instances, ">n<", std::string(">\0<", 3))},
        {"UTF-16 without a byte-order mark", Utf16WithoutMark(schema.substr(schema.find("<ZVSchema"))),
         Utf16WithoutMark(instances.substr(instances.find("<ZVInstanceXML")))},
        {"a truncated document", schema.substr(0, schema.size() / 2), instances.substr(0, instances.size() / 2)},
        {"an empty file", "", ""},
    };
}

} // namespace

TEST(HostileEncoding, SchemaFilesFailTheLoadCheckAndInstanceDocumentsTheComError)
{
    for (const BrokenBytes& c : Cases()) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        const std::string schema = folder.WriteFile("s.xml", c.schema);
        ExpectSchemaRefused(schema);
        ExpectInstancesRefused(folder.WriteFile("i.xml", c.instances));
    }
}

// A wide text with a NUL ends at it: what is left is truncated.
TEST(HostileEncoding, AnInstanceTextEndsAtANul)
{
    std::wstring text = Widen(InstanceDocument("<Pump><Name>n</Name></Pump>"));
    text[text.find(L"<Name>")] = L'\0';
    ExpectInstancesRefused([&] { return InstanceReader().ParseText(text); });
}

// A wide text's character with no UTF-8 form (a lone surrogate half, a value
// above U+10FFFF) stops the reading there, rather than reading as U+FFFD.
TEST(HostileEncoding, AWideCharacterWithoutAUtf8FormStopsTheReadingAtIt)
{
    for (const auto& [bad, saying] : {std::pair(wchar_t(0xD800), "Char 0xD800 out of allowed range"),
                                      std::pair(wchar_t(0x110000), "Input is not proper UTF-8")}) {
        std::wstring text = Widen(InstanceDocument("<Pump><Name>n</Name></Pump>"));
        text[text.find(L">n<") + 1] = bad;
        SCOPED_TRACE(saying);
        ExpectInstancesRefused([&] { return InstanceReader().ParseText(text); }, saying);
        ZVXML::XMLDocument document;
        EXPECT_FALSE(document.LoadXML(text.c_str()));
        EXPECT_EQ(document.ParseError().reason.rfind(Widen(saying), 0), 0u)
            << ZVXML::ToUtf8(document.ParseError().reason);
        EXPECT_GT(document.ParseError().linePos, 0);
    }
}

// A lone surrogate half has no UTF-8 form: as U+FFFD it would name another
// file, which would be read or written in silence.
TEST(HostileEncoding, APathWithALoneSurrogateNamesNoFile)
{
    ScratchFolder folder;
    const std::wstring path = folder.WidePath("s") + L"\xD800" + L".zvschema.xml";
    const std::wstring problem = L"its name holds U+D800, which no file name can hold";
    const std::string name = "s\xEF\xBF\xBD.zvschema.xml"; // U+FFFD in its place
    const std::string text = SchemaFile("schemaName='E' nameSpacePrefix='e'", "");
    folder.WriteFile(name, text);

    ZVXML::XMLDocument document;
    EXPECT_FALSE(document.Load(path.c_str()));
    EXPECT_EQ(document.ParseError().errorCode, ZVXML::XML_LOAD_CANNOT_READ_FILE);
    EXPECT_EQ(document.ParseError().reason, L"Cannot open file: " + problem);

    ZVXML::CZVSchema schema(L"e", L"E", L"");
    {
        StdoutCapture quiet; // a failed save is also printed there
        EXPECT_THROW(schema.WriteXML(path.c_str()), ZVXML::ZVXMLRuntimeError);
    }
    EXPECT_THROW(ZVXML::ZVInstanceXMLWriter(path.c_str()), ZVXML::ZVXMLRuntimeError);
    try {
        InstanceReader().Parse(1, path);
        ADD_FAILURE() << "read";
    } catch (const ZVXML::ZVXMLException& error) {
        EXPECT_NE(std::wstring(error.Message()).find(problem), std::wstring::npos)
            << testing::PrintToString(std::wstring(error.Message()));
    }
    // Only the file made above is there, unchanged.
    EXPECT_EQ(folder.Names(), std::vector<std::string>{name});
    EXPECT_EQ(ReadAll(folder / name), text);
}
