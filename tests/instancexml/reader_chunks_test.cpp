// The instance parser's content handler behind the reader's push parser,
// fed a document in chunks of every size from one byte up: the values must
// not depend on where the chunks (and so the reader's pieces of text) end.
#include "instance_parse_support.h"

#include "instancexml/content_dispatcher.h"
#include "instancexml/root_element_handler.h"
#include "platform/sax/sax_name_cache.h"
#include "platform/sax/sax_push_parser.h"
#include "platform/sax/sax_wide_text.h"

using namespace ZVXML;

namespace {

class ReaderChunks : public zvtest::InstanceParseTest {
protected:
    // The instances the document gives when pushed `chunk` bytes at a time.
    std::vector<std::wstring> InChunksOf(const std::string& document, std::size_t chunk,
                                         platform::SaxPushParser::Encoding encoding)
    {
        recorder = zvtest::Recorder();
        const ParseCallbacks callbacks{nullptr, &zvtest::Recorder::Instance, &zvtest::Recorder::Relationship, nullptr,
                                       nullptr};
        CZVXMLSAXContentHandler content(&schema, &recorder, callbacks, 0, &factory);
        content.GetStateStack().Push(HandlerPtr(new ZVInstanceXMLHandler(&content.Context())));
        platform::SaxNameCache names;
        platform::SaxTextBuffer text;
        platform::SaxPushParser parser(&content, nullptr, names, text, encoding);
        for (std::size_t at = 0; at < document.size(); at += chunk) {
            parser.Push(document.data() + at, std::min(chunk, document.size() - at));
        }
        parser.Finish(L"");
        return recorder.Instances();
    }
};

TEST_F(ReaderChunks, ValuesDoNotDependOnWhereTheChunksEnd)
{
    std::wstring longLine;
    for (int i = 0; i < 60; ++i) {
        longLine += L"\u00e9t\u00e9 " + std::to_wstring(i) + L"\r\n\t";
    }
    const std::wstring document =
        (zvtest::Document(L"<Pump id='P'>"
                          L"<Name>\r\n\tfirst\r\nsecond\r\tthird&#9;&amp;&#13;<![CDATA[\r\n<x>\r]]>\n" +
                          longLine +
                          L"</Name>"
                          L"<Tags><string>\n a\r\n\tb \n</string><string>c<!-- note -->\n\td</string></Tags>"
                          L"</Pump>"));
    std::wstring longValue;
    for (int i = 0; i < 60; ++i) {
        longValue += L"\u00e9t\u00e9 " + std::to_wstring(i) + L"\n\t";
    }
    longValue.erase(longValue.size() - 2);
    const std::vector<std::wstring> expected = {L"instance Pump#P{Name=first\nsecond\n\tthird\t&\r\n<x>\n\n" +
                                                longValue + L";Tags=[ a\n\tb ,cd]}"};
    // In UTF-16LE a carriage return is "0D 00": chunks of two bytes end after each one.
    std::string utf16 = "\xFF\xFE";
    for (wchar_t c : document) {
        utf16 += static_cast<char>(c & 0xFF);
        utf16 += static_cast<char>(c >> 8);
    }
    using Encoding = platform::SaxPushParser::Encoding;
    for (const auto& [bytes, encoding] :
         {std::pair(ToUtf8(document), Encoding::Utf8), std::pair(utf16, Encoding::FromDocument)}) {
        for (std::size_t chunk : {bytes.size(), std::size_t(1), std::size_t(2), std::size_t(3), std::size_t(5),
                                  std::size_t(64), std::size_t(301)}) {
            EXPECT_EQ(InChunksOf(bytes, chunk, encoding), expected)
                << "chunks of " << chunk << " bytes" << (encoding == Encoding::Utf8 ? "" : ", UTF-16LE");
        }
    }
}

} // namespace
