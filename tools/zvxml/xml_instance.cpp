#include "xml_instance.h"

#include <zvxml/text.h>

namespace zvcli {
namespace {

const char* Escape(wchar_t c)
{
    switch (c) {
    case L'&':
        return "&amp;";
    case L'<':
        return "&lt;";
    case L'>':
        return "&gt;";
    case L'"':
        return "&quot;";
    case L'\'':
        return "&apos;";
    case L'\t':
        return "&#9;";
    case L'\n':
        return "&#10;";
    case L'\r':
        return "&#13;";
    default:
        return nullptr;
    }
}

void AppendName(const std::wstring& name, std::string& out) { out += ZVXML::ToUtf8(name); }

void AppendValues(ZVXML::CZVInstance& instance, std::string& out);

void AppendContent(ZVXML::ZVValueBase& value, std::string& out)
{
    if (auto* primitive = dynamic_cast<ZVXML::CZVValue*>(&value)) {
        if (!primitive->IsNull()) {
            AppendXmlEscaped(primitive->Value(), out);
        }
    } else if (auto* structValue = dynamic_cast<ZVXML::ZVStructValue*>(&value)) {
        if (structValue->GetValue() != nullptr) {
            AppendValues(*structValue->GetValue(), out);
        }
    } else if (auto* array = dynamic_cast<ZVXML::ZVArrayValue*>(&value)) {
        const std::wstring member = array->GetProperty() != nullptr ? array->GetProperty()->GetTypeName() : L"";
        for (std::size_t i = 0; i < array->GetLength(); ++i) {
            out.push_back('<');
            AppendName(member, out);
            out.push_back('>');
            if (ZVXML::ZVValueBase* item = array->GetValue(i)) {
                AppendContent(*item, out);
            }
            out.append("</");
            AppendName(member, out);
            out.push_back('>');
        }
    }
}

void AppendValues(ZVXML::CZVInstance& instance, std::string& out)
{
    for (std::size_t i = 0; i < instance.GetZVValueCount(); ++i) {
        ZVXML::ZVValueBase* value = instance.GetZVValue(i);
        if (value == nullptr) {
            continue;
        }
        out.push_back('<');
        AppendName(value->PropertyName(), out);
        out.push_back('>');
        AppendContent(*value, out);
        out.append("</");
        AppendName(value->PropertyName(), out);
        out.push_back('>');
    }
}

void AppendAttribute(const char* name, const std::wstring& value, std::string& out)
{
    out.push_back(' ');
    out.append(name);
    out.append("='");
    AppendXmlEscaped(value, out);
    out.push_back('\'');
}

} // namespace

void AppendXmlEscaped(const std::wstring& text, std::string& out)
{
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (const char* reference = Escape(text[i])) {
            out += ZVXML::ToUtf8(std::wstring_view(text.data() + run, i - run));
            out.append(reference);
            run = i + 1;
        }
    }
    out += ZVXML::ToUtf8(std::wstring_view(text.data() + run, text.size() - run));
}

void AppendInstanceXml(ZVXML::CZVInstance& instance, const ZVXML::ZVRelationshipInstance* relationship,
                       std::string& out)
{
    out.push_back('<');
    AppendName(instance.TypeName(), out);
    if (!instance.InstanceID().empty()) {
        AppendAttribute("instanceid", instance.InstanceID(), out);
    }
    if (relationship != nullptr) {
        AppendAttribute("sourceInstanceID", relationship->GetSourceID(), out);
        AppendAttribute("targetInstanceID", relationship->GetTargetID(), out);
    }
    out.push_back('>');
    AppendValues(instance, out);
    out.append("</");
    AppendName(instance.TypeName(), out);
    out.push_back('>');
}

} // namespace zvcli
