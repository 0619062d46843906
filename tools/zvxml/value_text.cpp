#include "value_text.h"

namespace zvcli {
namespace {

std::wstring ValuesText(ZVXML::CZVInstance& instance)
{
    std::wstring text = L"{";
    for (std::size_t i = 0; i < instance.GetZVValueCount(); ++i) {
        ZVXML::ZVValueBase* value = instance.GetZVValue(i);
        if (value == nullptr) {
            continue;
        }
        if (text.size() > 1) {
            text += L", ";
        }
        text += value->PropertyName() + L": " + ValueText(*value);
    }
    return text + L"}";
}

} // namespace

std::wstring InstanceText(ZVXML::CZVInstance& instance)
{
    std::wstring text = instance.TypeName();
    if (!instance.InstanceID().empty()) {
        text += L" #" + instance.InstanceID();
    }
    return text + L" " + ValuesText(instance);
}

std::wstring ValueText(ZVXML::ZVValueBase& value)
{
    if (auto* primitive = dynamic_cast<ZVXML::CZVValue*>(&value)) {
        return primitive->IsNull() ? L"null" : primitive->Value();
    }
    if (auto* structValue = dynamic_cast<ZVXML::ZVStructValue*>(&value)) {
        return structValue->GetValue() != nullptr ? ValuesText(*structValue->GetValue()) : L"null";
    }
    auto* array = dynamic_cast<ZVXML::ZVArrayValue*>(&value);
    if (array == nullptr) {
        return L"?";
    }
    std::wstring text = L"[";
    for (std::size_t i = 0; i < array->GetLength(); ++i) {
        if (i > 0) {
            text += L", ";
        }
        ZVXML::ZVValueBase* member = array->GetValue(i);
        text += member != nullptr ? ValueText(*member) : L"null";
    }
    return text + L"]";
}

} // namespace zvcli
