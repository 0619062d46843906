// Reading class and property elements.
#include "schema_file_support.h"
#include "support/expect_throw.h"
#include "support/log_capture.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ZVXML;
using zvtest::LoadElement;

namespace {

class ClassReading : public ::testing::Test {
protected:
    // A class read from `text` by CZVClass::ReadXML; the test owns it.
    std::unique_ptr<CZVClass> ReadClass(const std::wstring& text)
    {
        XMLDocument document;
        std::unique_ptr<CZVClass> zvClass(new CZVClass(L"ZVClass", &schema, nullptr));
        EXPECT_EQ(zvClass->ReadXML(&schema, document, LoadElement(document, text)), 0);
        return zvClass;
    }
    // A property of Pump read from `text`; the test owns it.
    std::unique_ptr<CZVProperty> ReadProperty(const std::wstring& text)
    {
        XMLDocument document;
        std::unique_ptr<CZVProperty> property(new CZVProperty(pump));
        EXPECT_EQ(property->ReadXML(nullptr, document, LoadElement(document, text)), 0);
        return property;
    }

    CZVSchema schema{L"p", L"Plant", L""};
    CZVClass* pump = schema.CreateZVClass(L"Pump", L"", ZVCLASSTYPE_DOMAIN);
};

} // namespace

// The writer writes "True"/"False"; anything but "true" in some letter case
// is false.
TEST_F(ClassReading, FlagsAreTrueOnlyForTrueInAnyLetterCase)
{
    EXPECT_EQ(ReadClass(L"<ZVClass typeName='Pump' isDomainClass='True ' isStruct='1' isCustomAttributeClass='no'/>")
                  ->GetClassType(),
              0u);
    EXPECT_EQ(
        ReadClass(L"<ZVClass typeName='Pump' isDomainClass='tRUE' isStruct='TRUE' isCustomAttributeClass='true'/>")
            ->GetClassType(),
        7u);
    // Without isDomainClass a class is a domain class, and only that.
    EXPECT_EQ(ReadClass(L"<ZVClass typeName='Pump'/>")->GetClassType(), static_cast<unsigned long>(ZVCLASSTYPE_DOMAIN));
}

TEST_F(ClassReading, PropertiesAndTheBaseClassElementAreReadAndTheRestSkipped)
{
    schema.CreateZVClass(L"Equipment", L"", ZVCLASSTYPE_DOMAIN);
    schema.CreateZVClass(L"Machine", L"", ZVCLASSTYPE_DOMAIN);
    schema.CreateZVClass(L"Point", L"", ZVCLASSTYPE_DOMAIN | ZVCLASSTYPE_STRUCT);
    // Properties of any of the three element names are told apart by their
    // type alone; text, comments and other elements are skipped. The
    // BaseClass element wins over the attribute.
    std::unique_ptr<CZVClass> shape =
        ReadClass(L"<ZVClass xmlns:x='urn:x' x:odd='1' typeName='Shape' baseClass='Equipment' displayLabel='a &amp; b' "
                  L"whatever='2'>text is ignored<!-- so are comments --><BaseClass>Machine</BaseClass>"
                  L"<ZVStructProperty propertyName='Name' typeName='string'/>"
                  L"<ZVProperty propertyName='Origin' typeName='Point'/>"
                  L"<ZVArrayProperty propertyName='Corners' typeName='Point' maxOccurs='unbounded'/>"
                  L"<Unknown propertyName='Ignored' typeName='string'/></ZVClass>");
    EXPECT_STREQ(shape->GetBaseClass(), L"Machine");
    EXPECT_STREQ(shape->GetDisplayLabel(), L"a & b");
    ASSERT_EQ(shape->GetZVPropertyCount(), 3u);
    std::wstring kinds;
    for (std::size_t i = 0; i < 3; ++i) {
        kinds +=
            std::to_wstring(shape->GetZVProperty(i)->IsStruct()) + std::to_wstring(shape->GetZVProperty(i)->IsArray());
    }
    EXPECT_EQ(kinds, L"001011");
    EXPECT_EQ(shape->GetZVProperty(0)->GetZVClass(), shape.get());
}

// A refused child is refused before it is applied; what came before stays.
TEST_F(ClassReading, ARefusedChildLeavesWhatCameBefore)
{
    schema.CreateZVClass(L"Equipment", L"", ZVCLASSTYPE_DOMAIN);
    schema.CreateZVClass(L"Machine", L"", ZVCLASSTYPE_DOMAIN);
    XMLDocument document;
    CZVClass valve(L"Valve", &schema, nullptr);
    EXPECT_ZV_THROW(valve.ReadXMLContents(&schema, document,
                                          LoadElement(document, L"<ZVClass><ZVProperty propertyName='Tag' typeName="
                                                                L"'string'/><ZVProperty propertyName='Tag' typeName="
                                                                L"'int'/></ZVClass>")),
                    ZVXMLDomainError, L"Attempted to add duplicately named property Tag to class Valve");
    EXPECT_EQ(valve.GetZVPropertyCount(), 1u);
    EXPECT_ZV_THROW(valve.ReadXMLContents(&schema, document,
                                          LoadElement(document, L"<ZVClass><BaseClass>Machine</BaseClass>"
                                                                L"<BaseClass>Equipment</BaseClass></ZVClass>")),
                    ZVXMLFormatError,
                    L"CZVClass typeName=Valve has more than one BaseClass, which is not supported by zvxml.dll.");
    EXPECT_STREQ(valve.GetBaseClass(), L"Machine");
}

// Neither isStruct nor empty unknown attributes are logged; an unknown
// attribute with a value is logged once as a warning, as it stands.
TEST_F(ClassReading, PropertyAttributesAreReadAndOnlyUnknownOnesWithAValueLogged)
{
    zvtest::LogCapture log;
    std::unique_ptr<CZVProperty> full =
        ReadProperty(L"<ZVProperty propertyName='Tag' typeName='string' displayLabel='Tag no.' readOnly='TRUE' "
                     L"isStruct='False' minOccurs='1' maxOccurs='1' unknown='' units='m3/h %s' odd=''/>");
    EXPECT_STREQ(full->GetDisplayLabel(), L"Tag no.");
    EXPECT_STREQ(full->GetTypeName(), L"string");
    EXPECT_EQ(full->ReadOnly(), 1);
    EXPECT_EQ(full->IsArray(), 0);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0].severity, LOG_SEV_WARNING);
    EXPECT_EQ(log.lines()[0].category, L"ZVXML");
    EXPECT_EQ(log.lines()[0].text, L"Unrecognized xml attribute: units with value='m3/h %s'.");
}

// An empty attribute counts as absent.
TEST_F(ClassReading, ClassesAndPropertiesNeedTheirNames)
{
    XMLDocument document;
    CZVClass valve(L"Valve", &schema, nullptr);
    EXPECT_ZV_THROW(valve.ReadXMLAttributes(document, LoadElement(document, L"<ZVClass description='x'/>")),
                    ZVXMLFormatError, L"Required attribute typeName not found on an ZVClass");
    const std::pair<const wchar_t*, std::wstring> required[] = {
        {L"<ZVProperty propertyName='Tag'/>", L"Required attribute typeName not found on an ZVProperty"},
        {L"<ZVProperty typeName='string' propertyName=''/>",
         L"Required attribute propertyName not found on an ZVProperty"},
    };
    for (const auto& [text, message] : required) {
        SCOPED_TRACE(text);
        CZVProperty property(pump);
        EXPECT_ZV_THROW(property.ReadXML(nullptr, document, LoadElement(document, text)), ZVXMLFormatError, message);
    }
}
