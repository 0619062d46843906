// Well-formed content that pushes the model.
#include "hostile/hostile.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

using namespace zvtest;

// A value read as a number, and a schema file's version.
TEST(HostileModel, NumbersOfTenThousandDigitsAreRangeErrors)
{
    const std::string digits(10000, '9');
    for (bool asLong : {true, false}) {
        Outcome outcome = RunBounded(
            [&] {
                InstanceReader reader;
                ZVXML::CZVInstance pump(reader.Schema().FindZVClass(L"Pump", ZVXML::ZVCLASSTYPE_ANY));
                pump.SetPropertyValue(L"Flow", Widen(digits));
                long number = 0;
                double real = 0;
                asLong ? pump.GetPropertyValue(L"Flow", &number) : pump.GetPropertyValue(L"Flow", &real);
                return number;
            },
            Seconds(10));
        ExpectThrow(outcome, "ZVXMLRuntimeError", "Underflow or overflow while converting 9999");
    }
    ScratchFolder folder;
    const std::string path =
        folder.WriteFile("s.xml", SchemaFile("schemaName='G' nameSpacePrefix='g' version='" + digits + ".1'", ""));
    ExpectThrow(RunBounded([&] { return LoadSchemaFile(path); }, Seconds(10)), "ZVXMLFormatError",
                "CZVSchema::SetVersionString... '9999");
}

// Each repeated array element adds a value named Tags2, Tags3...; each later
// primitive element looks its value up by name. Neither may walk every value,
// nor may the name index be rebuilt for validations on another thread, which
// only read values.
TEST(HostileModel, ManyValuesInOneInstanceStayFastWhileAnotherThreadValidates)
{
    ScratchFolder folder;
    for (const std::string& body : {Repeat("<Tags><string>t</string></Tags>", 20000),
                                    Repeat("<Tags/>", 100000) + Repeat("<Name>n</Name>", 100000)}) {
        const std::string path = folder.WriteFile("values.xml", InstanceDocument("<Pump>" + body + "</Pump>"));
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
                } catch (const ZVXML::ZVXMLException&) {
                }
                done = true;
                validating.join();
                return delivered;
            },
            Seconds(20));
        ExpectReturned(outcome, 1);
    }
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

std::string LegacyPair(const std::string& source, const std::string& target)
{
    return "<ZVRelationshipConstraint><ZVSourceConstraint className='" + source + "'/><ZVTargetConstraint className='" +
           target + "'/></ZVRelationshipConstraint>";
}

std::string RelationshipClass(const std::string& content)
{
    return "<ZVRelationshipClass typeName='R'>" + content + "</ZVRelationshipClass>";
}

std::string LegacyRelationshipClass(const std::string& pairs)
{
    return RelationshipClass("<ZVRelationshipConstraints>" + pairs + "</ZVRelationshipConstraints>");
}

ZVXML::CZVRelationshipClass& TheRelationshipClass(ZVXML::CZVSchema& schema)
{
    return *schema.FindZVRelationshipClass(L"R", ZVXML::ZVCLASSTYPE_ANY);
}

// The classes of the target end, each listed once with its key.
long TargetClassCount(ZVXML::CZVSchema& schema, const std::string&)
{
    const ZVXML::CZVTargets& end = TheRelationshipClass(schema).m_targets;
    return static_cast<long>(end.m_classNames.size() == end.m_keyVectors.size() ? end.m_classNames.size() : -1);
}

} // namespace

// Many classes in one target end: legacy pairs, each naming its target
// twice, must not compare every target with every listed one; and the end's
// two lists must not be copied whole for each class added.
TEST(HostileModel, ATargetEndWithManyClassesStaysFast)
{
    const int legacyTargets = 40000;
    const auto legacy = [] {
        std::string classes;
        std::string pairs;
        for (int i = 0; i < legacyTargets; ++i) {
            classes += "<ZVClass typeName='C" + std::to_string(i) + "'/>";
            pairs += LegacyPair("C0", "C" + std::to_string(i));
        }
        return classes + LegacyRelationshipClass(pairs + pairs);
    };
    ExpectReturned(LoadGenerated(legacy, TargetClassCount), legacyTargets);

    const int targets = 100000;
    const auto listed = [] {
        std::string classes;
        for (int i = 0; i < targets; ++i) {
            classes += "<Class class='C" + std::to_string(i) + "'><Key><Property name='K'/></Key></Class>";
        }
        return "<ZVClass typeName='C'/>" +
               RelationshipClass("<Source><Class class='C'/></Source><Target>" + classes + "</Target>");
    };
    ExpectReturned(LoadGenerated(listed, TargetClassCount), targets);
}

// Legacy pairs name the bottoms of two branches eight thousand classes deep
// in turn, so the source end is generalised to Root: no pair may walk a branch.
TEST(HostileModel, LegacyPairsWithDeepSourceClassesStayFast)
{
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

// Forty thousand relationship classes, each deriving from the next: the
// writer puts every base first without recursing per base (it runs on a
// quarter megabyte stack) or searching the list per class, and the file
// reads back whole.
TEST(HostileModel, AWriteOfALongRelationshipClassChainStaysFastAndShallow)
{
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

// Each class comes before the base it names and declares P: each link makes
// the chain summaries stale, and checking P must not redo them down the chain.
TEST(HostileModel, ClassesBeforeTheirBasesSharingAPropertyNameStayFast)
{
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
