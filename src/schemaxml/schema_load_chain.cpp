#include "schemaxml/schema_load_chain.h"

#include <zvxml/errors.h>

#include "foundation/utf8.h"

#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

namespace ZVXML {

namespace {

namespace fs = std::filesystem;

// Loads on separate threads have separate chains.
thread_local const SchemaLoadLink* t_current = nullptr;
// The link the next load on this thread continues (set by NestedSchemaLoad).
thread_local const SchemaLoadLink* t_handOver = nullptr;

// One file reached through different texts ("./a", "../x/a", a symbolic
// link) has one identity.
std::string Identity(const std::wstring& path)
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

std::wstring FileName(const std::wstring& path) { return path.substr(path.find_last_of(L'/') + 1); }

[[noreturn]] void ThrowCircular(const SchemaLoadLink* innermost, const std::wstring& closing)
{
    std::vector<const SchemaLoadLink*> chain;
    for (const SchemaLoadLink* link = innermost; link != nullptr; link = link->parent) {
        chain.push_back(link);
    }
    std::wstring message = L"Circular ZVSchemaReference: ";
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        message += (*it)->fileName + L" -> ";
    }
    throw ZVXMLRuntimeError(message + FileName(closing), L"CZVSchemaReference::ReadXML");
}

} // namespace

SchemaLoadScope::SchemaLoadScope(const std::wstring& path)
    : m_link{std::exchange(t_handOver, nullptr), Identity(path), FileName(path)}, m_previous(t_current)
{
    t_current = &m_link;
}

SchemaLoadScope::~SchemaLoadScope() { t_current = m_previous; }

NestedSchemaLoad::NestedSchemaLoad(const std::wstring& path)
{
    const std::string identity = Identity(path);
    for (const SchemaLoadLink* link = t_current; link != nullptr; link = link->parent) {
        if (link->identity == identity) {
            ThrowCircular(t_current, path);
        }
    }
    t_handOver = t_current;
}

NestedSchemaLoad::~NestedSchemaLoad() { t_handOver = nullptr; }

} // namespace ZVXML
