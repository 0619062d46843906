#include "schemaxml/schema_load_context.h"

#include <zvxml/errors.h>

#include "foundation/utf8.h"
#include "schema/schema_internals.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace ZVXML {
namespace {

namespace fs = std::filesystem;

std::wstring FileName(const std::wstring& path) { return path.substr(path.find_last_of(L'/') + 1); }

} // namespace

std::string SchemaLoadContext::Identity(const std::wstring& path)
{
    const fs::path given(WideToUtf8(path));
    std::error_code error;
    fs::path resolved = fs::canonical(given, error);
    if (error) {
        resolved = fs::absolute(given, error);
        if (error) {
            resolved = given;
        }
    }
    return resolved.lexically_normal().string();
}

SchemaLoadContext::SchemaLoadContext(std::wstring searchPath) : m_searchPath(std::move(searchPath)) {}

SchemaFileLoad& SchemaLoadContext::Enter(CZVSchema& schema, const std::wstring& path, std::string identity)
{
    std::unique_ptr<SchemaFileLoad> file(new SchemaFileLoad());
    file->identity = std::move(identity);
    file->fileName = FileName(path);
    if (m_onChain.count(file->identity) != 0) {
        std::wstring message = L"Circular ZVSchemaReference: ";
        for (const std::unique_ptr<SchemaFileLoad>& link : m_chain) {
            message += link->fileName + L" -> ";
        }
        throw ZVXMLRuntimeError(message + file->fileName, L"CZVSchemaReference::ReadXML");
    }
    file->schema = &schema;
    file->path = path;
    file->upgradeHandler = schema.GetZVRelationshipUpgradeHandler();
    detail::MakeRoomForOne(m_chain); // so that the file is on both or neither
    m_onChain.insert(file->identity);
    m_chain.push_back(std::move(file));
    return *m_chain.back();
}

CZVSchema* SchemaLoadContext::FindRead(const std::string& identity) const
{
    auto found = m_read.find(identity);
    return found != m_read.end() ? found->second : nullptr;
}

std::unique_ptr<SchemaFileLoad> SchemaLoadContext::Leave()
{
    SchemaFileLoad& file = *m_chain.back();
    m_read.emplace(file.identity, file.schema);
    m_onChain.erase(file.identity);
    std::unique_ptr<SchemaFileLoad> left = std::move(m_chain.back());
    m_chain.pop_back();
    return left;
}

} // namespace ZVXML
