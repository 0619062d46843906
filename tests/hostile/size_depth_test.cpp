// Documents that are very deep, very large in one place, or very wide.
#include "hostile/bounded_run.h"
#include "hostile/hostile_inputs.h"

#include <gtest/gtest.h>

using namespace zvtest;

namespace {

std::string Nested(const std::string& name, int depth, const std::string& inner = "")
{
    std::string text;
    text.reserve(static_cast<std::size_t>(depth) * (2 * name.size() + 5));
    for (int i = 0; i < depth; ++i) {
        text += "<" + name + ">";
    }
    text += inner;
    for (int i = 0; i < depth; ++i) {
        text += "</" + name + ">";
    }
    return text;
}

std::string Attributes(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += " a" + std::to_string(i) + "='x'";
    }
    return text;
}

} // namespace

TEST(HostileSize, NestingOneHundredThousandDeepEndsInAParseError)
{
    HostileFolder folder;
    const std::string schema =
        folder.Write("deep.xml", SchemaFile("schemaName='D' nameSpacePrefix='d'",
                                            "<ZVClass typeName='A'>" + Nested("x", 100000) + "</ZVClass>"));
    ExpectThrow(RunBounded([&] { return LoadSchemaFile(schema); }, Seconds(20)), "ZVXMLRuntimeError", "Error at ");

    // Projects may nest; a hundred thousand of them may not.
    const std::string instances = folder.Write("deep-instances.xml", InstanceDocument(Nested("Project", 100000)));
    ExpectThrow(RunBounded([&] { return InstanceReader().ParseFile(instances); }, Seconds(20)), "ZVXMLRuntimeError",
                "ParseZVInstanceXML: COM Error: ");

    // A struct whose class nests itself: each Child is a new struct value.
    const std::string structs = folder.Write(
        "deep-struct.xml", InstanceDocument("<Holder><Root>" + Nested("Child", 100000, "<Value>v</Value>") +
                                            "</Root></Holder>"));
    Outcome outcome = RunBounded([&] { return InstanceReader().ParseFile(structs); }, Seconds(20));
    ExpectThrow(outcome, "ZVXMLRuntimeError", "ParseZVInstanceXML: COM Error: ");
    EXPECT_NE(outcome.message.find("256"), std::string::npos) << outcome.Describe();
    ExpectMemoryBelow(outcome, 64);
}

TEST(HostileSize, SixtyFourMegabytesInOneValueEndInAParseError)
{
    HostileFolder folder;
    const std::string huge(64u << 20, 'v');
    const std::string schema =
        folder.Write("huge-attribute.xml", SchemaFile("schemaName='H' nameSpacePrefix='h' description='" + huge + "'", ""));
    Outcome loaded = RunBounded([&] { return LoadSchemaFile(schema); }, Seconds(30));
    ExpectThrow(loaded, "ZVXMLRuntimeError", "Error at ");
    ExpectMemoryBelow(loaded, 400); // the file is read whole: 64 MB plus the parser's copy

    const std::string text =
        folder.Write("huge-text.xml", InstanceDocument("<Pump><Name>" + huge + "</Name></Pump>"));
    Outcome parsed = RunBounded([&] { return InstanceReader().ParseFile(text); }, Seconds(30));
    ExpectThrow(parsed, "ZVXMLRuntimeError", "ParseZVInstanceXML: COM Error: ");
    EXPECT_NE(parsed.message.find("longer than 10000000 bytes"), std::string::npos) << parsed.Describe();
    ExpectMemoryBelow(parsed, 160); // streamed, and refused at 10 MB of text

    const std::string attribute =
        folder.Write("huge-id.xml", InstanceDocument("<Pump id='" + huge + "'/>"));
    ExpectThrow(RunBounded([&] { return InstanceReader().ParseFile(attribute); }, Seconds(30)), "ZVXMLRuntimeError",
                "ParseZVInstanceXML: COM Error: ");
}

TEST(HostileSize, AMillionAttributesOnOneElementAreRefused)
{
    HostileFolder folder;
    const std::string many = Attributes(1000000);
    const std::string schema = folder.Write("wide.xml", SchemaFile("schemaName='W' nameSpacePrefix='w'" + many, ""));
    Outcome loaded = RunBounded([&] { return LoadSchemaFile(schema); }, Seconds(20));
    ExpectThrow(loaded, "ZVXMLRuntimeError", "Error at ");

    const std::string instances = folder.Write("wide-instances.xml", InstanceDocument("<Pump" + many + "/>"));
    Outcome parsed = RunBounded([&] { return InstanceReader().ParseFile(instances); }, Seconds(20));
    ExpectThrow(parsed, "ZVXMLRuntimeError", "ParseZVInstanceXML: COM Error: ");
    EXPECT_NE(parsed.message.find("Element has more than 10000 attributes"), std::string::npos) << parsed.Describe();
    // Half a million still fits libxml2's limit on one tag; the guard stops it too.
    const std::string half = folder.Write("half.xml", InstanceDocument("<Pump" + Attributes(500000) + "/>"));
    ExpectThrow(RunBounded([&] { return InstanceReader().ParseFile(half); }, Seconds(20)), "ZVXMLRuntimeError",
                "ParseZVInstanceXML: COM Error: ");
    // Below the limit all is well.
    const std::string fine = folder.Write("fine.xml", InstanceDocument("<Pump" + Attributes(9000) + "/>"));
    Outcome accepted = RunBounded([&] { return InstanceReader().ParseFile(fine); }, Seconds(20));
    EXPECT_EQ(accepted.kind, Outcome::Returned) << accepted.Describe();
    EXPECT_EQ(accepted.result, 1);
}
