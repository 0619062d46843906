// Shallow copies share their objects; destroying copy and source in either
// order releases every object exactly once (the sanitizer run proves it).
#include <zvxml/zvxml.h>

#include <gtest/gtest.h>

using namespace ZVXML;

namespace {

CZVSchema* MakeRichSchema()
{
    auto* schema = new CZVSchema(L"p", L"Plant", L"");
    CZVClass* pipe = schema->CreateZVClass(L"Pipe", L"", 1);
    pipe->AddZVProperty(L"Length", L"double", L"");
    pipe->AddZVCustomAttribute(new CZVCustomAttribute(pipe));
    schema->CreateZVRelationshipClass(L"Connects", L"", 1);
    auto* units = new CZVSchema(L"u", L"Units", L"");
    units->CreateZVClass(L"Meter", L"", 1);
    CZVSchemaReference reference(units);
    schema->AddReference(reference);
    schema->AddZVCustomAttribute(new CZVCustomAttribute(pipe));
    return schema;
}

} // namespace

TEST(Copies, SchemaCopiesShareAndSurviveEitherOrder)
{
    for (bool sourceFirst : {true, false}) {
        CZVSchema* source = MakeRichSchema();
        auto* copy = new CZVSchema(*source);
        EXPECT_EQ(copy->GetZVClassByIndex(0), source->GetZVClassByIndex(0));
        EXPECT_EQ(copy->GetZVRelationshipClass(0), source->GetZVRelationshipClass(0));
        EXPECT_EQ(copy->GetReferencedSchema(0), source->GetReferencedSchema(0));
        EXPECT_EQ(copy->GetZVCustomAttribute(0), source->GetZVCustomAttribute(0));
        CZVClass* pipe = source->GetZVClassByIndex(0);
        CZVSchema* first = sourceFirst ? source : copy;
        CZVSchema* second = sourceFirst ? copy : source;
        delete first;
        EXPECT_STREQ(second->FindZVClass(L"Meter", 1)->GetTypeName(), L"Meter");
        EXPECT_EQ(second->FindZVClass(L"Pipe", 1), pipe);
        delete second;
    }
}

TEST(Copies, SchemaAssignmentReplacesTheContentsAndSharesTheSources)
{
    CZVSchema* source = MakeRichSchema();
    CZVSchema target(L"t", L"Target", L"");
    target.CreateZVClass(L"Old", L"", 1);
    target = *source;
    EXPECT_EQ(target.GetZVClassCount(), 1u);
    EXPECT_EQ(target.GetZVClassByIndex(0), source->GetZVClassByIndex(0));
    delete source;
    EXPECT_EQ(target.GetZVClassByIndex(0)->GetZVPropertyCount(), 1u);
}

TEST(Copies, ClassCopiesAndAssignmentShareTheirProperties)
{
    CZVSchema schema(L"p", L"Plant", L"");
    auto* pipe = new CZVClass(L"Pipe", &schema, nullptr);
    CZVProperty* length = pipe->AddZVProperty(L"Length", L"double", L"");
    auto* copy = new CZVClass(*pipe);
    EXPECT_EQ(copy->GetZVProperty(0), length);
    delete pipe;
    EXPECT_STREQ(copy->GetZVProperty(0)->GetPropertyName(), L"Length");
    CZVClass assigned(L"Other", &schema, nullptr);
    assigned = *copy;
    delete copy;
    EXPECT_EQ(assigned.GetZVProperty(0), length);
}

TEST(Copies, PropertyCopiesBelongToTheSameClass)
{
    CZVSchema schema(L"p", L"Plant", L"");
    CZVProperty* length = schema.CreateZVClass(L"Pipe", L"", 1)->AddZVProperty(L"Length", L"double", L"");
    CZVProperty propertyCopy(*length);
    EXPECT_EQ(propertyCopy.GetZVClass(), length->GetZVClass());
}

TEST(Copies, CommonCopiesShareTheirCustomAttributes)
{
    CZVSchema schema(L"p", L"Plant", L"");
    CZVClass* options = schema.CreateZVClass(L"Options", L"", ZVCLASSTYPE_CUSTOM_ATTRIBUTE);
    auto* item = new CZVCommon(L"described");
    item->AddZVCustomAttribute(new CZVCustomAttribute(options));
    CZVCommon itemCopy(*item);
    EXPECT_EQ(itemCopy.GetZVCustomAttribute(0), item->GetZVCustomAttribute(0));
    delete item;
    EXPECT_STREQ(itemCopy.GetZVCustomAttribute(0)->GetTypeName(), L"Options");
}
