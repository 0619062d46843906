// Parses an instance document into one text: every instance as XML, each
// relationship with its ends, so that two parses compare as strings.
#ifndef ZVXML_TESTS_INSTANCES_AS_XML_H
#define ZVXML_TESTS_INSTANCES_AS_XML_H

#include <zvxml/zvxml.h>

#include <string>

namespace zvtest {

inline int AppendInstance(ZVXML::CZVSchema*, void* text, ZVXML::CZVInstance* instance)
{
    instance->AppendAsXml(*static_cast<std::wstring*>(text), L"");
    return 0;
}

inline int AppendRelationship(ZVXML::CZVSchema*, void* text, ZVXML::ZVRelationshipInstance* relationship)
{
    relationship->AppendAsXml(*static_cast<std::wstring*>(text), std::wstring(L" from='") +
                                                                     relationship->GetSourceID() + L"' to='" +
                                                                     relationship->GetTargetID() + L"'");
    return 0;
}

// `document` is a path when `isLocation` is 1, else the text itself.
inline std::wstring InstancesAsXml(ZVXML::CZVSchema& schema, ZVXML::IZVInstanceFactory& factory, int isLocation,
                                   const std::wstring& document)
{
    std::wstring text;
    ZVXML::ParseZVInstanceXML(isLocation, document.c_str(), &schema, &text, nullptr, &AppendInstance,
                              &AppendRelationship, nullptr, nullptr, nullptr, &factory, 0);
    return text;
}

inline std::wstring InstancesAsXml(ZVXML::CZVSchema& schema, int isLocation, const std::wstring& document)
{
    ZVXML::CZVSchemaInstanceFactory factory(&schema);
    return InstancesAsXml(schema, factory, isLocation, document);
}

} // namespace zvtest

#endif
