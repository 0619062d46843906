// Instance documents as text, read with a small fixed schema and the
// ready-made factory, with both option bits chosen by the first byte. Every
// instance delivered is rendered as text, so its values are walked. The
// option bits follow the input's length, so the whole input is the document
// and every seed file works as it is.
// Failures may only be the library's exceptions.
#include <zvxml/zvxml.h>

#include "fuzz_input.h"

#include <cstdio>
#include <cstdlib>

namespace {

struct Reader {
    Reader()
    {
        ZVXML::CZVClass* point = schema.CreateZVClass(L"Point", L"", 3);
        point->AddZVProperty(L"X", L"double", L"");
        point->AddZVProperty(L"Y", L"double", L"");
        ZVXML::CZVClass* node = schema.CreateZVClass(L"Node", L"", 3);
        node->AddZVProperty(L"Value", L"string", L"");
        node->AddZVProperty(L"Child", L"Node", L"");
        node->AddZVProperty(L"Children", L"Node", L"")->SetMaxOccurs(L"unbounded");
        ZVXML::CZVClass* pump = schema.CreateZVClass(L"Pump", L"", 1);
        pump->AddZVProperty(L"Flow", L"double", L"");
        pump->AddZVProperty(L"Tags", L"string", L"")->SetMaxOccurs(L"unbounded");
        pump->AddZVProperty(L"Where", L"Point", L"");
        pump->AddZVProperty(L"Path", L"Point", L"")->SetMinOccurs(L"0");
        pump->AddZVProperty(L"Tree", L"Node", L"");
        ZVXML::CZVRelationshipClass* connects = schema.CreateZVRelationshipClass(L"Connects", L"", 1);
        connects->AddZVProperty(L"Port", L"string", L"");
    }

    ZVXML::CZVSchema schema{L"f", L"Fuzz", L""};
    ZVXML::CZVSchemaInstanceFactory factory{&schema};
};

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
    static Reader* reader = new Reader(); // one schema for the whole run
    const unsigned long options = size & 3u;
    const std::wstring text = zvfuzz::WideText(data, size);
    try {
        ZVXML::ParseZVInstanceXML(0, text.c_str(), &reader->schema, nullptr, nullptr, &Render, &RenderRelationship,
                                  &Project, nullptr, &OnError, &reader->factory, options);
    } catch (const ZVXML::ZVXMLException&) {
    }
    return 0;
}
