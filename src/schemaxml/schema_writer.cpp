// Writing a schema as a schema file.
#include <zvxml/errors.h>
#include <zvxml/instance.h>
#include <zvxml/schema.h>
#include <zvxml/text.h>

#include "foundation/logging.h"
#include "foundation/verify_hr.h"
#include "schemaxml/tree_building.h"

#include <cwchar>
#include <set>
#include <type_traits>

namespace ZVXML {
namespace {

constexpr unsigned long kHighSurrogateFirst = 0xD800;
constexpr unsigned long kLowSurrogateFirst = 0xDC00;
constexpr unsigned long kSurrogateLast = 0xDFFF;

unsigned long CodeOf(wchar_t c) { return static_cast<unsigned long>(static_cast<std::make_unsigned_t<wchar_t>>(c)); }

// The text as the root element's attribute carries it: as ConvertToXmlString
// escapes it, a character XML 1.0 cannot carry becomes "?" and a UTF-16 pair
// is one character.
std::wstring RootAttributeValue(const std::wstring& text)
{
    std::wstring value;
    value.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned long u = CodeOf(text[i]);
        const bool high = u >= kHighSurrogateFirst && u < kLowSurrogateFirst;
        if (high && i + 1 < text.size() && CodeOf(text[i + 1]) >= kLowSurrogateFirst &&
            CodeOf(text[i + 1]) <= kSurrogateLast) {
            const unsigned long joined =
                0x10000 + ((u - kHighSurrogateFirst) << 10) + (CodeOf(text[i + 1]) - kLowSurrogateFirst);
            value.push_back(static_cast<wchar_t>(joined));
            ++i;
        } else if ((u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D) || u == 0xFFFE || u == 0xFFFF || u > 0x10FFFF ||
                   (u >= kHighSurrogateFirst && u <= kSurrogateLast)) {
            value.push_back(L'?');
        } else {
            value.push_back(text[i]);
        }
    }
    return value;
}

// The document element with the schema's own attributes and the
// declarations of the file format's namespace. Built node by node: parsing
// a text skeleton would put libxml2's parser, which does not survive every
// failed allocation, on the path of every write.
XMLNode AppendSchemaElement(XMLDocument& document, const CZVSchema& schema)
{
    XMLNode root = document.CreateElement(L"ZVSchema", ZVXML_NAMESPACE_URI);
    bool built = !root.IsNull() && document.AppendChild(XMLNode(), root, nullptr) == 0;
    const auto set = [&](const wchar_t* name, const std::wstring& value) {
        built = built && document.SetAttribute(root, name, RootAttributeValue(value).c_str()) == 0;
    };
    set(L"schemaName", schema.GetSchemaName());
    set(L"version", schema.VersionString());
    if (*schema.GetDisplayLabel() != L'\0') {
        set(L"displayLabel", schema.GetDisplayLabel());
    }
    set(L"nameSpacePrefix", schema.GetSchemaPrefix());
    if (*schema.GetDescription() != L'\0') {
        set(L"description", schema.GetDescription());
    }
    set(L"xmlns:zv", ZVXML_NAMESPACE_URI);
    if (!built) {
        throw ZVXMLRuntimeError(L"Failed to create empty XML document", L"");
    }
    return root;
}

// Writes classes in the order the file format wants: custom-attribute
// classes, custom-attribute relationship classes, other classes, other
// relationship classes, each group in list order.
class ClassPasses {
public:
    ClassPasses(XMLDocument& document, XMLNode parent) : m_document(document), m_parent(parent) {}

    template <class T>
    int Write(const std::vector<T*>& list, bool customAttributeClasses)
    {
        for (T* zvClass : list) {
            if ((zvClass->IsCustomAttributeClass() != 0) == customAttributeClasses) {
                if (int result = WriteOnce(zvClass, list)) {
                    return result;
                }
            }
        }
        return 0;
    }

private:
    // A relationship class names its base in an attribute that the reader
    // resolves at once, so its base must stand before it in the file even
    // when the passes would put it later (a custom-attribute relationship
    // class derived from another one). Classes name theirs in an element
    // read after every class is known.
    template <class T>
    int WriteOnce(T* zvClass, const std::vector<T*>& list)
    {
        if (!m_written.insert(zvClass).second) {
            return 0;
        }
        if (std::is_same<T, CZVRelationshipClass>::value && *zvClass->GetBaseClass() != L'\0') {
            for (T* candidate : list) {
                if (std::wcscmp(candidate->GetTypeName(), zvClass->GetBaseClass()) == 0) {
                    if (int result = WriteOnce(candidate, list)) {
                        return result;
                    }
                    break;
                }
            }
        }
        return zvClass->WriteXML(m_document, m_parent);
    }

    XMLDocument& m_document;
    XMLNode m_parent;
    std::set<CZVClass*> m_written;
};

} // namespace

int CZVSchemaReference::WriteXML(XMLDocument& document, XMLNode parent)
{
    XMLNode element = AppendChildElement(document, parent, L"ZVSchemaReference", ZVXML_NAMESPACE_URI);
    SET_CHECKED_ATTRIBUTE(document, element, L"name", m_schemaName.c_str(),
                          L"pSchemaRefElement->setAttribute (L\"name\", m_schemaName.c_str())");
    SET_CHECKED_ATTRIBUTE(document, element, L"version", m_versionString.c_str(),
                          L"pSchemaRefElement->setAttribute (L\"version\", m_versionString.c_str())");
    SET_CHECKED_ATTRIBUTE(document, element, L"prefix", m_schemaPrefix.c_str(),
                          L"pSchemaRefElement->setAttribute (L\"prefix\", m_schemaPrefix.c_str())");
    return 0;
}

int CZVSchema::WriteXML(const wchar_t* path)
{
    if (path == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL path to CZVSchema::WriteXML", L"");
    }
    XMLDocument document;
    XMLNode root = AppendSchemaElement(document, *this);
    for (const CZVSchemaReference& reference : m_references) {
        unsigned long major = 0;
        unsigned long minor = 0;
        ParseVersionString(reference.m_versionString.c_str(), &major, &minor);
        std::wstring version;
        FormatVersionString(version, major, minor);
        const std::wstring namespaceAttr = L"xmlns:" + reference.m_schemaPrefix;
        const std::wstring xmlNamespace = reference.m_schemaName + L"." + version;
        SET_CHECKED_ATTRIBUTE(document, root, namespaceAttr.c_str(), xmlNamespace.c_str(),
                              L"pZVSchemaElement->setAttribute (namespaceAttr, xmlNamespace.c_str())");
    }
    for (CZVSchemaReference& reference : m_references) {
        reference.WriteXML(document, root);
    }
    if (int result = WriteCustomAttributesToXML(document, root)) {
        return result;
    }
    ClassPasses passes(document, root);
    for (bool customAttributeClasses : {true, false}) {
        if (int result = passes.Write(m_classes, customAttributeClasses)) {
            return result;
        }
        if (int result = passes.Write(m_relationshipClasses, customAttributeClasses)) {
            return result;
        }
    }
    const long saved = document.Save(path);
    if (saved != 0) {
        // The checked-call message names the call only; the reason goes to
        // the log for whoever has to find out what went wrong.
        Log(LOG_SEV_ERROR, L"ZVXML", document.LastError());
    }
    VERIFY_HR(saved, L"pXmlDoc->save(_variant_t(zvSchemaXmlFile))");
    return 0;
}

} // namespace ZVXML
