#include <zvxml/zvxml.h>

#include "support/class_names.h"
#include "support/expect_throw.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ZVXML;
using zvtest::ClassNames;

// Relationship classes keep the schema they were made for, and names of
// their own.
TEST(AddClass, AddingSetsTheSchemaOfAClassNotOfARelationshipClass)
{
    CZVSchema schema(L"p", L"Plant", L"");
    CZVSchema elsewhere(L"q", L"Elsewhere", L"");
    auto* pipe = new CZVClass(L"Pipe", &elsewhere, nullptr);
    schema.AddZVClass(pipe);
    EXPECT_EQ(pipe->GetZVSchema(), &schema);
    auto* relationship = new CZVRelationshipClass(L"Pipe", &elsewhere, nullptr);
    schema.AddZVRelationshipClass(relationship);
    EXPECT_EQ(relationship->GetZVSchema(), &elsewhere);
    EXPECT_STREQ(relationship->GetTypeName(), L"Pipe");
}

TEST(AddClass, ABaseClassGoesBeforeTheClassesDerivedFromIt)
{
    // Valve names Part as its base while the target schema has no Part yet.
    CZVSchema scratch(L"s", L"Scratch", L"");
    scratch.CreateZVClass(L"Part", L"", 1);
    auto* valve = new CZVClass(L"Valve", &scratch, nullptr);
    valve->SetBaseClass(L"Part");

    CZVSchema schema(L"p", L"Plant", L"");
    schema.CreateZVClass(L"First", L"", 1);
    schema.AddZVClass(valve);
    schema.CreateZVClass(L"Other", L"", 1);
    schema.AddZVClass(new CZVClass(L"Part", &schema, nullptr));
    EXPECT_EQ(ClassNames(schema), (std::vector<std::wstring>{L"First", L"Part", L"Valve", L"Other"}));
}

TEST(CreateClass, ARefusedTypeAddsNothing)
{
    CZVSchema schema(L"p", L"Plant", L"");
    EXPECT_ZV_THROW(schema.CreateZVClass(L"Pipe", L"", 2), ZVXMLInvalidArgument,
                    L"Called SetClassType with invalid classType=0x2");
    EXPECT_ZV_THROW(schema.CreateZVRelationshipClass(L"Link", L"", 0), ZVXMLInvalidArgument,
                    L"Called SetClassType with invalid classType=0x0");
    EXPECT_EQ(schema.GetZVClassCount(), 0u);
    EXPECT_EQ(schema.GetZVRelationshipClassCount(), 0u);
    EXPECT_STREQ(schema.CreateZVClass(L"Pipe", L"", 1)->GetTypeName(), L"Pipe"); // the name stays free
}

TEST(RemoveAllClasses, RemovesTheClassesOnlyAndFreesTheirNames)
{
    CZVSchema schema(L"p", L"Plant", L"");
    schema.CreateZVClass(L"Pipe", L"", 1);
    auto* units = new CZVSchema(L"u", L"Units", L"");
    CZVSchemaReference reference(units);
    schema.AddReference(reference);
    schema.CreateZVRelationshipClass(L"Link", L"", 1);
    schema.RemoveAllClasses();
    EXPECT_EQ(schema.GetZVClassCount(), 0u);
    EXPECT_EQ(schema.GetZVRelationshipClassCount(), 1u);
    EXPECT_EQ(schema.GetReferencedSchema(0), units);
    EXPECT_EQ(schema.FindZVClass(L"Pipe", ZVCLASSTYPE_ANY), nullptr);
    EXPECT_STREQ(schema.CreateZVClass(L"Pipe", L"", 1)->GetTypeName(), L"Pipe"); // the name is free again
    EXPECT_STREQ(schema.CreateZVRelationshipClass(L"Link", L"", 1)->GetTypeName(), L"Link2"); // this one is not
}

// Classes deriving from a removed class, in this schema or in one that
// references it, must not keep pointing at it: they look their stored base
// class name up again, which finds a class only once one takes that name.
TEST(RemoveAllClasses, ClassesDerivedFromARemovedClassLookItsNameUpAgain)
{
    auto* units = new CZVSchema(L"u", L"Units", L"");
    CZVClass* part = units->CreateZVClass(L"Part", L"", 1);
    part->AddZVProperty(L"Mass", L"double", L"");
    CZVRelationshipClass* link = units->CreateZVRelationshipClass(L"Link", L"", 1);
    link->SetBaseClass(L"Part");
    CZVClass* sibling = units->CreateZVClass(L"Sibling", L"", 1);
    sibling->SetBaseClass(L"Part");
    CZVClass looseSibling(*sibling);
    CZVSchema plant(L"p", L"Plant", L"");
    CZVSchemaReference reference(units);
    plant.AddReference(reference);
    CZVClass* valve = plant.CreateZVClass(L"Valve", L"", 1);
    valve->SetBaseClass(L"u:Part");
    ASSERT_NE(looseSibling.FindProperty(L"Mass"), nullptr);

    units->RemoveAllClasses();
    // A relationship class looks among relationship classes, and "u:Part"
    // is no type name: both were found only through the link.
    EXPECT_ZV_THROW(link->GetBaseZVClass(), ZVXMLLogicError,
                    L"GetBaseZVClass is unable to find baseclass 'Part' of class 'Link'.");
    EXPECT_ZV_THROW(valve->FindProperty(L"Mass"), ZVXMLLogicError,
                    L"GetBaseZVClass is unable to find baseclass 'u:Part' of class 'Valve'.");
    EXPECT_ZV_THROW(looseSibling.FindProperty(L"Mass"), ZVXMLLogicError,
                    L"GetBaseZVClass is unable to find baseclass 'Part' of class 'Sibling'.");

    CZVClass* newPart = units->CreateZVClass(L"Part", L"", 1);
    EXPECT_EQ(looseSibling.GetBaseZVClass(), newPart);
    EXPECT_EQ(looseSibling.FindProperty(L"Mass"), nullptr);
}

// Custom attributes the schema keeps (its own, its relationship classes')
// may be instances of removed classes or hold instances of them: those
// classes leave the list and the lookups but live on with the schema and its
// copies, so the custom attributes are still written whole.
TEST(RemoveAllClasses, ClassesTheKeptCustomAttributesUseLiveOn)
{
    auto* schema = new CZVSchema(L"p", L"Plant", L"");
    CZVClass* note = schema->CreateZVClass(L"Note", L"", ZVCLASSTYPE_CUSTOM_ATTRIBUTE);
    CZVClass* extent = schema->CreateZVClass(L"Extent", L"", ZVCLASSTYPE_STRUCT | ZVCLASSTYPE_DOMAIN);
    extent->AddZVProperty(L"Width", L"double", L"");
    note->AddZVProperty(L"Text", L"string", L"");
    note->AddZVProperty(L"Size", L"Extent", L"");
    auto* attribute = new CZVCustomAttribute(note);
    attribute->SetPropertyValue(L"Text", L"hello");
    auto* size = new ZVStructValue(note->FindProperty(L"Size"));
    attribute->AddZVValue(size);
    size->GetValue()->SetPropertyValue(L"Width", 2.5);
    schema->AddZVCustomAttribute(attribute);
    CZVRelationshipClass* link = schema->CreateZVRelationshipClass(L"Link", L"", ZVCLASSTYPE_DOMAIN);
    link->m_source.Common().AddZVCustomAttribute(new CZVCustomAttribute(note));
    schema->CreateZVClass(L"Unused", L"", ZVCLASSTYPE_DOMAIN);

    schema->RemoveAllClasses();
    EXPECT_EQ(schema->GetZVClassCount(), 0u);
    EXPECT_EQ(schema->FindZVClass(L"Note", ZVCLASSTYPE_ANY), nullptr);
    schema->CreateZVClass(L"Note", L"", ZVCLASSTYPE_CUSTOM_ATTRIBUTE); // the name is free
    CZVSchema copy(*schema);
    delete schema;
    EXPECT_EQ(attribute->GetZVClass()->FullName(), L"p:Note");
    const zvtest::ScratchFolder folder;
    ASSERT_EQ(copy.WriteXML(folder.WidePath("Plant.zvschema.xml").c_str()), 0);
    const std::string written = zvtest::ReadAll(folder.Path("Plant.zvschema.xml"));
    EXPECT_NE(written.find("hello"), std::string::npos);
    EXPECT_NE(written.find("2.5"), std::string::npos);
}

// A schema that another owns through a reference cannot see the other's
// custom attributes, which may use any of its classes: all of them live on.
TEST(RemoveAllClasses, AReferencedSchemasClassesLiveOnForTheReferencingSchemasCustomAttributes)
{
    CZVSchema app(L"a", L"App", L"");
    auto* lib = new CZVSchema(L"l", L"Lib", L"");
    CZVClass* note = lib->CreateZVClass(L"Note", L"", ZVCLASSTYPE_CUSTOM_ATTRIBUTE);
    note->AddZVProperty(L"Text", L"string", L"");
    CZVSchemaReference reference(lib); // the reference owns it
    app.AddReference(reference);
    auto* attribute = new CZVCustomAttribute(note);
    attribute->SetPropertyValue(L"Text", L"kept");
    app.CreateZVClass(L"Pump", L"", ZVCLASSTYPE_DOMAIN)->AddZVCustomAttribute(attribute);

    lib->RemoveAllClasses();
    EXPECT_EQ(lib->FindZVClass(L"Note", ZVCLASSTYPE_ANY), nullptr);
    const zvtest::ScratchFolder folder;
    ASSERT_EQ(app.WriteXML(folder.WidePath("App.zvschema.xml").c_str()), 0);
    EXPECT_NE(zvtest::ReadAll(folder.Path("App.zvschema.xml")).find("kept"), std::string::npos);
}

// A class added later goes before the classes derived from it: a changed
// base class name is seen by that ordering rule too.
TEST(NameIndex, TheOrderingRuleSeesAChangedBaseClassName)
{
    CZVSchema schema(L"p", L"Plant", L"");
    CZVClass* x = schema.CreateZVClass(L"X", L"", 1);
    schema.CreateZVClass(L"Z", L"", 1);
    CZVClass* d = schema.CreateZVClass(L"D", L"", 1);
    d->SetBaseClass(L"X");
    x->SetTypeName(L"OldX");
    d->SetBaseClass(L"Z");
    schema.CreateZVClass(L"X", L"", 1);
    EXPECT_STREQ(schema.GetZVClassByIndex(schema.GetZVClassCount() - 1)->GetTypeName(), L"X");
}
