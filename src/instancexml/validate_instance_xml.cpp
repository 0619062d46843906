#include "foundation/read_position.h"
#include "instancexml/validation_reporter.h"

#include <zvxml/errors.h>
#include <zvxml/factory.h>
#include <zvxml/instancexml.h>
#include <zvxml/instancevalidation.h>

namespace ZVXML {
namespace {

// The schema's instances, each remembering where its element starts: the
// factory is called at the instance's start tag, the callbacks at its end.
class PlacingFactory : public IZVInstanceFactory {
public:
    explicit PlacingFactory(CZVSchema* schema) : m_factory(schema) {}

    CZVInstance* CreateInstance(const wchar_t* namespaceURI, const wchar_t* className, int* isRelationship) override
    {
        GetReadLineAndColumn(line, column);
        return m_factory.CreateInstance(namespaceURI, className, isRelationship);
    }

    long line = 0; // of the start tag of the instance being read
    long column = 0;

private:
    CZVSchemaInstanceFactory m_factory;
};

struct Validation {
    Validation(CZVSchema* schema, ZVValidationCallback callback, void* context)
        : factory(schema), validator(schema, callback, context)
    {
    }

    PlacingFactory factory;
    ZVInstanceDocumentValidator validator;
    std::wstring file;

    static int Instance(CZVSchema*, void* context, CZVInstance* instance)
    {
        auto& self = *static_cast<Validation*>(context);
        if (self.validator.Check(instance, self.file, self.factory.line, self.factory.column) != 0) {
            throw ValidationStopped{};
        }
        return 0;
    }
    static int Relationship(CZVSchema* schema, void* context, ZVRelationshipInstance* relationship)
    {
        return Instance(schema, context, relationship);
    }
};

} // namespace

std::size_t ValidateZVInstanceXML(int isLocation, const wchar_t* document, CZVSchema* schema,
                                  ZVValidationCallback callback, void* context, unsigned long options)
{
    if (document == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL document into ValidateZVInstanceXML", L"");
    }
    Validation validation(schema, callback, context);
    if (isLocation != 0) {
        validation.file = document;
    }
    try {
        ParseZVInstanceXML(isLocation, document, schema, &validation, nullptr, &Validation::Instance,
                           &Validation::Relationship, nullptr, nullptr, nullptr, &validation.factory, options);
        validation.validator.Finish();
    } catch (const ValidationStopped&) {
        // as the host asked
    }
    return validation.validator.GetFindingCount();
}

} // namespace ZVXML
