#include <zvxml/zvxml.h>

#include "support/expect_throw.h"

#include <gtest/gtest.h>

using namespace ZVXML;

namespace {

class ClassTest : public ::testing::Test {
protected:
    CZVSchema schema{L"p", L"Plant", L""};
    CZVClass* Make(const wchar_t* name, unsigned long type = ZVCLASSTYPE_DOMAIN)
    {
        return schema.CreateZVClass(name, L"", type);
    }
};

} // namespace

// A key set as a number is not found as text.
TEST(ExtendedInfo, StringAndNumberMapsAreSeparateAndKeysCaseSensitive)
{
    CZVCommon item;
    std::wstring text;
    unsigned long number = 99;
    item.SetExtendedInfo(L"K", 7ul);
    EXPECT_EQ(item.GetExtendedInfo(L"K", &number), 0);
    EXPECT_EQ(number, 7ul);
    EXPECT_EQ(item.GetExtendedInfo(L"K", text), ZVXML_EXTENDED_INFO_NOT_FOUND);
    item.SetExtendedInfo(L"K", std::wstring(L"w"));
    EXPECT_EQ(item.GetExtendedInfo(L"K", text), 0);
    EXPECT_EQ(text, L"w");
    EXPECT_EQ(item.GetExtendedInfo(L"k", text), ZVXML_EXTENDED_INFO_NOT_FOUND); // keys are case sensitive
}

// A type needs the domain or the custom-attribute flag, and no other bit.
TEST_F(ClassTest, SetClassTypeRefusesTypesThatAreNeitherDomainNorCustomAttribute)
{
    CZVClass plain(L"Plain", &schema, nullptr);
    for (unsigned long accepted : {1ul, 3ul, 4ul, 5ul, 6ul, 7ul}) {
        EXPECT_NO_THROW(plain.SetClassType(accepted));
        EXPECT_EQ(plain.GetClassType(), accepted);
    }
    for (unsigned long refused : {2ul, 0ul, 8ul}) {
        EXPECT_ZV_THROW(plain.SetClassType(refused), ZVXMLInvalidArgument,
                        L"Called SetClassType with invalid classType=0x" + std::to_wstring(refused));
    }
    EXPECT_EQ(plain.GetClassType(), 7ul);
}

TEST_F(ClassTest, ConstructorRejectsBlankAndInvalidNames)
{
    EXPECT_ZV_THROW(CZVClass(L"", &schema, nullptr), ZVXMLInvalidArgument,
                    L"Passed NULL or blank classname into CZVClass constructor");
    EXPECT_ZV_THROW(CZVClass(L"9A", &schema, nullptr), ZVXMLDomainError,
                    L"ZVClass or ZVProperty names must begin with a letter or '_': '9A'");
    CGUIDGenerator generator; // a class made with an id strategy is named in its schema too
    EXPECT_EQ(CZVClass(L"A", &schema, &generator).FullName(), L"p:A");
}

// An inherited name is found but not counted, cannot be added again, nor
// removed through the derived class.
TEST_F(ClassTest, InheritedPropertiesAreFoundButNeitherCountedAddedAgainNorRemoved)
{
    CZVClass* base = Make(L"Equipment");
    CZVClass* derived = Make(L"Pump");
    base->AddZVProperty(L"Tag", L"string", L"the tag");
    derived->SetBaseClass(L"Equipment");
    derived->AddZVProperty(L"Flow", L"double", L"");
    EXPECT_EQ(derived->FindProperty(L"Tag"), base->GetZVProperty(0));
    EXPECT_FALSE(derived->HasProperty(L"flow"));
    EXPECT_EQ(derived->GetZVPropertyCount(), 1u);
    EXPECT_ZV_THROW(derived->AddZVProperty(L"Tag", L"string", L""), ZVXMLDomainError,
                    L"Attempted to add duplicately named property Tag to class Pump");
    derived->RemoveZVProperty(L"Tag"); // inherited: nothing to remove
    EXPECT_EQ(base->GetZVPropertyCount(), 1u);
    derived->RemoveZVProperty(L"Flow");
    EXPECT_EQ(derived->GetZVPropertyCount(), 0u);
}

// Names sharing a length or first character: only the exact name counts,
// own properties first, then the first in list order, also after renames.
TEST_F(ClassTest, OnlyTheExactNameIsFoundOwnPropertiesFirst)
{
    CZVClass* base = Make(L"Equipment");
    CZVClass* derived = Make(L"Pump");
    derived->SetBaseClass(L"Equipment");
    CZVProperty* inherited = base->AddZVProperty(L"Ab", L"string", L"");
    CZVProperty* ac = derived->AddZVProperty(L"Ac", L"string", L"");
    CZVProperty* bb = derived->AddZVProperty(L"Bb", L"string", L"");
    CZVProperty* abc = derived->AddZVProperty(L"Abc", L"string", L"");
    const std::pair<const wchar_t*, CZVProperty*> found[] = {{L"Ac", ac},        {L"Bb", bb},     {L"Abc", abc},
                                                             {L"Ab", inherited}, {L"A", nullptr}, {L"", nullptr}};
    for (const auto& [name, property] : found) {
        EXPECT_EQ(derived->FindProperty(name), property) << name;
    }
    bb->PropertyName() = L"Ab"; // now an own property shadows the base's
    EXPECT_EQ(derived->FindProperty(L"Ab"), bb);
    EXPECT_EQ(derived->FindProperty(L"Bb"), nullptr);
    ac->PropertyName() = L"Ab"; // two of one name: the first in list order
    EXPECT_EQ(derived->FindProperty(L"Ab"), ac);
    derived->RemoveZVProperty(L"Ab");
    EXPECT_EQ(derived->FindProperty(L"Ab"), bb);
}

TEST_F(ClassTest, StructPropertiesNeedTheirClass)
{
    CZVClass* pipe = Make(L"Pipe");
    EXPECT_EQ(pipe->AddZVProperty(L"Length", L"long", L"")->IsStruct(), 0);
    EXPECT_ZV_THROW(pipe->AddZVProperty(L"Origin", L"Point", L""), ZVXMLLogicError,
                    L"ZVProperty Origin has TypeName=Point but no ZVClass with that name exists in the ZVSchema.");
    EXPECT_EQ(pipe->GetZVPropertyCount(), 1u);
    Make(L"Point", ZVCLASSTYPE_STRUCT | ZVCLASSTYPE_DOMAIN);
    CZVProperty* origin = pipe->AddZVProperty(L"Origin", L"Point", L"");
    EXPECT_EQ(origin->IsStruct(), 1);
    CZVProperty qualified(pipe); // a qualified type name is not checked
    qualified.SetTypeName(L"b:Point");
    EXPECT_EQ(qualified.IsStruct(), 1);
}

TEST_F(ClassTest, MaxOccursMakesAnArrayForGood)
{
    CZVProperty property(Make(L"Pipe"));
    property.SetMaxOccurs(L"unbounded");
    EXPECT_EQ(property.IsArray(), 1);
    property.SetMaxOccurs(L"1"); // never clears it
    EXPECT_EQ(property.IsArray(), 1);
    EXPECT_STREQ(property.GetMaxOccurs(), L"1");
}

TEST_F(ClassTest, ABaseClassMustExistAndHaveAValidName)
{
    CZVClass* pump = Make(L"Pump");
    EXPECT_ZV_THROW(pump->SetBaseClass(L"Missing"), ZVXMLLogicError,
                    L"Attempted to set BaseClass of ZVClass 'Pump' to 'Missing' but no such class can be found in "
                    L"this ZVSchema or referenenced ZVSchemas.");
    EXPECT_ZV_THROW(pump->SetBaseClass(L"1x"), ZVXMLDomainError,
                    L"ZVClass or ZVProperty names must begin with a letter or '_': '1x'");
    EXPECT_STREQ(pump->GetBaseClass(), L"");
}

namespace {

std::wstring LoopRefusal(const std::wstring& typeName, const std::wstring& baseName)
{
    return L"Attempted to set BaseClass of ZVClass '" + typeName + L"' to '" + baseName +
           L"', which would make the base classes of '" + typeName + L"' form a loop.";
}

} // namespace

// A link that would close a loop of base classes is refused, however long
// the loop and whichever class closes it, and the class keeps its base.
TEST_F(ClassTest, ABaseClassLinkThatWouldCloseALoopIsRefused)
{
    CZVClass* a = Make(L"A");
    EXPECT_ZV_THROW(a->SetBaseClass(L"A"), ZVXMLLogicError, LoopRefusal(L"A", L"A"));
    EXPECT_STREQ(a->GetBaseClass(), L"");
    EXPECT_EQ(a->GetBaseZVClass(), nullptr);

    // C is named as a base while it has none; the loop would close through it.
    CZVClass* b = Make(L"B");
    CZVClass* c = Make(L"C");
    CZVClass* d = Make(L"D");
    CZVClass* e = Make(L"E");
    a->SetBaseClass(L"B");
    b->SetBaseClass(L"C");
    d->SetBaseClass(L"A");
    EXPECT_ZV_THROW(c->SetBaseClass(L"D"), ZVXMLLogicError, LoopRefusal(L"C", L"D"));
    EXPECT_ZV_THROW(c->SetBaseClass(L"p:A"), ZVXMLLogicError, LoopRefusal(L"C", L"p:A"));
    EXPECT_EQ(c->GetBaseZVClass(), nullptr);
    c->SetBaseClass(L"E");
    EXPECT_ZV_THROW(e->SetBaseClass(L"A"), ZVXMLLogicError, LoopRefusal(L"E", L"A"));
    EXPECT_EQ(e->GetBaseZVClass(), nullptr);
    // Once B leaves the chain below C, C may derive from D after all.
    b->SetBaseClass(L"E");
    c->SetBaseClass(L"D");
    EXPECT_EQ(c->GetBaseZVClass(), d);
    EXPECT_EQ(c->FindProperty(L"X"), nullptr);

    // A copy assigned over a class brings its base along: not the class itself.
    EXPECT_ZV_THROW(*a = *d, ZVXMLLogicError, LoopRefusal(L"A", L"A"));
    EXPECT_STREQ(a->GetTypeName(), L"A");
    EXPECT_EQ(a->GetBaseZVClass(), b);
}

TEST_F(ClassTest, RelationshipClassesRefuseALoopOfBaseClassesToo)
{
    CZVRelationshipClass* feeds = schema.CreateZVRelationshipClass(L"Feeds", L"", 1);
    CZVRelationshipClass* drains = schema.CreateZVRelationshipClass(L"Drains", L"", 1);
    EXPECT_ZV_THROW(feeds->SetBaseClass(L"Feeds"), ZVXMLLogicError, LoopRefusal(L"Feeds", L"Feeds"));
    feeds->SetBaseClass(L"Drains");
    EXPECT_ZV_THROW(drains->SetBaseClass(L"Feeds"), ZVXMLLogicError, LoopRefusal(L"Drains", L"Feeds"));
    EXPECT_STREQ(drains->GetBaseClass(), L"");
    drains->AddZVProperty(L"Rate", L"double", L"");
    EXPECT_NE(feeds->FindProperty(L"Rate"), nullptr);
}
