// Loading a large schema file against a bare libxml2 parse of the same file
// into a tree. What loading adds (walking the tree, names, lookups, building
// the classes) is the difference between the two. Two shapes: a mixed file
// (base classes, custom attributes, relationship classes) and flat files of
// 10,000 and 40,000 classes with four plain properties each, to show how the
// load grows.
#include <zvxml/zvxml.h>

#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kClasses = 10000;
constexpr int kRelationshipClasses = 2000;

// 10,000 classes with four properties each, most with a base class (a tree a
// few levels deep, named through the attribute or the element), custom
// attributes on some, and relationship classes in the current and the legacy
// form.
class SchemaFile {
public:
    SchemaFile()
        : m_path(std::filesystem::temp_directory_path() /
                 ("zvxml_schema_bench_" + std::to_string(::getpid()) + ".zvschema.xml"))
    {
        std::ofstream out(m_path, std::ios::binary);
        out << "<?xml version='1.0' encoding='UTF-8'?>\n"
               "<ZVSchema xmlns='http://www.molvane.com/schemas/Molvane.ZVXML.2.0' schemaName='Big' "
               "version='01.00' nameSpacePrefix='big' description='A generated schema'>\n"
               "  <ZVClass typeName='Note' isCustomAttributeClass='True' isDomainClass='False'>\n"
               "    <ZVProperty propertyName='Text' typeName='string'/>\n"
               "  </ZVClass>\n"
               "  <ZVClass typeName='Point' isStruct='True'>\n"
               "    <ZVProperty propertyName='X' typeName='double'/><ZVProperty propertyName='Y' typeName='double'/>\n"
               "  </ZVClass>\n";
        for (int i = 0; i < kClasses; ++i) {
            Class(out, i);
        }
        for (int i = 0; i < kRelationshipClasses; ++i) {
            Relationship(out, i);
        }
        out << "</ZVSchema>\n";
        m_size = static_cast<std::size_t>(out.tellp());
    }
    ~SchemaFile() { std::filesystem::remove(m_path); }

    std::string Path() const { return m_path.string(); }
    std::wstring WidePath() const { return m_path.wstring(); }
    std::size_t Size() const { return m_size; }

private:
    static void Class(std::ofstream& out, int i)
    {
        out << "  <ZVClass typeName='C" << i << "' description='Class number " << i << "'";
        // Earlier classes only through the attribute; the element may name any.
        const bool viaAttribute = i >= 10 && i % 2 == 0;
        if (viaAttribute) {
            out << " baseClass='C" << i / 10 << "'";
        }
        out << ">\n";
        if (i >= 10 && !viaAttribute) {
            out << "    <BaseClass>C" << i / 10 << "</BaseClass>\n";
        }
        out << "    <ZVProperty propertyName='Name" << i << "' typeName='string' displayLabel='Name'/>\n"
            << "    <ZVProperty propertyName='Size" << i << "' typeName='double' readOnly='True'/>\n"
            << "    <ZVArrayProperty propertyName='Tags" << i << "' typeName='string' maxOccurs='unbounded'/>\n"
            << "    <ZVStructProperty propertyName='At" << i << "' typeName='Point'/>\n";
        if (i % 5 == 0) {
            out << "    <ZVCustomAttributes><Note><Text>note " << i << "</Text></Note></ZVCustomAttributes>\n";
        }
        out << "  </ZVClass>\n";
    }

    static void Relationship(std::ofstream& out, int i)
    {
        const int source = (i * 7) % kClasses;
        const int target = (i * 13 + 1) % kClasses;
        out << "  <ZVRelationshipClass typeName='R" << i << "' strength='referencing'>\n";
        if (i % 4 != 0) {
            out << "    <Source cardinality='0..1' roleLabel='from' polymorphic='True'><Class class='C" << source
                << "'><Key><Property name='Name" << source << "'/></Key></Class></Source>\n"
                << "    <Target cardinality='0..*' roleLabel='to'><Class class='C" << target << "'/><Class class='C"
                << (target + 1) % kClasses << "'/></Target>\n";
        } else {
            out << "    <ZVRelationshipConstraints><ZVRelationshipConstraint>"
                << "<ZVSourceConstraint className='C" << source << "' roleLabel='from'/>"
                << "<ZVTargetConstraint className='C" << target << "' roleLabel='to'/>"
                << "</ZVRelationshipConstraint></ZVRelationshipConstraints>\n";
        }
        out << "  </ZVRelationshipClass>\n";
    }

    std::filesystem::path m_path;
    std::size_t m_size = 0;
};

const SchemaFile& TheFile()
{
    static const SchemaFile file;
    return file;
}

// `classes` classes, each with a string, a double, a struct and an int array
// property, and the one struct class they use.
class FlatSchemaFile {
public:
    explicit FlatSchemaFile(int classes)
        : m_classes(classes),
          m_path(std::filesystem::temp_directory_path() / ("zvxml_flat_schema_bench_" + std::to_string(::getpid()) +
                                                           "_" + std::to_string(classes) + ".zvschema.xml"))
    {
        std::ofstream out(m_path, std::ios::binary);
        out << "<?xml version='1.0' encoding='UTF-8'?>\n"
               "<ZVSchema xmlns='http://www.molvane.com/schemas/Molvane.ZVXML.2.0' schemaName='Flat' "
               "version='01.00' nameSpacePrefix='fl'>\n"
               "  <ZVClass typeName='Point' isStruct='True'><ZVProperty propertyName='X' typeName='double'/>"
               "<ZVProperty propertyName='Y' typeName='double'/></ZVClass>\n";
        for (int i = 0; i < classes; ++i) {
            out << "  <ZVClass typeName='C" << i << "' description='Class number " << i << "'>"
                << "<ZVProperty propertyName='Name' typeName='string'/>"
                << "<ZVProperty propertyName='Weight' typeName='double'/>"
                << "<ZVStructProperty propertyName='Where' typeName='Point'/>"
                << "<ZVArrayProperty propertyName='Counts' typeName='int' minOccurs='0' maxOccurs='unbounded'/>"
                << "</ZVClass>\n";
        }
        out << "</ZVSchema>\n";
        m_size = static_cast<std::size_t>(out.tellp());
    }
    ~FlatSchemaFile() { std::filesystem::remove(m_path); }
    FlatSchemaFile(const FlatSchemaFile&) = delete;
    FlatSchemaFile& operator=(const FlatSchemaFile&) = delete;

    std::string Path() const { return m_path.string(); }
    std::wstring WidePath() const { return m_path.wstring(); }
    std::size_t Size() const { return m_size; }
    std::size_t Classes() const { return static_cast<std::size_t>(m_classes) + 1; }

private:
    int m_classes;
    std::filesystem::path m_path;
    std::size_t m_size = 0;
};

const FlatSchemaFile& TheFlatFile(int classes)
{
    static std::map<int, std::unique_ptr<FlatSchemaFile>> files;
    std::unique_ptr<FlatSchemaFile>& file = files[classes];
    if (!file) {
        file = std::make_unique<FlatSchemaFile>(classes);
    }
    return *file;
}

template <class File>
void BareTreeParse(benchmark::State& state, const File& file)
{
    xmlInitParser();
    for (auto _ : state) {
        xmlDocPtr doc = xmlReadFile(file.Path().c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_BIG_LINES);
        if (doc == nullptr) {
            std::abort();
        }
        xmlFreeDoc(doc);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.Size()));
}

template <class File>
void SchemaReadXML(benchmark::State& state, const File& file, std::size_t classes)
{
    for (auto _ : state) {
        auto schema = std::make_unique<ZVXML::CZVSchema>(L"temporary", L"temporary", L"");
        if (schema->ReadXML(file.WidePath().c_str()) != 0 || schema->GetZVClassCount() != classes) {
            std::abort();
        }
        state.PauseTiming(); // destroying the schema is not loading it
        schema.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.Size()));
}

void BM_BareLibxmlTreeParse(benchmark::State& state) { BareTreeParse(state, TheFile()); }
BENCHMARK(BM_BareLibxmlTreeParse)->Unit(benchmark::kMillisecond);

void BM_SchemaReadXML(benchmark::State& state)
{
    SchemaReadXML(state, TheFile(), static_cast<std::size_t>(kClasses + 2));
}
BENCHMARK(BM_SchemaReadXML)->Unit(benchmark::kMillisecond);

void BM_BareLibxmlTreeParseFlat(benchmark::State& state)
{
    BareTreeParse(state, TheFlatFile(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_BareLibxmlTreeParseFlat)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);

void BM_SchemaReadXMLFlat(benchmark::State& state)
{
    const FlatSchemaFile& file = TheFlatFile(static_cast<int>(state.range(0)));
    SchemaReadXML(state, file, file.Classes());
}
BENCHMARK(BM_SchemaReadXMLFlat)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);

// What one step freed is merged and handed back to the system before the
// next step is timed. Otherwise the next step pays for it: the first large
// allocation after a tree is freed merges the hundreds of thousands of
// small blocks the tree left, and that took most of a load's time when the
// load came right after a bare parse.
void SettleHeap(benchmark::State& state)
{
    state.PauseTiming();
    malloc_trim(0);
    state.ResumeTiming();
}

// The ratio itself, taken pair by pair: each iteration parses the file bare
// and then loads it, and the median of the per-pair ratios is reported.
// On a shared machine whose speed drifts, separate benchmarks run minutes
// apart can disagree by a fifth; a pair run back to back does not.
template <class File>
void LoadOverBareParse(benchmark::State& state, const File& file, std::size_t classes)
{
    using Clock = std::chrono::steady_clock;
    xmlInitParser();
    std::vector<double> ratios;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        xmlDocPtr doc = xmlReadFile(file.Path().c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_BIG_LINES);
        if (doc == nullptr) {
            std::abort();
        }
        xmlFreeDoc(doc);
        const Clock::time_point parsedAt = Clock::now();
        SettleHeap(state);
        const Clock::time_point parsed = Clock::now();
        auto schema = std::make_unique<ZVXML::CZVSchema>(L"temporary", L"temporary", L"");
        if (schema->ReadXML(file.WidePath().c_str()) != 0 || schema->GetZVClassCount() != classes) {
            std::abort();
        }
        const Clock::time_point loaded = Clock::now();
        ratios.push_back(std::chrono::duration<double>(loaded - parsed).count() /
                         std::chrono::duration<double>(parsedAt - start).count());
        state.PauseTiming();
        schema.reset();
        state.ResumeTiming();
        SettleHeap(state);
    }
    std::sort(ratios.begin(), ratios.end());
    state.counters["load/parse"] = ratios[ratios.size() / 2];
}

void BM_LoadOverBareParse(benchmark::State& state)
{
    LoadOverBareParse(state, TheFile(), static_cast<std::size_t>(kClasses + 2));
}
BENCHMARK(BM_LoadOverBareParse)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_LoadOverBareParseFlat(benchmark::State& state)
{
    const FlatSchemaFile& file = TheFlatFile(static_cast<int>(state.range(0)));
    LoadOverBareParse(state, file, file.Classes());
}
BENCHMARK(BM_LoadOverBareParseFlat)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond)->MinTime(3);

} // namespace

BENCHMARK_MAIN();
