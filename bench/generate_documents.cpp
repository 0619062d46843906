// Writes the benchmark schema as a schema file and an instance document of a
// given size, for timing the zvxml program on them:
//
//   generate_documents FOLDER MEGABYTES [text]
//
// The schema file is FOLDER/Bench.01.00.zvschema.xml, the document
// FOLDER/bench.zvinstance.xml: markup-dense, or text-rich with "text".
#include <zvxml/zvxml.h>

#include "instance_document_generator.h"

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    const bool text = argc == 4 && std::string(argv[3]) == "text";
    if (argc != 3 && !text) {
        std::fprintf(stderr, "usage: generate_documents FOLDER MEGABYTES [text]\n");
        return 2;
    }
    const std::string folder = argv[1];
    try {
        ZVXML::CZVSchema schema(L"b", L"Bench", L"");
        schema.SetVersionString(L"1.0");
        zvbench::AddGeneratedClasses(schema);
        const std::wstring schemaPath = ZVXML::ToWString((folder + "/Bench.01.00.zvschema.xml").c_str());
        if (schema.WriteXML(schemaPath.c_str()) != 0) {
            return 1;
        }
    } catch (const ZVXML::ZVXMLException& error) {
        std::fprintf(stderr, "%ls\n", error.Message());
        return 1;
    }
    std::ofstream out(folder + "/bench.zvinstance.xml", std::ios::binary);
    const zvbench::GeneratedDocument made =
        zvbench::InstanceDocumentGenerator(text ? zvbench::DocumentShape::TextRich
                                                : zvbench::DocumentShape::MarkupDense)
            .Write(out, std::stoull(argv[2]) * 1024 * 1024);
    std::printf("%llu bytes, %llu instances, %llu relationships\n", static_cast<unsigned long long>(made.bytes),
                static_cast<unsigned long long>(made.instances), static_cast<unsigned long long>(made.relationships));
    return 0;
}
