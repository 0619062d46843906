// Documents that are very deep, very large in one place, or very wide.
#include "hostile/hostile.h"

#include <gtest/gtest.h>

using namespace zvtest;

namespace {

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
    ScratchFolder folder;
    const std::string schema =
        folder.WriteFile("deep.xml", SchemaFile("schemaName='D' nameSpacePrefix='d'",
                                                "<ZVClass typeName='A'>" + Nested("x", 100000) + "</ZVClass>"));
    ExpectSchemaRefused(schema, "", 20);
    // Projects may nest; a hundred thousand of them may not.
    ExpectInstancesRefused(folder.WriteFile("deep-instances.xml", InstanceDocument(Nested("Project", 100000))), "", 20);

    // A struct whose class nests itself: each Child is a new struct value.
    const std::string structs = folder.WriteFile(
        "deep-struct.xml",
        InstanceDocument("<Holder><Root>" + Nested("Child", 100000, "<Value>v</Value>") + "</Root></Holder>"));
    ExpectMemoryBelow(ExpectInstancesRefused(structs, "256", 20), 64);
}

TEST(HostileSize, SixtyFourMegabytesInOneValueEndInAParseError)
{
    ScratchFolder folder;
    const std::string huge(64u << 20, 'v');
    const std::string schema = folder.WriteFile(
        "huge-attribute.xml", SchemaFile("schemaName='H' nameSpacePrefix='h' description='" + huge + "'", ""));
    ExpectMemoryBelow(ExpectSchemaRefused(schema, "", 30), 400); // the file is read whole: 64 MB plus the parser's copy
    const std::string text =
        folder.WriteFile("huge-text.xml", InstanceDocument("<Pump><Name>" + huge + "</Name></Pump>"));
    // Streamed, and refused at 10 MB of text.
    ExpectMemoryBelow(ExpectInstancesRefused(text, "longer than 10000000 bytes", 30), 160);
    ExpectInstancesRefused(folder.WriteFile("huge-id.xml", InstanceDocument("<Pump id='" + huge + "'/>")), "", 30);
}

TEST(HostileSize, AMillionAttributesOnOneElementAreRefused)
{
    ScratchFolder folder;
    const std::string many = Attributes(1000000);
    const std::string schema =
        folder.WriteFile("wide.xml", SchemaFile("schemaName='W' nameSpacePrefix='w'" + many, ""));
    ExpectSchemaRefused(schema, "", 20);
    const std::string instances = folder.WriteFile("wide-instances.xml", InstanceDocument("<Pump" + many + "/>"));
    ExpectInstancesRefused(instances, "Element has more than 10000 attributes", 20);
    // Below the limit all is well.
    const std::string fine = folder.WriteFile("fine.xml", InstanceDocument("<Pump" + Attributes(9000) + "/>"));
    Outcome accepted = RunBounded([&] { return InstanceReader().ParseFile(fine); }, Seconds(20));
    ExpectReturned(accepted, 1);
}

// With a quarter of a million namespace declarations in scope each later
// start tag costs libxml2 a tenth of a millisecond; past a thousand the
// document is refused before libxml2 sees the tag.
TEST(HostileSize, AQuarterMillionNamespaceDeclarationsInScopeAreRefused)
{
    ScratchFolder folder;
    std::string declaring;
    for (int level = 0; level < 25; ++level) {
        declaring += "<Project";
        for (int i = 0; i < 10000; ++i) {
            declaring += " xmlns:p" + std::to_string(level) + "_" + std::to_string(i) + "='urn:n'";
        }
        declaring += ">";
    }
    const std::string body = declaring + Repeat("<Pump/>", 100000);
    ExpectInstancesRefused(folder.WriteFile("namespaces.xml", InstanceDocument(body + Repeat("</Project>", 25))),
                           "More than 1000 namespace declarations in scope");
    const std::string schema =
        folder.WriteFile("namespaces.zvschema.xml", SchemaFile("schemaName='N' nameSpacePrefix='n'",
                                                               "<ZVClass typeName='A'>" + declaring + "</ZVClass>"));
    ExpectSchemaRefused(schema);
}

// libxml2 keeps every distinct name of a parse in a dictionary whose hash
// table stops growing at a few thousand buckets: with a million names (ten
// megabytes of attributes, each named once) every later name costs a walk
// through hundreds of others, and the parse takes minutes.
TEST(HostileSize, AMillionDistinctNamesAreRefused)
{
    const auto attributes = [](int count) {
        std::string body;
        for (int element = 0; element < count; ++element) {
            body += "<Pump";
            for (int i = 0; i < 100; ++i) {
                body += " a" + std::to_string(element * 100 + i) + "=''";
            }
            body += "/>";
        }
        return body;
    };
    ScratchFolder folder;
    const std::string path = folder.WriteFile("names.xml", InstanceDocument(attributes(10000)));
    ExpectMemoryBelow(ExpectInstancesRefused(path, "More than 100000 distinct names in the document", 20), 64);
    // The document tree refuses it too, and so a schema file.
    Outcome tree = RunBounded(
        [&] {
            ZVXML::XMLDocument document;
            return document.Load(Widen(path).c_str()) ? 0L : document.ParseError().errorCode;
        },
        Seconds(20));
    ExpectReturned(tree, ZVXML::XML_LOAD_TOO_MANY_NAMES);
    const std::string schema =
        folder.WriteFile("names.zvschema.xml", SchemaFile("schemaName='N' nameSpacePrefix='n'",
                                                          "<ZVClass typeName='A'/>" + attributes(10000)));
    ExpectSchemaRefused(schema, "", 20);
    // Processing instructions bring names too.
    std::string instructions;
    for (int i = 0; i < 150000; ++i) {
        instructions += "<?t" + std::to_string(i) + "?>";
    }
    ExpectInstancesRefused(folder.WriteFile("instructions.xml", InstanceDocument("<Pump>" + instructions + "</Pump>")));
    // Below the limit all is well.
    const std::string fewer = folder.WriteFile("fewer.xml", InstanceDocument(attributes(900)));
    ExpectReturned(RunBounded([&] { return InstanceReader().ParseFile(fewer); }, Seconds(20)), 900);
}

// Each token used to shift the rest of the name: 400,000 of them took over
// two minutes.
TEST(HostileSize, ATagOfManyEncodedCharactersDecodesInLinearTime)
{
    Outcome outcome = RunBounded(
        [] {
            std::wstring name = Widen(Repeat("a__x0020__", 400000));
            return ZVXML::DecodeFromValidXmlTag(name) == 1 ? static_cast<long>(name.size()) : -1L;
        },
        Seconds(20));
    ExpectReturned(outcome, 800000);
}
