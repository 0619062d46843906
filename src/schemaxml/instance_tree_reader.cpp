// Reading an instance, or the embedded instance of a struct value, from an
// element of a document tree.
#include <zvxml/errors.h>
#include <zvxml/instance.h>

#include "instance/value_disposal.h"
#include "schemaxml/reading_element.h"

#include <memory>

namespace ZVXML {

int CZVInstance::ReadXML(XMLDocument&, XMLNode element)
{
    std::wstring typeName = element.LocalName();
    return ReadFromXML(typeName, element);
}

int CZVInstance::ReadFromXML(std::wstring& typeName, XMLNode element)
{
    m_typeName = typeName;
    for (XMLNode child = element.FirstChild(); child; child = child.NextSibling()) {
        if (child.NodeType() != XML_NODE_ELEMENT) {
            continue;
        }
        const ReadingElement at(child);
        UnownedValue value(ZVValueBase::CreateZVValueFromXml(m_pZVClass, child));
        AddZVValue(value.get()); // NULL (an empty element) is ignored
        value.release();
    }
    return 0;
}

int ZVStructValue::ReadXML(CZVClass* structClass, XMLNode element)
{
    if (structClass == nullptr) {
        throw ZVXMLRuntimeError(L"Could not find class for struct property", L"");
    }
    std::unique_ptr<CZVInstance> embedded(new CZVInstance(structClass));
    std::wstring typeName = structClass->GetTypeName(); // whatever the element is called
    const int result = embedded->ReadFromXML(typeName, element);
    SetValue(embedded.get());
    embedded.release();
    return result;
}

} // namespace ZVXML
