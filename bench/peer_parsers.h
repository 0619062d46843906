// Two other XML parsers on the same document, for the table that sets
// ZVXML's instance rate beside theirs: expat with callbacks that do nothing
// (a streaming parse and nothing else), and pugixml building its tree and
// walking every element and text (what a host using a tree library does at
// least). Both only measure; the library never links them.
#ifndef ZVXML_BENCH_PEER_PARSERS_H
#define ZVXML_BENCH_PEER_PARSERS_H

#include <expat.h>
#include <pugixml.hpp>

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace zvbench {

namespace peer {
inline void XMLCALL NoStart(void*, const XML_Char*, const XML_Char**) {}
inline void XMLCALL NoEnd(void*, const XML_Char*) {}
inline void XMLCALL NoCharacters(void*, const XML_Char*, int) {}
} // namespace peer

// Parses the file with namespace processing, `chunk.size()` bytes at a time.
// Aborts on a document expat refuses: a peer that stopped early would make
// the comparison meaningless.
inline void ExpatParse(const std::string& path, std::vector<char>& chunk)
{
    XML_Parser parser = XML_ParserCreateNS(nullptr, ' ');
    XML_SetElementHandler(parser, peer::NoStart, peer::NoEnd);
    XML_SetCharacterDataHandler(parser, peer::NoCharacters);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    bool ok = fd >= 0;
    for (ssize_t got; ok && (got = ::read(fd, chunk.data(), chunk.size())) > 0;) {
        ok = XML_Parse(parser, chunk.data(), static_cast<int>(got), 0) == XML_STATUS_OK;
    }
    ok = ok && XML_Parse(parser, nullptr, 0, 1) == XML_STATUS_OK;
    if (fd >= 0) {
        ::close(fd);
    }
    XML_ParserFree(parser);
    if (!ok) {
        std::abort();
    }
}

// Loads the whole file into a pugixml tree and visits every element and
// text; returns the number of elements, so the walk cannot be left out.
inline std::size_t PugixmlTreeWalk(const std::string& path)
{
    pugi::xml_document document;
    if (!document.load_file(path.c_str(), pugi::parse_default)) {
        std::abort();
    }
    std::size_t elements = 0;
    std::size_t textBytes = 0;
    std::vector<pugi::xml_node> pending{document.document_element()};
    while (!pending.empty()) {
        const pugi::xml_node node = pending.back();
        pending.pop_back();
        ++elements;
        for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
            if (child.type() == pugi::node_element) {
                pending.push_back(child);
            } else if (child.type() == pugi::node_pcdata) {
                textBytes += std::char_traits<char>::length(child.value());
            }
        }
    }
    return elements + (textBytes == static_cast<std::size_t>(-1) ? 1 : 0);
}

} // namespace zvbench

#endif
