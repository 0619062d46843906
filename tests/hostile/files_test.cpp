// Files that cannot be read as plain files. Schema files that never end (a
// device, a symbolic link to one, a pipe fed without end) are read up to the
// cap on files that are not regular files and refused, in bounded memory; a
// pipe nobody writes to reads empty; an unreadable file fails the load check.
#include "hostile/hostile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <thread>

using namespace zvtest;

namespace {

std::wstring g_log;
void Remember(ZVXML::LOG_SEV, const wchar_t*, const wchar_t* text) { g_log += text; }

// 1 when the load of `path` is refused and the log names `reason`, 0 when it
// is refused for another reason, -1 when it loads.
long RefusedFor(const std::string& path, const std::string& searchPath, const std::wstring& reason)
{
    ZVXML::SetLoggingCallback(&Remember);
    try {
        LoadSchemaFile(path, searchPath);
    } catch (const ZVXML::ZVXMLRuntimeError&) {
        return g_log.find(reason) != std::wstring::npos ? 1 : 0;
    }
    return -1;
}

const std::wstring kCapReason = L"more than 64 MiB from a file that is not a regular file";

std::string Referencing(const std::string& referenced)
{
    return SchemaFile("schemaName='Top' nameSpacePrefix='t' version='01.00'",
                      "<ZVSchemaReference name='" + referenced + "' version='01.00' prefix='r'/>");
}

} // namespace

// The device named as the schema file, or reached through a referenced
// file that links to it.
TEST(HostileFiles, ADeviceIsReadUpToTheCap)
{
    ScratchFolder folder;
    std::filesystem::create_symlink("/dev/zero", folder.path() + "/Zero.01.00.zvschema.xml");
    const std::string top = folder.WriteFile("Top.xml", Referencing("Zero"));
    for (const std::string& path : {std::string("/dev/zero"), top}) {
        Outcome outcome = RunBounded([&] { return RefusedFor(path, folder.path(), kCapReason); }, Seconds(20));
        ExpectReturned(outcome, 1);
        ExpectMemoryBelow(outcome, 160);
    }
}

TEST(HostileFiles, APipeFedWithoutEndIsReadUpToTheCap)
{
    ScratchFolder folder;
    const std::string pipe = folder.path() + "/Endless.01.00.zvschema.xml";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string top = folder.WriteFile("Top.xml", Referencing("Endless"));
    Outcome outcome = RunBounded(
        [&] {
            std::signal(SIGPIPE, SIG_IGN); // the writer learns that all readers left from EPIPE
            // A reader that never reads lets the writer connect before the
            // load opens the pipe; closing it afterwards ends the writer.
            const int idle = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
            std::thread writer([fd = ::open(pipe.c_str(), O_WRONLY)] {
                const std::string elements = Repeat("<ZVClass typeName='Endless'/>", 2300);
                while (::write(fd, elements.data(), elements.size()) > 0) {
                }
                ::close(fd);
            });
            const long refused = RefusedFor(top, folder.path(), kCapReason);
            ::close(idle);
            writer.join();
            return refused;
        },
        Seconds(30));
    ExpectReturned(outcome, 1);
    ExpectMemoryBelow(outcome, 160);
}

// As a schema file, as an instance document to parse and as one to
// validate: each fails as an empty document does.
TEST(HostileFiles, APipeWithoutAWriterReadsAsEmptyInsteadOfWaiting)
{
    ScratchFolder folder;
    const std::string pipe = folder.path() + "/Silent.01.00.zvschema.xml";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    Outcome outcome = RunBounded([&] { return RefusedFor(pipe, "", L"Document is empty"); }, Seconds(10));
    ExpectReturned(outcome, 1);

    ExpectInstancesRefused(pipe, "Document is empty");
    ExpectInstancesRefused(
        [&] {
            InstanceReader reader;
            const auto ignore = [](void*, const ZVXML::ZVValidationFinding&) { return 0; };
            return static_cast<long>(
                ZVXML::ValidateZVInstanceXML(1, Widen(pipe).c_str(), &reader.Schema(), ignore, nullptr, 0));
        },
        "Document is empty");
}

// Read directly, or found by name as a reference and then not opened: also
// the path of a file that vanishes between the search and the load. The
// child drops root's privileges, which would ignore the permissions.
TEST(HostileFiles, AnUnreadableSchemaFileFailsTheLoadCheck)
{
    ScratchFolder folder;
    chmod(folder.path().c_str(), 0755);
    const std::string locked =
        folder.WriteFile("Ref.01.00.zvschema.xml", SchemaFile("schemaName='Ref' nameSpacePrefix='r'", ""));
    chmod(locked.c_str(), 0000);
    for (const std::string& path : {locked, folder.WriteFile("Top.xml", Referencing("Ref"))}) {
        SCOPED_TRACE(path);
        const Outcome outcome =
            RunBounded([&] { return LoadSchemaFile(path, folder.path()); }, Seconds(10), Privileges::Dropped);
        if (outcome.kind == Outcome::Returned && outcome.result == kCannotDropPrivileges) {
            GTEST_SKIP() << "cannot drop privileges here";
        }
        ExpectRefused(outcome, "Error at ", "CheckXmlLoad(pXmlDoc)");
    }
}
