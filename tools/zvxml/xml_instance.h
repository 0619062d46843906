// An instance as one line of well-formed XML, in the shape of the library's
// text form (CZVInstance::AppendAsXml) but escaped, so that any XML parser
// reads back the values exactly:
//   <Pump instanceid='P-101'><Tag>P-101</Tag><Speeds><double>1450</double></Speeds></Pump>
// Relationship instances also carry sourceInstanceID and targetInstanceID.
// Markup characters become entity references; tabs, line feeds and carriage
// returns become character references, so each instance stays on one line.
#ifndef ZVCLI_XML_INSTANCE_H
#define ZVCLI_XML_INSTANCE_H

#include <zvxml/instance.h>

#include <string>

namespace zvcli {

// Appends the instance's line (without the line break) to `out`.
void AppendInstanceXml(ZVXML::CZVInstance& instance, const ZVXML::ZVRelationshipInstance* relationship,
                       std::string& out);

// Appends `text` as UTF-8 escaped for XML character data and for attribute
// values in either kind of quotes.
void AppendXmlEscaped(const std::wstring& text, std::string& out);

} // namespace zvcli

#endif
