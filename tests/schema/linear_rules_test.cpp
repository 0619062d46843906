// The schema answers from indexes and chain summaries what its linear rules
// answer: renaming a newcomer N2, N3, ... after a scan from the first class,
// the first class or property of a name in list order, a property name
// refused when the class or any base class has it. Each test drives a schema
// and the plain rule (worked out here from what the public accessors show)
// through the same crafted or pseudo-random sequence of changes.
#include <zvxml/zvxml.h>

#include "support/class_names.h"
#include "support/expect_throw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

using namespace ZVXML;
using zvtest::ClassNames;

namespace {

// The renaming rule as it reads: compare with every class from the first,
// rename to the original name and the next number, start again.
std::wstring LinearNewName(const std::vector<std::wstring>& taken, const std::wstring& original)
{
    std::wstring name = original;
    unsigned long counter = 2;
    while (std::find(taken.begin(), taken.end(), name) != taken.end()) {
        name = original + std::to_wstring(counter++);
    }
    return name;
}

CZVClass* LinearFindClass(const CZVSchema& schema, const std::wstring& name)
{
    for (std::size_t i = 0; i < schema.GetZVClassCount(); ++i) {
        if (schema.GetZVClassByIndex(i)->GetTypeName() == name) {
            return schema.GetZVClassByIndex(i);
        }
    }
    return nullptr;
}

CZVProperty* LinearOwnProperty(const CZVClass& zvClass, const std::wstring& name)
{
    for (std::size_t i = 0; i < zvClass.GetZVPropertyCount(); ++i) {
        if (zvClass.GetZVProperty(i)->GetPropertyName() == name) {
            return zvClass.GetZVProperty(i);
        }
    }
    return nullptr;
}

// FindProperty as it reads: own properties, then each base class in turn;
// a base met twice is a loop, reported where it is met.
CZVProperty* LinearFindProperty(CZVClass* zvClass, const std::wstring& name)
{
    if (CZVProperty* own = LinearOwnProperty(*zvClass, name)) {
        return own;
    }
    std::unordered_set<CZVClass*> seen{zvClass};
    for (CZVClass* base = zvClass->GetBaseZVClass(); base != nullptr; base = base->GetBaseZVClass()) {
        if (!seen.insert(base).second) {
            throw ZVXMLLogicError(std::wstring(L"The base classes of ZVClass '") + zvClass->GetTypeName() +
                                      L"' form a loop at '" + base->GetTypeName() + L"'.",
                                  L"");
        }
        if (CZVProperty* inherited = LinearOwnProperty(*base, name)) {
            return inherited;
        }
    }
    return nullptr;
}

// Whether `target` is `from` or one of its bases, by the plain walk.
bool LinearReaches(CZVClass* from, const CZVClass* target)
{
    for (CZVClass* current = from; current != nullptr; current = current->GetBaseZVClass()) {
        if (current == target) {
            return true;
        }
    }
    return false;
}

// What adding a property of that name does by the plain rule: the message it
// fails with, or empty.
std::wstring LinearAddFailure(CZVClass* zvClass, const std::wstring& name)
{
    try {
        if (LinearFindProperty(zvClass, name) != nullptr) {
            return L"Attempted to add duplicately named property " + name + L" to class " + zvClass->GetTypeName();
        }
    } catch (const ZVXMLException& error) {
        return error.Message();
    }
    return L"";
}

std::wstring AddFailure(CZVClass* zvClass, const std::wstring& name)
{
    const std::size_t count = zvClass->GetZVPropertyCount();
    try {
        zvClass->AddZVProperty(name, L"string", L"");
    } catch (const ZVXMLException& error) {
        EXPECT_EQ(zvClass->GetZVPropertyCount(), count) << "a refused property stays out";
        return error.Message();
    }
    return L"";
}

} // namespace

// Adds, renames (through the setter and the reference, onto taken names
// too), lookups and clearing in a pseudo-random order over a few names that
// are each other's renamed forms.
TEST(LinearRules, RandomAddsRenamesAndClearsGiveTheLinearNamesAndLookups)
{
    const std::vector<std::wstring> words = {L"Pipe", L"Pipe2", L"Pipe3", L"Pipe22", L"Pipe4", L"Valve", L"Valve2"};
    std::mt19937 random(14);
    CZVSchema schema(L"p", L"Plant", L"");
    for (int step = 0; step < 4000; ++step) {
        const std::wstring& word = words[random() % words.size()];
        const unsigned choice = random() % 100;
        const std::vector<std::wstring> before = ClassNames(schema);
        if (choice < 55) {
            const std::wstring expected = LinearNewName(before, word);
            EXPECT_STREQ(schema.CreateZVClass(word.c_str(), L"", 1)->GetTypeName(), expected.c_str()) << step;
        } else if (choice < 80 && !before.empty()) {
            CZVClass* renamed = schema.GetZVClassByIndex(random() % before.size());
            if (choice % 2 == 0) {
                renamed->SetTypeName(word);
            } else {
                renamed->TypeName() = word;
            }
        } else if (choice < 99) {
            for (const std::wstring& name : words) {
                EXPECT_EQ(schema.FindZVClass(name.c_str(), ZVCLASSTYPE_ANY), LinearFindClass(schema, name))
                    << step << ' ' << ::testing::PrintToString(name);
            }
        } else {
            schema.RemoveAllClasses();
        }
    }
    EXPECT_GT(schema.GetZVClassCount(), 0u);
}

// A class with many properties (indexed) and a copy sharing them: renames
// through the setter, the reference and assignment, removals and refused
// duplicates, against the first property of each name in list order.
TEST(LinearRules, ManyPropertiesAreFoundAsTheListOrderFindsThem)
{
    CZVSchema schema(L"p", L"Plant", L"");
    CZVClass* wide = schema.CreateZVClass(L"Wide", L"", 1);
    for (int i = 0; i < 120; ++i) {
        wide->AddZVProperty(L"P" + std::to_wstring(i), L"long", L"");
    }
    CZVClass* copy = new CZVClass(*wide);
    schema.AddZVClass(copy);
    const std::vector<std::wstring> words = {L"P1", L"P2", L"P3", L"P77", L"Q", L"R", L"P119"};
    std::mt19937 random(41);
    for (int step = 0; step < 3000; ++step) {
        const std::wstring& word = words[random() % words.size()];
        const unsigned choice = random() % 100;
        CZVClass* target = random() % 2 == 0 ? wide : copy;
        if (choice < 30 && target->GetZVPropertyCount() > 0) {
            CZVProperty* renamed = target->GetZVProperty(random() % target->GetZVPropertyCount());
            switch (choice % 3) {
            case 0:
                renamed->SetPropertyName(word);
                break;
            case 1:
                renamed->PropertyName() = word;
                break;
            default: {
                CZVProperty model(target);
                model.SetPropertyName(word);
                model.SetTypeName(renamed->GetTypeName());
                *renamed = model;
            }
            }
        } else if (choice < 45) {
            const std::wstring expected = LinearAddFailure(target, word);
            EXPECT_EQ(AddFailure(target, word), expected) << step;
        } else if (choice < 55) {
            CZVProperty* first = LinearOwnProperty(*target, word);
            const std::size_t count = target->GetZVPropertyCount();
            target->RemoveZVProperty(word.c_str());
            EXPECT_EQ(target->GetZVPropertyCount(), count - (first != nullptr ? 1 : 0));
        } else {
            for (CZVClass* zvClass : {wide, copy}) {
                for (const std::wstring& name : words) {
                    EXPECT_EQ(zvClass->FindProperty(name.c_str()), LinearOwnProperty(*zvClass, name))
                        << step << ' ' << ::testing::PrintToString(name);
                }
            }
        }
    }
}

// A forest of classes over two schemas with long chains: adding a property
// is refused exactly when the class or a base class has the name, also
// after relinking, renaming and removing; a relink that would close a loop
// is refused and changes nothing.
TEST(LinearRules, PropertyNamesAlongLongChainsAreRefusedAsAWalkRefusesThem)
{
    CZVSchema schema(L"p", L"Plant", L"");
    auto* units = new CZVSchema(L"u", L"Units", L"");
    CZVSchemaReference reference(units);
    schema.AddReference(reference);
    std::vector<CZVClass*> classes;
    for (int i = 0; i < 4; ++i) {
        CZVClass* top = units->CreateZVClass((L"Top" + std::to_wstring(i)).c_str(), L"", 1);
        top->AddZVProperty(L"N" + std::to_wstring(i), L"string", L"");
        classes.push_back(top);
    }
    std::mt19937 random(7);
    CZVClass* middle = units->CreateZVClass(L"Middle", L"", 1); // a based class of the other schema
    middle->SetBaseClass(L"Top0");
    middle->AddZVProperty(L"N9", L"string", L"");
    classes.push_back(middle);
    for (int i = 0; i < 600; ++i) {
        CZVClass* zvClass = schema.CreateZVClass((L"C" + std::to_wstring(i)).c_str(), L"", 1);
        const unsigned choice = random() % 10;
        if (choice < 7) {
            zvClass->SetBaseClass(classes.back()->FullName()); // mostly one long chain
        } else if (choice < 9) {
            zvClass->SetBaseClass(classes[random() % classes.size()]->FullName());
        }
        classes.push_back(zvClass);
    }
    auto word = [&random] { return L"N" + std::to_wstring(random() % 40); };
    auto someClass = [&] { return classes[random() % classes.size()]; };
    for (int phase = 0; phase < 2; ++phase) {
        // The second phase relinks freely, and so tries to close loops.
        for (int step = 0; step < 3000; ++step) {
            const unsigned choice = random() % 100;
            CZVClass* zvClass = someClass();
            if (choice < 60) {
                const std::wstring name = word();
                const std::wstring expected = LinearAddFailure(zvClass, name);
                EXPECT_EQ(AddFailure(zvClass, name), expected) << phase << ' ' << step;
            } else if (choice < 70 && zvClass->GetZVPropertyCount() > 0) {
                zvClass->RemoveZVProperty(zvClass->GetZVProperty(0)->GetPropertyName());
            } else if (choice < 80 && zvClass->GetZVPropertyCount() > 0) {
                zvClass->GetZVProperty(random() % zvClass->GetZVPropertyCount())->SetPropertyName(word());
            } else if (choice < 90 && zvClass->GetZVSchema() == &schema) {
                CZVClass* base = someClass();
                const bool below = std::find(classes.begin(), classes.end(), base) <
                                   std::find(classes.begin(), classes.end(), zvClass);
                if (phase == 1 && LinearReaches(base, zvClass)) {
                    CZVClass* before = zvClass->GetBaseZVClass();
                    EXPECT_THROW(zvClass->SetBaseClass(base->FullName()), ZVXMLLogicError) << step;
                    EXPECT_EQ(zvClass->GetBaseZVClass(), before) << step;
                } else if (phase == 1 || below) {
                    zvClass->SetBaseClass(base->FullName());
                }
            } else {
                const std::wstring name = word();
                CZVProperty* expected = nullptr;
                std::wstring expectedFailure;
                try {
                    expected = LinearFindProperty(zvClass, name);
                } catch (const ZVXMLException& error) {
                    expectedFailure = error.Message();
                }
                if (expectedFailure.empty()) {
                    EXPECT_EQ(zvClass->FindProperty(name.c_str()), expected) << phase << ' ' << step;
                } else {
                    EXPECT_ZV_THROW(zvClass->FindProperty(name.c_str()), ZVXMLLogicError, expectedFailure);
                }
            }
        }
    }
}

TEST(LinearRules, AClassAddedToTheListThatHoldsItIsRefused)
{
    CZVSchema schema(L"p", L"Plant", L"");
    CZVClass* pipe = schema.CreateZVClass(L"Pipe", L"", 1);
    EXPECT_ZV_THROW(schema.AddZVClass(pipe), ZVXMLLogicError, L"ZVClass 'Pipe' is already in ZVSchema 'Plant'.");
    EXPECT_EQ(ClassNames(schema), std::vector<std::wstring>{L"Pipe"});
    CZVSchema copy(schema); // another list may hold it too
    EXPECT_STREQ(copy.CreateZVClass(L"Pipe", L"", 1)->GetTypeName(), L"Pipe2");
}
