// The host example of the README: load a schema, stream a document.
#include <zvxml/zvxml.h>

#include <cstdio>
#include <filesystem>
#include <string>

static int OnInstance(ZVXML::CZVSchema*, void*, ZVXML::CZVInstance* instance)
{
    std::wstring text;
    instance->AppendAsXml(text, L""); // or read values: instance->GetPropertyValue(L"Head")
    std::printf("%s\n", ZVXML::ToUtf8(text).c_str());
    return 0; // anything else stops the parse
}

static int OnRelationship(ZVXML::CZVSchema* schema, void* context, ZVXML::ZVRelationshipInstance* relationship)
{
    std::printf("%s -> %s: ", ZVXML::ToUtf8(relationship->GetSourceID()).c_str(),
                ZVXML::ToUtf8(relationship->GetTargetID()).c_str());
    return OnInstance(schema, context, relationship);
}

// "plant.zvinstance.xml:12:7: Unrecognized ZVProperty Where found in instance of ZVClass Tank."
static void PrintError(const ZVXML::ZVXMLException& error)
{
    std::string where = ZVXML::ToUtf8(error.File()); // empty, and 0s, where not known
    if (error.Line() > 0) {
        where += ":" + std::to_string(error.Line());
    }
    if (error.Column() > 0) {
        where += ":" + std::to_string(error.Column());
    }
    std::fprintf(stderr, "%s: %s\n", where.empty() ? "host_example" : where.c_str(),
                 ZVXML::ToUtf8(error.Message()).c_str());
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: host_example SCHEMA DOCUMENT\n");
        return 2;
    }
    // Paths are UTF-8 bytes; the library's conversion takes any of them
    // (std::filesystem::path::wstring() would depend on the locale, and throw).
    const std::string schemaPath = argv[1];
    const std::string documentPath = argv[2];
    try {
        ZVXML::CZVSchema schema(L"temporary", L"temporary", nullptr); // the file names it
        // Referenced schemas: current directory, ZVSCHEMA_PATH, then these folders.
        const std::string folder = std::filesystem::path(schemaPath).parent_path().string();
        schema.SetReferenceSearchPath(ZVXML::ToWString(folder).c_str());
        if (schema.ReadXML(ZVXML::ToWString(schemaPath).c_str()) != 0) {
            return 1;
        }
        ZVXML::CZVSchemaInstanceFactory factory(&schema);
        ZVXML::ParseZVInstanceXML(1, ZVXML::ToWString(documentPath).c_str(), &schema, nullptr, nullptr, &OnInstance,
                                  &OnRelationship, nullptr, nullptr, nullptr, &factory, 0);
    } catch (const ZVXML::ZVXMLException& error) { // not a std::exception: catch it by name
        PrintError(error);
        ZVXML::CZVSchema::FreeRecycledValues();
        return 1;
    }
    ZVXML::CZVSchema::FreeRecycledValues(); // primitive values are pooled; free them when done
    return 0;
}
