// What a well-formed document turns into: the order and content of events.
#include "platform/sax_reader.h"
#include "sax_recorder.h"

#include <gtest/gtest.h>

using zvtest::Recorder;
using ZVXML::platform::SaxAttributes;
using ZVXML::platform::SaxReader;

namespace {

Recorder Parse(const std::wstring& text, std::vector<std::wstring> watched = {})
{
    Recorder recorder;
    recorder.watched = std::move(watched);
    SaxReader reader;
    reader.SetContentHandler(&recorder);
    reader.ParseText(text.data(), text.size());
    return recorder;
}

} // namespace

TEST(SaxEvents, ElementsAndTextComeInDocumentOrderWithTheirNames)
{
    const struct {
        const char* name;
        std::wstring text;
        std::vector<std::wstring> events;
    } cases[] = {
        {"namespace, local and qualified names",
         L"<r xmlns='urn:d' xmlns:p='urn:p'><p:a x='1'/><b "
         L"xmlns=''><p:c/></b>t</r>",
         {L"start {urn:d}r r", L"start {urn:p}a p:a", L"end {urn:p}a p:a", L"start {}b b", L"start {urn:p}c p:c",
          L"end {urn:p}c p:c", L"end {}b b", L"text t", L"end {urn:d}r r"}},
        {"a prefix bound again gives the new namespace",
         L"<p:x xmlns:p='urn:1'><p:x xmlns:p='urn:2'/><p:x/></p:x>",
         {L"start {urn:1}x p:x", L"start {urn:2}x p:x", L"end {urn:2}x p:x", L"start {urn:1}x p:x", L"end {urn:1}x p:x",
          L"end {urn:1}x p:x"}},
        {"white space is delivered, line ends normalized",
         L"<r> <a/>\r\n\t</r>",
         {L"start {}r r", L"text  ", L"start {}a a", L"end {}a a", L"text \n\t", L"end {}r r"}},
        {"comments, processing instructions and the declaration give no events",
         L"<?xml version='1.0'?><?pi data?><!--c--><r><!--c2--><?pi2 "
         L"x?>a</r><!--after-->",
         {L"start {}r r", L"text a", L"end {}r r"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Parse(c.text).events, c.events) << c.name;
    }

    // One reader, one document after another: nothing of the first stays.
    Recorder recorder;
    SaxReader reader;
    reader.SetContentHandler(&recorder);
    for (const std::wstring& text : {std::wstring(L"<a xmlns='urn:1'/>"), std::wstring(L"<b xmlns='urn:2'><a/></b>")}) {
        reader.ParseText(text.data(), text.size());
    }
    const std::vector<std::wstring> expected = {L"start {urn:1}a a", L"end {urn:1}a a", L"start {urn:2}b b",
                                                L"start {urn:2}a a", L"end {urn:2}a a", L"end {urn:2}b b"};
    EXPECT_EQ(recorder.events, expected);
}

TEST(SaxAttributes, ValuesAreFoundByLocalNameInNoNamespaceAndComeDecoded)
{
    const Recorder r = Parse(L"<e xmlns='urn:d' xmlns:p='urn:p' a='plain' b='x "
                             L"&amp; y' c='&#x41;&lt;&#233;'"
                             L" p:a='other' \u00f1ame='v\u00e4lue \U0001F600'/>",
                             {L"a", L"b", L"c", L"\u00f1ame", L"missing"});
    ASSERT_EQ(r.events.size(), 2u);
    EXPECT_EQ(r.events[0], L"start {urn:d}e e a=plain b=x & y c=A<\u00e9 "
                           L"\u00f1ame=v\u00e4lue \U0001F600");

    // Absent or namespaced attributes are not found and leave the value alone.
    struct Probe : Recorder {
        void StartElement(const std::wstring&, const std::wstring&, const std::wstring&,
                          const SaxAttributes& attributes) override
        {
            ++probed;
            std::wstring value = L"untouched";
            for (const wchar_t* absent : {L"only", L"p:only", L"othe", L"other2", L"xmlns:p"}) {
                EXPECT_FALSE(attributes.GetValue(absent, value)) << absent; // a declaration is no attribute
            }
            EXPECT_EQ(value, L"untouched");
            EXPECT_TRUE(attributes.GetValue(L"empty", value));
            EXPECT_EQ(value, L"");
            EXPECT_EQ(attributes.Count(), 3u);
        }
        int probed = 0;
    } probe;
    SaxReader reader;
    reader.SetContentHandler(&probe);
    const std::wstring text = L"<e xmlns:p='urn:p' p:only='1' other='2' empty=''/>";
    reader.ParseText(text.data(), text.size());
    EXPECT_EQ(probe.probed, 1);
}

TEST(SaxCharacters, ReferencesAndSectionsArriveResolvedAndTheDeclaredEncodingIsIgnored)
{
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"<r>a&amp;b&lt;c&#233;d&#x1F600;&quot;&apos;&gt;e</r>", L"a&b<c\u00e9d\U0001F600\"'>e"},
        {L"<r>x<![CDATA[<y>&amp;]]>z</r>", L"x<y>&amp;z"},
        // Wide text is what it is, whatever it says it is.
        {L"\ufeff<?xml version='1.0' "
         L"encoding='UTF-16'?><r>\u00e9\u20ac\U0001F600</r>",
         L"\u00e9\u20ac\U0001F600"},
        {L"<?xml version='1.0' encoding='ISO-8859-1'?><r>\u00e9\u20ac</r>", L"\u00e9\u20ac"},
        {L"<?xml version='1.0' encoding='Shift_JIS'?><r>\u00e9</r>", L"\u00e9"},
        {L"<?xml version='1.0' encoding='no-such-encoding'?><r>\u00e9</r>", L"\u00e9"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(Parse(text).Text(), expected) << testing::PrintToString(text);
    }
}

TEST(SaxCharacters, TextAHandlerDoesNotWantIsNeitherConvertedNorDelivered)
{
    // Wants only the text of elements named "keep".
    class KeepingRecorder : public Recorder {
    public:
        void StartElement(const std::wstring& uri, const std::wstring& local, const std::wstring& qname,
                          const SaxAttributes& attributes) override
        {
            m_inKeep = local == L"keep";
            Recorder::StartElement(uri, local, qname, attributes);
        }
        void EndElement(const std::wstring& uri, const std::wstring& local, const std::wstring& qname) override
        {
            m_inKeep = false;
            Recorder::EndElement(uri, local, qname);
        }
        bool WantsCharacters() override
        {
            ++asked;
            return m_inKeep;
        }
        std::size_t asked = 0;

    private:
        bool m_inKeep = false;
    } recorder;
    SaxReader reader;
    reader.SetContentHandler(&recorder);
    const std::wstring text = L"<r>drop<keep>a&amp;b<![CDATA[c]]></keep> \n<x>drop</x></r>";
    reader.ParseText(text.data(), text.size());
    EXPECT_EQ(recorder.Text(), L"a&bc");
    EXPECT_EQ(recorder.pieces, 4u); // "a", "&", "b", "c"
    EXPECT_EQ(recorder.asked, 7u);  // once per piece, wanted or not
}
