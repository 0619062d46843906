// Documents that try to expand entities or reach other resources: every
// DOCTYPE is refused before any declaration in it is read.
#include "hostile/bounded_run.h"
#include "hostile/hostile_inputs.h"

#include <gtest/gtest.h>

using namespace zvtest;

namespace {

// lol9 expands to a billion "lol"s.
std::string BillionLaughs(const std::string& root)
{
    std::string text = "<?xml version='1.0'?>\n<!DOCTYPE " + root + " [\n<!ENTITY lol0 'lol'>\n";
    for (int level = 1; level <= 9; ++level) {
        text += "<!ENTITY lol" + std::to_string(level) + " '";
        for (int i = 0; i < 10; ++i) {
            text += "&lol" + std::to_string(level - 1) + ";";
        }
        text += "'>\n";
    }
    return text + "]>\n";
}

// One 50 kB entity used 50,000 times: 2.5 GB without any nesting.
std::string QuadraticBlowup(const std::string& root)
{
    return "<?xml version='1.0'?>\n<!DOCTYPE " + root + " [<!ENTITY a '" + std::string(50000, 'a') + "'>]>\n";
}

std::string Uses(const std::string& entity, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i) {
        text += "&" + entity + ";";
    }
    return text;
}

struct DoctypeCase {
    const char* name;
    std::string (*prologue)(const std::string& root);
    std::string use; // what the document body puts where text goes
};

std::string PrologueFileEntity(const std::string& root)
{
    return "<!DOCTYPE " + root + " [<!ENTITY secret SYSTEM 'file:///etc/passwd'>]>";
}
std::string PrologueNetworkEntity(const std::string& root)
{
    return "<!DOCTYPE " + root + " [<!ENTITY remote SYSTEM 'http://127.0.0.1:9/'>]>";
}
std::string PrologueExternalDtd(const std::string& root)
{
    return "<!DOCTYPE " + root + " SYSTEM 'http://127.0.0.1:9/schema.dtd'>";
}
std::string PrologueLocalDtd(const std::string& root) { return "<!DOCTYPE " + root + " SYSTEM 'file:///etc/passwd'>"; }
std::string ProloguePlain(const std::string& root) { return "<!DOCTYPE " + root + ">"; }

const DoctypeCase kCases[] = {
    {"billion laughs", &BillionLaughs, "&lol9;"},
    {"quadratic blowup", &QuadraticBlowup, Uses("a", 50000)},
    {"external entity to a local file", &PrologueFileEntity, "&secret;"},
    {"external entity to a loopback address", &PrologueNetworkEntity, "&remote;"},
    {"external DTD on a loopback address", &PrologueExternalDtd, "x"},
    {"external DTD from a local file", &PrologueLocalDtd, "x"},
    {"a plain DOCTYPE", &ProloguePlain, "x"},
};

} // namespace

TEST(HostileDoctype, SchemaFilesWithAnyDoctypeAreRefusedAtOnce)
{
    for (const DoctypeCase& c : kCases) {
        SCOPED_TRACE(c.name);
        HostileFolder folder;
        const std::string path = folder.Write(
            "s.xml", c.prologue("ZVSchema") + "<ZVSchema xmlns='" + kNamespace +
                         "' schemaName='S' nameSpacePrefix='s' description='" + c.use + "'/>");
        Outcome outcome = RunBounded([&] { return LoadSchemaFile(path); }, Seconds(10));
        ExpectThrow(outcome, "ZVXMLRuntimeError", "Error at ");
        EXPECT_NE(outcome.message.find("CheckXmlLoad(pXmlDoc)"), std::string::npos);
        ExpectMemoryBelow(outcome, 64);
    }
}

TEST(HostileDoctype, InstanceDocumentsWithAnyDoctypeAreRefusedAtOnce)
{
    for (const DoctypeCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const std::string body = "<ZVInstanceXML xmlns='" + std::string(kNamespace) + "'><Pump><Name>" + c.use +
                                 "</Name></Pump></ZVInstanceXML>";
        const std::string document = c.prologue("ZVInstanceXML") + body;
        HostileFolder folder;
        const std::string path = folder.Write("i.xml", document);
        for (bool asFile : {false, true}) {
            Outcome outcome = RunBounded(
                [&] {
                    InstanceReader reader;
                    return asFile ? reader.ParseFile(path) : reader.ParseText(Wide(document));
                },
                Seconds(10));
            ExpectThrow(outcome, "ZVXMLRuntimeError", "ParseZVInstanceXML: COM Error: ");
            EXPECT_NE(outcome.message.find("DOCTYPE"), std::string::npos) << outcome.Describe();
            ExpectMemoryBelow(outcome, 64);
        }
    }
}
