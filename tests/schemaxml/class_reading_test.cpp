// Reading class and property elements.
#include "schema_file_support.h"
#include "support/expect_throw.h"
#include "support/log_capture.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ZVXML;
using zvtest::LoadElement;

namespace {

// A class read from `text` by CZVClass::ReadXML; the test owns it.
std::unique_ptr<CZVClass> ReadClass(CZVSchema& schema, const wchar_t* text)
{
    XMLDocument document;
    XMLNode element = LoadElement(document, text);
    std::unique_ptr<CZVClass> zvClass(new CZVClass(L"ZVClass", &schema, nullptr));
    EXPECT_EQ(zvClass->ReadXML(&schema, document, element), 0);
    return zvClass;
}

// A property of `owner` read from `text`; the test owns it.
std::unique_ptr<CZVProperty> ReadProperty(CZVClass& owner, const wchar_t* text)
{
    XMLDocument document;
    XMLNode element = LoadElement(document, text);
    std::unique_ptr<CZVProperty> property(new CZVProperty(&owner));
    EXPECT_EQ(property->ReadXML(nullptr, document, element), 0);
    return property;
}

} // namespace

TEST(ClassReading, FlagsAreTrueOnlyForTrueInAnyLetterCase)
{
    CZVSchema schema(L"p", L"Plant", L"");
    for (const wchar_t* notTrue : {L"false", L"FALSE", L"no", L"1", L"", L"True "}) {
        SCOPED_TRACE(notTrue);
        std::wstring text = std::wstring(L"<ZVClass typeName='Pump' isDomainClass='") + notTrue +
                            L"' isStruct='" + notTrue + L"' isCustomAttributeClass='" + notTrue + L"'/>";
        std::unique_ptr<CZVClass> zvClass = ReadClass(schema, text.c_str());
        EXPECT_EQ(zvClass->GetClassType(), 0u);
    }
    std::unique_ptr<CZVClass> allSet = ReadClass(
        schema, L"<ZVClass typeName='Pump' isDomainClass='tRUE' isStruct='TRUE' isCustomAttributeClass='true'/>");
    EXPECT_EQ(allSet->GetClassType(), 7u);
    // Without isDomainClass a class is a domain class, and only that.
    std::unique_ptr<CZVClass> plain = ReadClass(schema, L"<ZVClass typeName='Pump'/>");
    EXPECT_EQ(plain->GetClassType(), static_cast<unsigned long>(ZVCLASSTYPE_DOMAIN));
}

TEST(ClassReading, ClassAttributesAndTheRequiredTypeName)
{
    CZVSchema schema(L"p", L"Plant", L"");
    schema.CreateZVClass(L"Equipment", L"", ZVCLASSTYPE_DOMAIN);
    zvtest::LogCapture log;
    std::unique_ptr<CZVClass> pump =
        ReadClass(schema, L"<ZVClass xmlns:x='urn:x' x:odd='1' typeName='Pump' baseClass='Equipment' "
                          L"description='Moves water' displayLabel='Pump &amp; motor' whatever='2'/>");
    EXPECT_STREQ(pump->GetTypeName(), L"Pump");
    EXPECT_STREQ(pump->GetBaseClass(), L"Equipment");
    EXPECT_STREQ(pump->GetDescription(), L"Moves water");
    EXPECT_STREQ(pump->GetDisplayLabel(), L"Pump & motor");
    // Attributes and contents each leave a trace line; nothing else is said.
    EXPECT_EQ(log.texts(L"ZVXML", LOG_SEV_TRACE),
              (std::vector<std::wstring>{L"CZVClass::ReadXML (typeName=Pump)", L"CZVClass::ReadXML (typeName=Pump)"}));
    EXPECT_EQ(log.lines().size(), 2u);

    XMLDocument document;
    CZVClass unnamed(L"ZVClass", &schema, nullptr);
    EXPECT_ZV_THROW(unnamed.ReadXMLAttributes(document, LoadElement(document, L"<ZVClass description='x'/>")),
                    ZVXMLFormatError, L"Required attribute typeName not found on an ZVClass");
}

TEST(ClassReading, PropertyElementsOfAnyOfTheThreeNamesAreReadByTheirAttributes)
{
    CZVSchema schema(L"p", L"Plant", L"");
    schema.CreateZVClass(L"Point", L"", ZVCLASSTYPE_DOMAIN | ZVCLASSTYPE_STRUCT);
    std::unique_ptr<CZVClass> shape = ReadClass(
        schema, L"<ZVClass typeName='Shape'>text is ignored<!-- so are comments -->"
                L"<ZVStructProperty propertyName='Name' typeName='string'/>"
                L"<ZVProperty propertyName='Origin' typeName='Point'/>"
                L"<ZVArrayProperty propertyName='Corners' typeName='Point' maxOccurs='unbounded'/>"
                L"<Unknown propertyName='Ignored' typeName='string'/></ZVClass>");
    ASSERT_EQ(shape->GetZVPropertyCount(), 3u);
    EXPECT_FALSE(shape->GetZVProperty(0)->IsStruct());
    EXPECT_TRUE(shape->GetZVProperty(1)->IsStruct());
    EXPECT_FALSE(shape->GetZVProperty(1)->IsArray());
    EXPECT_TRUE(shape->GetZVProperty(2)->IsStruct());
    EXPECT_TRUE(shape->GetZVProperty(2)->IsArray());
    EXPECT_EQ(shape->GetZVProperty(0)->GetZVClass(), shape.get());
}

TEST(ClassReading, APropertyTheClassRefusesIsNotKept)
{
    CZVSchema schema(L"p", L"Plant", L"");
    XMLDocument document;
    CZVClass zvClass(L"Pump", &schema, nullptr);
    XMLNode element = LoadElement(document, L"<ZVClass><ZVProperty propertyName='Tag' typeName='string'/>"
                                            L"<ZVProperty propertyName='Tag' typeName='int'/></ZVClass>");
    EXPECT_ZV_THROW(zvClass.ReadXMLContents(&schema, document, element), ZVXMLDomainError,
                    L"Attempted to add duplicately named property Tag to class Pump");
    EXPECT_EQ(zvClass.GetZVPropertyCount(), 1u);
}

TEST(ClassReading, TheBaseClassElementWinsAndMayOccurOnce)
{
    CZVSchema schema(L"p", L"Plant", L"");
    schema.CreateZVClass(L"Equipment", L"", ZVCLASSTYPE_DOMAIN);
    schema.CreateZVClass(L"Machine", L"", ZVCLASSTYPE_DOMAIN);
    std::unique_ptr<CZVClass> pump =
        ReadClass(schema, L"<ZVClass typeName='Pump' baseClass='Equipment'><BaseClass>Machine</BaseClass></ZVClass>");
    EXPECT_STREQ(pump->GetBaseClass(), L"Machine");

    XMLDocument document;
    CZVClass twice(L"Twice", &schema, nullptr);
    EXPECT_ZV_THROW(
        twice.ReadXMLContents(&schema, document,
                              LoadElement(document, L"<ZVClass><BaseClass>Machine</BaseClass>"
                                                    L"<BaseClass>Equipment</BaseClass></ZVClass>")),
        ZVXMLFormatError, L"CZVClass typeName=Twice has more than one BaseClass, which is not supported by zvxml.dll.");
    EXPECT_STREQ(twice.GetBaseClass(), L"Machine"); // the second is refused before it is applied
}

TEST(PropertyReading, AttributesAreAppliedInOrderAndEmptyOnesCountAsAbsent)
{
    CZVSchema schema(L"p", L"Plant", L"");
    CZVClass* owner = schema.CreateZVClass(L"Pump", L"", ZVCLASSTYPE_DOMAIN);
    zvtest::LogCapture log;
    std::unique_ptr<CZVProperty> full =
        ReadProperty(*owner, L"<ZVProperty propertyName='Tag' typeName='string' displayLabel='Tag no.' readOnly='TRUE' "
                             L"isStruct='False' minOccurs='1' maxOccurs='1' unknown='' odd=''/>");
    EXPECT_STREQ(full->GetDisplayLabel(), L"Tag no.");
    EXPECT_EQ(full->ReadOnly(), 1);
    EXPECT_EQ(full->IsArray(), 0);
    EXPECT_TRUE(log.lines().empty()); // neither isStruct nor empty unknown attributes are logged

    // An upper bound alone gives the lower bound "0", so even 1 is an array.
    std::unique_ptr<CZVProperty> upperOnly =
        ReadProperty(*owner, L"<ZVProperty propertyName='P' typeName='int' maxOccurs='1' readOnly='yes'/>");
    EXPECT_STREQ(upperOnly->GetMinOccurs(), L"0");
    EXPECT_STREQ(upperOnly->GetMaxOccurs(), L"1");
    EXPECT_EQ(upperOnly->IsArray(), 1);
    EXPECT_EQ(upperOnly->ReadOnly(), 0);
    // A lower bound after it replaces the "0"; the property stays an array.
    std::unique_ptr<CZVProperty> later =
        ReadProperty(*owner, L"<ZVProperty propertyName='P' typeName='int' maxOccurs='1' minOccurs='1'/>");
    EXPECT_STREQ(later->GetMinOccurs(), L"1");
    EXPECT_EQ(later->IsArray(), 1);
    // A lower bound before it is kept.
    std::unique_ptr<CZVProperty> before =
        ReadProperty(*owner, L"<ZVProperty propertyName='P' typeName='int' minOccurs='1' maxOccurs='1'/>");
    EXPECT_STREQ(before->GetMinOccurs(), L"1");
    EXPECT_EQ(before->IsArray(), 0);
}

TEST(PropertyReading, AnUnknownAttributeIsLoggedOnceAsAWarning)
{
    CZVSchema schema(L"p", L"Plant", L"");
    CZVClass* owner = schema.CreateZVClass(L"Pump", L"", ZVCLASSTYPE_DOMAIN);
    zvtest::LogCapture log;
    std::unique_ptr<CZVProperty> property =
        ReadProperty(*owner, L"<ZVProperty propertyName='Flow' units='m3/h %s' typeName='double'/>");
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0].severity, LOG_SEV_WARNING);
    EXPECT_EQ(log.lines()[0].category, L"ZVXML");
    EXPECT_EQ(log.lines()[0].text, L"Unrecognized xml attribute: units with value='m3/h %s'.");
    EXPECT_STREQ(property->GetTypeName(), L"double"); // reading went on
}

TEST(PropertyReading, TypeNameAndPropertyNameAreRequired)
{
    CZVSchema schema(L"p", L"Plant", L"");
    CZVClass* owner = schema.CreateZVClass(L"Pump", L"", ZVCLASSTYPE_DOMAIN);
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"<ZVProperty propertyName='Tag'/>", L"Required attribute typeName not found on an ZVProperty"},
        {L"<ZVProperty propertyName='Tag' typeName=''/>", L"Required attribute typeName not found on an ZVProperty"},
        {L"<ZVProperty/>", L"Required attribute typeName not found on an ZVProperty"},
        {L"<ZVProperty typeName='string' propertyName=''/>",
         L"Required attribute propertyName not found on an ZVProperty"},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        XMLDocument document;
        CZVProperty property(owner);
        EXPECT_ZV_THROW(property.ReadXML(nullptr, document, LoadElement(document, text)), ZVXMLFormatError, message);
    }
}

