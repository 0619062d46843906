// The document: its life cycle, loading and saving.
#include "platform/dom/xml_document_impl.h"

#include "foundation/file_name.h"
#include "platform/dom/dom_parser.h"
#include "platform/io/atomic_file_write.h"
#include "platform/io/read_file.h"
#include "platform/libxml_error_capture.h"

#include <new>
#include <string_view>
#include <utility>

namespace ZVXML {
namespace {

struct XmlNodeFree {
    void operator()(xmlNodePtr node) const { xmlFreeNode(node); }
};

// Indented UTF-8 with the XML declaration. Throws std::bad_alloc, or fills
// `failure` when libxml2 reports an error.
std::string Serialize(xmlDocPtr doc, std::string& failure)
{
    platform::LibxmlErrorCapture capture;
    xmlChar* text = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(doc, &text, &size, "UTF-8", 1);
    platform::XmlCharOwner owner(text);
    if (capture.HasError()) {
        failure = capture.First().message;
        return std::string();
    }
    if (text == nullptr || size <= 0) {
        throw std::bad_alloc();
    }
    return std::string(platform::AsChars(text), static_cast<std::size_t>(size));
}

XMLParseError NoMemory(const std::wstring& url)
{
    XMLParseError error;
    error.errorCode = XML_ERR_NO_MEMORY;
    error.url = url;
    error.reason = L"Out of memory";
    return error;
}

} // namespace

platform::XmlDocOwner NewEmptyDocument()
{
    platform::LibxmlErrorCapture quiet; // a failure shows as NULL; no report reaches stderr
    platform::XmlDocOwner doc(xmlNewDoc(BAD_CAST "1.0"));
    if (!doc) {
        throw std::bad_alloc();
    }
    return doc;
}

XMLDocument::Impl::Impl() : doc(NewEmptyDocument()) {}

XMLDocument::Impl::~Impl() { FreeUnattached(); }

void XMLDocument::Impl::Replace(platform::XmlDocOwner replacement)
{
    FreeUnattached(); // their names may live in the old document's dictionary
    doc = std::move(replacement);
}

xmlNodePtr XMLDocument::Impl::Adopt(xmlNodePtr created)
{
    std::unique_ptr<xmlNode, XmlNodeFree> owner(created);
    if (!owner) {
        throw std::bad_alloc();
    }
    unattached.insert(created);
    return owner.release();
}

void XMLDocument::Impl::FreeUnattached()
{
    for (xmlNodePtr node : unattached) {
        xmlFreeNode(node);
    }
    unattached.clear();
}

XMLDocument::XMLDocument() : m_impl(new Impl) {}

XMLDocument::~XMLDocument() { delete m_impl; }

XMLDocument::XMLDocument(XMLDocument&& other) noexcept : m_impl(std::exchange(other.m_impl, nullptr)) {}

XMLDocument& XMLDocument::operator=(XMLDocument&& other) noexcept
{
    std::swap(m_impl, other.m_impl);
    return *this;
}

XMLDocument::Impl& XMLDocument::Self()
{
    if (m_impl == nullptr) {
        m_impl = new Impl; // only a moved-from document has none
    }
    return *m_impl;
}

bool XMLDocument::Load(const wchar_t* path)
{
    Impl& self = Self();
    const std::wstring url = path != nullptr ? path : L"";
    try {
        const std::string file = WideToUtf8(url);
        std::string bytes;
        const std::wstring unusable = FileNameProblem(url);
        std::wstring failure = path == nullptr     ? L"Cannot open file: no path given"
                               : !unusable.empty() ? L"Cannot open file: " + unusable
                                                   : Utf8ToWide(platform::ReadWholeFile(file, bytes));
        if (!failure.empty()) {
            self.Replace(NewEmptyDocument());
            self.parseError = XMLParseError{XML_LOAD_CANNOT_READ_FILE, 0, 0, url, std::move(failure)};
            return false;
        }
        platform::XmlDocOwner loaded = platform::ParseDocument(bytes, file, false, self.parseError);
        self.parseError.url = url;
        self.Replace(loaded ? std::move(loaded) : NewEmptyDocument());
    } catch (const std::bad_alloc&) {
        self.parseError = NoMemory(url);
    }
    return self.parseError.errorCode == 0;
}

bool XMLDocument::LoadXML(const wchar_t* text)
{
    Impl& self = Self();
    try {
        std::wstring_view source = text != nullptr ? text : L"";
        if (!source.empty() && source.front() == L'\xFEFF') {
            source.remove_prefix(1); // a byte order mark has no meaning in decoded text
        }
        std::string bytes;
        AppendWideAsUtf8ForParser(source.data(), source.size(), bytes);
        platform::XmlDocOwner loaded = platform::ParseDocument(bytes, std::string(), true, self.parseError);
        self.Replace(loaded ? std::move(loaded) : NewEmptyDocument());
    } catch (const std::bad_alloc&) {
        self.parseError = NoMemory(std::wstring());
    }
    return self.parseError.errorCode == 0;
}

const XMLParseError& XMLDocument::ParseError() const
{
    static const XMLParseError none;
    return m_impl != nullptr ? m_impl->parseError : none;
}

XMLNode XMLDocument::FirstChild() const { return XMLNode(m_impl != nullptr ? m_impl->doc->children : nullptr); }

long XMLDocument::Save(const wchar_t* path)
{
    Impl& self = Self();
    if (path == nullptr || *path == L'\0') {
        return self.Fail(XML_STATUS_INVALID_ARGUMENT, L"Save: no path given");
    }
    if (xmlDocGetRootElement(self.doc.get()) == nullptr) {
        return self.Fail(XML_STATUS_FAILED, L"Save: the document has no root element");
    }
    if (const std::wstring unusable = FileNameProblem(path); !unusable.empty()) {
        return self.Fail(XML_STATUS_FAILED, L"Cannot write file '" + std::wstring(path) + L"': " + unusable);
    }
    try {
        std::string failure;
        std::string bytes = Serialize(self.doc.get(), failure);
        if (failure.empty()) {
            failure = platform::WriteFileAtomically(WideToUtf8(path), bytes);
        }
        if (!failure.empty()) {
            return self.Fail(XML_STATUS_FAILED, Utf8ToWide(failure));
        }
    } catch (const std::bad_alloc&) {
        return self.Fail(XML_STATUS_OUT_OF_MEMORY, L"Save: out of memory");
    }
    return self.Succeed();
}

const std::wstring& XMLDocument::LastError() const
{
    static const std::wstring none;
    return m_impl != nullptr ? m_impl->lastError : none;
}

} // namespace ZVXML
