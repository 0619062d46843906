#include "instancexml/instance_dump_file.h"

#include "foundation/utf8.h"
#include "foundation/wide_format.h"

#include <zvxml/errors.h>
#include <zvxml/ids.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace ZVXML {
namespace {

// Characters converted to UTF-8 per write, so a huge text is not copied whole.
constexpr std::size_t kChunk = 64 * 1024;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileOwner = std::unique_ptr<std::FILE, FileCloser>;

bool WriteUtf8(std::FILE* file, std::wstring_view text, std::string& buffer)
{
    for (std::size_t at = 0; at < text.size(); at += kChunk) {
        buffer.clear();
        AppendWideAsUtf8(text.data() + at, std::min(kChunk, text.size() - at), buffer);
        if (std::fwrite(buffer.data(), 1, buffer.size(), file) != buffer.size()) {
            return false;
        }
    }
    return true;
}

} // namespace

std::wstring WriteInstanceDump(const std::wstring& message, std::wstring_view document)
{
    std::wstring name;
    CreateTempFileName(L".zvinstance.xml", name);
    FileOwner file(std::fopen(WideToUtf8(name).c_str(), "a+"));
    if (!file) {
        throw ZVXMLRuntimeError(L"Cannot create temp file for ZVInstanceXML. filename='" + name + L"'", L"");
    }
    // The header shifts the document by one line, hence its wording.
    const std::wstring header =
        FormatWide(L"<!-- %ls.  IGNORE THIS LINE WHEN COUNTING LINE NUMBERS -->\n", message.c_str());
    std::string buffer;
    const bool written = WriteUtf8(file.get(), header, buffer) && WriteUtf8(file.get(), document, buffer);
    // Closing flushes: its result is part of the writing.
    if (std::fclose(file.release()) != 0 || !written) {
        throw ZVXMLRuntimeError(L"Failed while writing ZVInstanceXML to temp file. filename='" + name + L"'", L"");
    }
    return name;
}

} // namespace ZVXML
