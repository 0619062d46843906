// A strict JSON reader for checking the program's output: it accepts exactly
// the JSON grammar and decodes strings, so tests can compare values.
#ifndef ZVXML_TESTS_TOOLS_JSON_CHECK_H
#define ZVXML_TESTS_TOOLS_JSON_CHECK_H

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zvtest {

struct JsonValue {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool boolean = false;
    std::string text; // a number's text, or a string decoded to UTF-8
    std::vector<JsonValue> items;
    std::vector<std::pair<std::string, JsonValue>> members;

    const JsonValue* Member(const std::string& name) const;
};

// Parses one complete JSON text; false (with `error` set) if it is not one.
bool ParseJson(const std::string& text, JsonValue& value, std::string& error);

} // namespace zvtest

#endif
