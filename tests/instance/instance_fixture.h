// A small plant schema shared by the instance tests.
#ifndef ZVXML_TESTS_INSTANCE_FIXTURE_H
#define ZVXML_TESTS_INSTANCE_FIXTURE_H

#include <zvxml/zvxml.h>

#include <gtest/gtest.h>

namespace zvtest {

// Units (prefix u) holds the struct class Extent; Plant (prefix p)
// references it and holds Point (struct), Pipe and the custom-attribute
// class Options.
class PlantSchema : public ::testing::Test {
protected:
    PlantSchema()
    {
        auto* units = new ZVXML::CZVSchema(L"u", L"Units", L"");
        extent = units->CreateZVClass(L"Extent", L"", ZVXML::ZVCLASSTYPE_STRUCT | ZVXML::ZVCLASSTYPE_DOMAIN);
        extent->AddZVProperty(L"X", L"double", L"");
        extent->AddZVProperty(L"Y", L"double", L"");
        ZVXML::CZVSchemaReference reference(units);
        plant.AddReference(reference);

        point = plant.CreateZVClass(L"Point", L"", ZVXML::ZVCLASSTYPE_STRUCT | ZVXML::ZVCLASSTYPE_DOMAIN);
        point->AddZVProperty(L"X", L"double", L"");
        point->AddZVProperty(L"Y", L"double", L"");
        pipe = plant.CreateZVClass(L"Pipe", L"", ZVXML::ZVCLASSTYPE_DOMAIN);
        diameter = pipe->AddZVProperty(L"Diameter", L"double", L"");
        count = pipe->AddZVProperty(L"Count", L"long", L"");
        tags = pipe->AddZVProperty(L"Tags", L"string", L"");
        tags->SetMaxOccurs(L"unbounded");
        origin = pipe->AddZVProperty(L"Origin", L"Point", L"");
        size = pipe->AddZVProperty(L"Size", L"Extent", L"");
        corners = pipe->AddZVProperty(L"Corners", L"Point", L"");
        corners->SetMaxOccurs(L"unbounded");

        options = plant.CreateZVClass(L"Options", L"", ZVXML::ZVCLASSTYPE_CUSTOM_ATTRIBUTE);
        options->AddZVProperty(L"Hidden", L"boolean", L"");
        options->AddZVProperty(L"Regions", L"Extent", L"")->SetMaxOccurs(L"unbounded");
        options->AddZVProperty(L"Labels", L"string", L"")->SetMinOccurs(L"0");
    }
    ~PlantSchema() override { ZVXML::CZVSchema::FreeRecycledValues(); }

    ZVXML::CZVSchema plant{L"p", L"Plant", L""};
    ZVXML::CZVClass* extent = nullptr;
    ZVXML::CZVClass* point = nullptr;
    ZVXML::CZVClass* pipe = nullptr;
    ZVXML::CZVClass* options = nullptr;
    ZVXML::CZVProperty* diameter = nullptr;
    ZVXML::CZVProperty* count = nullptr;
    ZVXML::CZVProperty* tags = nullptr;
    ZVXML::CZVProperty* origin = nullptr;
    ZVXML::CZVProperty* size = nullptr;
    ZVXML::CZVProperty* corners = nullptr;
};

} // namespace zvtest

#endif
