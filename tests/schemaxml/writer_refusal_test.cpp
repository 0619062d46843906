// A text the file could not carry: the writer refuses it, names the item
// and the character, and leaves the file it would have replaced alone.
#include "schema_file_support.h"
#include "support/expect_throw.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace ZVXML;
using namespace zvtest;

namespace {

const wchar_t* const kCannotCarry = L", a character XML 1.0 cannot carry.";

// Plant {Pipe {Length}, Options (custom attribute class) {Hidden, Tags},
// Connects (Pipe -> Pipe)}, with Options on Pipe's Length.
struct Plant {
    Plant()
    {
        options->AddZVProperty(L"Hidden", L"string", L"");
        options->AddZVProperty(L"Tags", L"string", L"")->SetMaxOccurs(L"unbounded");
        length->AddZVCustomAttribute(attribute);
        connects->m_source.m_className = L"Pipe";
        connects->m_source.m_keyVector = {L"Length"};
        connects->m_targets.m_classNames = {L"Pipe"};
        connects->m_targets.m_keyVectors = {{}};
    }
    ~Plant() { CZVSchema::FreeRecycledValues(); }

    CZVSchema schema{L"p", L"Plant", L""};
    CZVClass* options = schema.CreateZVClass(L"Options", L"", ZVCLASSTYPE_CUSTOM_ATTRIBUTE);
    CZVClass* pipe = schema.CreateZVClass(L"Pipe", L"", ZVCLASSTYPE_DOMAIN);
    CZVProperty* length = pipe->AddZVProperty(L"Length", L"double", L"");
    CZVCustomAttribute* attribute = new CZVCustomAttribute(options);
    CZVRelationshipClass* connects = schema.CreateZVRelationshipClass(L"Connects", L"", ZVCLASSTYPE_DOMAIN);
};

// One way to spoil a good plant, and the item and text the refusal names.
struct Spoiling {
    std::function<void(Plant&)> spoil;
    std::wstring message;
};

// Writes the plant over a good file, then again after each spoiling: that
// write must throw "Cannot write <message><ending>" and leave the good file
// byte for byte, with nothing beside it.
void ExpectEachRefusedKeepingTheFile(const std::vector<Spoiling>& cases, const std::wstring& ending)
{
    for (const Spoiling& c : cases) {
        SCOPED_TRACE(ToUtf8(c.message));
        ScratchFolder folder;
        Plant plant;
        const std::wstring path = folder.WidePath("Plant.zvschema.xml");
        ASSERT_EQ(plant.schema.WriteXML(path.c_str()), 0);
        const std::string good = ReadAll(folder.Path("Plant.zvschema.xml"));
        c.spoil(plant);
        EXPECT_ZV_THROW(plant.schema.WriteXML(path.c_str()), ZVXMLFormatError, L"Cannot write " + c.message + ending);
        EXPECT_TRUE(ReadAll(folder.Path("Plant.zvschema.xml")) == good) << "the old file changed";
        EXPECT_EQ(folder.Names().size(), 1u); // no leftovers
    }
}

// Each spoiled text is refused as "Cannot write <item>: its <text> holds
// <character>, ...".
TEST(WriterRefusal, EveryItemIsNamedWithTheTextAndTheCharacter)
{
    const std::wstring ends = L"of ZVRelationshipClass 'Connects' of ZVSchema 'Plant': its ";
    const std::wstring custom =
        L"ZVCustomAttribute 'Options' of ZVProperty 'Length' of ZVClass 'Pipe' of ZVSchema 'Plant'";
    const std::vector<Spoiling> cases = {
        {[](Plant& p) { p.pipe->SetDescription(L"bad\x02"); },
         L"ZVClass 'Pipe' of ZVSchema 'Plant': its description holds U+0002"},
        {[](Plant& p) { p.length->SetDisplayLabel(L"a\x1F"); },
         L"ZVProperty 'Length' of ZVClass 'Pipe' of ZVSchema 'Plant': its displayLabel holds U+001F"},
        {[](Plant& p) { p.schema.SetDisplayLabel(L"\xFFFE"); }, L"ZVSchema 'Plant': its displayLabel holds U+FFFE"},
        {[](Plant& p) { p.schema.SetDescription(L"x\x0Bx"); }, L"ZVSchema 'Plant': its description holds U+000B"},
        {[](Plant& p) { p.connects->SetStrength(L"\x0C"); },
         L"ZVRelationshipClass 'Connects' of ZVSchema 'Plant': its strength holds U+000C"},
        {[](Plant& p) { p.connects->m_source.m_roleLabel = L"feeds\x01"; },
         L"Source " + ends + L"roleLabel holds U+0001"},
        {[](Plant& p) { p.connects->m_targets.m_cardinality = std::wstring(1, wchar_t(0xDC00)); },
         L"Target " + ends + L"cardinality holds U+DC00"},
        {[](Plant& p) { p.connects->m_source.m_keyVector = {L"key\x1B"}; },
         L"key of Source " + ends + L"name holds U+001B"},
        {[](Plant& p) { p.attribute->SetPropertyValue(L"Hidden", L"yes\x02"); },
         L"property 'Hidden' of " + custom + L": its text holds U+0002"},
        {[](Plant& p) {
             CZVProperty* tagsProperty = p.options->FindProperty(L"Tags");
             auto* tags = new ZVArrayValue(tagsProperty);
             p.attribute->AddZVValue(tags);
             tags->PushBack(new CZVValue(tagsProperty, L"ok"));
             tags->PushBack(new CZVValue(tagsProperty, std::wstring(1, wchar_t(0x110000)).c_str()));
         },
         L"member of property 'Tags' of " + custom + L": its text holds U+110000"},
        {[](Plant& p) { p.attribute->SetInstanceID(L"id\xFFFF"); }, custom + L": its id holds U+FFFF"},
        // A NUL inside a string is a character too, not the string's end.
        {[](Plant& p) { p.attribute->SetPropertyValue(L"Hidden", std::wstring(L"x\0y", 3)); },
         L"property 'Hidden' of " + custom + L": its text holds U+0000"},
        {[](Plant& p) { p.attribute->SetInstanceID(std::wstring(L"i\0x", 3)); }, custom + L": its id holds U+0000"},
        {[](Plant& p) { p.schema.SetDescription(std::wstring(L"s\0", 2)); },
         L"ZVSchema 'Plant': its description holds U+0000"},
        {[](Plant& p) { p.pipe->SetDescription(std::wstring(L"\0c", 2)); },
         L"ZVClass 'Pipe' of ZVSchema 'Plant': its description holds U+0000"},
        {[](Plant& p) { p.length->SetDescription(std::wstring(L"l\0", 2)); },
         L"ZVProperty 'Length' of ZVClass 'Pipe' of ZVSchema 'Plant': its description holds U+0000"},
        {[](Plant& p) { p.connects->SetDescription(std::wstring(L"r\0", 2)); },
         L"ZVRelationshipClass 'Connects' of ZVSchema 'Plant': its description holds U+0000"},
        {[](Plant& p) { p.connects->m_targets.m_roleLabel = std::wstring(L"t\0", 2); },
         L"Target " + ends + L"roleLabel holds U+0000"},
        {[](Plant& p) { p.connects->m_source.m_keyVector = {std::wstring(L"k\0", 2)}; },
         L"key of Source " + ends + L"name holds U+0000"},
        {[](Plant& p) {
             CZVSchemaReference reference(new CZVSchema(L"u", L"Units", L""));
             p.schema.AddReference(reference);
             CZVReferencedSchemaIterator(&p.schema).Begin()->m_versionString = L"00.00\x02";
         },
         L"ZVSchemaReference 'Units' of ZVSchema 'Plant': its version holds U+0002"},
    };
    ExpectEachRefusedKeepingTheFile(cases, kCannotCarry);
}

// A text longer than a reader of the file takes: an attribute (its start
// tag keeps room below libxml2's 10,000,000 bytes of look-ahead) and a
// custom attribute's text (10,000,000 bytes; é takes two).
TEST(WriterRefusal, TextsLongerThanAReaderTakesAreNamed)
{
    const std::vector<Spoiling> cases = {
        {[](Plant& p) { p.pipe->SetDescription(std::wstring(9934465, L'd')); },
         L"ZVClass 'Pipe' of ZVSchema 'Plant': its description is longer than 9934464"},
        {[](Plant& p) { p.schema.SetDescription(std::wstring(9934465, L'd')); },
         L"ZVSchema 'Plant': its description is longer than 9934464"},
        {[](Plant& p) { p.attribute->SetPropertyValue(L"Hidden", std::wstring(5000001, L'\u00E9')); },
         L"property 'Hidden' of ZVCustomAttribute 'Options' of ZVProperty 'Length' of ZVClass 'Pipe' of ZVSchema "
         L"'Plant': its text is longer than 10000000"},
        {[](Plant& p) { p.attribute->SetInstanceID(std::wstring(9934465, L'i')); },
         L"ZVCustomAttribute 'Options' of ZVProperty 'Length' of ZVClass 'Pipe' of ZVSchema 'Plant': its id is longer "
         L"than 9934464"},
    };
    ExpectEachRefusedKeepingTheFile(cases, L" bytes, more than a reader of the document accepts.");
    // At the limits the file reads back.
    ScratchFolder folder;
    Plant plant;
    plant.pipe->SetDescription(std::wstring(9934464, L'd'));
    plant.attribute->SetPropertyValue(L"Hidden", std::wstring(5000000, L'\u00E9'));
    const std::wstring path = folder.WidePath("Plant.zvschema.xml");
    ASSERT_EQ(plant.schema.WriteXML(path.c_str()), 0);
    CZVSchema reread(L"r", L"Reread", L"");
    EXPECT_EQ(reread.ReadXML(path.c_str()), 0);
    EXPECT_EQ(std::wcslen(reread.FindZVClass(L"Pipe", ZVCLASSTYPE_ANY)->GetDescription()), 9934464u);
}

// A name the model holds but no XML name can be (U+00AA is a letter to the
// naming rule, yet no XML name character) is refused, named, and the old
// file stays.
TEST(WriterRefusal, NamesThatAreNoXmlNamesAreNamed)
{
    const std::vector<Spoiling> cases = {
        {[](Plant& p) {
             CZVClass* odd = p.schema.CreateZVClass(L"\u00AA", L"", ZVCLASSTYPE_CUSTOM_ATTRIBUTE);
             p.pipe->AddZVCustomAttribute(new CZVCustomAttribute(odd));
         },
         L"ZVCustomAttribute '\u00AA' of ZVClass 'Pipe' of ZVSchema 'Plant': its element name '\u00AA'"},
        {[](Plant& p) {
             CZVSchemaReference reference(new CZVSchema(L"u", L"Units", L""));
             reference.m_schemaPrefix = L"1u";
             p.schema.AddReference(reference);
         },
         L"ZVSchemaReference 'Units' of ZVSchema 'Plant': its prefix '1u'"},
    };
    ExpectEachRefusedKeepingTheFile(cases, L" is not an XML name.");

    // XML names, but bound by XML itself.
    std::vector<Spoiling> reserved;
    for (const std::wstring prefix : {L"xml", L"xmlns"}) {
        reserved.push_back({[prefix](Plant& p) {
                                CZVSchemaReference reference(new CZVSchema(L"u", L"Units", L""));
                                reference.m_schemaPrefix = prefix;
                                p.schema.AddReference(reference);
                            },
                            L"ZVSchemaReference 'Units' of ZVSchema 'Plant': its prefix '" + prefix + L"'"});
    }
    ExpectEachRefusedKeepingTheFile(reserved, L" is reserved by XML and cannot name another namespace.");
}

// Each reference declares its prefix on the root, beside the file format's
// two declarations, and a custom attribute declares its schema's namespace
// where it stands. Readers refuse a file with more than 1000 declarations in
// scope at an element, so the writer does not write one: it refuses, naming
// the limit and the references, and leaves the earlier file alone.
TEST(WriterRefusal, NoMoreNamespaceDeclarationsThanAReaderTakes)
{
    const struct {
        bool customAttribute;
        int references;
    } cases[] = {{false, 998}, {false, 999}, {true, 997}, {true, 998}};
    for (const auto& c : cases) {
        const int declarations = c.references + 2 + (c.customAttribute ? 1 : 0);
        SCOPED_TRACE(std::to_string(c.references) + " references, " + std::to_string(declarations) + " declarations");
        ScratchFolder folder;
        Plant plant;
        CZVSchema bare{L"p", L"Plant", L""};
        CZVSchema& schema = c.customAttribute ? plant.schema : bare;
        const std::wstring path = folder.WidePath("Plant.zvschema.xml");
        ASSERT_EQ(schema.WriteXML(path.c_str()), 0);
        const std::string good = ReadAll(folder.Path("Plant.zvschema.xml"));
        for (int i = 0; i < c.references; ++i) {
            const std::wstring n = std::to_wstring(i);
            CZVSchemaReference reference(new CZVSchema((L"r" + n).c_str(), (L"R" + n).c_str(), L""));
            schema.AddReference(reference);
        }
        if (declarations <= 1000) {
            ASSERT_EQ(schema.WriteXML(path.c_str()), 0);
            XMLDocument document;
            EXPECT_TRUE(document.Load(path.c_str())) << ToUtf8(document.ParseError().reason);
            continue;
        }
        EXPECT_ZV_THROW(schema.WriteXML(path.c_str()), ZVXMLRuntimeError,
                        L"Cannot write ZVSchema 'Plant': with its " + std::to_wstring(c.references) +
                            L" references the file would hold 1001 namespace declarations in scope, more than the "
                            L"1000 a reader of the file accepts.");
        EXPECT_TRUE(ReadAll(folder.Path("Plant.zvschema.xml")) == good) << "the old file changed";
        EXPECT_EQ(folder.Names().size(), 1u);
    }
}

// The document tree refuses such texts too: a host that builds its own
// document cannot save one that does not read back.
TEST(DocumentBuilding, TextsXmlCannotCarryAreRefused)
{
    XMLDocument document;
    ASSERT_TRUE(document.LoadXML(L"<r/>"));
    const XMLNode root = document.FirstChild();
    for (const std::wstring& text :
         {std::wstring(L"a\x02"), std::wstring(1, wchar_t(0xD800)), std::wstring(L"\xFFFF")}) {
        EXPECT_TRUE(document.CreateTextNode(text.c_str()).IsNull());
        EXPECT_NE(document.LastError().find(L"a character XML 1.0 cannot carry"), std::wstring::npos);
        EXPECT_EQ(document.SetAttribute(root, L"a", text.c_str()), XML_STATUS_INVALID_ARGUMENT);
    }
    EXPECT_FALSE(document.CreateTextNode(L"tab\tline\nok \U0001F600").IsNull());
    // Names follow the current XML rules: U+01C4 and U+1D400 are names, U+00AA and a leading digit are not.
    EXPECT_FALSE(document.CreateElement(L"\u01C4\U0001D400", L"").IsNull());
    EXPECT_TRUE(document.CreateElement(L"\u00AA", L"").IsNull());
    EXPECT_EQ(document.SetAttribute(root, L"xmlns:\u2071x", L"u"), XML_STATUS_OK);
    EXPECT_EQ(document.SetAttribute(root, L"xmlns:1x", L"u"), XML_STATUS_INVALID_ARGUMENT);
    EXPECT_EQ(document.SetAttribute(root, L"\u01C4:a", L"v"), XML_STATUS_OK);
    EXPECT_EQ(document.SetAttribute(root, L"a", L"\u00e9\U0001F600"), XML_STATUS_OK);
}

} // namespace
