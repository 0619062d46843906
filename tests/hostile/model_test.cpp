// Well-formed content that pushes the model.
#include "hostile/hostile.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

using namespace zvtest;

TEST(HostileModel, NumbersOfTenThousandDigitsAreRangeErrors)
{
    const std::wstring digits(10000, L'9');
    for (bool asLong : {true, false}) {
        Outcome outcome = RunBounded(
            [&] {
                InstanceReader reader;
                ZVXML::CZVInstance pump(reader.Schema().FindZVClass(L"Pump", ZVXML::ZVCLASSTYPE_ANY));
                pump.SetPropertyValue(L"Flow", digits);
                long number = 0;
                double real = 0;
                asLong ? pump.GetPropertyValue(L"Flow", &number) : pump.GetPropertyValue(L"Flow", &real);
                return number;
            },
            Seconds(10));
        ExpectThrow(outcome, "ZVXMLRuntimeError", "Underflow or overflow while converting 9999");
    }
}

TEST(HostileModel, NamesAboveTheBasicPlaneWork)
{
    // U+10428 DESERET SMALL LETTER LONG I, a letter outside the Basic
    // Multilingual Plane, in a class name, a property name and an element.
    const std::string letter = "\xF0\x90\x90\xA8";
    ScratchFolder folder;
    const std::string schema = folder.WriteFile(
        "Astral.01.00.zvschema.xml", SchemaFile("schemaName='Astral' nameSpacePrefix='a' version='1.0'",
                                                "<ZVClass typeName='P" + letter + "'><ZVProperty propertyName='V" +
                                                    letter + "' typeName='string'/></ZVClass>"));
    const std::string document = folder.WriteFile(
        "astral.xml", "<ZVInstanceXML xmlns='" + std::string(kNamespace) + "'><P" + letter + " id='x'><V" + letter +
                          ">text</V" + letter + "></P" + letter + "></ZVInstanceXML>");
    Outcome outcome = RunBounded(
        [&] {
            ZVXML::CZVSchema loaded(L"temporary", L"temporary", nullptr);
            if (loaded.ReadXML(Widen(schema).c_str()) != 0) {
                return -1L;
            }
            const std::wstring className = L"P" + std::wstring(1, wchar_t(0x10428));
            if (loaded.FindZVClass(className.c_str(), ZVXML::ZVCLASSTYPE_ANY) == nullptr) {
                return -2L;
            }
            ZVXML::CZVSchemaInstanceFactory factory(&loaded);
            long delivered = 0;
            auto count = [](ZVXML::CZVSchema*, void* context, ZVXML::CZVInstance* instance) {
                const std::wstring property = L"V" + std::wstring(1, wchar_t(0x10428));
                if (std::wstring(instance->GetPropertyValue(property.c_str())) == L"text") {
                    ++*static_cast<long*>(context);
                }
                return 0;
            };
            auto none = [](ZVXML::CZVSchema*, void*, ZVXML::ZVRelationshipInstance*) { return 0; };
            ZVXML::ParseZVInstanceXML(1, Widen(document).c_str(), &loaded, &delivered, nullptr, count, none, nullptr,
                                      nullptr, nullptr, &factory, 0);
            // The file the writer makes of it reads back.
            const std::wstring written = Widen(folder.path() + "/written.xml");
            loaded.WriteXML(written.c_str());
            ZVXML::CZVSchema again(L"temporary", L"temporary", nullptr);
            return delivered * 10 + again.ReadXML(written.c_str());
        },
        Seconds(10));
    ExpectReturned(outcome, 10);
}

namespace {

struct BrokenSchema {
    std::string attributes, children, type, message;
};

} // namespace

TEST(HostileModel, SchemaFilesThatBreakTheModelEndInTheirOwnError)
{
    const BrokenSchema cases[] = {
        {"version='" + std::string(10000, '1') + ".1'", "", "ZVXMLFormatError", "CZVSchema::SetVersionString... '1111"},
        {"",
         "<ZVClass typeName='A'><BaseClass>B</BaseClass></ZVClass><ZVClass typeName='B'><BaseClass>A</BaseClass>"
         "<ZVProperty propertyName='P' typeName='string'/></ZVClass>",
         "ZVXMLLogicError",
         "Attempted to set BaseClass of ZVClass 'B' to 'A', which would make the base classes of 'B' form a loop."},
        {"",
         "<ZVClass typeName='Pump'/><ZVRelationshipClass typeName='Feeds'><ZVRelationshipConstraints>"
         "<ZVRelationshipConstraint><ZVSourceConstraint className='Ghost'/><ZVTargetConstraint className='Pump'/>"
         "</ZVRelationshipConstraint></ZVRelationshipConstraints></ZVRelationshipClass>",
         "ZVXMLFormatError",
         "ZVRelationshipClass 'Feeds' refers to ZVClass 'Ghost', which does not exist in the ZVSchema 'G' or its "
         "referenced ZVSchemas."},
    };
    ScratchFolder folder;
    for (const BrokenSchema& c : cases) {
        SCOPED_TRACE(c.message);
        const std::string path =
            folder.WriteFile("s.xml", SchemaFile("schemaName='G' nameSpacePrefix='g' " + c.attributes, c.children));
        ExpectThrow(RunBounded([&] { return LoadSchemaFile(path, folder.path()); }, Seconds(10)), c.type, c.message);
    }
}

TEST(HostileModel, ARepeatedPropertyElementStaysFast)
{
    // Each repetition of an array property adds a value named Tags2, Tags3...
    // Twenty thousand must not take time proportional to their cube.
    ScratchFolder folder;
    const std::string path = folder.WriteFile(
        "repeated.xml", InstanceDocument("<Pump>" + Repeat("<Tags><string>t</string></Tags>", 20000) + "</Pump>"));
    Outcome outcome = RunBounded([&] { return InstanceReader().ParseFile(path); }, Seconds(20));
    ExpectReturned(outcome, 1);
}

TEST(HostileModel, PropertyElementsAfterManyValuesStayFast)
{
    // An instance with a hundred thousand array values (Tags, Tags2...) and
    // then as many elements of one primitive property: each element looks
    // its value up by name, which must not walk every value.
    ScratchFolder folder;
    const std::string path =
        folder.WriteFile("many_values.xml", InstanceDocument("<Pump>" + Repeat("<Tags/>", 100000) +
                                                             Repeat("<Name>n</Name>", 100000) + "</Pump>"));
    Outcome outcome = RunBounded([&] { return InstanceReader().ParseFile(path); }, Seconds(20));
    ExpectReturned(outcome, 1);
}

TEST(HostileModel, ValidatingOnAnotherThreadKeepsLookupsFast)
{
    // The name index of a large instance is rebuilt whenever a held value
    // anywhere in the process may have been renamed; merely reading values
    // (as a validation on another thread does, over and over) must not count.
    ScratchFolder folder;
    const std::string path =
        folder.WriteFile("many_values.xml", InstanceDocument("<Pump>" + Repeat("<Tags/>", 100000) +
                                                             Repeat("<Name>n</Name>", 100000) + "</Pump>"));
    Outcome outcome = RunBounded(
        [&] {
            std::atomic<bool> done{false};
            std::thread validating([&] {
                InstanceReader other;
                ZVXML::CZVInstance pump(other.Schema().FindZVClass(L"Pump", ZVXML::ZVCLASSTYPE_ANY));
                pump.SetPropertyValue(L"Name", L"n");
                while (!done) {
                    ZVXML::ValidateZVInstance(
                        &pump, [](void*, const ZVXML::ZVValidationFinding&) { return 0; }, nullptr);
                }
            });
            long delivered = -1;
            try {
                delivered = InstanceReader().ParseFile(path);
            } catch (...) {
                done = true;
                validating.join();
                throw;
            }
            done = true;
            validating.join();
            return delivered;
        },
        Seconds(20));
    ExpectReturned(outcome, 1);
}

namespace {

// Generates the schema file, loads it and inspects the schema, all in the
// child: the parent's heap, which later children inherit and count in their
// peak, never holds the text.
Outcome LoadGenerated(const std::function<std::string()>& children,
                      const std::function<long(ZVXML::CZVSchema&, const std::string&)>& inspect)
{
    ScratchFolder folder;
    return RunBounded(
        [&] {
            const std::string path =
                folder.WriteFile("generated.xml", SchemaFile("schemaName='G' nameSpacePrefix='g'", children()));
            ZVXML::CZVSchema schema(L"temporary", L"temporary", nullptr);
            schema.ReadXML(Widen(path).c_str());
            return inspect(schema, folder.path());
        },
        Seconds(20));
}

std::string LegacyRelationshipClass(const std::string& pairs)
{
    return "<ZVRelationshipClass typeName='R'><ZVRelationshipConstraints>" + pairs +
           "</ZVRelationshipConstraints></ZVRelationshipClass>";
}

std::string LegacyPair(const std::string& source, const std::string& target)
{
    return "<ZVRelationshipConstraint><ZVSourceConstraint className='" + source + "'/><ZVTargetConstraint className='" +
           target + "'/></ZVRelationshipConstraint>";
}

ZVXML::CZVRelationshipClass& TheRelationshipClass(ZVXML::CZVSchema& schema)
{
    return *schema.FindZVRelationshipClass(L"R", ZVXML::ZVCLASSTYPE_ANY);
}

} // namespace

TEST(HostileModel, ManyLegacyConstraintPairsStayFast)
{
    // Each legacy pair adds its target class to the target end unless the end
    // lists it already. Forty thousand targets, each named by two pairs, must
    // not compare every target with every listed one; the end lists each once.
    const int targets = 40000;
    const auto children = [] {
        std::string classes;
        std::string pairs;
        for (int i = 0; i < targets; ++i) {
            classes += "<ZVClass typeName='C" + std::to_string(i) + "'/>";
            pairs += LegacyPair("C0", "C" + std::to_string(i));
        }
        return classes + LegacyRelationshipClass(pairs + pairs);
    };
    Outcome outcome = LoadGenerated(children, [](ZVXML::CZVSchema& schema, const std::string&) {
        const ZVXML::CZVTargets& end = TheRelationshipClass(schema).m_targets;
        return static_cast<long>(end.m_classNames.size() == end.m_keyVectors.size() ? end.m_classNames.size() : -1);
    });
    ExpectReturned(outcome, targets);
}

TEST(HostileModel, LegacyPairsWithDeepSourceClassesStayFast)
{
    // Two branches of classes eight thousand deep under Root; the legacy
    // pairs name the bottom of each branch in turn as their source, so the
    // source end is generalised to Root. Each pair must not walk a branch.
    const int depth = 8000;
    const auto children = [] {
        std::string classes = "<ZVClass typeName='Root'/>";
        for (const char* branch : {"A", "B"}) {
            std::string base = "Root";
            for (int i = 0; i < depth; ++i) {
                const std::string name = branch + std::to_string(i);
                classes += "<ZVClass typeName='" + name + "' baseClass='" + base + "'/>";
                base = name;
            }
        }
        std::string pairs;
        for (int i = 0; i < 2 * depth; ++i) {
            pairs += LegacyPair((i % 2 == 0 ? "A" : "B") + std::to_string(depth - 1), "Root");
        }
        return classes + LegacyRelationshipClass(pairs);
    };
    Outcome outcome = LoadGenerated(children, [](ZVXML::CZVSchema& schema, const std::string&) {
        const ZVXML::CZVSource& end = TheRelationshipClass(schema).m_source;
        return static_cast<long>(end.m_className == L"Root" && end.m_isPolymorphic == 1);
    });
    ExpectReturned(outcome, 1);
}

TEST(HostileModel, ATargetEndWithManyClassesStaysFast)
{
    // A hundred thousand classes in one target end: the end's two lists must
    // not be copied whole for each class added.
    const int targets = 100000;
    const auto children = [] {
        std::string classes;
        for (int i = 0; i < targets; ++i) {
            classes += "<Class class='C" + std::to_string(i) + "'><Key><Property name='K'/></Key></Class>";
        }
        return "<ZVClass typeName='C'/><ZVRelationshipClass typeName='R'><Source><Class class='C'/></Source><Target>" +
               classes + "</Target></ZVRelationshipClass>";
    };
    Outcome outcome = LoadGenerated(children, [](ZVXML::CZVSchema& schema, const std::string&) {
        const ZVXML::CZVTargets& end = TheRelationshipClass(schema).m_targets;
        return static_cast<long>(end.m_keyVectors.size() == end.m_classNames.size() ? end.m_classNames.size() : -1);
    });
    ExpectReturned(outcome, targets);
}

TEST(HostileModel, AWriteOfALongRelationshipClassChainStaysFastAndShallow)
{
    // Forty thousand relationship classes, each deriving from the next one
    // in the file. The writer puts every base before the classes that name
    // it: it must neither recurse once per base (the write runs on a quarter
    // megabyte stack) nor search the list once per class. The written file
    // reads back whole, which it would not with a base after its class.
    const int count = 40000;
    const auto children = [] {
        std::string classes;
        for (int i = 0; i + 1 < count; ++i) {
            classes += "<ZVRelationshipClass typeName='R" + std::to_string(i) + "'><BaseClass>R" +
                       std::to_string(i + 1) + "</BaseClass></ZVRelationshipClass>";
        }
        return classes + "<ZVRelationshipClass typeName='R" + std::to_string(count - 1) + "'/>";
    };
    Outcome outcome = LoadGenerated(children, [](ZVXML::CZVSchema& schema, const std::string& folder) {
        const std::wstring written = Widen(folder + "/written.xml");
        RunOnSmallStack(256 << 10, [&] { return static_cast<long>(schema.WriteXML(written.c_str())); });
        ZVXML::CZVSchema reread(L"temporary", L"temporary", nullptr);
        reread.ReadXML(written.c_str());
        return static_cast<long>(reread.GetZVRelationshipClassCount());
    });
    ExpectReturned(outcome, count);
}

TEST(HostileModel, ClassesBeforeTheirBasesSharingAPropertyNameStayFast)
{
    // Twenty thousand classes, each before the base its BaseClass element
    // names and each declaring P, which every class derived from it has
    // too. Each link makes the chain summaries of the classes loaded so far
    // stale; checking P against those owners must not work their summaries
    // out again, each time all the way down the chain.
    const int count = 20000;
    const auto children = [] {
        std::string classes;
        for (int i = 0; i < count; ++i) {
            const std::string base = i + 1 < count ? "<BaseClass>C" + std::to_string(i + 1) + "</BaseClass>" : "";
            classes += "<ZVClass typeName='C" + std::to_string(i) + "'>" + base +
                       "<ZVProperty propertyName='P' typeName='int'/></ZVClass>";
        }
        return classes;
    };
    Outcome outcome = LoadGenerated(children, [](ZVXML::CZVSchema& schema, const std::string&) {
        // Once the chain is whole, P is taken along all of it, Q nowhere.
        ZVXML::CZVClass* derived = schema.CreateZVClass(L"D", L"", ZVXML::ZVCLASSTYPE_DOMAIN);
        derived->SetBaseClass(L"C0");
        derived->AddZVProperty(L"Q", L"int", L"");
        try {
            derived->AddZVProperty(L"P", L"int", L"");
        } catch (const ZVXML::ZVXMLDomainError&) {
            return static_cast<long>(schema.GetZVClassCount());
        }
        return -1L;
    });
    ExpectReturned(outcome, count + 1);
}
