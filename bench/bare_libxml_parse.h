// The baseline of the reading benchmarks: libxml2's SAX2 push parser fed a
// file in chunks, with callbacks that do nothing, so that its time is that
// of parsing alone.
#ifndef ZVXML_BENCH_BARE_LIBXML_PARSE_H
#define ZVXML_BENCH_BARE_LIBXML_PARSE_H

#include <libxml/parser.h>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace zvbench {

namespace bare {
inline void NoStart(void*, const xmlChar*, const xmlChar*, const xmlChar*, int, const xmlChar**, int, int,
                    const xmlChar**)
{
}
inline void NoEnd(void*, const xmlChar*, const xmlChar*, const xmlChar*) {}
inline void NoCharacters(void*, const xmlChar*, int) {}
inline void NoError(void*, xmlErrorPtr) {}
} // namespace bare

// Parses the file at `path` with the reader's options, reading `chunk.size()`
// bytes at a time. Aborts on a document that is not well-formed: a baseline
// that stopped early would flatter the comparison.
inline void BareLibxmlPushParse(const std::string& path, std::vector<char>& chunk)
{
    xmlSAXHandler sax;
    std::memset(&sax, 0, sizeof sax);
    sax.initialized = XML_SAX2_MAGIC;
    sax.startElementNs = bare::NoStart;
    sax.endElementNs = bare::NoEnd;
    sax.characters = bare::NoCharacters;
    sax.ignorableWhitespace = bare::NoCharacters;
    sax.cdataBlock = bare::NoCharacters;
    sax.serror = bare::NoError;
    xmlParserCtxtPtr context = xmlCreatePushParserCtxt(&sax, nullptr, nullptr, 0, nullptr);
    xmlCtxtUseOptions(context, XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_BIG_LINES);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    for (ssize_t got; (got = ::read(fd, chunk.data(), chunk.size())) > 0;) {
        xmlParseChunk(context, chunk.data(), static_cast<int>(got), 0);
    }
    xmlParseChunk(context, nullptr, 0, 1);
    ::close(fd);
    if (!context->wellFormed) {
        std::abort();
    }
    xmlFreeParserCtxt(context);
}

} // namespace zvbench

#endif
