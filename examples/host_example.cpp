// The host example of the README: load a schema, stream a document.
#include <zvxml/zvxml.h>

#include <clocale>
#include <cstdio>
#include <filesystem>

static int OnInstance(ZVXML::CZVSchema*, void*, ZVXML::CZVInstance* instance)
{
    std::wstring text;
    instance->AppendAsXml(text, L""); // or read values: instance->GetPropertyValue(L"Head")
    std::printf("%ls\n", text.c_str());
    return 0; // anything else stops the parse
}

static int OnRelationship(ZVXML::CZVSchema* schema, void* context, ZVXML::ZVRelationshipInstance* relationship)
{
    std::printf("%ls -> %ls: ", relationship->GetSourceID(), relationship->GetTargetID());
    return OnInstance(schema, context, relationship);
}

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, ""); // for printing non-ASCII text
    if (argc != 3) {
        std::fprintf(stderr, "usage: host_example SCHEMA DOCUMENT\n");
        return 2;
    }
    try {
        ZVXML::CZVSchema schema(L"temporary", L"temporary", nullptr); // the file names it
        // Referenced schemas: current directory, ZVSCHEMA_PATH, then these folders.
        schema.SetReferenceSearchPath(std::filesystem::path(argv[1]).parent_path().wstring().c_str());
        if (schema.ReadXML(ZVXML::ToWString(argv[1]).c_str()) != 0) {
            return 1;
        }
        ZVXML::CZVSchemaInstanceFactory factory(&schema);
        ZVXML::ParseZVInstanceXML(1, ZVXML::ToWString(argv[2]).c_str(), &schema, nullptr, nullptr, &OnInstance,
                                  &OnRelationship, nullptr, nullptr, nullptr, &factory, 0);
    } catch (const ZVXML::ZVXMLException& error) {
        std::fprintf(stderr, "%ls\n", error.Message());
        return 1;
    }
    ZVXML::CZVSchema::FreeRecycledValues();
    return 0;
}
