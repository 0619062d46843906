// Instance documents as text, read with a small fixed schema and the
// ready-made factory, with both option bits chosen by the first byte. Every
// instance delivered is rendered as text, so its values are walked. The
// option bits follow the input's length, so the whole input is the document
// and every seed file works as it is.
// Failures may only be the library's exceptions.
#include <zvxml/zvxml.h>

#include "fuzz_input.h"
#include "fuzz_schema.h"

#include <cstdio>
#include <cstdlib>

namespace {

int Render(ZVXML::CZVSchema*, void*, ZVXML::CZVInstance* instance)
{
    std::wstring text;
    instance->AppendAsXml(text, L"");
    return 0;
}

int RenderRelationship(ZVXML::CZVSchema* schema, void* context, ZVXML::ZVRelationshipInstance* relationship)
{
    return Render(schema, context, relationship);
}

int Project(ZVXML::CZVSchema*, void*, bool, const wchar_t*, ZVXML::XMLAttributes* attributes)
{
    std::wstring value;
    if (attributes != nullptr) {
        attributes->GetValue(L"name", value);
    }
    return 0;
}

void OnError(const wchar_t*, void*) {}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static zvfuzz::FuzzSchema* reader = new zvfuzz::FuzzSchema(); // one schema for the whole run
    const unsigned long options = size & 3u;
    const std::wstring text = zvfuzz::WideText(data, size);
    try {
        ZVXML::ParseZVInstanceXML(0, text.c_str(), &reader->schema, nullptr, nullptr, &Render, &RenderRelationship,
                                  &Project, nullptr, &OnError, &reader->factory, options);
    } catch (const ZVXML::ZVXMLException&) {
    }
    return 0;
}
