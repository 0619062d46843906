// The installed zvxml program, run as a user runs it: what it prints on
// standard output and standard error, and its exit status.
#include "support/scratch.h"

#include <zvxml/zvxml.h>

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
const std::string kTiny = "Tiny.01.00.zvschema.xml";

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

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) {
        parts.push_back(part);
    }
    return parts;
}

std::vector<std::string> Lines(const std::string& text) { return Split(text, '\n'); }

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

std::string Expected(const std::string& name) { return zvtest::ReadAll(fs::path(ZVXML_EXPECTED_DIR) / name); }

int StatusOf(int raw) { return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1; }

// Runs the program in the test data folder.
class CliTest : public ::testing::Test {
protected:
    std::string Program(const std::vector<std::string>& arguments) const
    {
        std::string command = Quote(ZVXML_CLI_PATH);
        for (const std::string& argument : arguments) {
            command += " " + Quote(argument);
        }
        return command;
    }

    // `redirections` may feed standard input ("< file") or set variables
    // (as a prefix, `environment`).
    CliRun Zvxml(const std::vector<std::string>& arguments, const std::string& environment = "",
                 const std::string& input = "")
    {
        std::string command = "cd " + Quote(ZVXML_TEST_DATA_DIR) + " && " + environment + " " + Program(arguments);
        if (!input.empty()) {
            command += " < " + Quote(input);
        }
        command += " > " + Quote(scratch / "out") + " 2> " + Quote(scratch / "err");
        const int raw = std::system(command.c_str());
        return CliRun{StatusOf(raw), zvtest::ReadAll(scratch / "out"), zvtest::ReadAll(scratch / "err")};
    }

    // Runs a shell command line of its own in the data folder; its exit status.
    int Shell(const std::string& line)
    {
        return StatusOf(std::system(("cd " + Quote(ZVXML_TEST_DATA_DIR) + " && " + line).c_str()));
    }

    zvtest::ScratchFolder scratch;
};

// A document of `count` instances, of which every one prints a line.
std::string ManyInstances(int count, const std::string& tail = "</ZVInstanceXML>\n")
{
    std::string text = "<ZVInstanceXML xmlns='http://www.molvane.com/schemas/Molvane.ZVXML.2.0'>\n";
    for (int i = 0; i < count; ++i) {
        text +=
            "<Sensor id='s" + std::to_string(i) + "'><Name>sensor number " + std::to_string(i) + "</Name></Sensor>\n";
    }
    return text + tail;
}

} // namespace

// ---- output that is what it claims ----

// The expected JSON lines hold escaped quotes and backslashes, a UTF-8 "é"
// and numbers; Units lives beside Plant and is found there; "-" reads
// standard input.
TEST_F(CliTest, OutputsAreWhatTheyClaim)
{
    const struct {
        std::vector<std::string> arguments;
        std::string input;
        std::string out;
    } cases[] = {
        {{"schema", "show", kTiny}, "", Expected("tiny-tree.txt")},
        {{"schema", "show", "-"}, kTiny, Expected("tiny-tree.txt")},
        {{"schema", "show", "--format", "json", kTiny}, "", Expected("tiny-schema.json")},
        {{"schema", "check", kTiny}, "", "result 0\nTiny 01.00: 2 classes, 1 relationship classes\n"},
        {{"instances", "tiny.zvinstance.xml", "--schema", kTiny, "--format", "json"}, "", Expected("tiny.jsonl")},
        {{"instances", "-", "--schema", kTiny, "--format", "json"}, "tiny.zvinstance.xml", Expected("tiny.jsonl")},
        {{"instances", kNorth, "--schema", kPlant, "--format", "count"}, "", Expected("plant-north-count.txt")},
        {{"instances", kNorth, "--schema", kPlant, "--class", "Pump", "--class", "Feeds", "--format", "count"},
         "",
         "Feeds\t3\nPump\t4\ntotal\t7\n"},
        {{"instances", kNorth, "--schema", kPlant, "--limit", "0"}, "", ""},
    };
    for (const auto& c : cases) {
        const CliRun run = Zvxml(c.arguments, "", c.input);
        EXPECT_EQ(run.status, 0) << testing::PrintToString(c.arguments) << run.err;
        EXPECT_EQ(run.out, c.out) << testing::PrintToString(c.arguments);
        EXPECT_EQ(run.err, "") << testing::PrintToString(c.arguments);
    }
    CliRun run = Zvxml({"instances", "tiny.zvinstance.xml", "--schema", kTiny});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Lines(run.out).back(), "<Wires instanceid='w1' sourceInstanceID='s1' targetInstanceID='s2'></Wires>");
    run = Zvxml({"instances", kNorth, "--schema", kPlant, "--limit", "2", "--format", "json"});
    EXPECT_EQ(run.status, 0) << run.err;
    ASSERT_EQ(Lines(run.out).size(), 2u);
    EXPECT_EQ(Lines(run.out)[1].rfind("{\"class\":\"Pump\",\"id\":\"P-102\"", 0), 0u) << run.out;
    EXPECT_EQ(Zvxml({"instances", "-", "--schema", "-"}).status, 2);
}

TEST_F(CliTest, SchemaWriteWritesAFileOrStandardOutput)
{
    const std::string written = scratch / "Tiny.01.00.zvschema.xml";
    CliRun run = Zvxml({"schema", "write", kTiny, written});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Zvxml({"schema", "show", written}).out, Expected("tiny-tree.txt"));

    run = Zvxml({"schema", "write", kTiny, "-"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, zvtest::ReadAll(written));
    EXPECT_FALSE(fs::exists(fs::path(ZVXML_TEST_DATA_DIR) / "-"));
}

// Markup characters, quotes and a line break in values and identifiers.
TEST_F(CliTest, XmlLinesAreWellFormedAndReadBackToTheSameValues)
{
    const CliRun run = Zvxml({"instances", "markup.zvinstance.xml", "--schema", kTiny});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 2u);

    ZVXML::XMLDocument sensor;
    ASSERT_TRUE(sensor.LoadXML(ZVXML::ToWString(lines[0]).c_str())) << lines[0];
    const ZVXML::XMLNode root = sensor.FirstChild();
    EXPECT_EQ(root.Attributes().at(0).value, L"a&b 'q'");
    EXPECT_EQ(root.FirstChild().Text(), L"W-2 & co");
    std::vector<std::wstring> tags;
    for (ZVXML::XMLNode tag = root.FirstChild().NextSibling().FirstChild(); tag; tag = tag.NextSibling()) {
        tags.push_back(tag.Text());
    }
    EXPECT_EQ(tags, (std::vector<std::wstring>{L"</Code>x", L"say \"hi\" <now>", L"two\nlines"}));

    ZVXML::XMLDocument wires;
    ASSERT_TRUE(wires.LoadXML(ZVXML::ToWString(lines[1]).c_str())) << lines[1];
    const std::vector<ZVXML::XMLAttribute> ends = wires.FirstChild().Attributes();
    ASSERT_EQ(ends.size(), 3u);
    EXPECT_EQ(ends[0].value, L"w<1>");
    EXPECT_EQ(ends[1].value, L"a&b 'q'");
    EXPECT_EQ(ends[2].value, L"\"s2\"");
}

// Every line of every XML output passes xmllint on its own.
TEST_F(CliTest, EveryXmlLinePassesXmllint)
{
    ASSERT_EQ(std::system("command -v xmllint > /dev/null 2>&1"), 0)
        << "xmllint is missing: scripts/install-deps.sh (run by make build) installs libxml2-utils";
    const std::vector<std::vector<std::string>> runs = {{"instances", "markup.zvinstance.xml", "--schema", kTiny},
                                                        {"instances", "tiny.zvinstance.xml", "--schema", kTiny},
                                                        {"instances", kNorth, "--schema", kPlant}};
    int checked = 0;
    for (const std::vector<std::string>& arguments : runs) {
        const CliRun run = Zvxml(arguments);
        ASSERT_EQ(run.status, 0) << run.err;
        for (const std::string& line : Lines(run.out)) {
            const std::string file = scratch.WriteFile("line.xml", line);
            EXPECT_EQ(std::system(("xmllint --noout " + Quote(file) + " 2>&1").c_str()), 0) << line;
            ++checked;
        }
    }
    EXPECT_GT(checked, 10);
}

// A full disk stops the program at its first failed write: the document's
// error at its very end is never reached.
TEST_F(CliTest, AFailedWriteStopsAtOnceAndAClosedPipeEndsQuietly)
{
    const std::string large = scratch.WriteFile("large.xml", ManyInstances(20000, "<Sensor><broken></Sensor>"));
    CliRun run = Zvxml({"instances", large, "--schema", kTiny, "--format", "json"});
    ASSERT_EQ(run.status, 1);
    EXPECT_EQ(run.err, large + ":20002:9: Unrecognized ZVProperty broken found in instance of ZVClass Sensor.\n");

    const int full =
        Shell(Program({"instances", large, "--schema", kTiny}) + " > /dev/full 2> " + Quote(scratch / "err"));
    EXPECT_EQ(full, 1);
    EXPECT_EQ(zvtest::ReadAll(scratch / "err"), "zvxml: cannot write the output: No space left on device\n");
    // The version's line is flushed as it is printed: its failure too.
    EXPECT_EQ(Shell(Program({"--version"}) + " > /dev/full 2> " + Quote(scratch / "err")), 1);
    EXPECT_EQ(zvtest::ReadAll(scratch / "err"), "zvxml: cannot write the output: No space left on device\n");

    const std::string whole = scratch.WriteFile("whole.xml", ManyInstances(20000));
    Shell("(" + Program({"instances", whole, "--schema", kTiny}) + " 2> " + Quote(scratch / "err") + "; echo $? > " +
          Quote(scratch / "status") + ") | head -n 1 > " + Quote(scratch / "out"));
    EXPECT_EQ(zvtest::ReadAll(scratch / "status"), "0\n");
    EXPECT_EQ(zvtest::ReadAll(scratch / "err"), "");
    EXPECT_EQ(zvtest::ReadAll(scratch / "out"), "<Sensor instanceid='s0'><Name>sensor number 0</Name></Sensor>\n");
}

TEST_F(CliTest, DemoShowsTheExample)
{
    CliRun run = Zvxml({"demo"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Plant 01.02  (prefix pl)  \"Process plant\""), std::string::npos);
    EXPECT_NE(run.out.find("{\"class\":\"Feeds\",\"id\":\"F-3\""), std::string::npos);
}

// ---- errors say where ----

// Each failure exits with 1 and prints one line naming its place: the file
// (or <stdin>), line and column where it has them.
TEST_F(CliTest, FailuresNameTheirPlaceAndExitWithOne)
{
    const struct {
        std::vector<std::string> arguments;
        std::string err;
        std::string input = "";
    } cases[] = {
        {{"instances", "unknown.zvinstance.xml", "--schema", kTiny},
         "unknown.zvinstance.xml:3:3: Unrecognized ZVClass: Widget\n"},
        {{"instances", "props.zvinstance.xml", "--schema", kTiny},
         "props.zvinstance.xml:5:5: Unrecognized ZVProperty Depth found in instance of ZVClass Sensor.\n"},
        {{"instances", "-", "--schema", kTiny},
         "<stdin>:5:5: Unrecognized ZVProperty Depth found in instance of ZVClass Sensor.\n",
         "props.zvinstance.xml"},
        // The reasons a whole-document parse gives, in the documented wrapping.
        {{"instances", "empty.zvinstance.xml", "--schema", kTiny},
         "empty.zvinstance.xml:1:1: ParseZVInstanceXML: COM Error: Unspecified error. Document is empty. "
         "empty.zvinstance.xml. \n"},
        {{"instances", "cut.zvinstance.xml", "--schema", kTiny},
         "cut.zvinstance.xml:5:1: ParseZVInstanceXML: COM Error: Unspecified error. Premature end of data in tag "
         "Name line 4. cut.zvinstance.xml. \n"},
        // A document whose root is not ZVInstanceXML is no empty document.
        {{"instances", kTiny, "--schema", kTiny},
         kTiny + ": not an instance document: the root element is not ZVInstanceXML\n"},
        {{"schema", "show", "Bad.01.00.zvschema.xml"},
         "Bad.01.00.zvschema.xml:6: Required attribute typeName not found on an ZVProperty\n"},
        // A misspelt class would select nothing, silently.
        {{"instances", kNorth, "--schema", kPlant, "--class", "Pmp"}, "zvxml: the schema has no class Pmp (--class)\n"},
    };
    for (const auto& c : cases) {
        const CliRun run = Zvxml(c.arguments, "", c.input);
        EXPECT_EQ(run.status, 1) << testing::PrintToString(c.arguments);
        EXPECT_EQ(run.err, c.err);
    }

    // What was delivered before the error is printed, then the error.
    CliRun run = Zvxml({"instances", "broken.zvinstance.xml", "--schema", kTiny, "--format", "json"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Lines(run.out).size(), 1u);
    EXPECT_EQ(run.err, "broken.zvinstance.xml:5:17: ParseZVInstanceXML: COM Error: Unspecified error. Opening and "
                       "ending tag mismatch: Sensor line 4 and ZVInstanceXML. broken.zvinstance.xml. \n");
    scratch.WriteFile("foreign.xml", "<Plant><Pump id='1'/></Plant>");
    run = Zvxml({"instances", scratch / "foreign.xml", "--schema", kTiny, "--format", "count"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
}

TEST_F(CliTest, UnknownClassesAndPropertiesAreSkippedWhenAskedAndTheLogShown)
{
    CliRun run = Zvxml({"instances", "unknown.zvinstance.xml", "--schema", kTiny, "--skip-unknown-classes",
                        "--skip-unknown-properties", "--format", "count", "--log-level", "info"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "Sensor\t1\ntotal\t1\n");
    EXPECT_EQ(Lines(run.err),
              (std::vector<std::string>{"unknown.zvinstance.xml:3:3: info: Skipping unrecognized ZVClass <Widget>",
                                        "unknown.zvinstance.xml: info: Imported instances: 1"}));
}

// A missing file shows the reason first; no blank line, no build path.
TEST_F(CliTest, SchemaLoadErrorsNameTheFileAndTheReason)
{
    const CliRun run = Zvxml({"schema", "show", "missing.xml"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    const std::vector<std::string> lines = Lines(run.err);
    ASSERT_EQ(lines.size(), 2u) << run.err;
    EXPECT_EQ(lines[0], "missing.xml: error: line 0, position 0 parsing ZVSchema file missing.xml. Cannot open file: "
                        "No such file or directory");
    EXPECT_EQ(lines[1].rfind("missing.xml: Error at src/schemaxml/", 0), 0u) << lines[1];
    EXPECT_EQ(lines[1].find(ZVXML_SOURCE_DIR), std::string::npos) << lines[1];
}

TEST_F(CliTest, SchemaWarningsNameTheirLineUnlessQuiet)
{
    CliRun run = Zvxml({"schema", "check", "Warn.01.00.zvschema.xml"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "Warn.01.00.zvschema.xml:5: warning: Unrecognized xml attribute: units with value='m3'.\n");
    run = Zvxml({"-q", "schema", "check", "Warn.01.00.zvschema.xml"});
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "result 0\nWarn 01.00: 1 classes, 0 relationship classes\n");
}

TEST_F(CliTest, ReferencesOfACopyAreFoundThroughPathOrTheEnvironment)
{
    fs::copy_file(kPlant, scratch.Path("Plant.01.02.zvschema.xml"));
    const std::string copy = scratch / "Plant.01.02.zvschema.xml";
    CliRun run = Zvxml({"schema", "check", copy});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(FirstLine(run.err).rfind(copy + ":10: The referenced ZVSchemaXML file 'Units.01.00.zvschema.xml' could "
                                              "not be found searching current directory plus ZVSCHEMA_PATH: '",
                                       0),
              0u)
        << run.err;
    run = Zvxml({"schema", "check", "--path", kExamples + "/schemas", copy});
    EXPECT_EQ(run.status, 0) << run.err;
    run = Zvxml({"schema", "check", copy}, "ZVSCHEMA_PATH=" + Quote(kExamples + "/schemas"));
    EXPECT_EQ(run.status, 0) << run.err;
}

// A file that two schemas reference is one schema of the load: listed once.
TEST_F(CliTest, SchemaCheckListsASharedReferenceOnce)
{
    const auto schema = [this](const std::string& name, const std::string& prefix, const std::string& references) {
        scratch.WriteFile(name + ".01.00.zvschema.xml",
                          "<ZVSchema xmlns='http://www.molvane.com/schemas/Molvane.ZVXML.2.0' schemaName='" + name +
                              "' version='1.0' nameSpacePrefix='" + prefix + "'>" + references + "</ZVSchema>");
    };
    const auto reference = [](const std::string& name, const std::string& prefix) {
        return "<ZVSchemaReference name='" + name + "' version='1.0' prefix='" + prefix + "'/>";
    };
    schema("Top", "t", reference("Left", "l") + reference("Right", "r"));
    schema("Left", "l", reference("Base", "b"));
    schema("Right", "r", reference("Base", "b"));
    schema("Base", "b", "");
    const CliRun run = Zvxml({"schema", "check", scratch / "Top.01.00.zvschema.xml"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "result 0\nTop 01.00: 0 classes, 0 relationship classes\n"
                       "Left 01.00: 0 classes, 0 relationship classes\n"
                       "Base 01.00: 0 classes, 0 relationship classes\n"
                       "Right 01.00: 0 classes, 0 relationship classes\n");
}

// ---- a command line that follows the conventions ----

TEST_F(CliTest, EveryCommandAndGroupTakesHelp)
{
    for (const char* line : {"--help", "-h", "schema --help", "schema -h", "schema show --help", "schema check -h",
                             "schema write --help", "instances --help", "import --help", "validate -h", "demo -h"}) {
        const CliRun run = Zvxml(Split(line, ' '));
        EXPECT_EQ(run.status, 0) << line << run.err;
        EXPECT_NE(run.out.find("Usage: zvxml"), std::string::npos) << run.out;
        EXPECT_EQ(run.err, "");
    }
    const CliRun top = Zvxml({"-h"});
    EXPECT_NE(top.out.find("--version"), std::string::npos);
    EXPECT_NE(top.out.find("--log-level"), std::string::npos);
    EXPECT_EQ(Zvxml({"--version"}).out, "zvxml " + std::to_string(ZVXML_VERSION_MAJOR) + "." +
                                            std::to_string(ZVXML_VERSION_MINOR) + "." +
                                            std::to_string(ZVXML_VERSION_PATCH) + "\n");
}

TEST_F(CliTest, GlobalOptionsGoBeforeOrAfterTheCommand)
{
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--log-level", "info", "instances", "tiny.zvinstance.xml", "--schema", kTiny},
          {"instances", "tiny.zvinstance.xml", "--log-level", "info", "--schema", kTiny},
          {"instances", "tiny.zvinstance.xml", "--schema", kTiny, "--log-level=info"}}) {
        const CliRun run = Zvxml(arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "tiny.zvinstance.xml: info: Imported instances: 3\n");
    }
    EXPECT_EQ(Zvxml({"schema", "check", "Warn.01.00.zvschema.xml", "-q"}).err, "");
}

// One line saying what is wrong, one saying where to read more; nothing on
// standard output.
TEST_F(CliTest, UsageMistakesExitWithTwoAndOneLine)
{
    const std::string commands = "(one of: schema, instances, import, validate, demo)";
    const std::string range = "a whole number from 0 to 999999999999999999 is expected, not ";
    const struct {
        std::vector<std::string> arguments;
        std::string mistake;
        std::string command; // whose help the second line names
    } cases[] = {
        {{}, "a command is needed " + commands, ""},
        {{"frobnicate"}, "unknown command 'frobnicate' " + commands, ""},
        {{"schema"}, "a command is needed (one of: show, check, write)", "schema "},
        {{"schema", "show"}, "FILE is required", "schema show "},
        {{"instances", "a", "--schema", "b", "--format", "yaml"},
         "--format: yaml not in {xml,json,count,zvxml}",
         "instances "},
        {{"instances", "a", "--schema", "b", "--limit", "-1"}, "--limit: " + range + "'-1'", "instances "},
        {{"validate", "a", "--schema", "b", "--max-errors", "99999999999999999999"},
         "--max-errors: " + range + "'99999999999999999999'",
         "validate "},
        // Bytes that are not UTF-8 would name another file.
        {{"schema", "write", kTiny, "out\377.xml"},
         "argument 4 is not UTF-8; file names and texts must be",
         "schema write "},
        {{"--log-level", "loud", "demo"}, "", "demo "},
    };
    for (const auto& c : cases) {
        const CliRun run = Zvxml(c.arguments);
        EXPECT_EQ(run.status, 2) << testing::PrintToString(c.arguments) << run.err;
        EXPECT_EQ(run.out, "");
        const std::string help = "Try 'zvxml " + c.command + "--help' for more information.\n";
        if (c.mistake.empty()) { // the wording is the option parser's
            EXPECT_EQ(Lines(run.err).size(), 2u) << run.err;
            EXPECT_EQ(run.err.substr(run.err.find('\n') + 1), help);
        } else {
            EXPECT_EQ(run.err, "zvxml: " + c.mistake + "\n" + help);
        }
    }
}

// ---- writing and validating instance documents ----

TEST_F(CliTest, ValidateReportsEveryFindingAsTextOrJson)
{
    const std::string checked = "Checked.01.00.zvschema.xml";
    CliRun run = Zvxml({"validate", "checked.zvinstance.xml", "--schema", checked});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");

    run = Zvxml({"validate", "checked-wrong.zvinstance.xml", "--schema", checked});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "checked-wrong.zvinstance.xml:3:3: Sensor s1: Reading: 'deep' is not a double\n"
                       "checked-wrong.zvinstance.xml:5:3: Wires w1: : the source instance 's1' has no value for the "
                       "key property Name\n"
                       "checked-wrong.zvinstance.xml:6:3: Wires w2: : the source instance 's1' has no value for the "
                       "key property Name\n"
                       "checked-wrong.zvinstance.xml:6:3: Wires w2: : the target id 's9' names no instance of the "
                       "document\n");
    EXPECT_EQ(run.err, "");

    run = Zvxml({"validate", "-", "--schema", checked, "--format", "json", "--max-errors", "1"}, "",
                "checked-wrong.zvinstance.xml");
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "{\"file\":\"<stdin>\",\"line\":3,\"column\":3,\"class\":\"Sensor\",\"id\":\"s1\","
                       "\"property\":\"Reading\",\"message\":\"'deep' is not a double\"}\n");

    EXPECT_EQ(Zvxml({"validate", "checked.zvinstance.xml", "--schema", checked, "--format", "yaml"}).status, 2);
    EXPECT_EQ(Zvxml({"validate", "checked.zvinstance.xml"}).status, 2);
    run = Zvxml({"validate", "cut.zvinstance.xml", "--schema", kTiny});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err, "");
}

// JSON lines to a document and back give the same lines; the document the
// program writes from a document is the one import writes. A number no
// double holds (1e400) stays a string, which a JSON reader takes.
TEST_F(CliTest, ImportAndZvxmlFormatRoundTrip)
{
    const std::string zeros = scratch.WriteFile(
        "zeros.zvinstance.xml", "<ZVInstanceXML xmlns='http://www.molvane.com/schemas/Molvane.ZVXML.2.0'>"
                                "<Sensor id='a'><Reading>-0</Reading></Sensor><Sensor id='b'><Reading>-0.0</Reading>"
                                "</Sensor><Sensor id='c'><Reading>1e400</Reading></Sensor></ZVInstanceXML>");
    for (const auto& [document, schema] : {std::pair<std::string, std::string>{"tiny.zvinstance.xml", kTiny},
                                           {"markup.zvinstance.xml", kTiny},
                                           {zeros, kTiny},
                                           {kNorth, kPlant}}) {
        SCOPED_TRACE(document);
        const CliRun json = Zvxml({"instances", document, "--schema", schema, "--format", "json"});
        ASSERT_EQ(json.status, 0) << json.err;
        const std::string lines = scratch.WriteFile("in.jsonl", json.out);
        const std::string written = scratch / "out.zvinstance.xml";
        CliRun run = Zvxml({"import", lines, "--schema", schema, "-o", written});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(Zvxml({"instances", written, "--schema", schema, "--format", "json"}).out, json.out);

        EXPECT_EQ(Zvxml({"import", "-", "--schema", schema}, "", lines).out, zvtest::ReadAll(written));

        // The root keeps its scope, which JSON lines do not carry.
        run = Zvxml({"instances", document, "--schema", schema, "--format", "zvxml"});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string copy = scratch.WriteFile("copy.zvinstance.xml", run.out);
        EXPECT_EQ(Zvxml({"instances", copy, "--schema", schema, "--format", "json"}).out, json.out);
    }
}

TEST_F(CliTest, ImportStopsAtALineThatDoesNotFitAndLeavesTheOutputAlone)
{
    const std::string written = scratch.WriteFile("out.zvinstance.xml", "old");
    const std::string lines = scratch / "in.jsonl";
    const std::size_t depth = 1000000;
    const std::pair<std::string, std::string> cases[] = {
        {"{\"class\":\"Sensor\",\"id\":\"s1\",\"properties\":{}}\n\n"
         "{\"class\":\"Sensor\",\"id\":\"s2\",\"properties\":{\"Colour\":\"red\"}}\n",
         ":3: class Sensor has no property Colour\n"},
        {"{\"class\":\"Sensor\",\"id\":\"s1\",\"properties\":{\"Tags\":\"x\"}}\n{\"class\":\"Sensor\"",
         ":1: property Tags is an array: an array is expected\n"},
        // A line nested a million deep ends the run, not the program.
        {"{\"class\":\"Sensor\",\"id\":\"s1\",\"properties\":{\"Where\":" + std::string(depth, '[') +
             std::string(depth, ']') + "}}\n",
         ":1: objects and arrays nested more than 512 deep\n"},
        // A NUL would cut a string where the library reads it: "P\u0000-1" and
        // "P\u0000-2" would both become P.
        {"{\"class\":\"Sensor\",\"id\":\"P\\u0000-1\",\"properties\":{}}\n",
         ":1: a string holds U+0000, a character XML 1.0 cannot carry\n"},
        // Keys the import would pass over are refused: what they hold would be lost.
        {"{\"class\":\"Sensor\",\"id\":\"s1\",\"source\":\"s0\",\"properties\":{}}\n",
         ":1: \"source\" belongs to relationship instances, and class Sensor is not a relationship class\n"},
        {"{\"class\":\"Sensor\",\"class\":\"Wires\",\"id\":\"s1\"}\n", ":1: \"class\" appears twice\n"},
        {"{\"class\":\"Sensor\",\"id\":\"s1\",\"propertes\":{\"Name\":\"a\"}}\n",
         ":1: \"propertes\" is not a key of an instance line (class, id, source, target, properties)\n"},
        // What the writer refuses is named at its line too.
        {"\n{\"class\":\"Sensor\",\"id\":\"P\\u0001\",\"properties\":{}}\n",
         ":2: Cannot write Sensor instance: its identifier holds U+0001, a character XML 1.0 cannot carry.\n"},
    };
    for (const auto& [text, err] : cases) {
        SCOPED_TRACE(err);
        scratch.WriteFile("in.jsonl", text);
        const CliRun run = Zvxml({"import", lines, "--schema", kTiny, "-o", written});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, lines + err);
        EXPECT_EQ(zvtest::ReadAll(written), "old");
    }
}
