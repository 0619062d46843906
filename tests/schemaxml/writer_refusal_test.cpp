// A text the file could not carry: the writer refuses it, names the item
// and the character, and leaves the file it would have replaced alone.
#include "schema_file_support.h"
#include "support/expect_throw.h"

#include <gtest/gtest.h>

#include <functional>

using namespace ZVXML;
using namespace zvtest;

namespace {

const wchar_t* const kCannotCarry = L", a character XML 1.0 cannot carry.";

// Plant {Pipe {Length}, Options (custom attribute class) {Hidden, Tags},
// Connects (Pipe -> Pipe)}, with Options on Pipe's Length.
class WriterRefusal : public ::testing::Test {
protected:
    WriterRefusal()
    {
        options = schema.CreateZVClass(L"Options", L"", ZVCLASSTYPE_CUSTOM_ATTRIBUTE);
        options->AddZVProperty(L"Hidden", L"string", L"");
        options->AddZVProperty(L"Tags", L"string", L"")->SetMaxOccurs(L"unbounded");
        pipe = schema.CreateZVClass(L"Pipe", L"", ZVCLASSTYPE_DOMAIN);
        length = pipe->AddZVProperty(L"Length", L"double", L"");
        attribute = new CZVCustomAttribute(options);
        length->AddZVCustomAttribute(attribute);
        connects = schema.CreateZVRelationshipClass(L"Connects", L"", ZVCLASSTYPE_DOMAIN);
        connects->m_source.m_className = L"Pipe";
        connects->m_source.m_keyVector = {L"Length"};
        connects->m_targets.m_classNames = {L"Pipe"};
        connects->m_targets.m_keyVectors = {{}};
    }
    ~WriterRefusal() override { CZVSchema::FreeRecycledValues(); }

    // Writes the schema over a good file, then again after `spoil`: that
    // write must throw `message` and leave the good file byte for byte.
    void ExpectRefused(const std::function<void()>& spoil, const std::wstring& message)
    {
        const std::wstring path = folder.WidePath("Plant.zvschema.xml");
        ASSERT_EQ(schema.WriteXML(path.c_str()), 0);
        const std::string good = ReadAll(folder.Path("Plant.zvschema.xml"));
        spoil();
        EXPECT_ZV_THROW(schema.WriteXML(path.c_str()), ZVXMLFormatError, message);
        EXPECT_TRUE(ReadAll(folder.Path("Plant.zvschema.xml")) == good) << "the old file changed";
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1); // no leftovers
    }

    ScratchFolder folder;
    CZVSchema schema{L"p", L"Plant", L""};
    CZVClass* options;
    CZVClass* pipe;
    CZVProperty* length;
    CZVCustomAttribute* attribute;
    CZVRelationshipClass* connects;
};

TEST_F(WriterRefusal, ClassesPropertiesAndTheSchemaNameTheItem)
{
    ExpectRefused([&] { pipe->SetDescription(L"bad\x02"); },
                  std::wstring(L"Cannot write ZVClass 'Pipe' of ZVSchema 'Plant': its description holds U+0002") +
                      kCannotCarry);
    pipe->SetDescription(L"");
    ExpectRefused(
        [&] { length->SetDisplayLabel(L"a\x1F"); },
        std::wstring(
            L"Cannot write ZVProperty 'Length' of ZVClass 'Pipe' of ZVSchema 'Plant': its displayLabel holds U+001F") +
            kCannotCarry);
    length->SetDisplayLabel(L"");
    ExpectRefused([&] { schema.SetDisplayLabel(L"\xFFFE"); },
                  std::wstring(L"Cannot write ZVSchema 'Plant': its displayLabel holds U+FFFE") + kCannotCarry);
    schema.SetDisplayLabel(L"");
    ExpectRefused([&] { schema.SetDescription(L"x\x0Bx"); },
                  std::wstring(L"Cannot write ZVSchema 'Plant': its description holds U+000B") + kCannotCarry);
}

TEST_F(WriterRefusal, RelationshipClassesAndTheirEndsNameTheItem)
{
    ExpectRefused(
        [&] { connects->SetStrength(L"\x0C"); },
        std::wstring(L"Cannot write ZVRelationshipClass 'Connects' of ZVSchema 'Plant': its strength holds U+000C") +
            kCannotCarry);
    connects->SetStrength(L"");
    ExpectRefused(
        [&] { connects->m_source.m_roleLabel = L"feeds\x01"; },
        std::wstring(
            L"Cannot write Source of ZVRelationshipClass 'Connects' of ZVSchema 'Plant': its roleLabel holds U+0001") +
            kCannotCarry);
    connects->m_source.m_roleLabel.clear();
    ExpectRefused([&] { connects->m_targets.m_cardinality = std::wstring(1, wchar_t(0xDC00)); },
                  std::wstring(L"Cannot write Target of ZVRelationshipClass 'Connects' of ZVSchema 'Plant': its "
                               L"cardinality holds U+DC00") +
                      kCannotCarry);
    connects->m_targets.m_cardinality.clear();
    ExpectRefused(
        [&] { connects->m_source.m_keyVector = {L"key\x1B"}; },
        std::wstring(L"Cannot write key of Source of ZVRelationshipClass 'Connects' of ZVSchema 'Plant': its name "
                     L"holds U+001B") +
            kCannotCarry);
}

TEST_F(WriterRefusal, CustomAttributesNameTheValueAndWhereTheyStand)
{
    const std::wstring where =
        L"ZVCustomAttribute 'Options' of ZVProperty 'Length' of ZVClass 'Pipe' of ZVSchema 'Plant'";
    ExpectRefused([&] { attribute->SetPropertyValue(L"Hidden", L"yes\x02"); },
                  L"Cannot write property 'Hidden' of " + where + L": its text holds U+0002" + kCannotCarry);
    attribute->SetPropertyValue(L"Hidden", L"yes");
    ExpectRefused(
        [&] {
            auto* tags = new ZVArrayValue(options->FindProperty(L"Tags"));
            attribute->AddZVValue(tags);
            tags->PushBack(new CZVValue(options->FindProperty(L"Tags"), L"ok"));
            tags->PushBack(new CZVValue(options->FindProperty(L"Tags"), std::wstring(1, wchar_t(0x110000)).c_str()));
        },
        L"Cannot write member of property 'Tags' of " + where + L": its text holds U+110000" + kCannotCarry);
    attribute->RemoveAllZVValues();
    ExpectRefused([&] { attribute->SetInstanceID(L"id\xFFFF"); },
                  L"Cannot write " + where + L": its id holds U+FFFF" + kCannotCarry);
}

TEST_F(WriterRefusal, ReferencesNameTheItem)
{
    CZVSchema* units = new CZVSchema(L"u", L"Units", L"");
    CZVSchemaReference reference(units);
    schema.AddReference(reference);
    CZVReferencedSchemaIterator references(&schema);
    ExpectRefused(
        [&] { references.Begin()->m_versionString = L"00.00\x02"; },
        std::wstring(L"Cannot write ZVSchemaReference 'Units' of ZVSchema 'Plant': its version holds U+0002") +
            kCannotCarry);
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
    EXPECT_EQ(document.SetAttribute(root, L"a", L"\u00e9\U0001F600"), XML_STATUS_OK);
}

} // namespace
