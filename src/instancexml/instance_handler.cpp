#include "instancexml/instance_handler.h"

#include "instancexml/ignoring_element.h"
#include "instancexml/new_handler.h"
#include "instancexml/parse_context.h"
#include "instancexml/properties_handler.h"
#include "instancexml/relationship_handler.h"

#include "foundation/logging.h"
#include "instance/spare_objects.h"

#include <zvxml/errors.h>
#include <zvxml/ids.h>

namespace ZVXML {
namespace {

const wchar_t* const kProject = L"Project";

} // namespace

void InstanceHandler::InstanceDestruction::operator()(CZVInstance* instance) const noexcept
{
    DestroyInstance(instance);
}

InstanceHandler::InstanceHandler(StateHandler* parent) : StateHandler(parent, L"") {}

InstanceHandler::~InstanceHandler() = default;

void InstanceHandler::Attach(StateHandler* parent)
{
    Reattach(parent, L"");
    m_pZVInstance.reset();
    m_isRelationship = 0;
}

void InstanceHandler::Retire() noexcept { m_pZVInstance.reset(); }

START_ACTION InstanceHandler::StartElement(const std::wstring& namespaceURI, const std::wstring& localName,
                                           const std::wstring& qualifiedName, XMLAttributes* attributes,
                                           HandlerPtr& next)
{
    const ParseContext* parse = GetParseContext();
    IZVInstanceFactory* factory = parse->GetInstanceFactory();
    if (factory == nullptr) {
        throw ZVXMLRuntimeError(L"CZVXMLSAXContentHandler has NULL m_pZVInstanceFactory", L"");
    }
    if (localName == kProject) {
        // No bookkeeping: the Project's children reach this same handler.
        CallElementCallback(true, localName, attributes);
        return STATUSQUO;
    }
    // The factory's contract: the flag is 0 on entry, whatever an earlier
    // call that returned NULL left in it.
    m_isRelationship = 0;
    m_pZVInstance.reset(factory->CreateInstance(namespaceURI.c_str(), localName.c_str(), &m_isRelationship));
    if (!m_pZVInstance) {
        if ((parse->GetFlags() & ZVINSTANCEXML_SKIP_UNKNOWN_CLASSES) == 0) {
            throw ZVXMLRuntimeError(L"Unrecognized ZVClass: " + localName, L"");
        }
        LogFormat(LOG_SEV_INFO, L"Skipping unrecognized ZVClass <%ls>", localName.c_str());
        next = NewHandler<IgnoringElement>(this);
        return PUSH_UNHANDLED;
    }
    StateHandler::StartElement(namespaceURI, localName, qualifiedName, attributes, next);
    SetIdentifier(localName, attributes);
    next = PropertyReader(attributes);
    return PUSH;
}

void InstanceHandler::SetIdentifier(const std::wstring& className, XMLAttributes* attributes)
{
    if (attributes->GetValue(L"id", m_identifier) == 0 && attributes->GetValue(L"instanceID", m_identifier) == 0 &&
        attributes->GetValue(L"instanceId", m_identifier) == 0) {
        m_identifier = className + L"-" + CreateGuid();
    }
    m_pZVInstance->SetInstanceID(m_identifier);
}

HandlerPtr InstanceHandler::PropertyReader(XMLAttributes* attributes)
{
    if (m_isRelationship == 0 || HandleZVXML20Relationship(attributes) != 0) {
        return NewHandler<PropertiesHandler>(this, m_pZVInstance.get());
    }
    return NewHandler<RelationshipHandler>(this, dynamic_cast<ZVRelationshipInstance*>(m_pZVInstance.get()));
}

int InstanceHandler::HandleZVXML20Relationship(XMLAttributes* attributes)
{
    if (attributes->GetValue(L"sourceInstanceID", m_source) == 0 ||
        attributes->GetValue(L"targetInstanceID", m_target) == 0) {
        return 0;
    }
    auto* relationship = dynamic_cast<ZVRelationshipInstance*>(m_pZVInstance.get());
    if (relationship == nullptr) {
        throw ZVXMLLogicError(L"Called HandleZVXML20Relationship on an instance that was not a relationship!", L"");
    }
    relationship->SetSourceID(m_source.c_str());
    relationship->SetTargetID(m_target.c_str());
    return 1;
}

END_ACTION InstanceHandler::EndElement(const std::wstring& namespaceURI, const std::wstring& localName,
                                       const std::wstring& qualifiedName, HandlerPtr& next)
{
    if (localName == kProject) {
        CallElementCallback(false, localName, nullptr);
        return NOCHANGE;
    }
    if (StateHandler::EndElement(namespaceURI, localName, qualifiedName, next) == POP_UNHANDLED) {
        return POP_UNHANDLED; // the end of the root, or of the element that holds this handler
    }
    if (!m_pZVInstance) {
        throw ZVXMLRuntimeError(BuildErrorMessage(L"NULL m_pZVInstance in EndElement"), L"");
    }
    const int result = Deliver();
    GetParseContext()->CountInstance();
    m_pZVInstance.reset();
    m_isRelationship = 0;
    Reset();
    if (result != 0) {
        throw ZVXMLRuntimeError(L"Error while processing parsed instance", L"");
    }
    return NOCHANGE;
}

int InstanceHandler::Deliver()
{
    const ParseContext* parse = GetParseContext();
    const ParseCallbacks& callbacks = parse->GetCallbacks();
    if (m_isRelationship == 0) {
        return callbacks.instance(parse->GetSchema(), parse->GetHostContext(), m_pZVInstance.get());
    }
    auto* relationship = dynamic_cast<ZVRelationshipInstance*>(m_pZVInstance.get());
    if (relationship == nullptr) {
        throw ZVXMLRuntimeError(BuildErrorMessage(L"Failed to cast m_pZVInstance to an ZVRelationshipInstance *"), L"");
    }
    return callbacks.relationship(parse->GetSchema(), parse->GetHostContext(), relationship);
}

void InstanceHandler::CallElementCallback(bool isStart, const std::wstring& name, XMLAttributes* attributes)
{
    const ParseContext* parse = GetParseContext();
    const ZVInstanceXMLElementCallback callback = parse->GetCallbacks().element;
    if (callback != nullptr &&
        callback(parse->GetSchema(), parse->GetHostContext(), isStart, name.c_str(), attributes) != 0) {
        throw ZVXMLRuntimeError(L"Error while parsing element <" + name + L">.", L"");
    }
}

} // namespace ZVXML
