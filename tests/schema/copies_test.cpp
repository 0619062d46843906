// Shallow copies share their objects; destroying copy and source in either
// order releases every object exactly once (the sanitizer run proves it).
#include <zvxml/zvxml.h>

#include "support/scratch.h"

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

// An assignment drops what the target held and shares the source's objects
// as a copy does.
TEST(Copies, SchemaCopiesAndAssignmentsShareAndSurviveEitherOrder)
{
    for (bool assigned : {false, true}) {
        for (bool sourceFirst : {true, false}) {
            SCOPED_TRACE(std::string(assigned ? "assigned, " : "copied, ") + (sourceFirst ? "source" : "copy") +
                         " destroyed first");
            CZVSchema* source = MakeRichSchema();
            auto* copy = assigned ? new CZVSchema(L"t", L"Target", L"") : new CZVSchema(*source);
            if (assigned) {
                copy->CreateZVClass(L"Old", L"", 1);
                *copy = *source;
            }
            EXPECT_EQ(copy->GetZVClassCount(), 1u);
            EXPECT_EQ(copy->GetZVClassByIndex(0), source->GetZVClassByIndex(0));
            EXPECT_EQ(copy->GetZVRelationshipClass(0), source->GetZVRelationshipClass(0));
            EXPECT_EQ(copy->GetReferencedSchema(0), source->GetReferencedSchema(0));
            EXPECT_EQ(copy->GetZVCustomAttribute(0), source->GetZVCustomAttribute(0));
            CZVClass* pipe = source->GetZVClassByIndex(0);
            delete (sourceFirst ? source : copy);
            CZVSchema* second = sourceFirst ? copy : source;
            EXPECT_STREQ(second->FindZVClass(L"Meter", 1)->GetTypeName(), L"Meter");
            EXPECT_EQ(second->FindZVClass(L"Pipe", 1), pipe);
            EXPECT_EQ(pipe->GetZVPropertyCount(), 1u);
            delete second;
        }
    }
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

// Shared properties name a class that still holds them, and an assigned
// class in a schema's list stays that schema's: neither may lead to a class
// or schema that is gone.
TEST(Copies, PropertiesAndAssignedClassesNeverNameWhatIsGone)
{
    CZVSchema schema(L"p", L"Plant", L"");
    CZVClass* point = schema.CreateZVClass(L"Point", L"", ZVCLASSTYPE_STRUCT | ZVCLASSTYPE_DOMAIN);
    CZVProperty* origin = point->AddZVProperty(L"Origin", L"Point", L"");
    auto* copy = new CZVClass(*point);
    schema.RemoveAllClasses();
    EXPECT_EQ(origin->GetZVClass(), copy);
    delete copy;

    CZVClass* pipe = schema.CreateZVClass(L"Pipe", L"", ZVCLASSTYPE_DOMAIN);
    {
        CZVSchema other(L"o", L"Other", L"");
        *pipe = *other.CreateZVClass(L"Valve", L"", ZVCLASSTYPE_DOMAIN);
    }
    EXPECT_EQ(pipe->GetZVSchema(), &schema);
    EXPECT_EQ(pipe->FullName(), L"p:Valve");
    CZVClass loose(L"Loose", &schema, nullptr);
    CZVSchema third(L"t", L"Third", L"");
    loose = *third.CreateZVClass(L"Part", L"", ZVCLASSTYPE_DOMAIN);
    EXPECT_EQ(loose.GetZVSchema(), &third); // a class no schema holds takes the other's
}

// A relationship class added to a schema keeps the schema it was made with
// (or its source's, for a copy); when that one is destroyed first, the
// class names the schema holding it.
TEST(Copies, ARelationshipClassAddedElsewhereOutlivesTheSchemaItNamed)
{
    zvtest::ScratchFolder folder;
    CZVSchema second(L"s", L"Second", L"");
    CZVRelationshipClass* copy = nullptr;
    CZVRelationshipClass* made = nullptr;
    {
        CZVSchema first(L"f", L"First", L"");
        copy = new CZVRelationshipClass(*first.CreateZVRelationshipClass(L"Links", L"", ZVCLASSTYPE_DOMAIN));
        made = new CZVRelationshipClass(L"Made", &first, nullptr);
        second.AddZVRelationshipClass(copy);
        second.AddZVRelationshipClass(made);
        EXPECT_EQ(copy->GetZVSchema(), &first);
        EXPECT_EQ(made->GetZVSchema(), &first);
    }
    EXPECT_EQ(copy->GetZVSchema(), &second);
    EXPECT_EQ(made->GetZVSchema(), &second);
    EXPECT_EQ(made->FullName(), L"s:Made");
    EXPECT_EQ(second.WriteXML(folder.WidePath("Second.01.00.zvschema.xml").c_str()), 0);
}

// A schema assigned from one that references it keeps the reference to
// itself but never owns itself (it would then never be destroyed).
TEST(Copies, AssignmentFromASchemaReferencingThisOneOwnsNoSelf)
{
    auto* source = new CZVSchema(L"s", L"Source", L"");
    auto* target = new CZVSchema(L"r", L"Target", L"");
    CZVSchemaReference toTarget(target);
    source->AddReference(toTarget);
    *target = *source;
    EXPECT_EQ(target->GetReferencedSchema(0), target);
    delete source; // releases target; the leak checker sees whether it is gone
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

// A class shared by a schema and its copy belongs to whichever of the two is
// still alive: its name, base class, struct checks and the writer reach a
// live schema whichever is destroyed first.
TEST(Copies, SharedClassesReportALiveSchemaWhicheverSchemaGoesFirst)
{
    for (bool assigned : {false, true}) {
        SCOPED_TRACE(assigned ? "assigned" : "copy-constructed");
        auto* source = new CZVSchema(L"p", L"Plant", L"");
        CZVClass* part = source->CreateZVClass(L"Part", L"", ZVCLASSTYPE_DOMAIN);
        CZVClass* pipe = source->CreateZVClass(L"Pipe", L"", ZVCLASSTYPE_DOMAIN);
        source->CreateZVClass(L"Point", L"", ZVCLASSTYPE_STRUCT | ZVCLASSTYPE_DOMAIN);
        CZVRelationshipClass* feeds = source->CreateZVRelationshipClass(L"Feeds", L"", ZVCLASSTYPE_DOMAIN);
        feeds->m_source.m_className = L"Pipe";
        feeds->m_targets.m_classNames = {L"Part"};
        feeds->m_targets.m_keyVectors = {{}};
        auto* copy = assigned ? new CZVSchema(L"o", L"Other", L"") : new CZVSchema(*source);
        if (assigned) {
            copy->CreateZVClass(L"Old", L"", ZVCLASSTYPE_DOMAIN);
            *copy = *source;
        }
        EXPECT_EQ(pipe->GetZVSchema(), source); // shared, and still the source's
        delete source;
        EXPECT_EQ(pipe->GetZVSchema(), copy);
        EXPECT_EQ(feeds->GetZVSchema(), copy);
        EXPECT_EQ(pipe->FullName(), L"p:Pipe");
        EXPECT_EQ(feeds->FullName(), L"p:Feeds");
        pipe->SetBaseClass(L"Part");
        EXPECT_EQ(pipe->GetBaseZVClass(), part);
        pipe->AddZVProperty(L"Origin", L"Point", L"");
        const zvtest::ScratchFolder folder;
        EXPECT_EQ(copy->WriteXML(folder.WidePath("Plant.zvschema.xml").c_str()), 0);
        delete copy;
    }
}

TEST(Copies, TheSourceKeepsItsClassesWhenTheCopyGoesFirst)
{
    CZVSchema source(L"p", L"Plant", L"");
    CZVClass* pipe = source.CreateZVClass(L"Pipe", L"", ZVCLASSTYPE_DOMAIN);
    delete new CZVSchema(source);
    EXPECT_EQ(pipe->GetZVSchema(), &source);
    // A schema that lets go of its classes hands them to the copy holding them.
    CZVSchema copy(source);
    source.RemoveAllClasses();
    EXPECT_EQ(pipe->GetZVSchema(), &copy);
    // A class no schema holds keeps the schema it was made for.
    CZVClass loose(L"Loose", &source, nullptr);
    EXPECT_EQ(loose.GetZVSchema(), &source);
}

TEST(Copies, ASchemaThatReferencesItselfIsCopiedReferencingTheCopy)
{
    auto* source = new CZVSchema(L"p", L"Plant", L"");
    source->CreateZVClass(L"Pipe", L"", ZVCLASSTYPE_DOMAIN);
    CZVSchemaReference itself(source);
    source->AddReference(itself);
    CZVSchema copy(*source);
    CZVSchema assigned(L"o", L"Other", L"");
    assigned = *source;
    delete source;
    EXPECT_EQ(copy.GetReferencedSchema(0), &copy);
    EXPECT_EQ(assigned.GetReferencedSchema(0), &assigned);
    EXPECT_EQ(copy.FindZVClass(L"Valve", ZVCLASSTYPE_ANY), nullptr); // walks the references
    EXPECT_EQ(assigned.FindZVClass(L"Valve", ZVCLASSTYPE_ANY), nullptr);
}
