// What a well-formed document turns into: the order and content of events.
#include "platform/sax_reader.h"
#include "sax_recorder.h"

#include <gtest/gtest.h>


using ZVXML::platform::SaxAttributes;
using ZVXML::platform::SaxReader;
using zvtest::Recorder;

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

TEST(SaxEvents, ElementsComeInDocumentOrderWithNamespaceLocalAndQualifiedNames)
{
    const Recorder r = Parse(L"<r xmlns='urn:d' xmlns:p='urn:p'><p:a x='1'/><b xmlns=''><p:c/></b>t</r>");
    const std::vector<std::wstring> expected = {
        L"start {urn:d}r r", L"start {urn:p}a p:a", L"end {urn:p}a p:a", L"start {}b b",
        L"start {urn:p}c p:c", L"end {urn:p}c p:c", L"end {}b b", L"text t", L"end {urn:d}r r"};
    EXPECT_EQ(r.events, expected);
}

TEST(SaxEvents, SamePrefixBoundToAnotherNamespaceGivesThatNamespace)
{
    // The same prefix and local name twice, in two namespaces.
    const Recorder r = Parse(L"<p:x xmlns:p='urn:1'><p:x xmlns:p='urn:2'/><p:x/></p:x>");
    const std::vector<std::wstring> expected = {
        L"start {urn:1}x p:x", L"start {urn:2}x p:x", L"end {urn:2}x p:x",
        L"start {urn:1}x p:x", L"end {urn:1}x p:x",   L"end {urn:1}x p:x"};
    EXPECT_EQ(r.events, expected);
}

TEST(SaxEvents, ManyDistinctNamesStayRightBeyondTheNameCacheBound)
{
    std::wstring text = L"<r xmlns:p='urn:p'>";
    for (int i = 0; i < 5000; ++i) {
        text += L"<p:n" + std::to_wstring(i) + L"/><n" + std::to_wstring(i % 7) + L"/>";
    }
    text += L"</r>";
    const Recorder r = Parse(text);
    ASSERT_EQ(r.events.size(), 2u + 5000u * 4u);
    for (int i = 0; i < 5000; i += 997) {
        const std::wstring n = std::to_wstring(i);
        EXPECT_EQ(r.events[1 + 4 * i], L"start {urn:p}n" + n + L" p:n" + n);
        EXPECT_EQ(r.events[2 + 4 * i], L"end {urn:p}n" + n + L" p:n" + n);
        const std::wstring m = std::to_wstring(i % 7);
        EXPECT_EQ(r.events[3 + 4 * i], L"start {}n" + m + L" n" + m);
    }
    EXPECT_EQ(r.events.back(), L"end {}r r");
}

TEST(SaxAttributes, ValuesAreFoundByLocalNameInNoNamespaceAndComeDecoded)
{
    const Recorder r = Parse(L"<e xmlns='urn:d' xmlns:p='urn:p' a='plain' b='x &amp; y' c='&#x41;&lt;&#233;'"
                             L" p:a='other' \u00f1ame='v\u00e4lue \U0001F600'/>",
                             {L"a", L"b", L"c", L"\u00f1ame", L"missing"});
    ASSERT_EQ(r.events.size(), 2u);
    EXPECT_EQ(r.events[0], L"start {urn:d}e e a=plain b=x & y c=A<\u00e9 \u00f1ame=v\u00e4lue \U0001F600");
}

TEST(SaxAttributes, AbsentOrNamespacedAttributeIsNotFoundAndLeavesTheValueAlone)
{
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

TEST(SaxCharacters, EntityAndCharacterReferencesArriveResolvedInPieces)
{
    const Recorder r = Parse(L"<r>a&amp;b&lt;c&#233;d&#x1F600;&quot;&apos;&gt;e</r>");
    EXPECT_EQ(r.Text(), L"a&b<c\u00e9d\U0001F600\"'>e");
    EXPECT_GT(r.pieces, 1u);
}

// A handler that only wants the text of elements named "keep".
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
};

TEST(SaxCharacters, TextAHandlerDoesNotWantIsNeitherConvertedNorDelivered)
{
    KeepingRecorder recorder;
    SaxReader reader;
    reader.SetContentHandler(&recorder);
    const std::wstring text = L"<r>drop<keep>a&amp;b<![CDATA[c]]></keep> \n<x>drop</x></r>";
    reader.ParseText(text.data(), text.size());
    EXPECT_EQ(recorder.Text(), L"a&bc");
    EXPECT_EQ(recorder.pieces, 4u); // "a", "&", "b", "c"
    EXPECT_EQ(recorder.asked, 7u); // once per piece, wanted or not
}

TEST(SaxCharacters, CdataSectionsAreCharacterData)
{
    const Recorder r = Parse(L"<r>x<![CDATA[<y>&amp;]]>z</r>");
    EXPECT_EQ(r.Text(), L"x<y>&amp;z");
}

TEST(SaxCharacters, WhiteSpaceIsDeliveredAndLineEndsAreNormalized)
{
    const Recorder r = Parse(L"<r> <a/>\r\n\t</r>");
    const std::vector<std::wstring> expected = {L"start {}r r", L"text  ", L"start {}a a", L"end {}a a",
                                                L"text \n\t", L"end {}r r"};
    EXPECT_EQ(r.events, expected);
}

TEST(SaxCharacters, CommentsProcessingInstructionsAndTheDeclarationGiveNoEvents)
{
    const Recorder r = Parse(L"<?xml version='1.0'?><?pi data?><!--c--><r><!--c2--><?pi2 x?>a</r><!--after-->");
    const std::vector<std::wstring> expected = {L"start {}r r", L"text a", L"end {}r r"};
    EXPECT_EQ(r.events, expected);
}

TEST(SaxCharacters, LongTextWithManyScriptsArrivesWhole)
{
    // Longer than a conversion chunk and than libxml2's buffers.
    std::wstring body;
    std::wstring expected;
    for (int i = 0; body.size() < 200000; ++i) {
        body += L"abc \u00e9\u20ac\U0001F600 &amp; " + std::to_wstring(i) + L"\n";
        expected += L"abc \u00e9\u20ac\U0001F600 & " + std::to_wstring(i) + L"\n";
    }
    const Recorder r = Parse(L"<r>" + body + L"</r>");
    EXPECT_EQ(r.Text(), expected);
}

TEST(SaxParseText, TheDeclaredEncodingAndAByteOrderMarkAreIgnored)
{
    for (const wchar_t* declaration : {L"UTF-16", L"ISO-8859-1", L"Shift_JIS", L"no-such-encoding"}) {
        const std::wstring text = L"\ufeff<?xml version='1.0' encoding='" + std::wstring(declaration) +
                                  L"'?><r>\u00e9\u20ac\U0001F600</r>";
        const Recorder r = Parse(text);
        EXPECT_EQ(r.Text(), L"\u00e9\u20ac\U0001F600") << declaration;
    }
}

TEST(SaxParseText, AReaderParsesOneDocumentAfterAnother)
{
    Recorder recorder;
    SaxReader reader;
    reader.SetContentHandler(&recorder);
    const std::wstring first = L"<a xmlns='urn:1'/>";
    const std::wstring second = L"<b xmlns='urn:2'><a/></b>";
    reader.ParseText(first.data(), first.size());
    reader.ParseText(second.data(), second.size());
    const std::vector<std::wstring> expected = {L"start {urn:1}a a", L"end {urn:1}a a", L"start {urn:2}b b",
                                                L"start {urn:2}a a", L"end {urn:2}a a", L"end {urn:2}b b"};
    EXPECT_EQ(recorder.events, expected);
}
