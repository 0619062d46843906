// Failures of the environment while reading: files that cannot be read, a
// dump that cannot be written. Each ends in the documented error and leaves
// nothing behind.
#include "hostile/bounded_run.h"
#include "hostile/hostile_inputs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

using namespace zvtest;

namespace {

// Folders the unprivileged child can reach.
void OpenUp(const ScratchFolder& folder)
{
    chmod(folder.path().c_str(), 0755);
}

bool Skipped(const Outcome& outcome)
{
    return outcome.kind == Outcome::Returned && outcome.result == kCannotDropPrivileges;
}

} // namespace

TEST(HostileFaults, AnUnreadableSchemaFileFailsTheLoadCheck)
{
    ScratchFolder folder;
    OpenUp(folder);
    const std::string path = folder.WriteFile("locked.xml", SchemaFile("schemaName='L' nameSpacePrefix='l'", ""));
    chmod(path.c_str(), 0000);
    Outcome outcome = RunBounded([&] { return LoadSchemaFile(path); }, Seconds(10), Privileges::Dropped);
    if (Skipped(outcome)) {
        GTEST_SKIP() << "cannot drop privileges here";
    }
    ExpectThrow(outcome, "ZVXMLRuntimeError", "Error at ");
    EXPECT_NE(outcome.message.find("CheckXmlLoad(pXmlDoc)"), std::string::npos);
}

TEST(HostileFaults, AReferencedFileThatCannotBeReadFailsTheWholeLoad)
{
    // The file is found by name, then cannot be opened: the same path a file
    // takes that disappears between the search and the load.
    ScratchFolder folder;
    OpenUp(folder);
    const std::string referenced =
        folder.WriteFile("Ref.01.00.zvschema.xml", SchemaFile("schemaName='Ref' nameSpacePrefix='r'", ""));
    chmod(referenced.c_str(), 0000);
    const std::string path = folder.WriteFile(
        "main.xml", SchemaFile("schemaName='M' nameSpacePrefix='m'",
                               "<ZVSchemaReference name='Ref' version='01.00' prefix='r'/><ZVClass typeName='A'/>"));
    Outcome outcome =
        RunBounded([&] { return LoadSchemaFile(path, folder.path()); }, Seconds(10), Privileges::Dropped);
    if (Skipped(outcome)) {
        GTEST_SKIP() << "cannot drop privileges here";
    }
    ExpectThrow(outcome, "ZVXMLRuntimeError", "Error at ");
}

TEST(HostileFaults, ADumpThatCannotBeCreatedIsReportedAndLeavesNoFile)
{
    ScratchFolder folder;
    OpenUp(folder);
    const std::string locked = folder.path() + "/locked-tmp";
    mkdir(locked.c_str(), 0555);
    Outcome outcome = RunBounded(
        [&] {
            setenv("TMPDIR", locked.c_str(), 1);
            setenv("DO_NOT_DELETE_ZVINSTANCEXML_TEMP_FILE", "1", 1);
            return InstanceReader().ParseText(Widen(InstanceDocument("<Pump><Name>open")));
        },
        Seconds(10), Privileges::Dropped);
    if (Skipped(outcome)) {
        GTEST_SKIP() << "cannot drop privileges here";
    }
    ExpectThrow(outcome, "ZVXMLRuntimeError", "Cannot create temp file for ZVInstanceXML. filename='" + locked);
    EXPECT_TRUE(std::filesystem::is_empty(locked));
}
