// Documents that try to expand entities or reach other resources: every
// DOCTYPE is refused before any declaration in it is read.
#include "hostile/hostile.h"

#include <gtest/gtest.h>

using namespace zvtest;

namespace {

struct DoctypeCase {
    const char* name;
    std::string prologue; // "ROOT" where the root element's name goes
    std::string use; // what the document body puts where text goes
};

const DoctypeCase kCases[] = {
    {"billion laughs", BillionLaughs("ROOT"), "&lol9;"},
    // One 50 kB entity used 50,000 times: 2.5 GB without any nesting.
    {"quadratic blowup", "<?xml version='1.0'?>\n<!DOCTYPE ROOT [<!ENTITY a '" + std::string(50000, 'a') + "'>]>\n",
     Repeat("&a;", 50000)},
    {"external entity to a local file", "<!DOCTYPE ROOT [<!ENTITY secret SYSTEM 'file:///etc/passwd'>]>", "&secret;"},
    {"external entity to a loopback address", "<!DOCTYPE ROOT [<!ENTITY remote SYSTEM 'http://127.0.0.1:9/'>]>",
     "&remote;"},
    {"external DTD on a loopback address", "<!DOCTYPE ROOT SYSTEM 'http://127.0.0.1:9/schema.dtd'>", "x"},
    {"external DTD from a local file", "<!DOCTYPE ROOT SYSTEM 'file:///etc/passwd'>", "x"},
    {"a plain DOCTYPE", "<!DOCTYPE ROOT>", "x"},
};

std::string Prologue(const DoctypeCase& c, const std::string& root)
{
    std::string text = c.prologue;
    return text.replace(text.find("ROOT"), 4, root);
}

} // namespace

TEST(HostileDoctype, SchemaFilesAndInstanceDocumentsWithAnyDoctypeAreRefusedAtOnce)
{
    for (const DoctypeCase& c : kCases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        const std::string schema = Prologue(c, "ZVSchema") + "<ZVSchema xmlns='" + kNamespace +
                                   "' schemaName='S' nameSpacePrefix='s' description='" + c.use + "'/>";
        ExpectMemoryBelow(ExpectSchemaRefused(folder.WriteFile("s.xml", schema), "CheckXmlLoad(pXmlDoc)"), 64);

        const std::string document = Prologue(c, "ZVInstanceXML") + "<ZVInstanceXML xmlns='" + kNamespace +
                                     "'><Pump><Name>" + c.use + "</Name></Pump></ZVInstanceXML>";
        const std::string path = folder.WriteFile("i.xml", document);
        for (bool asFile : {false, true}) {
            const auto parse = [&] { return InstanceReader().Parse(asFile, asFile ? Widen(path) : Widen(document)); };
            ExpectMemoryBelow(ExpectInstancesRefused(parse, "DOCTYPE"), 64);
        }
    }
}
