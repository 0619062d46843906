// The installed zvxml program: outputs, exit codes and error messages.
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string kExamples = ZVXML_EXAMPLES_DIR;
const std::string kPlant = kExamples + "/schemas/Plant.01.02.zvschema.xml";
const std::string kNorth = kExamples + "/instances/plant-north.zvinstance.xml";

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

std::string Quote(const std::string& argument)
{
    std::string quoted = "'";
    for (char c : argument) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string Expected(const std::string& name) { return zvtest::ReadAll(fs::path(ZVXML_EXPECTED_DIR) / name); }

// Runs the program in the test data folder with the given arguments.
class CliTest : public ::testing::Test {
protected:
    CliRun Zvxml(const std::vector<std::string>& arguments, const std::string& environment = "")
    {
        std::string command = "cd " + Quote(ZVXML_TEST_DATA_DIR) + " && " + environment + " " + Quote(ZVXML_CLI_PATH);
        for (const std::string& argument : arguments) {
            command += " " + Quote(argument);
        }
        command += " > " + Quote(scratch / "out") + " 2> " + Quote(scratch / "err");
        const int raw = std::system(command.c_str());
        return CliRun{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, zvtest::ReadAll(scratch / "out"),
                      zvtest::ReadAll(scratch / "err")};
    }

    zvtest::ScratchFolder scratch;
};

} // namespace

TEST_F(CliTest, SchemaShowPrintsTheTree)
{
    CliRun run = Zvxml({"schema", "show", "Tiny.01.00.zvschema.xml"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, Expected("tiny-tree.txt"));
    EXPECT_EQ(run.err, "");
}

TEST_F(CliTest, SchemaWriteWritesAFileThatShowsTheSame)
{
    const std::string written = scratch / "Tiny.01.00.zvschema.xml";
    CliRun run = Zvxml({"schema", "write", "Tiny.01.00.zvschema.xml", written});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    run = Zvxml({"schema", "show", written});
    EXPECT_EQ(run.out, Expected("tiny-tree.txt"));
}

TEST_F(CliTest, SchemaCheckPrintsTheResultAndTheCounts)
{
    CliRun run = Zvxml({"schema", "check", "Tiny.01.00.zvschema.xml"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "result 0\nTiny 01.00: 2 classes, 1 relationship classes\n");
}

// The expected lines hold escaped quotes and backslashes, a UTF-8 "é", a
// number, and a tag whose tab went: character data is trimmed piece by piece
// and a character reference is a piece of its own.
TEST_F(CliTest, InstancesAsJson)
{
    CliRun run = Zvxml({"instances", "tiny.zvinstance.xml", "--schema", "Tiny.01.00.zvschema.xml", "--format", "json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, Expected("tiny.jsonl"));
}

TEST_F(CliTest, InstancesAsXmlByDefault)
{
    CliRun run = Zvxml({"instances", "tiny.zvinstance.xml", "--schema", "Tiny.01.00.zvschema.xml"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Lines(run.out).back(), "<Wires instanceid='w1'  sourceInstanceID='s1' targetInstanceID='s2' ></Wires>");
}

// Units lives beside Plant and is found there.
TEST_F(CliTest, InstancesCounted)
{
    CliRun run = Zvxml({"instances", kNorth, "--schema", kPlant, "--format", "count"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, Expected("plant-north-count.txt"));
}

TEST_F(CliTest, DemoShowsTheExample)
{
    CliRun run = Zvxml({"demo"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Plant 01.02  (prefix pl)  \"Process plant\""), std::string::npos);
    EXPECT_NE(run.out.find("{\"class\":\"Feeds\",\"id\":\"F-3\""), std::string::npos);
}

TEST_F(CliTest, AMissingFileExitsWithOne)
{
    CliRun run = Zvxml({"schema", "show", "missing.xml"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "zvxml: cannot read 'missing.xml': No such file or directory\n");
    EXPECT_EQ(run.out, "");
}

// What was delivered before the XML error is printed, then the error.
TEST_F(CliTest, AnXmlErrorExitsWithOneAfterWhatCameBefore)
{
    CliRun run =
        Zvxml({"instances", "broken.zvinstance.xml", "--schema", "Tiny.01.00.zvschema.xml", "--format", "json"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Lines(run.out).size(), 1u);
    EXPECT_NE(run.err.find("SAX Parser failed at line 5, column"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("ParseZVInstanceXML: COM Error:"), std::string::npos) << run.err;
}

TEST_F(CliTest, AnUnknownClassExitsWithOne)
{
    CliRun run = Zvxml({"instances", "unknown.zvinstance.xml", "--schema", "Tiny.01.00.zvschema.xml"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "zvxml: Unrecognized ZVClass: Widget\n");
}

TEST_F(CliTest, UnknownClassesAndPropertiesAreSkippedWhenAskedAndTheLogShown)
{
    CliRun run =
        Zvxml({"instances", "unknown.zvinstance.xml", "--schema", "Tiny.01.00.zvschema.xml", "--skip-unknown-classes",
               "--skip-unknown-properties", "--format", "count", "--log-level", "info"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Sensor\t1\ntotal\t1\n");
    EXPECT_NE(run.err.find("zvxml: [info ZVXML] Imported instances: 1"), std::string::npos) << run.err;
}

// Options come after the command.
TEST_F(CliTest, UsageMistakesExitWithTwo)
{
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{},
          {"frobnicate"},
          {"schema", "show"},
          {"instances", "a", "--schema", "b", "--format", "yaml"},
          {"--log-level", "info", "instances", "tiny.zvinstance.xml", "--schema", "Tiny.01.00.zvschema.xml"}}) {
        CliRun run = Zvxml(arguments);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find("usage: zvxml"), std::string::npos) << run.err;
    }
}

TEST_F(CliTest, HelpExitsWithZero)
{
    CliRun run = Zvxml({"instances", "--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("usage: zvxml", 0), 0u) << run.out;
}

TEST_F(CliTest, ReferencesOfACopyAreFoundThroughPathOrTheEnvironment)
{
    fs::copy_file(kPlant, scratch.Path("Plant.01.02.zvschema.xml"));
    const std::string copy = scratch / "Plant.01.02.zvschema.xml";
    CliRun run = Zvxml({"schema", "check", copy});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("The referenced ZVSchemaXML file 'Units.01.00.zvschema.xml' could not be found"),
              std::string::npos)
        << run.out;
    run = Zvxml({"schema", "check", "--path", kExamples + "/schemas", copy});
    EXPECT_EQ(run.status, 0) << run.out;
    run = Zvxml({"schema", "check", copy}, "ZVSCHEMA_PATH=" + Quote(kExamples + "/schemas"));
    EXPECT_EQ(run.status, 0) << run.out;
}
