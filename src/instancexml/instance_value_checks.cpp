#include "instancexml/instance_value_checks.h"

#include "instance/value_kind.h"
#include "instancexml/primitive_text_rules.h"

#include <zvxml/errors.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ZVXML {
namespace {

// Structs within structs deeper than a document can hold (the reader takes
// 256 element levels) are left unchecked below this: only an instance built
// in memory gets there, and one whose structs hold it again never ends.
constexpr std::size_t kMaxStructNesting = 256;

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

    void Values(CZVInstance& instance)
    {
        for (std::size_t i = 0; i < instance.GetZVValueCount(); ++i) {
            ZVValueBase* value = instance.GetZVValue(i);
            if (value != nullptr) {
                // The const name: the other hands it out for change, which
                // makes every large instance in the process rebuild its
                // name index before its next lookup.
                m_path.push_back(Step{&std::as_const(*value).PropertyName(), -1});
                if (IsPropertyOf(*value, instance.GetZVClass())) {
                    Value(*value, false);
                } else {
                    Report(std::wstring(L"is not a property of class ") + instance.GetZVClass()->GetTypeName());
                }
                m_path.pop_back();
            }
        }
    }

private:
    // A reader finds a value's property by its name in the holder's class.
    static bool IsPropertyOf(ZVValueBase& value, CZVClass* holderClass)
    {
        CZVProperty* property = value.GetProperty();
        return holderClass == nullptr || property == nullptr ||
               PropertyAReaderFinds(*holderClass, value, property->GetPropertyName()) != nullptr;
    }

    // One step of the path to the value being checked: a value's name, or
    // the index of an array member.
    struct Step {
        const std::wstring* name; // NULL for an index
        long index;
    };

    // The path ("Origin.X", "Pts[0].X") is made only for a finding.
    std::wstring Path() const
    {
        std::wstring path;
        for (const Step& step : m_path) {
            if (step.name == nullptr) {
                path += L"[" + std::to_wstring(step.index) + L"]";
            } else {
                path += (path.empty() ? L"" : L".") + *step.name;
            }
        }
        return path;
    }

    void Report(std::wstring message) { m_reporter.Report(m_subject, Path(), std::move(message)); }

    // `isMember`: the value is one member of an array property.
    void Value(ZVValueBase& value, bool isMember)
    {
        CZVProperty* property = value.GetProperty();
        if (property == nullptr) {
            return;
        }
        const bool wantsArray = property->IsArray() != 0 && !isMember;
        const ValueKind kind = KindOf(value);
        if (auto* primitive = kind.primitive) {
            if (wantsArray) {
                return Report(L"holds a single value; the property is an array");
            }
            if (property->IsStruct() != 0) {
                return Report(L"holds a primitive value; the property is of struct class " + property->TypeName());
            }
            return Primitive(*primitive, *property);
        }
        if (auto* array = kind.array) {
            if (!wantsArray) {
                return Report(L"holds an array; the property is not an array");
            }
            return Array(*array, *property);
        }
        if (wantsArray) {
            return Report(L"holds a single value; the property is an array");
        }
        if (auto* structValue = kind.structValue) {
            if (property->IsStruct() == 0) {
                return Report(L"holds a struct; the property is of type " + property->TypeName());
            }
            Struct(*structValue, *property);
        }
    }

    void Primitive(CZVValue& value, CZVProperty& property)
    {
        if (value.IsNull()) {
            return;
        }
        const std::wstring problem = PrimitiveTextProblem(PrimitiveTypeOf(property.TypeName()), value.Value());
        if (!problem.empty()) {
            Report(L"'" + std::wstring(value.GetValue()) + L"' " + problem);
        }
    }

    void Struct(ZVStructValue& value, CZVProperty& property)
    {
        CZVInstance* embedded = value.GetValue();
        if (embedded == nullptr) {
            return;
        }
        CZVClass* held = embedded->GetZVClass();
        if (held == nullptr || !NamesClass(property, *held)) {
            // GetTypeName: reading must not mark the schema's name index stale.
            return Report(L"holds an instance of " + (held ? held->GetTypeName() : embedded->TypeName()) +
                          L"; the property's struct class is " + property.TypeName());
        }
        if (m_structNesting == kMaxStructNesting) {
            return Report(L"holds structs nested more than " + std::to_wstring(kMaxStructNesting) +
                          L" deep; they are not checked further");
        }
        ++m_structNesting;
        Values(*embedded);
        --m_structNesting;
    }

    // Whether the property's type name (plain or "prefix:name") names `held`.
    static bool NamesClass(CZVProperty& property, CZVClass& held)
    {
        const std::wstring& type = property.TypeName();
        if (type == held.GetTypeName()) {
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

    void Array(ZVArrayValue& array, CZVProperty& property)
    {
        const std::uint64_t count = array.GetLength();
        std::uint64_t bound = 0;
        if (ReadOccurs(property.GetMinOccurs(), bound) && count < bound) {
            Report(L"holds " + std::to_wstring(count) + L" members; minOccurs is " + property.GetMinOccurs());
        }
        if (ReadOccurs(property.GetMaxOccurs(), bound) && count > bound) {
            Report(L"holds " + std::to_wstring(count) + L" members; maxOccurs is " + property.GetMaxOccurs());
        }
        for (std::size_t i = 0; i < array.GetLength(); ++i) {
            if (ZVValueBase* member = array.GetValue(i)) {
                m_path.push_back(Step{nullptr, static_cast<long>(i)});
                Value(*member, true);
                m_path.pop_back();
            }
        }
    }

    const FindingSubject& m_subject;
    ValidationReporter& m_reporter;
    std::vector<Step> m_path;
    std::size_t m_structNesting = 0;
};

} // namespace

void CheckInstanceValues(CZVInstance& instance, const FindingSubject& subject, ValidationReporter& reporter)
{
    if (instance.GetZVClass() == nullptr) {
        reporter.Report(subject, L"", L"has no class");
        return;
    }
    ValueChecker(subject, reporter).Values(instance);
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
