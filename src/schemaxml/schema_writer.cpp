// Writing a schema as a schema file.
#include <zvxml/errors.h>
#include <zvxml/instance.h>
#include <zvxml/schema.h>
#include <zvxml/text.h>

#include "foundation/logging.h"
#include "foundation/verify_hr.h"
#include "platform/dom/namespace_scope.h"
#include "platform/markup_guard.h"
#include "schemaxml/tree_building.h"

#include <cwchar>
#include <set>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ZVXML {
namespace {

// The document element with the schema's own attributes and the
// declarations of the file format's namespace. Built node by node: parsing
// a text skeleton would put libxml2's parser, which does not survive every
// failed allocation, on the path of every write.
XMLNode AppendSchemaElement(XMLDocument& document, const CZVSchema& schema, const std::wstring& description)
{
    XMLNode root = document.CreateElement(L"ZVSchema", ZVXML_NAMESPACE_URI);
    bool built = !root.IsNull() && document.AppendChild(XMLNode(), root, nullptr) == 0;
    const auto set = [&](const wchar_t* name, const std::wstring& value) {
        RequireWritableText(value, name);
        RequireReadableAttribute(value, name);
        built = built && document.SetAttribute(root, name, value.c_str()) == 0;
    };
    set(L"schemaName", schema.GetSchemaName());
    set(L"version", schema.VersionString());
    if (*schema.GetDisplayLabel() != L'\0') {
        set(L"displayLabel", schema.GetDisplayLabel());
    }
    set(L"nameSpacePrefix", schema.GetSchemaPrefix());
    if (!description.empty()) {
        set(L"description", description);
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
    ClassPasses(XMLDocument& document, XMLNode parent, const std::vector<CZVClass*>& classes,
                const std::vector<CZVRelationshipClass*>& relationshipClasses)
        : m_document(document), m_parent(parent), m_classes(classes), m_relationshipClasses(relationshipClasses)
    {
    }

    template <class T>
    int Write(const std::vector<T*>& list, bool customAttributeClasses)
    {
        for (T* zvClass : list) {
            if ((zvClass->IsCustomAttributeClass() != 0) == customAttributeClasses) {
                if (int result = WriteOnce(zvClass)) {
                    return result;
                }
            }
        }
        return 0;
    }

private:
    // A class of this schema stands after the class it derives from, and
    // that one after its own base and so on, even when the passes would put
    // the base later (a relationship class names its base in an attribute
    // that the reader resolves at once). The chain is gathered first and
    // written from its top down: a long chain neither recurses nor searches
    // the lists once per class.
    int WriteOnce(CZVClass* zvClass)
    {
        std::vector<CZVClass*> chain;
        for (CZVClass* current = zvClass; current != nullptr && m_written.insert(current).second;
             current = BaseInSchema(*current)) {
            chain.push_back(current);
        }
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            if (int result = (*it)->WriteXML(m_document, m_parent)) {
                return result;
            }
        }
        return 0;
    }

    // The class of this schema that the reader takes for the base of
    // `zvClass`: for a relationship class the first relationship class of
    // that name, else the first class; NULL when the base is elsewhere.
    CZVClass* BaseInSchema(CZVClass& zvClass)
    {
        const wchar_t* name = zvClass.GetBaseClass();
        if (*name == L'\0') {
            return nullptr;
        }
        if (dynamic_cast<CZVRelationshipClass*>(&zvClass) != nullptr) {
            if (CZVClass* found = FirstNamed(name, m_relationshipClasses, m_relationshipsByName)) {
                return found;
            }
        }
        return FirstNamed(name, m_classes, m_classesByName);
    }

    // The first class of `list` whose type name is `name`; `byName` indexes
    // the list and is filled when first needed.
    template <class T>
    static CZVClass* FirstNamed(const wchar_t* name, const std::vector<T*>& list,
                                std::unordered_map<std::wstring_view, CZVClass*>& byName)
    {
        if (byName.empty()) {
            for (T* candidate : list) {
                byName.emplace(candidate->GetTypeName(), candidate); // the first of a name stays
            }
        }
        const auto found = byName.find(name);
        return found != byName.end() ? found->second : nullptr;
    }

    XMLDocument& m_document;
    XMLNode m_parent;
    const std::vector<CZVClass*>& m_classes;
    const std::vector<CZVRelationshipClass*>& m_relationshipClasses;
    std::set<CZVClass*> m_written;
    std::unordered_map<std::wstring_view, CZVClass*> m_classesByName;
    std::unordered_map<std::wstring_view, CZVClass*> m_relationshipsByName;
};

// Each reference declares its prefix on the root, and custom attributes
// declare their schema's namespace where they stand. Readers refuse a
// document with more declarations in scope than kMaxNamespaceDeclarationsInScope
// (each start tag costs time in proportion to them); raising that for the
// writer's own documents would let a hostile one in as well, so a schema
// with that many references is not written.
void RequireReadableNamespaces(XMLNode root, std::size_t references)
{
    const std::size_t declarations = platform::MostNamespaceDeclarationsInScope(root);
    const std::size_t limit = platform::kMaxNamespaceDeclarationsInScope;
    if (declarations > limit) {
        const std::wstring what = L"with its " + std::to_wstring(references) + L" references the file would hold " +
                                  std::to_wstring(declarations) + L" namespace declarations in scope";
        throw ZVXMLRuntimeError(L"Cannot write " + WritingScope::Describe() + L": " + what + L", more than the " +
                                    std::to_wstring(limit) + L" a reader of the file accepts.",
                                L"");
    }
}

// "xml" and "xmlns" are bound by XML itself and cannot be declared for a
// referenced schema's namespace.
void RequireDeclarablePrefix(const std::wstring& prefix)
{
    if (prefix == L"xml" || prefix == L"xmlns") {
        throw ZVXMLFormatError(L"Cannot write " + WritingScope::Describe() + L": its prefix '" + prefix +
                                   L"' is reserved by XML and cannot name another namespace.",
                               L"");
    }
}

} // namespace

int CZVSchemaReference::WriteXML(XMLDocument& document, XMLNode parent)
{
    const WritingScope scope(L"ZVSchemaReference", m_schemaName.c_str());
    XMLNode element = AppendChildElement(document, parent, L"ZVSchemaReference", ZVXML_NAMESPACE_URI);
    SET_CHECKED_ATTRIBUTE(document, element, L"name", m_schemaName,
                          L"pSchemaRefElement->setAttribute (L\"name\", m_schemaName.c_str())");
    SET_CHECKED_ATTRIBUTE(document, element, L"version", m_versionString,
                          L"pSchemaRefElement->setAttribute (L\"version\", m_versionString.c_str())");
    SET_CHECKED_ATTRIBUTE(document, element, L"prefix", m_schemaPrefix,
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
    XMLNode root = AppendSchemaElement(document, *this, DescriptionText());
    for (const CZVSchemaReference& reference : m_references) {
        const WritingScope referenceScope(L"ZVSchemaReference", reference.m_schemaName.c_str());
        unsigned long major = 0;
        unsigned long minor = 0;
        ParseVersionString(reference.m_versionString.c_str(), &major, &minor);
        std::wstring version;
        FormatVersionString(version, major, minor);
        RequireWritableName(reference.m_schemaPrefix.c_str(), L"prefix");
        RequireDeclarablePrefix(reference.m_schemaPrefix);
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
    ClassPasses passes(document, root, m_classes, m_relationshipClasses);
    for (bool customAttributeClasses : {true, false}) {
        if (int result = passes.Write(m_classes, customAttributeClasses)) {
            return result;
        }
        if (int result = passes.Write(m_relationshipClasses, customAttributeClasses)) {
            return result;
        }
    }
    RequireReadableNamespaces(root, m_references.size());
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
