// ValidateZVInstanceXML against ParseZVInstanceXML alone on the same
// generated document, and the instance document writer.
//
//   instance_validate_bench [--document-mb=N] [--rounds=R]
//
// A document of N MB (default 64) is generated into the temporary folder.
// Each round parses it (schema factory, callbacks that do nothing),
// validates it, and parses it writing every instance back to a file; the
// best processor time of R rounds (default 5) of each counts. The report
// gives the times, MB/s and the ratios to the parse alone.
#include <zvxml/zvxml.h>

#include "instance_document_generator.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The generated classes, with Connects relating Equipment to Equipment by
// Name, so that a valid document has no finding.
void AddClasses(ZVXML::CZVSchema& schema)
{
    zvbench::AddGeneratedClasses(schema);
    ZVXML::CZVRelationshipClass* connects = schema.FindZVRelationshipClass(L"Connects", ZVXML::ZVCLASSTYPE_ANY);
    connects->m_source.m_className = L"Equipment";
    connects->m_source.m_keyVector = {L"Name"};
    connects->m_source.m_cardinality = L"0..*";
    connects->m_targets.m_classNames = {L"Equipment"};
    connects->m_targets.m_keyVectors = {{L"Name"}};
    connects->m_targets.m_cardinality = L"(0,N)";
}

int Ignore(ZVXML::CZVSchema*, void*, ZVXML::CZVInstance*) { return 0; }
int IgnoreRelationship(ZVXML::CZVSchema*, void*, ZVXML::ZVRelationshipInstance*) { return 0; }
int Write(ZVXML::CZVSchema*, void* writer, ZVXML::CZVInstance* instance)
{
    static_cast<ZVXML::ZVInstanceXMLWriter*>(writer)->Write(instance);
    return 0;
}
int WriteRelationship(ZVXML::CZVSchema* schema, void* writer, ZVXML::ZVRelationshipInstance* relationship)
{
    return Write(schema, writer, relationship);
}
int CountFinding(void* count, const ZVXML::ZVValidationFinding&)
{
    ++*static_cast<std::size_t*>(count);
    return 0;
}

double Seconds(const std::function<void()>& body)
{
    const double start = CpuSeconds();
    body();
    return CpuSeconds() - start;
}

} // namespace

int main(int argc, char** argv)
{
    std::uint64_t megabytes = 64;
    int rounds = 5;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--document-mb=", 14) == 0) {
            megabytes = std::stoull(argv[i] + 14);
        } else if (std::strncmp(argv[i], "--rounds=", 9) == 0) {
            rounds = std::stoi(argv[i] + 9);
        } else {
            std::fprintf(stderr, "usage: instance_validate_bench [--document-mb=N] [--rounds=R]\n");
            return 2;
        }
    }
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    const std::string pid = std::to_string(::getpid());
    const std::filesystem::path document = folder / ("zvxml_validate_" + pid + ".xml");
    const std::filesystem::path written = folder / ("zvxml_validate_" + pid + "_written.xml");
    std::uint64_t bytes = 0;
    {
        std::ofstream out(document, std::ios::binary);
        bytes = zvbench::InstanceDocumentGenerator().Write(out, megabytes * 1024 * 1024).bytes;
    }
    ZVXML::CZVSchema schema(L"b", L"Bench", L"");
    AddClasses(schema);
    ZVXML::CZVSchemaInstanceFactory factory(&schema);
    const std::wstring location = ZVXML::ToWString(document.string().c_str());
    const std::wstring writtenLocation = ZVXML::ToWString(written.string().c_str());
    std::size_t findings = 0;
    double parse = 0, validate = 0, write = 0;
    try {
        // Interleaved, so that a change of load touches each alike.
        for (int round = 0; round < rounds; ++round) {
            const double p = Seconds([&] {
                ZVXML::ParseZVInstanceXML(1, location.c_str(), &schema, nullptr, nullptr, &Ignore, &IgnoreRelationship,
                                          nullptr, nullptr, nullptr, &factory, 0);
            });
            const double v = Seconds([&] {
                findings = 0;
                ZVXML::ValidateZVInstanceXML(1, location.c_str(), &schema, &CountFinding, &findings, 0);
            });
            const double w = Seconds([&] {
                ZVXML::ZVInstanceXMLWriter writer(writtenLocation.c_str());
                ZVXML::ParseZVInstanceXML(1, location.c_str(), &schema, &writer, nullptr, &Write, &WriteRelationship,
                                          nullptr, nullptr, nullptr, &factory, 0);
                writer.Close();
            });
            parse = round == 0 ? p : std::min(parse, p);
            validate = round == 0 ? v : std::min(validate, v);
            write = round == 0 ? w : std::min(write, w);
        }
    } catch (const ZVXML::ZVXMLException& error) {
        std::fprintf(stderr, "%ls\n", error.Message());
        return 1;
    }
    std::filesystem::remove(document);
    std::filesystem::remove(written);
    ZVXML::CZVSchema::FreeRecycledValues();
    const double mb = static_cast<double>(bytes) / (1024.0 * 1024.0);
    std::printf("document: %.1f MB, best of %d rounds (processor time), %zu findings\n", mb, rounds, findings);
    std::printf("parse alone       %8.0f ms  %6.1f MB/s\n", parse * 1e3, mb / parse);
    std::printf("validate          %8.0f ms  %6.1f MB/s  ratio %.2f\n", validate * 1e3, mb / validate,
                validate / parse);
    std::printf("parse and write   %8.0f ms  %6.1f MB/s  ratio %.2f\n", write * 1e3, mb / write, write / parse);
    return 0;
}
