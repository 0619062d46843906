#include "instancexml/instance_value_checks.h"

#include "instancexml/primitive_text_rules.h"

#include <zvxml/errors.h>

#include <cstdint>
#include <string>

namespace ZVXML {
namespace {

// A decimal occurs text as a number; false for anything else.
bool ReadOccurs(const wchar_t* text, std::uint64_t& value)
{
    if (text == nullptr || *text == L'\0') {
        return false;
    }
    value = 0;
    for (const wchar_t* c = text; *c != L'\0'; ++c) {
        if (*c < L'0' || *c > L'9' || value > UINT64_MAX / 10 - 1) {
            return false;
        }
        value = value * 10 + static_cast<std::uint64_t>(*c - L'0');
    }
    return true;
}

class ValueChecker {
public:
    ValueChecker(const FindingSubject& subject, ValidationReporter& reporter) : m_subject(subject), m_reporter(reporter)
    {
    }

    void Values(CZVInstance& instance, const std::wstring& prefix)
    {
        for (std::size_t i = 0; i < instance.GetZVValueCount(); ++i) {
            ZVValueBase* value = instance.GetZVValue(i);
            if (value != nullptr) {
                Value(*value, prefix + value->GetPropertyName(), false);
            }
        }
    }

private:
    void Report(const std::wstring& path, std::wstring message) { m_reporter.Report(m_subject, path, message); }

    // `isMember`: the value is one member of an array property.
    void Value(ZVValueBase& value, const std::wstring& path, bool isMember)
    {
        CZVProperty* property = value.GetProperty();
        if (property == nullptr) {
            return;
        }
        const bool wantsArray = property->IsArray() != 0 && !isMember;
        if (auto* array = dynamic_cast<ZVArrayValue*>(&value)) {
            if (!wantsArray) {
                return Report(path, L"holds an array; the property is not an array");
            }
            return Array(*array, *property, path);
        }
        if (wantsArray) {
            return Report(path, L"holds a single value; the property is an array");
        }
        if (auto* structValue = dynamic_cast<ZVStructValue*>(&value)) {
            if (property->IsStruct() == 0) {
                return Report(path, L"holds a struct; the property is of type " + property->TypeName());
            }
            return Struct(*structValue, *property, path);
        }
        if (auto* primitive = dynamic_cast<CZVValue*>(&value)) {
            if (property->IsStruct() != 0) {
                return Report(path,
                              L"holds a primitive value; the property is of struct class " + property->TypeName());
            }
            Primitive(*primitive, *property, path);
        }
    }

    void Primitive(CZVValue& value, CZVProperty& property, const std::wstring& path)
    {
        if (value.IsNull()) {
            return;
        }
        const std::wstring problem = PrimitiveTextProblem(property.TypeName(), value.GetValue());
        if (!problem.empty()) {
            Report(path, L"'" + std::wstring(value.GetValue()) + L"' " + problem);
        }
    }

    void Struct(ZVStructValue& value, CZVProperty& property, const std::wstring& path)
    {
        CZVInstance* embedded = value.GetValue();
        if (embedded == nullptr) {
            return;
        }
        CZVClass* held = embedded->GetZVClass();
        if (held == nullptr || !NamesClass(property, *held)) {
            return Report(path, L"holds an instance of " + (held ? held->TypeName() : embedded->TypeName()) +
                                    L"; the property's struct class is " + property.TypeName());
        }
        Values(*embedded, path + L".");
    }

    // Whether the property's type name (plain or "prefix:name") names `held`.
    static bool NamesClass(CZVProperty& property, CZVClass& held)
    {
        const std::wstring& type = property.TypeName();
        if (type == held.TypeName()) {
            return true;
        }
        CZVClass* owner = property.GetZVClass();
        CZVSchema* schema = owner != nullptr ? owner->GetZVSchema() : nullptr;
        try {
            return schema != nullptr && schema->FindZVClassUsingFullName(type.c_str(), ZVCLASSTYPE_ANY) == &held;
        } catch (const ZVXMLException&) {
            return false; // a prefix the schema does not know
        }
    }

    void Array(ZVArrayValue& array, CZVProperty& property, const std::wstring& path)
    {
        const std::uint64_t count = array.GetLength();
        std::uint64_t bound = 0;
        if (ReadOccurs(property.GetMinOccurs(), bound) && count < bound) {
            Report(path, L"holds " + std::to_wstring(count) + L" members; minOccurs is " + property.GetMinOccurs());
        }
        if (ReadOccurs(property.GetMaxOccurs(), bound) && count > bound) {
            Report(path, L"holds " + std::to_wstring(count) + L" members; maxOccurs is " + property.GetMaxOccurs());
        }
        for (std::size_t i = 0; i < array.GetLength(); ++i) {
            if (ZVValueBase* member = array.GetValue(i)) {
                Value(*member, path + L"[" + std::to_wstring(i) + L"]", true);
            }
        }
    }

    const FindingSubject& m_subject;
    ValidationReporter& m_reporter;
};

} // namespace

void CheckInstanceValues(CZVInstance& instance, const FindingSubject& subject, ValidationReporter& reporter)
{
    if (instance.GetZVClass() == nullptr) {
        reporter.Report(subject, L"", L"has no class");
        return;
    }
    ValueChecker(subject, reporter).Values(instance, L"");
}

std::size_t ValidateZVInstance(CZVInstance* instance, ZVValidationCallback callback, void* context)
{
    if (instance == nullptr || callback == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL into ValidateZVInstance", L"");
    }
    ValidationReporter reporter(callback, context);
    FindingSubject subject;
    subject.className = instance->TypeName();
    subject.instanceID = instance->InstanceID();
    try {
        CheckInstanceValues(*instance, subject, reporter);
    } catch (const ValidationStopped&) {
        // as the host asked
    }
    return reporter.Count();
}

} // namespace ZVXML
