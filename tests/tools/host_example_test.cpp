// The README's host example, run on the example files in a folder whose
// name is not ASCII, in the C locale.
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

std::string Quote(const std::string& text) { return "'" + text + "'"; }

} // namespace

TEST(HostExample, ReadsFilesUnderANonAsciiPathAndReportsWhereItFailed)
{
    const zvtest::ScratchFolder scratch;
    const std::string folder = scratch.Folder("Pl\xc3\xa4ne \xce\xa9");
    const std::string examples = ZVXML_EXAMPLES_DIR;
    for (const char* name : {"schemas/Plant.01.02.zvschema.xml", "schemas/Units.01.00.zvschema.xml",
                             "instances/plant-north.zvinstance.xml"}) {
        fs::copy_file(fs::path(examples) / name, fs::path(folder) / fs::path(name).filename());
    }
    const std::string run =
        "LC_ALL=C " + Quote(ZVXML_HOST_EXAMPLE_PATH) + " " + Quote(folder + "/Plant.01.02.zvschema.xml") + " ";
    const std::string out = scratch / "out";
    const std::string err = scratch / "err";
    int raw = std::system((run + Quote(folder + "/plant-north.zvinstance.xml") + " > " + out + " 2> " + err).c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 0) << zvtest::ReadAll(err);
    EXPECT_EQ(zvtest::ReadAll(out).rfind("<Pump instanceid='P-101' >", 0), 0u) << zvtest::ReadAll(out);

    const std::string broken = scratch.WriteFile("broken.xml", "<ZVInstanceXML "
                                                               "xmlns='http://www.molvane.com/schemas/"
                                                               "Molvane.ZVXML.2.0'>\n  <Tank><Where/></Tank>\n"
                                                               "</ZVInstanceXML>\n");
    raw = std::system((run + Quote(broken) + " > " + out + " 2> " + err).c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), 1);
    EXPECT_EQ(zvtest::ReadAll(err),
              broken + ":2:9: Unrecognized ZVProperty Where found in instance of ZVClass Tank.\n");
}
