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

// Escaped for a quoted attribute of the root template. Tab, line feed and
// carriage return become references too: written as they are, attribute
// normalisation would read them back as spaces.
std::wstring TemplateAttributeValue(const std::wstring& text)
{
    std::wstring escaped;
    ConvertToXmlString(text.c_str(), escaped);
    std::wstring out;
    out.reserve(escaped.size());
    for (wchar_t c : escaped) {
        switch (c) {
        case L'\t':
            out.append(L"&#x9;");
            break;
        case L'\n':
            out.append(L"&#xA;");
            break;
        case L'\r':
            out.append(L"&#xD;");
            break;
        default:
            out.push_back(c);
            break;
        }
    }
    return out;
}

void AppendAttribute(std::wstring& out, const wchar_t* name, const std::wstring& value)
{
    RequireWritableText(value.c_str(), name);
    out.append(name).append(L"='").append(TemplateAttributeValue(value)).append(L"' ");
}

std::wstring RootTemplate(const CZVSchema& schema)
{
    std::wstring text = L"<?xml version='1.0' encoding='UTF-8'?><ZVSchema ";
    AppendAttribute(text, L"schemaName", schema.GetSchemaName());
    AppendAttribute(text, L"version", schema.VersionString());
    if (*schema.GetDisplayLabel() != L'\0') {
        AppendAttribute(text, L"displayLabel", schema.GetDisplayLabel());
    }
    AppendAttribute(text, L"nameSpacePrefix", schema.GetSchemaPrefix());
    if (*schema.GetDescription() != L'\0') {
        AppendAttribute(text, L"description", schema.GetDescription());
    }
    AppendAttribute(text, L"xmlns", ZVXML_NAMESPACE_URI);
    AppendAttribute(text, L"xmlns:zv", ZVXML_NAMESPACE_URI);
    text.append(L"></ZVSchema>");
    return text;
}

XMLNode FindSchemaElement(const XMLDocument& document)
{
    for (XMLNode node = document.FirstChild(); node; node = node.NextSibling()) {
        if (node.LocalName() == L"ZVSchema") {
            return node;
        }
    }
    return XMLNode();
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
    const WritingScope scope(L"ZVSchemaReference", m_schemaName.c_str());
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
    const WritingScope scope(L"ZVSchema", m_schemaName.c_str());
    XMLDocument document;
    if (!document.LoadXML(RootTemplate(*this).c_str())) {
        throw ZVXMLRuntimeError(L"Failed to create empty XML document", L"");
    }
    XMLNode root = FindSchemaElement(document);
    for (const CZVSchemaReference& reference : m_references) {
        const WritingScope referenceScope(L"ZVSchemaReference", reference.m_schemaName.c_str());
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
