/// @file
/// ZVXML: a ready-made instance factory for the instance-document reader.
#ifndef ZVXML_FACTORY_H
#define ZVXML_FACTORY_H

#include "config.h"
#include "instancexml.h"
#include "schema.h"

#include <memory>

namespace ZVXML {

/// Creates instances of the classes of one schema and its referenced schemas:
/// a ZVRelationshipInstance for a relationship class, a CZVInstance for a
/// class, NULL for a name neither lookup knows. Relationship classes are
/// looked up first (FindZVRelationshipClass), then classes (FindZVClass); the
/// namespace URI of the element is not consulted. Answers are cached per
/// class name, so the schema must not change while the factory is in use.
/// One factory serves one parse at a time; parses on several threads that
/// share a schema each take a factory of their own.
class ZVXML_API CZVSchemaInstanceFactory : public IZVInstanceFactory {
public:
    /// The schema is not owned and must outlive the factory.
    /// ZVXMLInvalidArgument for NULL.
    ///@{
    explicit CZVSchemaInstanceFactory(CZVSchema* schema);
    CZVSchemaInstanceFactory(const CZVSchemaInstanceFactory&) = delete;
    CZVSchemaInstanceFactory& operator=(const CZVSchemaInstanceFactory&) = delete;
    virtual ~CZVSchemaInstanceFactory();
    ///@}

    /// A new instance of `className` (see the class comment), or NULL.
    CZVInstance* CreateInstance(const wchar_t* namespaceURI, const wchar_t* className, int* isRelationship) override;

    /// The schema the factory serves.
    CZVSchema* GetZVSchema() const;

private:
    struct Cache;
    CZVSchema* m_pZVSchema;
    std::unique_ptr<Cache> m_cache;
};

} // namespace ZVXML

#endif // ZVXML_FACTORY_H
