// The streaming reader against a bare libxml2 SAX2 push parse of the same
// file, read the same way. The reader's overhead (names, text conversion,
// handler calls) is the difference between the two.
#include "platform/sax/sax_reader.h"

#include "bare_libxml_parse.h"

#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using ZVXML::platform::SaxAttributes;

// About 50 MB of instance-like records: namespaces, attributes, nested
// elements, text with references and some characters outside ASCII.
class Document {
public:
    Document() : m_path(std::filesystem::temp_directory_path() / ("zvxml_bench_" + std::to_string(::getpid()) + ".xml"))
    {
        std::ofstream out(m_path, std::ios::binary);
        out << "<Instances xmlns='urn:zvxml:bench' xmlns:c='urn:zvxml:custom'>\n";
        for (long i = 0; static_cast<long>(out.tellp()) < 50L * 1024 * 1024; ++i) {
            Record(out, i);
        }
        out << "</Instances>\n";
        m_size = static_cast<std::size_t>(out.tellp());
    }
    ~Document() { std::filesystem::remove(m_path); }

    std::string Path() const { return m_path.string(); }
    std::wstring WidePath() const { return m_path.wstring(); }
    std::size_t Size() const { return m_size; }

private:
    static void Record(std::ofstream& out, long i)
    {
        out << "  <Pipe instanceID='Pipe_" << i << "' ZVClass='Pipe' ZVVersion='01.02'>\n"
            << "    <Name>Pipe &amp; fitting " << i << "</Name>\n"
            << "    <Diameter unit='mm'>" << (i % 400) + 25 << ".5</Diameter>\n"
            << "    <Material>Stahl gew\xc3\xa4lzt</Material>\n"
            << "    <Points><Point x='" << i << "' y='" << i * 2 << "' z='0'/><Point x='" << i + 1 << "' y='"
            << i * 2 + 1 << "' z='1'/></Points>\n"
            << "    <c:Note c:by='survey'>checked &lt;" << i % 7 << "&gt;</c:Note>\n"
            << "  </Pipe>\n";
    }

    std::filesystem::path m_path;
    std::size_t m_size = 0;
};

const Document& TheDocument()
{
    static const Document document;
    return document;
}

class NothingHandler : public ZVXML::platform::SaxContentHandler {
public:
    void StartElement(const std::wstring&, const std::wstring&, const std::wstring&, const SaxAttributes&) override {}
    void EndElement(const std::wstring&, const std::wstring&, const std::wstring&) override {}
    void Characters(const wchar_t*, std::size_t) override {}
};

// What an instance reader does at least: looks at names, one attribute, text.
class TouchingHandler : public ZVXML::platform::SaxContentHandler {
public:
    void StartElement(const std::wstring&, const std::wstring& localName, const std::wstring&,
                      const SaxAttributes& attributes) override
    {
        benchmark::DoNotOptimize(localName.size());
        attributes.GetValue(L"instanceID", m_value);
    }
    void EndElement(const std::wstring&, const std::wstring& localName, const std::wstring&) override
    {
        benchmark::DoNotOptimize(localName.size());
    }
    void Characters(const wchar_t* text, std::size_t length) override
    {
        m_text.append(text, length);
        m_text.clear();
    }

private:
    std::wstring m_value;
    std::wstring m_text;
};

void BM_BareLibxmlPushParse(benchmark::State& state)
{
    const Document& document = TheDocument();
    std::vector<char> chunk(static_cast<std::size_t>(state.range(0)));
    xmlInitParser();
    for (auto _ : state) {
        zvbench::BareLibxmlPushParse(document.Path(), chunk);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * document.Size()));
}
// Read chunks of 16 KiB, 64 KiB (the reader's) and 256 KiB.
BENCHMARK(BM_BareLibxmlPushParse)->Arg(16 * 1024)->Arg(64 * 1024)->Arg(256 * 1024)->Unit(benchmark::kMillisecond);

template <typename Handler>
void BM_SaxReader(benchmark::State& state)
{
    const Document& document = TheDocument();
    Handler handler;
    ZVXML::platform::SaxReader reader;
    reader.SetContentHandler(&handler);
    for (auto _ : state) {
        reader.ParseLocation(document.WidePath().c_str());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * document.Size()));
}
BENCHMARK_TEMPLATE(BM_SaxReader, NothingHandler)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_SaxReader, TouchingHandler)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
