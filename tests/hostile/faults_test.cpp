// Failures of the environment while reading: files that cannot be read, a
// dump that cannot be written. Each child runs without root's privileges,
// which would ignore the permissions.
#include "hostile/hostile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

using namespace zvtest;

#define RUN_UNPRIVILEGED(outcome, body)                                                                                \
    const Outcome outcome = RunBounded(body, Seconds(10), Privileges::Dropped);                                        \
    if (outcome.kind == Outcome::Returned && outcome.result == kCannotDropPrivileges) {                                \
        GTEST_SKIP() << "cannot drop privileges here";                                                                 \
    }

TEST(HostileFaults, AnUnreadableSchemaFileFailsTheLoadCheck)
{
    ScratchFolder folder;
    chmod(folder.path().c_str(), 0755);
    const std::string locked = folder.WriteFile("locked.xml", SchemaFile("schemaName='L' nameSpacePrefix='l'", ""));
    chmod(locked.c_str(), 0000);
    RUN_UNPRIVILEGED(outcome, [&] { return LoadSchemaFile(locked); });
    ExpectThrow(outcome, "ZVXMLRuntimeError", "Error at ");
    EXPECT_NE(outcome.message.find("CheckXmlLoad(pXmlDoc)"), std::string::npos);
}

// Found by name, then not opened: also the path of a file that vanishes
// between the search and the load.
TEST(HostileFaults, AnUnreadableReferencedFileFailsTheLoadCheck)
{
    ScratchFolder folder;
    chmod(folder.path().c_str(), 0755);
    const std::string referenced =
        folder.WriteFile("Ref.01.00.zvschema.xml", SchemaFile("schemaName='Ref' nameSpacePrefix='r'", ""));
    chmod(referenced.c_str(), 0000);
    const std::string path = folder.WriteFile(
        "main.xml", SchemaFile("schemaName='M' nameSpacePrefix='m'",
                               "<ZVSchemaReference name='Ref' version='01.00' prefix='r'/><ZVClass typeName='A'/>"));
    RUN_UNPRIVILEGED(whole, [&] { return LoadSchemaFile(path, folder.path()); });
    ExpectThrow(whole, "ZVXMLRuntimeError", "Error at ");
}

TEST(HostileFaults, ADumpThatCannotBeCreatedIsReportedAndLeavesNoFile)
{
    ScratchFolder folder;
    chmod(folder.path().c_str(), 0755);
    const std::string locked = folder.path() + "/locked-tmp";
    mkdir(locked.c_str(), 0555);
    RUN_UNPRIVILEGED(outcome, [&] {
        setenv("TMPDIR", locked.c_str(), 1);
        setenv("DO_NOT_DELETE_ZVINSTANCEXML_TEMP_FILE", "1", 1);
        return InstanceReader().ParseText(Widen(InstanceDocument("<Pump><Name>open")));
    });
    ExpectThrow(outcome, "ZVXMLRuntimeError", "Cannot create temp file for ZVInstanceXML. filename='" + locked);
    EXPECT_TRUE(std::filesystem::is_empty(locked));
}
