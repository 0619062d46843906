#include "instancexml/properties_handler.h"

#include "instancexml/array_handler.h"
#include "instancexml/ignoring_element.h"
#include "instancexml/new_handler.h"
#include "instancexml/parse_context.h"
#include "instancexml/struct_handler.h"

#include "foundation/logging.h"
#include "instance/instance_access.h"
#include "schema/schema_internals.h"
#include "instance/spare_objects.h"
#include "instance/value_disposal.h"

#include <zvxml/errors.h>

namespace ZVXML {
namespace {

// Hands a new value to the instance, which owns it from then on.
template <class Value>
Value* AddNewValue(CZVInstance* instance, Value* made)
{
    UnownedValue value(made);
    instance->AddZVValue(made);
    value.release();
    return made;
}

// The first value of `property`, or NULL.
ZVValueBase* ValueOf(CZVInstance& instance, const CZVProperty* property)
{
    for (std::size_t i = 0; i < instance.GetZVValueCount(); ++i) {
        if (ZVValueBase* value = instance.GetZVValue(i); value != nullptr && value->GetProperty() == property) {
            return value;
        }
    }
    return nullptr;
}

} // namespace

PropertiesHandler::PropertiesHandler(StateHandler* parent, CZVInstance* instance) : StateHandler(parent, L"")
{
    Setup(instance);
}

void PropertiesHandler::Attach(StateHandler* parent, CZVInstance* instance)
{
    Reattach(parent, L"");
    Setup(instance);
}

void PropertiesHandler::Setup(CZVInstance* instance)
{
    m_pProperty = nullptr;
    m_pInstance = instance;
    if (instance == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL pZVInstance into PropertiesHandler constructor", L"");
    }
    if (instance->GetZVClass() == nullptr) {
        throw ZVXMLRuntimeError(L"ZVInstance with no ZVClass was passed to PropertiesHandler constructor!", L"");
    }
}

START_ACTION PropertiesHandler::StartElement(const std::wstring& namespaceURI, const std::wstring& localName,
                                             const std::wstring& qualifiedName, XMLAttributes* attributes,
                                             HandlerPtr& next)
{
    m_pProperty = nullptr;
    Reset();
    m_pProperty = CZVClass::Internals::FindProperty(*m_pInstance->GetZVClass(), localName);
    if (m_pProperty == nullptr) {
        return UnknownProperty(localName, next);
    }
    if (m_pProperty->IsArray()) {
        ZVArrayValue* array = AddNewValue(m_pInstance, MakeArrayValue(m_pProperty));
        next = NewHandler<ArrayHandler>(this, array);
        StateHandler::StartElement(namespaceURI, localName, qualifiedName, attributes, next);
        return PUSH;
    }
    if (m_pProperty->IsStruct()) {
        // The struct handler tracks the struct's element itself.
        next = NewHandler<StructHandler>(this, AddNewValue(m_pInstance, MakeStructValue(m_pProperty)));
        return PUSH_UNHANDLED;
    }
    StateHandler::StartElement(namespaceURI, localName, qualifiedName, attributes, next);
    return STATUSQUO;
}

START_ACTION PropertiesHandler::UnknownProperty(const std::wstring& localName, HandlerPtr& next)
{
    if ((GetParseContext()->GetFlags() & ZVINSTANCEXML_SKIP_UNKNOWN_PROPERTIES) == 0) {
        throw ZVXMLFormatError(L"Unrecognized ZVProperty " + localName + L" found in instance of ZVClass " +
                                   m_pInstance->GetZVClass()->GetTypeName() + L".",
                               L"");
    }
    LogFormat(LOG_SEV_TRACE, L"Ignoring unrecognized ZVProperty <%ls>", localName.c_str());
    next = NewHandler<IgnoringElement>(this);
    return PUSH_UNHANDLED;
}

// CZVInstance::SetPropertyValue, without looking the property up again: no
// host code runs between the element's start and its end, so the class
// still gives the property found at the start. The text moves into the
// value rather than being copied; the buffer is emptied at the next start.
void PropertiesHandler::SetPrimitiveValue(const std::wstring& name)
{
    CZVValue* primitive = nullptr;
    ZVValueBase* found = detail::InstanceAccess::FindValue(*m_pInstance, name);
    if (found != nullptr && found->GetProperty() != m_pProperty) {
        // A second value of another property was renamed to this name ("Tags"
        // repeated gives "Tags2", which may be a property of its own).
        found = ValueOf(*m_pInstance, m_pProperty);
    }
    if (found != nullptr) {
        primitive = dynamic_cast<CZVValue*>(found);
    } else {
        // What CreateZVValueForZVProperty gives for a primitive property.
        UnownedValue created(CZVSchema::GetRecycledZVValue(m_pProperty));
        m_pInstance->AddZVValue(created.get());
        primitive = static_cast<CZVValue*>(created.release()); // the instance's from here on
    }
    if (primitive == nullptr) {
        throw ZVXMLLogicError(L"Attempted to set primitive value into a non-primitive property", L"");
    }
    detail::InstanceAccess::TakeText(*primitive, TextBuffer());
}

void PropertiesHandler::Characters(const wchar_t* text, std::size_t length) { TextBuffer().append(text, length); }

END_ACTION PropertiesHandler::EndElement(const std::wstring& namespaceURI, const std::wstring& localName,
                                         const std::wstring& qualifiedName, HandlerPtr& next)
{
    if (StateHandler::EndElement(namespaceURI, localName, qualifiedName, next) == POP_UNHANDLED) {
        return POP_UNHANDLED; // the end of the element that holds the properties
    }
    if (m_pProperty != nullptr && !m_pProperty->IsStruct() && !m_pProperty->IsArray()) {
        SetPrimitiveValue(localName);
    }
    m_pProperty = nullptr;
    Reset();
    return NOCHANGE;
}

} // namespace ZVXML
