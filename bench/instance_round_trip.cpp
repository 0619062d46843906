// The round trip of a large generated document through the instance
// document writer, checked rather than timed:
//
//   instance_round_trip [MEGABYTES]      (default 100)
//
// The document is generated into the temporary folder, read and written to
// a second file, which is read and written to a third. Each reading hashes
// every instance it delivers (class, id, ends, values, in order); the two
// readings must give the same hash and count, and the second and third
// files must be byte-identical. Exit status 0 when they are, 1 otherwise.
#include <zvxml/zvxml.h>

#include "instance_document_generator.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

struct Pass {
    ZVXML::ZVInstanceXMLWriter* writer = nullptr;
    std::uint64_t hash = 1469598103934665603ull; // FNV-1a over the descriptions
    std::uint64_t count = 0;

    void Mix(const std::wstring& part)
    {
        for (wchar_t c : part) {
            hash = (hash ^ static_cast<std::uint64_t>(c)) * 1099511628211ull;
        }
        hash = (hash ^ 0xFFu) * 1099511628211ull;
    }

    void MixValue(ZVXML::ZVValueBase* value)
    {
        if (value == nullptr) {
            return Mix(L"(none)");
        }
        Mix(value->PropertyName());
        if (auto* primitive = dynamic_cast<ZVXML::CZVValue*>(value)) {
            Mix(primitive->IsNull() ? L"(null)" : primitive->Value());
        } else if (auto* structValue = dynamic_cast<ZVXML::ZVStructValue*>(value)) {
            MixInstance(structValue->GetValue());
        } else if (auto* array = dynamic_cast<ZVXML::ZVArrayValue*>(value)) {
            Mix(L"[" + std::to_wstring(array->GetLength()));
            for (std::size_t i = 0; i < array->GetLength(); ++i) {
                MixValue(array->GetValue(i));
            }
        }
    }

    void MixInstance(ZVXML::CZVInstance* instance)
    {
        if (instance == nullptr) {
            return Mix(L"(empty)");
        }
        Mix(instance->TypeName());
        Mix(instance->InstanceID());
        for (std::size_t i = 0; i < instance->GetZVValueCount(); ++i) {
            MixValue(instance->GetZVValue(i));
        }
    }

    static int Instance(ZVXML::CZVSchema*, void* context, ZVXML::CZVInstance* instance)
    {
        auto& pass = *static_cast<Pass*>(context);
        pass.MixInstance(instance);
        if (auto* relationship = dynamic_cast<ZVXML::ZVRelationshipInstance*>(instance)) {
            pass.Mix(relationship->GetSourceID());
            pass.Mix(relationship->GetTargetID());
        }
        ++pass.count;
        pass.writer->Write(instance);
        return 0;
    }
    static int Relationship(ZVXML::CZVSchema* schema, void* context, ZVXML::ZVRelationshipInstance* relationship)
    {
        return Instance(schema, context, relationship);
    }
};

Pass ReadAndWrite(ZVXML::CZVSchema& schema, const std::string& from, const std::string& to)
{
    ZVXML::ZVInstanceXMLWriter writer(ZVXML::ToWString(to.c_str()).c_str());
    Pass pass;
    pass.writer = &writer;
    ZVXML::CZVSchemaInstanceFactory factory(&schema);
    const std::wstring location = ZVXML::ToWString(from.c_str());
    ZVXML::ParseZVInstanceXML(1, location.c_str(), &schema, &pass, nullptr, &Pass::Instance, &Pass::Relationship,
                              nullptr, nullptr, nullptr, &factory, 0);
    writer.Close();
    return pass;
}

bool SameBytes(const std::string& a, const std::string& b)
{
    std::ifstream first(a, std::ios::binary), second(b, std::ios::binary);
    std::string x(1 << 20, '\0'), y(1 << 20, '\0');
    while (first && second) {
        first.read(x.data(), static_cast<std::streamsize>(x.size()));
        second.read(y.data(), static_cast<std::streamsize>(y.size()));
        if (first.gcount() != second.gcount() || x.compare(0, first.gcount(), y, 0, second.gcount()) != 0) {
            return false;
        }
    }
    return first.eof() && second.eof();
}

} // namespace

int main(int argc, char** argv)
{
    const std::uint64_t megabytes = argc > 1 ? std::stoull(argv[1]) : 100;
    const std::string base =
        (std::filesystem::temp_directory_path() / ("zvxml_round_trip_" + std::to_string(::getpid()))).string();
    const std::string original = base + ".xml", once = base + "_1.xml", twice = base + "_2.xml";
    {
        std::ofstream out(original, std::ios::binary);
        zvbench::InstanceDocumentGenerator().Write(out, megabytes * 1024 * 1024);
    }
    int status = 1;
    try {
        ZVXML::CZVSchema schema(L"b", L"Bench", L"");
        zvbench::AddGeneratedClasses(schema);
        const Pass first = ReadAndWrite(schema, original, once);
        const Pass second = ReadAndWrite(schema, once, twice);
        const bool same = first.hash == second.hash && first.count == second.count;
        const bool identical = SameBytes(once, twice);
        std::printf("%.1f MB read: %llu instances; written: %.1f MB, read back: %llu instances\n",
                    static_cast<double>(std::filesystem::file_size(original)) / 1048576.0,
                    static_cast<unsigned long long>(first.count),
                    static_cast<double>(std::filesystem::file_size(once)) / 1048576.0,
                    static_cast<unsigned long long>(second.count));
        std::printf("same instances, values and order: %s; written twice byte-identical: %s\n", same ? "yes" : "NO",
                    identical ? "yes" : "NO");
        status = same && identical ? 0 : 1;
        ZVXML::CZVSchema::FreeRecycledValues();
    } catch (const ZVXML::ZVXMLException& error) {
        std::fprintf(stderr, "%ls\n", error.Message());
    }
    for (const std::string& path : {original, once, twice}) {
        std::filesystem::remove(path);
    }
    return status;
}
