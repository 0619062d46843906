// Instance documents as text, read with the fuzz schema; every instance
// delivered is validated and written to a new document, and the whole text
// is validated as a stream. The written document must read back, and
// writing what it reads must give the same bytes: a difference aborts.
// Failures may only be the library's exceptions.
#include <zvxml/zvxml.h>

#include "fuzz_input.h"
#include "fuzz_schema.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

zvfuzz::FuzzSchema& Schema()
{
    static zvfuzz::FuzzSchema* schema = new zvfuzz::FuzzSchema(); // one schema for the whole run
    return *schema;
}

int IgnoreFinding(void*, const ZVXML::ZVValidationFinding&) { return 0; }

int Copy(ZVXML::CZVSchema*, void* writer, ZVXML::CZVInstance* instance)
{
    ZVXML::ValidateZVInstance(instance, &IgnoreFinding, nullptr);
    try {
        static_cast<ZVXML::ZVInstanceXMLWriter*>(writer)->Write(instance);
    } catch (const ZVXML::ZVXMLFormatError&) {
        // refused whole: the document stays well formed
    }
    return 0;
}

int CopyRelationship(ZVXML::CZVSchema* schema, void* writer, ZVXML::ZVRelationshipInstance* relationship)
{
    return Copy(schema, writer, relationship);
}

// The instances of `text` written as a document; `complete` tells whether
// the whole text was read.
std::string Rewrite(const std::wstring& text, unsigned long options, bool& complete)
{
    std::ostringstream out;
    ZVXML::ZVInstanceXMLWriter writer(out);
    complete = true;
    try {
        ZVXML::ParseZVInstanceXML(0, text.c_str(), &Schema().schema, &writer, nullptr, &Copy, &CopyRelationship,
                                  nullptr, nullptr, nullptr, &Schema().factory, options);
    } catch (const ZVXML::ZVXMLException&) {
        complete = false;
    }
    writer.Close();
    return out.str();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const unsigned long options = size & 3u;
    const std::wstring text = zvfuzz::WideText(data, size);
    try {
        ZVXML::ValidateZVInstanceXML(0, text.c_str(), &Schema().schema, &IgnoreFinding, nullptr, options);
    } catch (const ZVXML::ZVXMLException&) {
    }
    bool complete = false;
    const std::string first = Rewrite(text, options, complete);
    const std::string second = Rewrite(ZVXML::ToWString(first), options, complete);
    if (!complete || second != first) {
        std::fprintf(stderr, "written document %s:\n%s\n---- written again:\n%s\n",
                     complete ? "reads back differently" : "does not read back", first.c_str(), second.c_str());
        std::abort();
    }
    return 0;
}
