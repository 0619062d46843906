// Instances read back from the JSON lines `zvxml instances --format json`
// prints (see json_instance.h):
//   {"class":"Pump","id":"P1","properties":{"Flow":12.5,"Tags":["a"],"At":{"X":1}}}
//   {"class":"Connects","id":"C1","source":"P1","target":"V1","properties":{}}
// Numbers keep the text they were written with, so what is printed again is
// the same line.
#ifndef ZVCLI_JSON_LINE_READER_H
#define ZVCLI_JSON_LINE_READER_H

#include <zvxml/instance.h>

#include <memory>
#include <string>

namespace zvcli {

// A line that does not describe an instance of the schema; the message
// says why.
struct JsonLineError {
    std::wstring message;
};

// The instance the line describes, of a class of `schema`; throws
// JsonLineError.
std::unique_ptr<ZVXML::CZVInstance> InstanceFromJsonLine(const std::string& line, ZVXML::CZVSchema& schema);

} // namespace zvcli

#endif
