// The installed zvxml program: outputs, exit codes and error messages.
#include "tools/json_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Quote(const std::string& argument)
{
    std::string quoted = "'";
    for (char c : argument) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

// Runs the program in the test data folder with the given arguments.
class CliTest : public ::testing::Test {
protected:
    CliTest()
    {
        std::string pattern = (fs::temp_directory_path() / "zvxml-cli-XXXXXX").string();
        scratch = mkdtemp(pattern.data());
    }
    ~CliTest() override
    {
        std::error_code ignored;
        fs::remove_all(scratch, ignored);
    }

    CliRun Zvxml(const std::vector<std::string>& arguments, const std::string& environment = "")
    {
        std::string command = "cd " + Quote(ZVXML_TEST_DATA_DIR) + " && " + environment + " " + Quote(ZVXML_CLI_PATH);
        for (const std::string& argument : arguments) {
            command += " " + Quote(argument);
        }
        command += " > " + Quote((scratch / "out").string()) + " 2> " + Quote((scratch / "err").string());
        const int raw = std::system(command.c_str());
        return CliRun{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(scratch / "out"), ReadFile(scratch / "err")};
    }

    static std::vector<std::string> Lines(const std::string& text)
    {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    static std::string Expected(const std::string& name) { return ReadFile(fs::path(ZVXML_EXPECTED_DIR) / name); }

    fs::path scratch;
};

} // namespace

TEST_F(CliTest, SchemaShowPrintsTheTree)
{
    CliRun run = Zvxml({"schema", "show", "Tiny.01.00.zvschema.xml"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, Expected("tiny-tree.txt"));
    EXPECT_EQ(run.err, "");
}

TEST_F(CliTest, SchemaCheckReportsCountsAndResultCodes)
{
    CliRun run = Zvxml({"schema", "check", "Tiny.01.00.zvschema.xml"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "result 0\nTiny 01.00: 2 classes, 1 relationship classes\n");

    run = Zvxml({"schema", "check", "foreign.zvschema.xml"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("error: Import file 'foreign.zvschema.xml' is using namespace 'urn:some-other-format'"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("result 1000\n"), std::string::npos);
}

TEST_F(CliTest, SchemaWriteProducesAFileThatShowsTheSame)
{
    const std::string written = (scratch / "Tiny.01.00.zvschema.xml").string();
    CliRun run = Zvxml({"schema", "write", "Tiny.01.00.zvschema.xml", written});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    CliRun shown = Zvxml({"schema", "show", written});
    EXPECT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(shown.out, Expected("tiny-tree.txt"));
}

TEST_F(CliTest, InstancesAsJsonLines)
{
    CliRun run = Zvxml({"instances", "tiny.zvinstance.xml", "--schema", "Tiny.01.00.zvschema.xml", "--format", "json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, Expected("tiny.jsonl"));
    std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u);
    zvtest::JsonValue first;
    std::string error;
    ASSERT_TRUE(zvtest::ParseJson(lines[0], first, error)) << error;
    const zvtest::JsonValue* properties = first.Member("properties");
    ASSERT_NE(properties, nullptr);
    EXPECT_EQ(properties->Member("Name")->text, "Inlet \"A\" \\ main");
    EXPECT_EQ(properties->Member("Tags")->items[0].text, "caf\xC3\xA9");
    // Character data is trimmed piece by piece, and a character reference is
    // a piece of its own: the tab between the two words goes.
    EXPECT_EQ(properties->Member("Tags")->items[1].text, "tabinside");
    EXPECT_EQ(properties->Member("Reading")->kind, zvtest::JsonValue::Number);
    EXPECT_EQ(properties->Member("Where")->Member("Y")->text, "-2.25");
}

TEST_F(CliTest, TheExampleStreamsAsValidJson)
{
    const std::string examples = ZVXML_EXAMPLES_DIR;
    CliRun run = Zvxml({"instances", examples + "/instances/plant-north.zvinstance.xml", "--schema",
                     examples + "/schemas/Plant.01.02.zvschema.xml", "--format", "json"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> lines = Lines(run.out);
    EXPECT_EQ(lines.size(), 28u);
    int relationships = 0;
    for (const std::string& line : lines) {
        zvtest::JsonValue value;
        std::string error;
        ASSERT_TRUE(zvtest::ParseJson(line, value, error)) << error << ": " << line;
        relationships += value.Member("source") != nullptr ? 1 : 0;
    }
    EXPECT_EQ(relationships, 11);

    CliRun counted = Zvxml({"instances", examples + "/instances/plant-north.zvinstance.xml", "--schema",
                         examples + "/schemas/Plant.01.02.zvschema.xml", "--format", "count"});
    EXPECT_EQ(counted.status, 0) << counted.err;
    EXPECT_EQ(counted.out, Expected("plant-north-count.txt"));
}

TEST_F(CliTest, InstancesInTheLibrarysTextForm)
{
    CliRun run = Zvxml({"instances", "tiny.zvinstance.xml", "--schema", "Tiny.01.00.zvschema.xml"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Lines(run.out).back(), "<Wires instanceid='w1'  sourceInstanceID='s1' targetInstanceID='s2' ></Wires>");
}

TEST_F(CliTest, DemoShowsTheExample)
{
    CliRun run = Zvxml({"demo"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Plant 01.02  (prefix pl)  \"Process plant\""), std::string::npos);
    EXPECT_NE(run.out.find("{\"class\":\"Feeds\",\"id\":\"F-3\""), std::string::npos);
}

TEST_F(CliTest, FailuresExplainThemselves)
{
    CliRun missing = Zvxml({"schema", "show", "missing.xml"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "zvxml: cannot read 'missing.xml': No such file or directory\n");
    EXPECT_EQ(missing.out, "");

    // What was delivered before the XML error is printed, then the error.
    CliRun broken = Zvxml({"instances", "broken.zvinstance.xml", "--schema", "Tiny.01.00.zvschema.xml", "--format",
                        "json"});
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(Lines(broken.out).size(), 1u);
    EXPECT_NE(broken.err.find("SAX Parser failed at line 5, column"), std::string::npos) << broken.err;
    EXPECT_NE(broken.err.find("ParseZVInstanceXML: COM Error:"), std::string::npos) << broken.err;

    CliRun unknown = Zvxml({"instances", "unknown.zvinstance.xml", "--schema", "Tiny.01.00.zvschema.xml"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.err, "zvxml: Unrecognized ZVClass: Widget\n");
    CliRun skipped = Zvxml({"instances", "unknown.zvinstance.xml", "--schema", "Tiny.01.00.zvschema.xml",
                         "--skip-unknown-classes", "--skip-unknown-properties", "--format", "count"});
    EXPECT_EQ(skipped.status, 0) << skipped.err;
    EXPECT_EQ(skipped.out, "Sensor\t1\ntotal\t1\n");
}

TEST_F(CliTest, UsageMistakesExitWithTwo)
{
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{}, {"frobnicate"}, {"schema", "show"}, {"schema", "show", "--bogus", "x"},
          {"instances", "tiny.zvinstance.xml"}, {"instances", "a", "--schema", "b", "--format", "yaml"},
          {"schema", "show", "--log-level", "loud", "x"}}) {
        CliRun run = Zvxml(arguments);
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_NE(run.err.find("usage: zvxml"), std::string::npos) << run.err;
    }
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--help"}, {"schema", "show", "--help"}, {"schema", "check", "--help"},
          {"schema", "write", "--help"}, {"instances", "--help"}, {"demo", "--help"}}) {
        CliRun run = Zvxml(arguments);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out.rfind("usage: zvxml", 0), 0u) << run.out;
    }
}

TEST_F(CliTest, LogLevelShowsTheLibrarysLines)
{
    CliRun run = Zvxml({"--log-level", "info", "instances", "tiny.zvinstance.xml", "--schema", "Tiny.01.00.zvschema.xml"});
    EXPECT_EQ(run.status, 2); // options come after the command
    run = Zvxml({"instances", "tiny.zvinstance.xml", "--schema", "Tiny.01.00.zvschema.xml", "--format", "count",
                 "--log-level", "info"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("zvxml: [info ZVXML] Imported instances: 3"), std::string::npos) << run.err;
}

TEST_F(CliTest, ReferencesAreFoundBesideTheFileAndThroughPaths)
{
    const std::string examples = ZVXML_EXAMPLES_DIR;
    // Units lives beside Plant: found without any setting.
    CliRun run = Zvxml({"schema", "check", examples + "/schemas/Plant.01.02.zvschema.xml"});
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("Units 01.00: 6 classes, 0 relationship classes"), std::string::npos) << run.out;

    // A copy of Plant alone: Units only through --path.
    fs::copy_file(examples + "/schemas/Plant.01.02.zvschema.xml", scratch / "Plant.01.02.zvschema.xml");
    const std::string copy = (scratch / "Plant.01.02.zvschema.xml").string();
    CliRun alone = Zvxml({"schema", "check", copy});
    EXPECT_EQ(alone.status, 1);
    EXPECT_NE(alone.out.find("The referenced ZVSchemaXML file 'Units.01.00.zvschema.xml' could not be found"),
              std::string::npos)
        << alone.out;
    CliRun withPath = Zvxml({"schema", "check", "--path", examples + "/schemas", copy});
    EXPECT_EQ(withPath.status, 0) << withPath.out;
    CliRun withEnvironment = Zvxml({"schema", "check", copy}, "ZVSCHEMA_PATH=" + Quote(examples + "/schemas"));
    EXPECT_EQ(withEnvironment.status, 0) << withEnvironment.out;
}
