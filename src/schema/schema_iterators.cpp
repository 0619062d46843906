// Iterators over a schema's classes and references; the reference itself.
#include <zvxml/errors.h>
#include <zvxml/schema.h>

namespace ZVXML {

CZVSchemaReference::CZVSchemaReference(CZVSchema* schema)
{
    if (schema == nullptr) {
        throw ZVXMLInvalidArgument(L"CZVSchemaReference constructor requires a non-NULL ZVSchema", L"");
    }
    m_schemaName = schema->GetSchemaName();
    m_schemaPrefix = schema->GetSchemaPrefix();
    m_versionString = schema->VersionString();
    m_pZVSchema = schema;
}

CZVClassIterator::CZVClassIterator(CZVSchema* schema) : m_pZVSchema(schema)
{
    if (schema == nullptr) {
        throw ZVXMLRuntimeError(L"Called CZVClassIterator::CZVClassIterator with NULL pZVSchema", L"");
    }
}

CZVClass* CZVClassIterator::Begin()
{
    m_started = true;
    m_position = 0;
    return m_position < m_pZVSchema->m_classes.size() ? m_pZVSchema->m_classes[m_position] : nullptr;
}

CZVClass* CZVClassIterator::Next()
{
    // Before Begin and past the end there is nothing to return.
    if (!m_started || m_position >= m_pZVSchema->m_classes.size()) {
        return nullptr;
    }
    ++m_position;
    return m_position < m_pZVSchema->m_classes.size() ? m_pZVSchema->m_classes[m_position] : nullptr;
}

CZVReferencedSchemaIterator::CZVReferencedSchemaIterator(CZVSchema* schema) : m_pZVSchema(schema)
{
    if (schema == nullptr) {
        throw ZVXMLRuntimeError(L"Called CZVReferencedSchemaIterator::CZVReferencedSchemaIterator with NULL pZVSchema",
                                L"");
    }
}

CZVSchemaReference* CZVReferencedSchemaIterator::Begin()
{
    m_started = true;
    m_position = 0;
    return m_position < m_pZVSchema->m_references.size() ? &m_pZVSchema->m_references[m_position] : nullptr;
}

CZVSchemaReference* CZVReferencedSchemaIterator::Next()
{
    if (!m_started || m_position >= m_pZVSchema->m_references.size()) {
        return nullptr;
    }
    ++m_position;
    return m_position < m_pZVSchema->m_references.size() ? &m_pZVSchema->m_references[m_position] : nullptr;
}

} // namespace ZVXML
