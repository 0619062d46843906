// Whatever the reader accepts, the writer writes so that reading it back
// gives the same schema (versions normalised, base classes relative).
#include "schema_file_support.h"
#include "support/expect_throw.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

using namespace ZVXML;
using namespace zvtest;

namespace {

// Everything a schema file holds, as lines of text: two schemas read the
// same when their descriptions are equal. Classes are listed by name (the
// writer puts custom-attribute classes first), versions are normalised, and
// what the reader fills in by rule is described by that rule.
class SchemaDescription {
public:
    static std::wstring Of(CZVSchema& schema)
    {
        std::set<CZVSchema*> seen{&schema};
        return Schema(schema, seen);
    }

private:
    static std::wstring W(const wchar_t* text) { return text != nullptr ? text : L"(null)"; }
    static std::wstring Value(ZVValueBase* value)
    {
        if (value == nullptr)
            return L"(none)";
        const std::wstring name = value->PropertyName() + L"=";
        if (auto* primitive = dynamic_cast<CZVValue*>(value))
            return name + L"'" + primitive->Value() + L"'";
        if (auto* structValue = dynamic_cast<ZVStructValue*>(value))
            return name + Instance(structValue->GetValue());
        auto* array = dynamic_cast<ZVArrayValue*>(value);
        std::wstring text = name + L"[";
        for (std::size_t i = 0; array != nullptr && i < array->GetLength(); ++i)
            text += Value(array->GetValue(i)) + L",";
        return text + L"]";
    }
    static std::wstring Instance(CZVInstance* instance)
    {
        if (instance == nullptr)
            return L"(none)";
        std::wstring text = instance->TypeName() + L"#" + instance->InstanceID() + L"{";
        for (std::size_t i = 0; i < instance->GetZVValueCount(); ++i)
            text += Value(instance->GetZVValue(i)) + L";";
        return text + L"}";
    }
    static std::wstring Common(const CZVCommon& item)
    {
        std::wstring text = L" description='" + W(item.GetDescription()) + L"'";
        for (std::size_t i = 0; i < item.GetZVCustomAttributeCount(); ++i) {
            text += L"\n    @" + Instance(item.GetZVCustomAttribute(i));
        }
        return text;
    }
    static std::wstring List(const std::vector<std::wstring>& names)
    {
        std::wstring text = L"[";
        for (const std::wstring& name : names)
            text += name + L",";
        return text + L"]";
    }
    static std::wstring Property(const CZVProperty& property)
    {
        // A maximum without a minimum reads back with the minimum "0".
        std::wstring minOccurs = property.GetMinOccurs();
        if (minOccurs.empty() && *property.GetMaxOccurs() != L'\0')
            minOccurs = L"0";
        return L"\n  property " + W(property.GetPropertyName()) + L" : " + W(property.GetTypeName()) + L" " +
               minOccurs + L".." + W(property.GetMaxOccurs()) + L" label=" + W(property.GetDisplayLabel()) +
               L" struct=" + std::to_wstring(property.IsStruct()) + L" array=" + std::to_wstring(property.IsArray()) +
               L" readOnly=" + std::to_wstring(property.ReadOnly() ? 1 : 0) + Common(property);
    }
    static std::wstring Ends(CZVRelationshipClass& link)
    {
        // "ZVObject" stands for any class; a source end naming it names none.
        const CZVSource& source = link.m_source;
        const std::wstring sourceClass = source.m_className == L"ZVObject" ? L"" : source.m_className;
        std::wstring text = L"\n  strength=" + W(link.GetStrength()) + L" direction=" + W(link.GetStrengthDirection()) +
                            L"\n  source " + sourceClass + L" role=" + source.m_roleLabel + L" cardinality=" +
                            source.m_cardinality + L" polymorphic=" + std::to_wstring(source.m_isPolymorphic) +
                            (sourceClass.empty() ? L"" : L" keys=" + List(source.m_keyVector)) +
                            Common(source.Common());
        const CZVTargets& targets = link.m_targets;
        text += L"\n  targets " + List(targets.m_classNames) + L" keys=";
        for (const auto& keys : targets.m_keyVectors)
            text += List(keys);
        if (!targets.m_classNames.empty()) {
            text += L" role=" + targets.m_roleLabel + L" cardinality=" + targets.m_cardinality + L" polymorphic=" +
                    std::to_wstring(targets.m_isPolymorphic) + Common(targets.Common());
        }
        return text;
    }
    static std::wstring Class(CZVClass& zvClass)
    {
        std::wstring text = W(zvClass.GetTypeName()) + L" base=" + W(zvClass.GetBaseClass()) + L" label=" +
                            W(zvClass.GetDisplayLabel()) + L" type=" + std::to_wstring(zvClass.GetClassType()) +
                            Common(zvClass);
        for (std::size_t i = 0; i < zvClass.GetZVPropertyCount(); ++i)
            text += Property(*zvClass.GetZVProperty(i));
        if (auto* link = dynamic_cast<CZVRelationshipClass*>(&zvClass))
            text += Ends(*link);
        return text + L"\n";
    }
    static std::wstring Schema(CZVSchema& schema, std::set<CZVSchema*>& seen)
    {
        std::wstring text = L"schema " + W(schema.GetSchemaName()) + L" prefix=" + W(schema.GetSchemaPrefix()) +
                            L" version=" + schema.VersionString() + L" label=" + W(schema.GetDisplayLabel()) +
                            Common(schema) + L"\n";
        std::map<std::wstring, std::wstring> classes;
        for (std::size_t i = 0; i < schema.GetZVClassCount(); ++i) {
            classes[L"class " + W(schema.GetZVClassByIndex(i)->GetTypeName())] = Class(*schema.GetZVClassByIndex(i));
        }
        for (std::size_t i = 0; i < schema.GetZVRelationshipClassCount(); ++i) {
            CZVRelationshipClass* link = schema.GetZVRelationshipClass(i);
            classes[L"relationship class " + W(link->GetTypeName())] = Class(*link);
        }
        for (const auto& [name, description] : classes)
            text += name + L": " + description;
        CZVReferencedSchemaIterator references(&schema);
        for (CZVSchemaReference* reference = references.Begin(); reference != nullptr; reference = references.Next()) {
            unsigned long major = 0, minor = 0;
            CZVSchema::ParseVersionString(reference->m_versionString.c_str(), &major, &minor);
            std::wstring version;
            CZVSchema::FormatVersionString(version, major, minor);
            text += L"reference " + reference->m_schemaName + L" prefix=" + reference->m_schemaPrefix + L" version=" +
                    version + L"\n";
            if (reference->m_pZVSchema != nullptr && seen.insert(reference->m_pZVSchema).second) {
                text += Schema(*reference->m_pZVSchema, seen);
            }
        }
        return text;
    }
};

std::unique_ptr<CZVSchema> ReadBack(const std::filesystem::path& file)
{
    auto schema = std::make_unique<CZVSchema>(L"temporary", L"temporary", nullptr);
    schema->SetReferenceSearchPath(file.parent_path().wstring().c_str());
    EXPECT_EQ(schema->ReadXML(file.wstring().c_str()), 0);
    return schema;
}

// Writes the schema and every schema it references into `folder`, each
// under its official file name.
void WriteWithReferences(CZVSchema& schema, const std::filesystem::path& folder, std::set<CZVSchema*>& written)
{
    if (written.insert(&schema).second) {
        ASSERT_EQ(schema.WriteXML((folder / schema.OfficialFilename()).wstring().c_str()), 0);
        for (std::size_t i = 0; i < schema.GetReferenceCount(); ++i) {
            if (CZVSchema* referenced = schema.GetReferencedSchema(static_cast<unsigned long>(i))) {
                WriteWithReferences(*referenced, folder, written);
            }
        }
    }
}

// Writes the schema with its references into `folder` and reads it back.
std::unique_ptr<CZVSchema> WrittenAndReadBack(CZVSchema& original, const ScratchFolder& folder)
{
    std::set<CZVSchema*> written;
    WriteWithReferences(original, folder.path(), written);
    return ReadBack(folder.Path("") / original.OfficialFilename());
}

void ExpectRoundTrip(CZVSchema& original)
{
    ReportingLibraryErrors([&] {
        ScratchFolder folder;
        EXPECT_EQ(SchemaDescription::Of(original), SchemaDescription::Of(*WrittenAndReadBack(original, folder)));
    });
}

} // namespace

// Found by fuzzing: a custom-attribute class annotated with an attribute of
// its own class was written, attributes before properties, into a file that
// did not load; so was a second value of a property, written as "Text2". A
// class written later may annotate an earlier one, too.
TEST(SchemaRoundTrip, CustomAttributeClassesAnnotateThemselvesAndEachOther)
{
    CZVSchema schema(L"s", L"Notes", L"");
    CZVClass* first = schema.CreateZVClass(L"First", L"", ZVCLASSTYPE_CUSTOM_ATTRIBUTE);
    CZVProperty* text = first->AddZVProperty(L"Text", L"string", L"");
    CZVClass* second = schema.CreateZVClass(L"Second", L"", ZVCLASSTYPE_CUSTOM_ATTRIBUTE);
    CZVProperty* level = second->AddZVProperty(L"Level", L"string", L"");
    const auto annotate = [](CZVCommon& item, CZVClass* by, const wchar_t* property, const wchar_t* value) {
        auto* attribute = new CZVCustomAttribute(by);
        attribute->SetPropertyValue(property, value);
        item.AddZVCustomAttribute(attribute);
    };
    annotate(*first, first, L"Text", L"on itself");
    annotate(*first, second, L"Level", L"from a later class");
    annotate(*text, second, L"Level", L"on a property, from a later class");
    annotate(*level, second, L"Level", L"on its own class's property");
    annotate(*second, first, L"Text", L"from an earlier class");
    // Further values of one property are written as Text2, Text3.
    CZVCustomAttribute* repeated = first->GetZVCustomAttribute(0);
    repeated->AddZVValue(new CZVValue(text, L"again"));
    repeated->AddZVValue(new CZVValue(text, L"and again"));

    ExpectRoundTrip(schema);
    CZVSchema::FreeRecycledValues();
}

// A file with maxOccurs="1" before minOccurs="1" gives an array whose texts
// are both "1"; written back, it must stay an array.
TEST(SchemaRoundTrip, AnArrayOfAtMostOneStaysAnArray)
{
    CZVSchema schema(L"s", L"Occurs", L"");
    CZVProperty* tags =
        schema.CreateZVClass(L"Tagged", L"", ZVCLASSTYPE_DOMAIN)->AddZVProperty(L"Tags", L"string", L"");
    tags->SetMinOccurs(L"0");
    tags->SetMinOccurs(L"1");
    tags->SetMaxOccurs(L"1");
    ASSERT_EQ(tags->IsArray(), 1);
    ExpectRoundTrip(schema);
}

TEST(SchemaRoundTrip, EveryTestAndExampleSchemaSurvives)
{
    for (const std::string& file :
         {DataFolder("complete/Plant.01.02.zvschema.xml"), DataFolder("refs/Top.01.00.zvschema.xml"),
          DataFolder("../../../examples/schemas/Plant.01.02.zvschema.xml")}) {
        SCOPED_TRACE(file);
        ReportingLibraryErrors([&] { ExpectRoundTrip(*ReadBack(file)); });
    }
    CZVSchema::FreeRecycledValues();
}

// A class of a referenced schema is named by that schema's own prefix
// (GetRelativeClassName): the name resolves again, in memory and from the
// written file, also where the reference calls the schema by another prefix
// and where the schema is reached only through another one.
TEST(SchemaRoundTrip, RelativeNamesOfReferencedClassesResolveAgain)
{
    auto* bottom = new CZVSchema(L"b", L"Bottom", L"");
    bottom->CreateZVClass(L"BottomThing", L"", ZVCLASSTYPE_DOMAIN);
    auto* middle = new CZVSchema(L"m", L"Middle", L"");
    middle->CreateZVClass(L"MiddleThing", L"", ZVCLASSTYPE_DOMAIN);
    CZVSchemaReference toBottom(bottom);
    middle->AddReference(toBottom);
    CZVSchema top(L"t", L"Top", L"");
    CZVSchemaReference toMiddle(middle);
    toMiddle.m_schemaPrefix = L"x"; // not Middle's own prefix
    top.AddReference(toMiddle);

    ReportingLibraryErrors([&] {
        CZVClass* viaOtherPrefix = top.CreateZVClass(L"ViaOtherPrefix", L"", ZVCLASSTYPE_DOMAIN);
        viaOtherPrefix->SetBaseClass(L"x:MiddleThing");
        CZVClass* indirect = top.CreateZVClass(L"Indirect", L"", ZVCLASSTYPE_DOMAIN);
        indirect->SetBaseClass(L"BottomThing");
        CZVRelationshipClass* links = top.CreateZVRelationshipClass(L"Links", L"", ZVCLASSTYPE_DOMAIN);
        links->m_source.m_className = L"x:MiddleThing";
        links->m_targets.m_classNames = {L"BottomThing"};
        links->m_targets.m_keyVectors = {{}};
        EXPECT_EQ(std::wstring(viaOtherPrefix->GetBaseClass()), L"m:MiddleThing");
        EXPECT_EQ(std::wstring(indirect->GetBaseClass()), L"b:BottomThing");
        for (const wchar_t* name : {L"m:MiddleThing", L"b:BottomThing"}) {
            EXPECT_NE(top.FindZVClassUsingFullName(name, ZVCLASSTYPE_ANY), nullptr) << name;
            EXPECT_EQ(top.GetRelativeClassName(name), name);
        }

        ScratchFolder folder;
        std::unique_ptr<CZVSchema> reread = WrittenAndReadBack(top, folder);
        EXPECT_STREQ(reread->FindZVClass(L"ViaOtherPrefix", ZVCLASSTYPE_ANY)->GetBaseZVClass()->GetTypeName(),
                     L"MiddleThing");
        EXPECT_STREQ(reread->FindZVClass(L"Indirect", ZVCLASSTYPE_ANY)->GetBaseZVClass()->GetTypeName(),
                     L"BottomThing");
        links = reread->FindZVRelationshipClass(L"Links", ZVCLASSTYPE_ANY);
        ASSERT_NE(links, nullptr);
        EXPECT_EQ(links->m_source.m_className, L"m:MiddleThing");
        EXPECT_EQ(links->m_targets.m_classNames, std::vector<std::wstring>{L"b:BottomThing"});
        EXPECT_EQ(reread->WriteXML(folder.WidePath("Again.zvschema.xml").c_str()), 0);
    });
}

// Where the referring schema calls another schema by a class's own prefix,
// the class is named by the prefix of the reference to its own schema: the
// name leads back to that class, in memory and from the written file. A
// class whose own prefix still leads to it keeps that name.
TEST(SchemaRoundTrip, AnOwnPrefixThatNamesAnotherSchemaGivesWayToTheReferencesPrefix)
{
    auto* one = new CZVSchema(L"b", L"One", L"");
    one->CreateZVClass(L"Part", L"", ZVCLASSTYPE_DOMAIN)->AddZVProperty(L"FromOne", L"string", L"");
    auto* two = new CZVSchema(L"c", L"Two", L"");
    two->CreateZVClass(L"Part", L"", ZVCLASSTYPE_DOMAIN)->AddZVProperty(L"FromTwo", L"string", L"");
    CZVSchema main(L"m", L"Main", L"");
    CZVSchemaReference toOne(one);
    toOne.m_schemaPrefix = L"x";
    main.AddReference(toOne);
    CZVSchemaReference toTwo(two);
    toTwo.m_schemaPrefix = L"b"; // One's own prefix
    main.AddReference(toTwo);

    ReportingLibraryErrors([&] {
        CZVClass* valve = main.CreateZVClass(L"Valve", L"", ZVCLASSTYPE_DOMAIN);
        valve->SetBaseClass(L"x:Part");
        CZVRelationshipClass* feeds = main.CreateZVRelationshipClass(L"Feeds", L"", ZVCLASSTYPE_DOMAIN);
        feeds->m_source.m_className = L"x:Part";
        feeds->m_targets.m_classNames = {L"b:Part"};
        feeds->m_targets.m_keyVectors = {{}};
        EXPECT_EQ(std::wstring(valve->GetBaseClass()), L"x:Part");
        EXPECT_EQ(main.FindZVClassUsingFullName(valve->GetBaseClass(), ZVCLASSTYPE_ANY)->GetZVSchema(), one);
        EXPECT_EQ(main.GetRelativeClassName(L"b:Part"), L"c:Part");

        ScratchFolder folder;
        std::unique_ptr<CZVSchema> reread = WrittenAndReadBack(main, folder);
        valve = reread->FindZVClass(L"Valve", ZVCLASSTYPE_ANY);
        EXPECT_EQ(std::wstring(valve->GetBaseClass()), L"x:Part");
        EXPECT_STREQ(valve->GetBaseZVClass()->GetZVSchema()->GetSchemaName(), L"One");
        EXPECT_NE(valve->FindProperty(L"FromOne"), nullptr);
        feeds = reread->FindZVRelationshipClass(L"Feeds", ZVCLASSTYPE_ANY);
        ASSERT_NE(feeds, nullptr);
        EXPECT_EQ(feeds->m_source.m_className, L"x:Part");
        EXPECT_EQ(feeds->m_targets.m_classNames, std::vector<std::wstring>{L"c:Part"});
        EXPECT_STREQ(reread->FindZVClassUsingFullName(feeds->m_source.m_className.c_str(), ZVCLASSTYPE_ANY)
                         ->GetZVSchema()
                         ->GetSchemaName(),
                     L"One");
    });
}

// Names of the current XML rules that older ones refuse (U+01C4, U+1D400,
// U+2071) are read, so they are written too: a custom-attribute class, its
// property and a reference prefix.
TEST(SchemaRoundTrip, NamesOfTheCurrentXmlRulesAreWritten)
{
    auto* units = new CZVSchema(L"u", L"Units", L"");
    units->CreateZVClass(L"Meter", L"", ZVCLASSTYPE_DOMAIN);
    CZVSchema schema(L"s", L"Names", L"");
    CZVSchemaReference reference(units);
    reference.m_schemaPrefix = L"\u2071x";
    schema.AddReference(reference);
    ReportingLibraryErrors([&] {
        CZVClass* custom = schema.CreateZVClass(L"\u01C4", L"", ZVCLASSTYPE_CUSTOM_ATTRIBUTE);
        custom->AddZVProperty(L"\U0001D400", L"string", L"");
        auto* attribute = new CZVCustomAttribute(custom);
        attribute->SetPropertyValue(L"\U0001D400", L"v");
        schema.AddZVCustomAttribute(attribute);
        schema.CreateZVClass(L"Gauge", L"", ZVCLASSTYPE_DOMAIN)->SetBaseClass(L"\u2071x:Meter");
    });
    ExpectRoundTrip(schema);
    CZVSchema::FreeRecycledValues();
}
