// Reading custom attributes, instances and property values from a document
// tree.
#include "schema_file_support.h"
#include "support/expect_throw.h"

#include <gtest/gtest.h>

using namespace ZVXML;
using zvtest::LoadElement;
using zvtest::Texts;
using Names = std::vector<std::wstring>;

namespace {

// Info (custom attribute): Owner, Tags (strings), Points (Point structs),
// Segments (Segment structs, each with its Points), Single (one Point).
class CustomAttributeReading : public ::testing::Test {
protected:
    CustomAttributeReading()
    {
        CZVClass* point = schema.CreateZVClass(L"Point", L"", ZVCLASSTYPE_STRUCT | ZVCLASSTYPE_DOMAIN);
        point->AddZVProperty(L"X", L"double", L"");
        point->AddZVProperty(L"Y", L"double", L"");
        CZVClass* segment = schema.CreateZVClass(L"Segment", L"", ZVCLASSTYPE_STRUCT | ZVCLASSTYPE_DOMAIN);
        segment->AddZVProperty(L"Name", L"string", L"");
        segment->AddZVProperty(L"Ends", L"Point", L"")->SetMaxOccurs(L"unbounded");
        info = schema.CreateZVClass(L"Info", L"", ZVCLASSTYPE_CUSTOM_ATTRIBUTE);
        info->AddZVProperty(L"Owner", L"string", L"");
        info->AddZVProperty(L"Tags", L"string", L"")->SetMaxOccurs(L"unbounded");
        info->AddZVProperty(L"Points", L"Point", L"")->SetMaxOccurs(L"unbounded");
        info->AddZVProperty(L"Segments", L"Segment", L"")->SetMaxOccurs(L"unbounded");
        info->AddZVProperty(L"Single", L"Point", L"");

        item = schema.CreateZVClass(L"Pump", L"", ZVCLASSTYPE_DOMAIN);
    }

    // Reads `content` as the children of a "ZVCustomAttributes" element of the item.
    int Read(const std::wstring& content)
    {
        XMLDocument document;
        const XMLNode element = LoadElement(document, L"<ZVCustomAttributes>" + content + L"</ZVCustomAttributes>");
        return item->ReadCustomAttributesFromXML(&schema, document, element);
    }
    void ExpectReadFails(const std::wstring& content, const std::wstring& message)
    {
        SCOPED_TRACE(content);
        EXPECT_ZV_THROW(Read(content), ZVXMLFormatError, message);
    }

    CZVCustomAttribute* Last() { return item->GetZVCustomAttribute(item->GetZVCustomAttributeCount() - 1); }
    static ZVArrayValue* Array(CZVInstance* instance, const wchar_t* name)
    {
        return dynamic_cast<ZVArrayValue*>(instance->GetPropertyValue(name, true));
    }

    CZVSchema schema{L"p", L"Plant", L""};
    CZVClass* info;
    CZVClass* item;
};

} // namespace

TEST_F(CustomAttributeReading, ContentThatFitsNoClassOrPropertyIsRefused)
{
    const std::wstring array = L"In ZVProperty 'Tags' of ZVClass 'Info' Array of string's contains member of type ";
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"<Missing/>",
         L"Attempted to use an ZVCustomAttribute of type 'Missing', but that ZVClass has not yet been defined."},
        {L"loose text",
         L"Attempted to use an ZVCustomAttribute of type '#text', but that ZVClass has not yet been defined."},
        {L"<Info><Tags><string>a</string><int>1</int></Tags></Info>", array + L"'int'"},
        {L"<Info><Tags>a</Tags></Info>", array + L"'#text'"},
        {L"<Info><Points><Segment/></Points></Info>",
         L"In ZVProperty 'Points' of ZVClass 'Info' Array of Point's contains member of type 'Segment'"},
        {L"<Info><Single><X>1</X></Single></Info>", L"We don't yet support reading arrays or structs from a DOM"},
    };
    for (const auto& [content, message] : cases) {
        ExpectReadFails(content, message);
    }
}

TEST_F(CustomAttributeReading, AnAttributeThatFailsIsNotAttachedButTheOnesBeforeItStay)
{
    ExpectReadFails(L"<Info><Owner>kept</Owner></Info><Info><Owner>lost</Owner><Bogus>1</Bogus></Info>",
                    L"ZVClass Info does not contain an ZVProperty named Bogus");
    ASSERT_EQ(item->GetZVCustomAttributeCount(), 1u);
    EXPECT_STREQ(Last()->GetPropertyValue(L"Owner"), L"kept");
}

// The writer names a second value of a property "Owner2"; only such counter
// names (from 2, no leading zero, at most ten digits) stand for the property.
TEST_F(CustomAttributeReading, CounterNamesAreFurtherValuesOfTheirProperty)
{
    ASSERT_EQ(Read(L"<Info><Owner>a</Owner><Owner2>b</Owner2><Owner10>c</Owner10><Tags2><string>t</string></Tags2>"
                   L"</Info>"),
              0);
    ASSERT_EQ(Last()->GetZVValueCount(), 4u);
    EXPECT_STREQ(Last()->GetPropertyValue(L"Owner"), L"a");
    EXPECT_STREQ(Last()->GetPropertyValue(L"Owner2"), L"b");
    EXPECT_STREQ(Last()->GetPropertyValue(L"Owner3"), L"c"); // renamed as it is added
    EXPECT_EQ(Texts(Array(Last(), L"Tags")), Names{L"t"});
    const std::vector<std::wstring> refused{L"Owner1",  L"Owner0",           L"Owner02",
                                            L"Ownerx2", L"Owner12345678901", L"Owner" + std::wstring(40000, L'2')};
    for (const std::wstring& name : refused) {
        ExpectReadFails(L"<Info><" + name + L">x</" + name + L"></Info>",
                        L"ZVClass Info does not contain an ZVProperty named " + name);
    }
}

TEST_F(CustomAttributeReading, EmptyElementsGiveNoValue)
{
    ASSERT_EQ(Read(L"<Info><Owner/><Tags></Tags><NotAProperty/><Single/></Info>"), 0);
    EXPECT_EQ(Last()->GetZVValueCount(), 0u);
}

// Text is taken as the tree gives it.
TEST_F(CustomAttributeReading, PrimitivesAndArraysAreReadToAnyDepth)
{
    ASSERT_EQ(Read(L"<Info><Owner>  two  words &amp; more </Owner>"
                   L"<Tags><string>a</string><!-- c --><string/><string>b</string></Tags>"
                   L"<Points><Point><X>1</X><Y>2</Y></Point><!-- c --><Point><X>3</X></Point></Points>"
                   L"<Segments><Segment><Name>s1</Name><Ends><Point><X>5</X></Point><Point><Y>6</Y></Point></Ends>"
                   L"</Segment></Segments></Info>"),
              0);
    EXPECT_STREQ(Last()->GetPropertyValue(L"Owner"), L"  two  words & more ");
    EXPECT_EQ(Texts(Array(Last(), L"Tags")), (Names{L"a", L"", L"b"}));
    ZVArrayValue* points = Array(Last(), L"Points");
    ASSERT_NE(points, nullptr);
    ASSERT_EQ(points->GetLength(), 2u);
    EXPECT_EQ(points->GetStructInstance(1, L"Point")->GetZVValueCount(), 1u);
    ZVArrayValue* ends = Array(Array(Last(), L"Segments")->GetStructInstance(0, L"Segment"), L"Ends");
    ASSERT_NE(ends, nullptr);
    ASSERT_EQ(ends->GetLength(), 2u);
    EXPECT_STREQ(ends->GetStructInstance(1, L"Point")->GetPropertyValue(L"Y"), L"6");
}
