// An instance as one line of JSON:
//   {"class":"Pump","id":"P-101","properties":{"Head":32.5,"Speeds":[1450,2900],
//    "Location":{"X":10.5,"Y":4,"Z":0}}}
// Relationship instances also carry "source" and "target". Values of
// numeric and boolean properties are JSON numbers and booleans when their
// text is one; everything else is a string; a null value is null.
#ifndef ZVCLI_JSON_INSTANCE_H
#define ZVCLI_JSON_INSTANCE_H

#include <zvxml/instance.h>

#include <string>

namespace zvcli {

// Appends the instance's line (without the line break) to `out`.
void AppendInstanceJson(ZVXML::CZVInstance& instance, const ZVXML::ZVRelationshipInstance* relationship,
                        std::string& out);

// Appends `text` as a JSON string (quotes included): UTF-8, with quotes,
// backslashes and control characters escaped.
void AppendJsonString(const std::wstring& text, std::string& out);

} // namespace zvcli

#endif
