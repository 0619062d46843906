// A schema's reference search path serves the references of the schemas it
// loads too, at any depth.
#include <zvxml/zvxml.h>

#include "schemaxml/schema_file_support.h"

#include <gtest/gtest.h>

using namespace ZVXML;
using namespace zvtest;

TEST(ReferenceSearchPath, ServesReferencesAtEveryDepth)
{
    TempFolder elsewhere;
    WorkingDirectory cwd(elsewhere.path());
    EnvironmentVariable path("ZVSCHEMA_PATH", nullptr);
    CZVSchema top(L"temporary", L"temporary", nullptr);
    top.SetReferenceSearchPath(Widen("/nonexistent;" + DataFolder("refs")).c_str());
    ASSERT_EQ(top.ReadXML(DataFile("refs/Top.01.00.zvschema.xml").c_str()), 0);
    CZVClass* bottom = top.FindZVClass(L"BottomThing", ZVCLASSTYPE_ANY);
    ASSERT_NE(bottom, nullptr);
    EXPECT_STREQ(bottom->GetZVSchema()->GetSchemaName(), L"Bottom");
    // Middle, loaded for Top, carries the path on.
    EXPECT_EQ(std::wstring(top.GetReferencedSchema(0)->GetReferenceSearchPath()), top.GetReferenceSearchPath());
}
