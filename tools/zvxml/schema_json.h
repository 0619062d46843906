// A schema as one JSON document, for programs:
//   {"schemas":[{"name":"Plant","version":"01.02","prefix":"pl",
//     "displayLabel":"...","description":"...",
//     "references":[{"name":"Units","prefix":"u","version":"01.00","loaded":true}],
//     "customAttributes":[<instance>],
//     "classes":[{"typeName":"Pump","baseClass":"Equipment","displayLabel":"","description":"",
//                 "domain":true,"struct":false,"customAttributeClass":false,"customAttributes":[],
//                 "properties":[{"name":"Speeds","type":"double","displayLabel":"","description":"",
//                                "array":true,"minOccurs":"0","maxOccurs":"unbounded","struct":false,
//                                "readOnly":false,"customAttributes":[]}]}],
//     "relationshipClasses":[{<as a class>,"strength":"","strengthDirection":"",
//       "source":{"class":"Pipe","keys":["Tag"],"cardinality":"0..*","roleLabel":"connects",
//                 "polymorphic":false,"customAttributes":[]},
//       "targets":{"classes":[{"class":"Equipment","keys":["Tag"]}],"cardinality":"1..2",
//                  "roleLabel":"...","polymorphic":true,"customAttributes":[]}}]}]}
// The schema comes first, then each schema it references (each once).
// Custom attributes are instances in the form of json_instance.h.
#ifndef ZVCLI_SCHEMA_JSON_H
#define ZVCLI_SCHEMA_JSON_H

#include <zvxml/schema.h>

#include <string>

namespace zvcli {

// Appends the document (without a line break) to `out`.
void AppendSchemaJson(ZVXML::CZVSchema& schema, std::string& out);

} // namespace zvcli

#endif
