#include <zvxml/zvxml.h>

#include "instance/instance_fixture.h"
#include "support/expect_throw.h"

#include <gtest/gtest.h>

using namespace ZVXML;

class InstanceTextTest : public zvtest::PlantSchema {};

// Null values and members write as empty elements; text goes out as held
// and attributes as given, with no space added before them.
TEST_F(InstanceTextTest, WholeInstanceInOneLine)
{
    CZVInstance instance(pipe);
    instance.SetPropertyValue(L"Diameter", L"2.5");
    auto* flag = new CZVValue(count, L"ignored");
    flag->SetToNull();
    instance.AddZVValue(flag);
    auto* tagsValue = new ZVArrayValue(tags);
    for (const wchar_t* text : {L"1<2", static_cast<const wchar_t*>(nullptr), L"&"}) {
        tagsValue->PushBack(text != nullptr ? new CZVValue(tags, text) : nullptr);
    }
    instance.AddZVValue(tagsValue);
    auto* originValue = new ZVStructValue(origin);
    originValue->GetValue()->SetPropertyValue(L"X", L"1");
    instance.AddZVValue(originValue);

    const std::wstring content = L"<Diameter>2.5</Diameter><Count></Count><Tags><string>1<2</string><string></string>"
                                 L"<string>&</string></Tags><Origin><X>1</X></Origin>";
    std::wstring out = L"keep:";
    instance.AppendAsXml(out, L"xmlns='u'");
    EXPECT_EQ(out, L"keep:<Pipexmlns='u' >" + content + L"</Pipe>");
    std::wstring values = L"keep:";
    instance.AppendValueToString(values);
    EXPECT_EQ(values, L"keep:" + content);
}

TEST_F(InstanceTextTest, EmptiedStructCannotBeWritten)
{
    CZVInstance instance(pipe);
    auto* structValue = new ZVStructValue(origin);
    structValue->SetValue(nullptr);
    instance.AddZVValue(structValue);
    std::wstring out;
    EXPECT_ZV_THROW(instance.AppendAsXml(out, L""), ZVXMLLogicError, L"Can't serialize a NULL struct");
}
