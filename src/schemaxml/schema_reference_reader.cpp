// Reading a "ZVSchemaReference" element and loading the schema it names.
#include "schemaxml/schema_reference_reader.h"

#include <zvxml/errors.h>

#include "schemaxml/item_attributes.h"
#include "schemaxml/reference_search.h"
#include "schemaxml/schema_load_context.h"
#include "schemaxml/schema_reader.h"

#include <string_view>

namespace ZVXML {

using namespace std::string_view_literals; // name comparisons look at the length first
namespace {

const wchar_t* const kLocation = L"CZVSchemaReference::ReadXML";

// "1.2" and "01.02" name the same file.
std::wstring NormalizedVersion(const std::wstring& text)
{
    unsigned long major = 0;
    unsigned long minor = 0;
    CZVSchema::ParseVersionString(text.c_str(), &major, &minor);
    std::wstring normalized;
    CZVSchema::FormatVersionString(normalized, major, minor);
    return normalized;
}

void ApplyAttributes(CZVSchemaReference& reference, XMLNode element)
{
    for (const XMLAttribute& attribute : ItemAttributes(element)) {
        if (attribute.name == L"name"sv) {
            reference.m_schemaName = attribute.value;
        } else if (attribute.name == L"prefix"sv) {
            reference.m_schemaPrefix = attribute.value;
        } else if (attribute.name == L"version"sv) {
            reference.m_versionString = NormalizedVersion(attribute.value);
        } else {
            throw ZVXMLFormatError(L"ZVSchemaReference contains unrecognized attribute '" + attribute.name +
                                       L"' with value='" + attribute.value + L"'",
                                   L"");
        }
    }
}

// The name becomes part of a file path: a name that breaks the naming rule
// ("../x", "a/b") must never reach the disk. Both checks raise what loading
// would raise later anyway.
void CheckBeforeSearching(const CZVSchemaReference& reference)
{
    CZVSchema::SchemaNameIsValid(reference.m_schemaName.c_str(), 1);
    unsigned long major = 0;
    unsigned long minor = 0;
    CZVSchema::ParseVersionString(reference.m_versionString.c_str(), &major, &minor);
}

std::wstring FindReferencedFile(const std::wstring& searchPath, const std::wstring& fileName)
{
    const ReferenceSearchList search = BuildReferenceSearchList(searchPath);
    std::wstring path = FindInFolders(search.folders, fileName);
    if (path.empty()) {
        throw ZVXMLRuntimeError(L"The referenced ZVSchemaXML file '" + fileName +
                                    L"' could not be found searching current directory plus ZVSCHEMA_PATH: '" +
                                    search.text + L"'",
                                kLocation);
    }
    return path;
}

} // namespace

std::wstring ResolveSchemaReference(CZVSchema& schema, XMLNode element, CZVSchemaReference& reference,
                                    const std::wstring& searchPath)
{
    ApplyAttributes(reference, element);
    if (schema.FindReferencedSchema(reference.m_schemaName.c_str(), reference.m_versionString.c_str()) != nullptr) {
        return std::wstring();
    }
    CheckBeforeSearching(reference);
    return FindReferencedFile(searchPath, reference.m_schemaName + L"." + reference.m_versionString + L".zvschema.xml");
}

std::unique_ptr<CZVSchema> NewReferencedSchema(const CZVSchemaReference& reference, const std::wstring& searchPath)
{
    std::unique_ptr<CZVSchema> created(
        new CZVSchema(reference.m_schemaPrefix.c_str(), reference.m_schemaName.c_str(), nullptr));
    created->SetReferenceSearchPath(searchPath.c_str());
    return created;
}

int CZVSchemaReference::ReadXML(CZVSchema* schema, XMLDocument&, XMLNode element)
{
    if (schema == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL pZVSchema to CZVSchemaReference::ReadXML", L"");
    }
    const std::wstring searchPath = schema->GetReferenceSearchPath();
    const std::wstring path = ResolveSchemaReference(*schema, element, *this, searchPath);
    if (path.empty()) {
        return 0;
    }
    std::unique_ptr<CZVSchema> loaded = NewReferencedSchema(*this, searchPath);
    SchemaLoadContext load(searchPath);
    ReadSchemaSet(*loaded, path, load); // a foreign file leaves the schema with its names only
    m_pZVSchema = loaded.get();
    try {
        schema->AddReference(*this);
    } catch (...) {
        m_pZVSchema = nullptr;
        throw;
    }
    loaded.release(); // the referencing schema owns it now
    return 0;
}

} // namespace ZVXML
