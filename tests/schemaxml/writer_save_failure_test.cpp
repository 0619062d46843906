// Saving never leaves a half-written file: a failure keeps what was there
// and leaves no temporary file behind.
#include <zvxml/zvxml.h>

#include "schemaxml/written_tree.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace ZVXML;
using namespace zvtest;

namespace {

CZVSchema* MakeSchema()
{
    auto* schema = new CZVSchema(L"p", L"Plant", L"");
    schema->CreateZVClass(L"Pipe", L"", 1)->AddZVProperty(L"Length", L"double", L"");
    return schema;
}

// 0 when writing threw the documented checked-call error.
int WriteExpectingFailure(const std::wstring& path)
{
    std::unique_ptr<CZVSchema> schema(MakeSchema());
    try {
        schema->WriteXML(path.c_str());
        return 1;
    } catch (const ZVXMLRuntimeError& e) {
        const std::wstring message = e.Message();
        return message.rfind(L"Error at ", 0) == 0 &&
                       message.find(L"): pXmlDoc->save(_variant_t(zvSchemaXmlFile))") != std::wstring::npos
                   ? 0
                   : 2;
    } catch (...) {
        return 3;
    }
}

// Runs the write in a child process without the privileges that would let
// it ignore folder permissions (tests may run as root). -1: cannot drop them.
int InChildWithoutPrivileges(const std::wstring& path)
{
    pid_t child = fork();
    if (child == 0) {
        if (std::freopen("/dev/null", "w", stdout) == nullptr) {
            _exit(101);
        }
        if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
            _exit(100);
        }
        _exit(WriteExpectingFailure(path));
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 100) {
        return -1;
    }
    return WEXITSTATUS(status);
}

} // namespace

TEST(SchemaSave, ReplacesAnExistingFileWhole)
{
    ScratchFolder folder;
    std::ofstream(folder.Path("plant.xml")) << "old";
    std::unique_ptr<CZVSchema> schema(MakeSchema());
    ASSERT_EQ(schema->WriteXML(folder.WidePath("plant.xml").c_str()), 0);
    WrittenFile file(folder.WidePath("plant.xml"));
    EXPECT_EQ(file.Children().size(), 1u);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"plant.xml"});
}

TEST(SchemaSave, AFullDiskFailsCleanlyAndTheDeviceStays)
{
    struct stat before {};
    if (stat("/dev/full", &before) != 0 || !S_ISCHR(before.st_mode)) {
        GTEST_SKIP() << "no /dev/full on this machine";
    }
    testing::internal::CaptureStdout(); // the checked-call rule prints its message
    EXPECT_EQ(WriteExpectingFailure(L"/dev/full"), 0);
    testing::internal::GetCapturedStdout();
    struct stat after {};
    ASSERT_EQ(stat("/dev/full", &after), 0);
    EXPECT_TRUE(S_ISCHR(after.st_mode));
    EXPECT_EQ(after.st_rdev, before.st_rdev);
}

TEST(SchemaSave, AReadOnlyFolderFailsAndKeepsTheEarlierFile)
{
    ScratchFolder folder;
    std::filesystem::create_directory(folder.Path("locked"));
    const std::filesystem::path target = folder.Path("locked") / "plant.xml";
    std::ofstream(target) << "earlier";
    chmod(target.c_str(), 0644);
    chmod(folder.Path("locked").c_str(), 0555);
    chmod(folder.Path("").c_str(), 0755);
    const int result = InChildWithoutPrivileges(target.wstring());
    if (result < 0) {
        GTEST_SKIP() << "cannot drop privileges here";
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadAll(target), "earlier");
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path("locked"))) {
        left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{"plant.xml"});
}

TEST(SchemaSave, AMissingFolderFailsWithTheCheckedCallError)
{
    ScratchFolder folder;
    testing::internal::CaptureStdout();
    EXPECT_EQ(WriteExpectingFailure(folder.WidePath("missing/plant.xml")), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("Error at ", 0), 0u);
    EXPECT_TRUE(folder.Names().empty());
}
