#include <zvxml/zvxml.h>

#include "instance/instance_fixture.h"
#include "support/expect_throw.h"

#include <gtest/gtest.h>

using namespace ZVXML;

class InstanceTextTest : public zvtest::PlantSchema {};

TEST_F(InstanceTextTest, WholeInstanceInOneLine)
{
    CZVInstance instance(pipe);
    instance.SetInstanceID(L"7");
    instance.SetPropertyValue(L"Diameter", L"2.5");
    auto* tagsValue = new ZVArrayValue(tags);
    tagsValue->PushBack(new CZVValue(tags, L"a"));
    tagsValue->PushBack(new CZVValue(tags, L"b"));
    instance.AddZVValue(tagsValue);
    auto* originValue = new ZVStructValue(origin);
    originValue->GetValue()->SetPropertyValue(L"X", L"1");
    originValue->GetValue()->SetPropertyValue(L"Y", L"2");
    instance.AddZVValue(originValue);

    std::wstring out;
    instance.AppendAsXml(out, L"");
    EXPECT_EQ(out, L"<Pipe instanceid='7' ><Diameter>2.5</Diameter><Tags><string>a</string><string>b</string>"
                   L"</Tags><Origin><X>1</X><Y>2</Y></Origin></Pipe>");
    std::wstring content = L"keep:";
    instance.AppendValueToString(content);
    EXPECT_EQ(content, L"keep:<Diameter>2.5</Diameter><Tags><string>a</string><string>b</string></Tags>"
                       L"<Origin><X>1</X><Y>2</Y></Origin>");
}

TEST_F(InstanceTextTest, AttributesNullValuesAndMembersAndUnescapedText)
{
    CZVInstance instance(pipe);
    auto* flag = new CZVValue(diameter, L"ignored");
    flag->SetToNull();
    flag->SetPropertyName(L"Flag");
    instance.AddZVValue(flag);
    auto* array = new ZVArrayValue(tags);
    array->PushBack(new CZVValue(tags, L"1<2"));
    array->PushBack(nullptr);
    array->PushBack(new CZVValue(tags, L"&"));
    instance.AddZVValue(array);
    // Attributes are appended as given, with no space added before them.
    std::wstring out = L"keep:";
    instance.AppendAsXml(out, L"xmlns='u'");
    EXPECT_EQ(out, L"keep:<Pipexmlns='u' ><Flag></Flag><Tags><string>1<2</string><string></string><string>&</string>"
                   L"</Tags></Pipe>");
}

TEST_F(InstanceTextTest, EmptiedStructCannotBeWritten)
{
    CZVInstance instance(pipe);
    auto* structValue = new ZVStructValue(origin);
    structValue->SetValue(nullptr);
    instance.AddZVValue(structValue);
    std::wstring out;
    EXPECT_ZV_THROW(instance.AppendAsXml(out, L""), ZVXMLLogicError, L"Can't serialize a NULL struct");
    EXPECT_EQ(out, L"<Pipe><Origin>"); // what was written before stays
}
