// Loading a schema file: the document, its root element, and the passes over
// the root's children that let a class name any class of the file.
#include <zvxml/errors.h>
#include <zvxml/namespaces.h>
#include <zvxml/schema.h>

#include "foundation/logging.h"
#include "foundation/verify_hr.h"
#include "schemaxml/case_insensitive_text.h"
#include "schemaxml/deferred_custom_attributes.h"
#include "schemaxml/schema_load_chain.h"

#include <cwchar>
#include <memory>
#include <new>
#include <vector>

namespace ZVXML {
namespace {

constexpr int kForeignNamespace = 1000;
constexpr int kLegacyNamespace = 1001;
constexpr int kNoSchemaElement = 0x8000;
// The longest text of the root's two log lines; a longer one is cut there.
constexpr std::size_t kRootLogLimit = 1024;
// The names a schema is constructed with when the file is to give them.
const wchar_t* const kUnsetName = L"temporary";

// A class element paired with the class object that reads it. The reader
// owns the object until the schema does.
struct ClassElement {
    std::unique_ptr<CZVClass> pending;
    CZVClass* zvClass;
    XMLNode element;
};

struct RootChildren {
    std::vector<ClassElement> classes;
    std::vector<XMLNode> customAttributes;
};

// Creating the tree fails only for want of memory; it is reported as the
// failed creation of the document.
std::unique_ptr<XMLDocument> CreateDocument()
{
    try {
        return std::make_unique<XMLDocument>();
    } catch (const std::bad_alloc&) {
        VERIFY_HR(XML_STATUS_OUT_OF_MEMORY, L"pXmlDoc.CreateInstance(__uuidof(MSXML2::DOMDocument60))");
    }
    return nullptr;
}

void Load(XMLDocument& document, const wchar_t* path)
{
    if (document.Load(path) || document.ParseError().errorCode == 0) {
        return;
    }
    const XMLParseError& error = document.ParseError();
    LogFormat(LOG_SEV_ERROR, L"line %ld, position %ld parsing ZVSchema file %ls. %ls", error.line, error.linePos,
              error.url.c_str(), error.reason.c_str());
    VERIFY_HR(error.errorCode, L"CheckXmlLoad(pXmlDoc)");
}

// Finished text: a "%" in a path or a namespace is never read as a format.
void LogRootProblem(const std::wstring& text)
{
    Log(LOG_SEV_ERROR, L"ZVXML", text.substr(0, kRootLogLimit));
}

XMLNode FindRoot(const XMLDocument& document)
{
    for (XMLNode node = document.FirstChild(); node; node = node.NextSibling()) {
        if (node.NodeType() == XML_NODE_ELEMENT && node.LocalName() == L"ZVSchema") {
            return node;
        }
    }
    return XMLNode();
}

// 0 for the ZVXML 2.0 namespace, else the result code (and its log line).
int CheckNamespace(XMLNode root, const wchar_t* path)
{
    const std::wstring found = root.NamespaceURI();
    if (EqualsIgnoringCase(found, ZVXML_NAMESPACE_URI)) {
        return 0;
    }
    LogRootProblem(std::wstring(L"Import file '") + path + L"' is using namespace '" + found +
                   L"', which is not compatible with ZVXML 2.0. Use namespace '" + ZVXML_NAMESPACE_URI + L"'");
    return EqualsIgnoringCase(found, ZVXML_LEGACY_NAMESPACE_URI) ? kLegacyNamespace : kForeignNamespace;
}

void ApplyRootAttributes(CZVSchema& schema, XMLNode root)
{
    for (const XMLAttribute& attribute : root.Attributes()) {
        const wchar_t* value = attribute.value.c_str();
        if (attribute.name == L"schemaName") {
            schema.SetSchemaName(value);
        } else if (attribute.name == L"nameSpacePrefix") {
            schema.SetSchemaPrefix(value);
        } else if (attribute.name == L"version") {
            schema.SetVersionString(value);
        } else if (attribute.name == L"description") {
            schema.SetDescription(value);
        } else if (attribute.name == L"displayLabel") {
            schema.SetDisplayLabel(value);
        }
    }
}

void CheckNamesSet(const CZVSchema& schema)
{
    if (std::wcscmp(schema.GetSchemaName(), kUnsetName) == 0) {
        throw ZVXMLFormatError(L"ZVSchema's schemaName cannot be blank!", L"");
    }
    if (std::wcscmp(schema.GetSchemaPrefix(), kUnsetName) == 0) {
        throw ZVXMLFormatError(L"ZVSchema's nameSpacePrefix cannot be blank!", L"");
    }
}

template <class T>
void PairWithNewClass(CZVSchema& schema, XMLNode element, const wchar_t* provisionalName, RootChildren& children)
{
    std::unique_ptr<CZVClass> created(new T(provisionalName, &schema, nullptr));
    CZVClass* zvClass = created.get();
    children.classes.push_back(ClassElement{std::move(created), zvClass, element});
}

// References are resolved as they come; the rest is collected for the later
// passes.
void ReadFirstPass(CZVSchema& schema, XMLDocument& document, XMLNode root, RootChildren& children)
{
    for (XMLNode child = root.FirstChild(); child; child = child.NextSibling()) {
        const int type = child.NodeType();
        if (type == XML_NODE_COMMENT) {
            continue;
        }
        const std::wstring name = type == XML_NODE_ELEMENT ? child.LocalName() : std::wstring();
        if (name == L"ZVSchemaReference") {
            CZVSchemaReference reference;
            reference.ReadXML(&schema, document, child);
        } else if (name == L"ZVCustomAttributes") {
            children.customAttributes.push_back(child);
        } else if (name == L"ZVClass") {
            PairWithNewClass<CZVClass>(schema, child, L"ZVClass", children);
        } else if (name == L"ZVRelationshipClass") {
            PairWithNewClass<CZVRelationshipClass>(schema, child, L"ZVRelationshipClass", children);
        } else {
            throw ZVXMLFormatError(L"Unrecognized element under ZVSchema element: '" + child.NodeName() + L"'", L"");
        }
    }
}

int ReadClassAttributes(CZVSchema& schema, XMLDocument& document, std::vector<ClassElement>& classes)
{
    for (ClassElement& entry : classes) {
        if (int result = entry.zvClass->ReadXMLAttributes(document, entry.element)) {
            return result;
        }
        if (auto* relationshipClass = dynamic_cast<CZVRelationshipClass*>(entry.zvClass)) {
            schema.AddZVRelationshipClass(relationshipClass);
        } else {
            schema.AddZVClass(entry.zvClass);
        }
        entry.pending.release(); // the schema owns it now
    }
    return 0;
}

int ReadClassContents(CZVSchema& schema, XMLDocument& document, const std::vector<ClassElement>& classes)
{
    for (const ClassElement& entry : classes) {
        if (int result = entry.zvClass->ReadXMLContents(&schema, document, entry.element)) {
            return result;
        }
    }
    return 0;
}

// The schema's own custom attributes come last: their classes (often the
// schema's own, as the writer puts them) and those classes' properties must
// all be known.
int ReadSchemaCustomAttributes(CZVSchema& schema, XMLDocument& document, const std::vector<XMLNode>& elements)
{
    for (XMLNode element : elements) {
        if (int result = schema.ReadCustomAttributesFromXML(&schema, document, element)) {
            return result;
        }
    }
    return 0;
}

int ReadRootChildren(CZVSchema& schema, XMLDocument& document, XMLNode root)
{
    RootChildren children;
    ReadFirstPass(schema, document, root, children);
    if (int result = ReadClassAttributes(schema, document, children.classes)) {
        return result;
    }
    DeferredCustomAttributes classCustomAttributes;
    if (int result = ReadClassContents(schema, document, children.classes)) {
        return result;
    }
    if (int result = classCustomAttributes.ReadAll()) {
        return result;
    }
    return ReadSchemaCustomAttributes(schema, document, children.customAttributes);
}

} // namespace

int CZVSchema::ReadXML(const wchar_t* path)
{
    if (path == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL path to CZVSchema::ReadXML", L"");
    }
    SchemaLoadScope onChain(path);
    std::unique_ptr<XMLDocument> document = CreateDocument();
    Load(*document, path);
    const XMLNode root = FindRoot(*document);
    if (!root) {
        LogRootProblem(std::wstring(L"Missing ZVSchema element in YMR Schema file ") + path);
        return kNoSchemaElement;
    }
    if (int result = CheckNamespace(root, path)) {
        return result;
    }
    ApplyRootAttributes(*this, root);
    CheckNamesSet(*this);
    return ReadRootChildren(*this, *document, root);
}

} // namespace ZVXML
