// Reads the children of the root (and of "Project" elements, which group
// instances and may nest): each child is one instance. The factory makes an
// empty instance of the element's class, the identifier is set from the
// element's attributes, a properties handler (after a relationship handler
// for the ZVSource / ZVTarget form) fills it, and at the element's end the
// instance goes to the instance or relationship callback, is counted and
// destroyed.
#ifndef ZVXML_INSTANCEXML_INSTANCE_HANDLER_H
#define ZVXML_INSTANCEXML_INSTANCE_HANDLER_H

#include "instancexml/state_handler.h"

#include <zvxml/instance.h>

#include <cstdint>
#include <memory>

namespace ZVXML {

class InstanceHandler : public StateHandler {
public:
    static constexpr HandlerKind kKind = HandlerKind::Instance;

    explicit InstanceHandler(StateHandler* parent);
    ~InstanceHandler() override;
    void Attach(StateHandler* parent);
    HandlerKind Kind() const override { return kKind; }
    // Destroys an instance whose element did not end.
    void Retire() noexcept override;

    START_ACTION StartElement(const std::wstring& namespaceURI, const std::wstring& localName,
                              const std::wstring& qualifiedName, XMLAttributes* attributes, HandlerPtr& next) override;
    END_ACTION EndElement(const std::wstring& namespaceURI, const std::wstring& localName,
                          const std::wstring& qualifiedName, HandlerPtr& next) override;

    // The ZVXML 2.0 relationship form: sets both identifiers from the
    // attributes "sourceInstanceID" and "targetInstanceID" and returns 1;
    // returns 0 and sets nothing unless both are present.
    int HandleZVXML20Relationship(XMLAttributes* attributes);

private:
    void CallElementCallback(bool isStart, const std::wstring& name, XMLAttributes* attributes);
    void SetIdentifier(const std::wstring& className, XMLAttributes* attributes);
    HandlerPtr PropertyReader(XMLAttributes* attributes);
    int Deliver();

    // Instances are destroyed through the parse's spares (see
    // instance/spare_objects.h).
    struct InstanceDestruction {
        void operator()(CZVInstance* instance) const noexcept;
    };

    std::int32_t m_isRelationship = 0;
    std::unique_ptr<CZVInstance, InstanceDestruction> m_pZVInstance;
    // Attribute values, read into memory reused from instance to instance.
    std::wstring m_identifier;
    std::wstring m_source;
    std::wstring m_target;
};

} // namespace ZVXML

#endif
