// Loading a schema file and the files its references reach: the tree of
// each, its root, and the passes over the root's children that let a class
// name any class of its file.
#include "schemaxml/schema_reader.h"

#include <zvxml/errors.h>
#include <zvxml/namespaces.h>
#include <zvxml/schema.h>

#include "foundation/logging.h"
#include "foundation/verify_hr.h"
#include "schemaxml/case_insensitive_text.h"
#include "schemaxml/item_attributes.h"
#include "schemaxml/reading_element.h"
#include "schemaxml/schema_item_readers.h"
#include "schemaxml/schema_load_context.h"
#include "schemaxml/schema_reference_reader.h"

#include <cwchar>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>
#include <string_view>

namespace ZVXML {

using namespace std::string_view_literals; // name comparisons look at the length first
namespace {

constexpr int kForeignNamespace = 1000;
constexpr int kLegacyNamespace = 1001;
constexpr int kNoSchemaElement = 0x8000;
// The longest text of the root's two log lines; a longer one is cut there.
constexpr std::size_t kRootLogLimit = 1024;
// The names a schema is constructed with when the file is to give them.
const wchar_t* const kUnsetName = L"temporary";

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
    const FixedReadPosition failure(path, error.line, error.linePos);
    const ReadPositionScope at(failure);
    LogFormat(LOG_SEV_ERROR, L"line %ld, position %ld parsing ZVSchema file %ls. %ls", error.line, error.linePos,
              error.url.c_str(), error.reason.c_str());
    VERIFY_HR(error.errorCode, L"CheckXmlLoad(pXmlDoc)");
}

// Finished text: a "%" in a path or a namespace is never read as a format.
void LogRootProblem(const std::wstring& text) { Log(LOG_SEV_ERROR, L"ZVXML", text.substr(0, kRootLogLimit)); }

XMLNode FindRoot(const XMLDocument& document)
{
    for (XMLNode node = document.FirstChild(); node; node = node.NextSibling()) {
        if (node.NodeType() == XML_NODE_ELEMENT && node.LocalName() == L"ZVSchema"sv) {
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
    for (const XMLAttribute& attribute : ItemAttributes(root)) {
        const wchar_t* value = attribute.value.c_str();
        if (attribute.name == L"schemaName"sv) {
            schema.SetSchemaName(value);
        } else if (attribute.name == L"nameSpacePrefix"sv) {
            schema.SetSchemaPrefix(value);
        } else if (attribute.name == L"version"sv) {
            schema.SetVersionString(value);
        } else if (attribute.name == L"description"sv) {
            schema.SetDescription(value);
        } else if (attribute.name == L"displayLabel"sv) {
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
void PairWithNewClass(SchemaFileLoad& file, XMLNode element, const wchar_t* provisionalName)
{
    std::unique_ptr<CZVClass> created(new T(provisionalName, file.schema, nullptr));
    CZVClass* zvClass = created.get();
    const bool isRelationshipClass = std::is_same<T, CZVRelationshipClass>::value;
    file.classes.push_back(ClassElement{std::move(created), zvClass, isRelationshipClass, element});
}

// The tree, the root and the root's attributes. A file without a root in
// the ZVXML 2.0 namespace keeps its result code and adds nothing.
void OpenFile(SchemaFileLoad& file)
{
    const FixedReadPosition inFile(file.path, 0, 0);
    const ReadPositionScope reading(inFile);
    file.document = CreateDocument();
    Load(*file.document, file.path.c_str());
    const XMLNode root = FindRoot(*file.document);
    if (!root) {
        LogRootProblem(L"Missing ZVSchema element in YMR Schema file " + file.path);
        file.openResult = kNoSchemaElement;
        return;
    }
    const ReadingElement atRoot(root);
    file.openResult = CheckNamespace(root, file.path.c_str());
    if (file.openResult != 0) {
        return;
    }
    ApplyRootAttributes(*file.schema, root);
    CheckNamesSet(*file.schema);
    file.nextChild = root.FirstChild();
}

// Opens the file a reference names, unless the schema already is or holds
// the schema it names, or the file was read earlier in this load (then the
// reference shares that schema). True when a file was opened.
bool OpenReferencedFile(SchemaFileLoad& referencing, XMLNode element, SchemaLoadContext& load)
{
    CZVSchemaReference reference;
    const std::wstring path = ResolveSchemaReference(*referencing.schema, element, reference, load.SearchPath());
    if (path.empty()) {
        return false;
    }
    std::string identity = SchemaLoadContext::Identity(path);
    if (CZVSchema* read = load.FindRead(identity)) {
        CZVClass::ZVNameIsValid(reference.m_schemaPrefix.c_str(), 1); // as a new schema would check it
        reference.m_pZVSchema = read;
        referencing.schema->AddReference(reference);
        return false;
    }
    std::unique_ptr<CZVSchema> created = NewReferencedSchema(reference, load.SearchPath());
    SchemaFileLoad& file = load.Enter(*created, path, std::move(identity));
    file.created = std::move(created);
    file.reference = reference;
    OpenFile(file);
    return true;
}

// The first pass, in document order: a reference is resolved when it is
// met, class elements are paired with new classes, and the schema's own
// custom attributes wait for the end. Returns true when a reference opened
// a file: that file is read through all its passes before this pass goes on.
bool ReadFirstPassUntilFileOpens(SchemaFileLoad& file, SchemaLoadContext& load)
{
    while (const XMLNode child = file.nextChild) {
        file.nextChild = child.NextSibling();
        const ReadingElement at(child);
        const int type = child.NodeType();
        if (type == XML_NODE_COMMENT) {
            continue;
        }
        const std::wstring name = type == XML_NODE_ELEMENT ? child.LocalName() : std::wstring();
        if (name == L"ZVSchemaReference"sv) {
            if (OpenReferencedFile(file, child, load)) {
                return true;
            }
        } else if (name == L"ZVCustomAttributes"sv) {
            file.customAttributes.push_back(child);
        } else if (name == L"ZVClass"sv) {
            PairWithNewClass<CZVClass>(file, child, L"ZVClass");
        } else if (name == L"ZVRelationshipClass"sv) {
            PairWithNewClass<CZVRelationshipClass>(file, child, L"ZVRelationshipClass");
        } else {
            throw ZVXMLFormatError(L"Unrecognized element under ZVSchema element: '" + child.NodeName() + L"'", L"");
        }
    }
    return false;
}

// Each class reads its attributes and joins the schema, so that every name
// and base class of the file is known before any contents are read.
int ReadClassAttributes(SchemaFileLoad& file)
{
    for (ClassElement& entry : file.classes) {
        const ReadingElement at(entry.element);
        if (int result = entry.zvClass->ReadXMLAttributes(*file.document, entry.element)) {
            return result;
        }
        if (entry.isRelationshipClass) {
            file.schema->AddZVRelationshipClass(static_cast<CZVRelationshipClass*>(entry.zvClass));
        } else {
            file.schema->AddZVClass(entry.zvClass);
        }
        entry.pending.release(); // the schema owns it now
    }
    return 0;
}

// Each class reads its properties, base class and (for a relationship
// class) its ends; their custom attributes wait in the file's list.
int ReadClassContents(SchemaFileLoad& file)
{
    SchemaItemReading reading;
    reading.deferred = &file.deferred;
    reading.upgradeHandler = file.upgradeHandler;
    for (const ClassElement& entry : file.classes) {
        CZVSchema* schema = file.schema;
        XMLDocument& document = *file.document;
        const int result = entry.isRelationshipClass
                               ? ReadRelationshipClassContents(*static_cast<CZVRelationshipClass*>(entry.zvClass),
                                                               schema, document, entry.element, reading)
                               : ZVXML::ReadClassContents(*entry.zvClass, document, entry.element, reading);
        if (result != 0) {
            return result;
        }
    }
    return 0;
}

// The schema's own custom attributes come last: their classes (often the
// schema's own, as the writer puts them) and those classes' properties must
// all be known.
int ReadSchemaCustomAttributes(SchemaFileLoad& file)
{
    for (XMLNode element : file.customAttributes) {
        if (int result = file.schema->ReadCustomAttributesFromXML(file.schema, *file.document, element)) {
            return result;
        }
    }
    return 0;
}

// The passes after the first; the first non-zero result ends them.
int ReadLaterPasses(SchemaFileLoad& file)
{
    if (int result = ReadClassAttributes(file)) {
        return result;
    }
    if (int result = ReadClassContents(file)) {
        return result;
    }
    if (int result = file.deferred.ReadAll()) {
        return result;
    }
    return ReadSchemaCustomAttributes(file);
}

// Takes the innermost file off the chain; a referenced schema then joins the
// schema whose reference led to it.
void LeaveFile(SchemaLoadContext& load)
{
    std::unique_ptr<SchemaFileLoad> file = load.Leave();
    if (load.Empty()) {
        return; // the schema the host asked for
    }
    file->reference.m_pZVSchema = file->created.get();
    load.Innermost().schema->AddReference(file->reference);
    file->created.release(); // the referencing schema owns it now
}

} // namespace

// A schema load, file by file:
//   1. Open: the tree, the root, the root's attributes (OpenFile).
//   2. The first pass over the root's children. A reference that names a
//      schema not yet there opens its file, which becomes the innermost file
//      of the chain and is read through all its passes before the pass of
//      the file that references it goes on.
//   3. The later passes: class attributes, class contents, the custom
//      attributes that waited, the schema's own custom attributes.
//   4. The file leaves the chain; a referenced schema joins its referencing
//      schema.
// The result is that of the first file: its open result, else the first
// non-zero result of its later passes. A referenced file's result is not
// looked at: a foreign file leaves its schema with its names only.
int ReadSchemaSet(CZVSchema& schema, const std::wstring& path, SchemaLoadContext& load)
{
    OpenFile(load.Enter(schema, path, SchemaLoadContext::Identity(path)));
    int result = 0;
    while (!load.Empty()) {
        SchemaFileLoad& file = load.Innermost();
        // What no element of the file answers for is still placed in it.
        const FixedReadPosition inFile(file.path, 0, 0);
        const ReadPositionScope reading(inFile);
        if (ReadFirstPassUntilFileOpens(file, load)) {
            continue;
        }
        result = file.openResult != 0 ? file.openResult : ReadLaterPasses(file);
        LeaveFile(load);
    }
    return result;
}

int CZVSchema::ReadXML(const wchar_t* path)
{
    if (path == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL path to CZVSchema::ReadXML", L"");
    }
    SchemaLoadContext load(GetReferenceSearchPath());
    return ReadSchemaSet(*this, path, load);
}

} // namespace ZVXML
