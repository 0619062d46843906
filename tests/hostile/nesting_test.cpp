// Values a host builds nest as deep as it likes, and a struct value may even
// hold the instance it belongs to: destroying them, rendering them as text
// and writing them as custom attributes must neither overflow the stack nor
// loop for ever.
#include "hostile/hostile.h"
#include "support/expect_throw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <vector>

using namespace zvtest;

namespace {

// Node {Label: string, Child: Node, List: string[]}, usable as a struct and
// as a custom attribute.
struct Nodes {
    ZVXML::CZVSchema schema{L"n", L"Nodes", L""};
    ZVXML::CZVClass* node;
    ZVXML::CZVProperty* child;
    ZVXML::CZVProperty* list;

    Nodes()
    {
        node = schema.CreateZVClass(L"Node", L"", ZVXML::ZVCLASSTYPE_STRUCT | ZVXML::ZVCLASSTYPE_CUSTOM_ATTRIBUTE);
        node->AddZVProperty(L"Label", L"string", L"");
        child = node->AddZVProperty(L"Child", L"Node", L"");
        list = node->AddZVProperty(L"List", L"string", L"");
        list->SetMaxOccurs(L"unbounded");
    }
};

// `levels` struct values, one inside the other, under `top`; each instance
// on the way gets a primitive Label value, kept in `labels` when given.
void AddStructChain(Nodes& nodes, ZVXML::CZVInstance* top, int levels,
                    std::vector<ZVXML::ZVValueBase*>* labels = nullptr)
{
    ZVXML::CZVInstance* current = top;
    for (int i = 0; i < levels; ++i) {
        current->SetPropertyValue(L"Label", L"x");
        if (labels != nullptr) {
            labels->push_back(current->GetZVValue(current->GetZVValueCount() - 1));
        }
        auto* value = new ZVXML::ZVStructValue(nodes.child);
        current->AddZVValue(value);
        current = value->GetValue();
    }
}

ZVXML::ZVArrayValue* ArrayChain(Nodes& nodes, int levels)
{
    auto* top = new ZVXML::ZVArrayValue(nodes.list);
    ZVXML::ZVArrayValue* current = top;
    for (int i = 0; i < levels; ++i) {
        auto* inner = new ZVXML::ZVArrayValue(nodes.list);
        current->PushBack(inner);
        current = inner;
    }
    return top;
}

// The text of a schema file from its first "ZVCustomAttributes" element to
// the end of its last: the custom attributes, without the classes' texts
// that a reader completes.
std::string CustomAttributesOf(const std::string& file)
{
    const std::size_t begin = file.find("<ZVCustomAttributes>");
    const std::size_t end = file.rfind("</ZVCustomAttributes>");
    return begin != std::string::npos && end != std::string::npos ? file.substr(begin, end - begin) : std::string();
}

} // namespace

TEST(HostileNesting, ChainsOfAnyDepthAreDestroyedOnASmallStack)
{
    Outcome outcome = RunBounded(
        [] {
            return RunOnSmallStack(256 << 10, [] {
                Nodes nodes;
                auto* top = new ZVXML::CZVInstance(nodes.node);
                AddStructChain(nodes, top, 200000);
                delete top;
                delete ArrayChain(nodes, 200000);
                ZVXML::CZVSchema::FreeRecycledValues();
                return 1L;
            });
        },
        Seconds(60));
    ExpectReturned(outcome, 1);
}

// Deeper than the levels disposed of directly: every label still goes to the
// value pool, once.
TEST(HostileNesting, ADeepChainParksEachPrimitiveValueOnce)
{
    Nodes nodes;
    ZVXML::CZVSchema::FreeRecycledValues();
    std::vector<ZVXML::ZVValueBase*> labels;
    auto* top = new ZVXML::CZVInstance(nodes.node);
    AddStructChain(nodes, top, 1000, &labels);
    delete top;
    std::vector<ZVXML::ZVValueBase*> parked;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        parked.push_back(ZVXML::CZVSchema::GetRecycledZVValue(nodes.list));
    }
    const std::unique_ptr<ZVXML::ZVValueBase> fresh(ZVXML::CZVSchema::GetRecycledZVValue(nodes.list));
    std::sort(labels.begin(), labels.end());
    std::sort(parked.begin(), parked.end());
    EXPECT_EQ(parked, labels);
    EXPECT_EQ(std::find(labels.begin(), labels.end(), fresh.get()), labels.end()); // the pool was empty by then
    for (ZVXML::ZVValueBase* value : parked) {
        delete value;
    }
}

TEST(HostileNesting, TextRefusesValuesNestedPastTheLimit)
{
    const std::wstring refusal = L"Cannot render values nested deeper than 256 levels as text.";
    Nodes nodes;
    ZVXML::CZVInstance fits(nodes.node);
    AddStructChain(nodes, &fits, 255); // 256 levels of values
    std::wstring text;
    fits.AppendAsXml(text, L"");
    std::size_t children = 0;
    for (std::size_t at = text.find(L"<Child>"); at != std::wstring::npos; at = text.find(L"<Child>", at + 1)) {
        ++children;
    }
    EXPECT_EQ(children, 255u);
    EXPECT_EQ(text.compare(text.size() - 15, 15, L"</Child></Node>"), 0);

    ZVXML::CZVInstance deeper(nodes.node);
    AddStructChain(nodes, &deeper, 256);
    text.clear();
    EXPECT_ZV_THROW(deeper.AppendAsXml(text, L""), ZVXML::ZVXMLFormatError, refusal);
    EXPECT_EQ(text.compare(0, 20, L"<Node><Label>x</Labe"), 0); // what came before stays

    // A struct value that holds its own instance never ends; `holder` also
    // holds the instance, so that the loop can be undone.
    auto* holder = new ZVXML::ZVStructValue(nodes.child);
    ZVXML::CZVInstance* looped = holder->GetValue();
    auto* value = new ZVXML::ZVStructValue(nodes.child);
    looped->AddZVValue(value);
    value->SetValue(looped);
    EXPECT_ZV_THROW(looped->AppendAsXml(text, L""), ZVXML::ZVXMLFormatError, refusal);
    value->SetValue(nullptr);
    delete holder;

    ZVXML::ZVArrayValue* arrays = ArrayChain(nodes, 300);
    EXPECT_ZV_THROW(arrays->AppendAsXml(text), ZVXML::ZVXMLFormatError, refusal);
    delete arrays;
}

// An instance whose struct value holds it owns itself through that value.
// Either way out releases each object once: emptying the value destroys the
// instance, and the value with it; deleting the instance destroys the value,
// which must not release the instance again. What is kept for reuse on the
// way is freed when the thread ends (checked under AddressSanitizer).
TEST(HostileNesting, AnInstanceHeldByItsOwnStructValueIsReleasedOnce)
{
    Nodes nodes;
    for (const bool emptyTheValue : {true, false}) {
        SCOPED_TRACE(emptyTheValue ? "SetValue(NULL)" : "delete");
        std::thread([&nodes, emptyTheValue] {
            auto* instance = new ZVXML::CZVInstance(nodes.node);
            instance->SetPropertyValue(L"Label", L"kept");
            auto* value = new ZVXML::ZVStructValue(nodes.child);
            instance->AddZVValue(value);
            value->SetValue(instance);
            if (emptyTheValue) {
                value->SetValue(nullptr);
            } else {
                delete instance;
            }
        }).join();
    }
    // A copy of the instance shares the struct value, which then outlives
    // the instance it held: it must not keep pointing at it.
    auto* instance = new ZVXML::CZVInstance(nodes.node);
    auto* value = new ZVXML::ZVStructValue(nodes.child);
    instance->AddZVValue(value);
    value->SetValue(instance);
    auto* copy = new ZVXML::CZVInstance(*instance);
    delete instance;
    EXPECT_EQ(value->GetValue(), nullptr);
    delete copy;
}

TEST(HostileNesting, CustomAttributeWritingRefusesValuesNestedPastTheLimit)
{
    ScratchFolder folder;
    Nodes nodes;
    auto* attribute = new ZVXML::CZVCustomAttribute(nodes.node);
    AddStructChain(nodes, attribute, 300);
    nodes.node->AddZVCustomAttribute(attribute);
    const std::wstring path = folder.WidePath("Nodes.01.00.zvschema.xml");
    Outcome outcome = RunBounded([&] { return static_cast<long>(nodes.schema.WriteXML(path.c_str())); }, Seconds(30));
    ExpectThrow(outcome, "ZVXMLFormatError",
                "Cannot write ZVCustomAttribute 'Node' of ZVClass 'Node' of ZVSchema 'Nodes': its values nest deeper "
                "than 256 levels, more than a reader of the document accepts.");

    // A value written on its own belongs to no custom attribute.
    ZVXML::XMLDocument document;
    ASSERT_TRUE(document.LoadXML(L"<root/>"));
    std::wstring namespaceURI;
    ZVXML::ZVArrayValue* arrays = ArrayChain(nodes, 300);
    EXPECT_ZV_THROW(arrays->WriteXML(document, document.FirstChild(), namespaceURI, 0), ZVXML::ZVXMLFormatError,
                    L"Cannot write values: they nest deeper than 256 levels, more than a reader of the document "
                    L"accepts.");
    delete arrays;
}

// What counts is the level of the deepest element in the file, elements
// above the custom attribute included: at the deepest level a reader takes
// the attribute is written and reads back the same; one level more is
// refused before anything is saved.
TEST(HostileNesting, CustomAttributesAreWrittenAsDeepAsTheReaderTakesThem)
{
    ScratchFolder folder;
    const std::wstring path = folder.WidePath("Nodes.01.00.zvschema.xml");
    const std::wstring again = folder.WidePath("again.zvschema.xml");
    // Above a schema's custom attribute stand the root and
    // "ZVCustomAttributes"; above a property's, also the class and the
    // property. The attribute takes a level, each Node of the chain two (the
    // array and its member), and a Label in the last Node one more.
    const int deepest = 256;
    const struct {
        bool onProperty;
        const char* item;
        int attributeLevel;
    } places[] = {{false, "ZVSchema 'Nodes'", 3}, {true, "ZVProperty 'List' of ZVClass 'Node' of ZVSchema 'Nodes'", 5}};
    for (const auto& place : places) {
        for (bool oneLevelMore : {false, true}) {
            // The chain's last element at `deepest`, or one level below.
            const int levels = deepest + (oneLevelMore ? 1 : 0) - place.attributeLevel;
            const int nodeCount = levels / 2;
            const bool label = levels % 2 == 1;
            SCOPED_TRACE(std::string(place.item) + (oneLevelMore ? ", one level more" : ""));
            Nodes nodes;
            ZVXML::CZVProperty* kids = nodes.node->AddZVProperty(L"Kids", L"Node", L"");
            kids->SetMaxOccurs(L"unbounded");
            auto* attribute = new ZVXML::CZVCustomAttribute(nodes.node);
            ZVXML::CZVInstance* last = attribute;
            for (int i = 0; i < nodeCount; ++i) {
                auto* array = new ZVXML::ZVArrayValue(kids);
                last->AddZVValue(array);
                auto* member = new ZVXML::ZVStructValue(kids);
                array->PushBack(member);
                last = member->GetValue();
            }
            if (label) {
                last->SetPropertyValue(L"Label", L"x");
            }
            if (place.onProperty) {
                nodes.list->AddZVCustomAttribute(attribute);
            } else {
                nodes.schema.AddZVCustomAttribute(attribute);
            }
            ZVXML::CZVSchema empty{L"n", L"Nodes", L""};
            ASSERT_EQ(empty.WriteXML(path.c_str()), 0);
            const std::string before = ReadAll(folder.Path("Nodes.01.00.zvschema.xml"));
            if (oneLevelMore) {
                EXPECT_ZV_THROW(nodes.schema.WriteXML(path.c_str()), ZVXML::ZVXMLFormatError,
                                L"Cannot write ZVCustomAttribute 'Node' of " + Widen(place.item) +
                                    L": its values nest deeper than 256 levels, more than a reader of the document "
                                    L"accepts.");
                EXPECT_EQ(ReadAll(folder.Path("Nodes.01.00.zvschema.xml")), before);
                continue;
            }
            ReportingLibraryErrors([&] {
                ASSERT_EQ(nodes.schema.WriteXML(path.c_str()), 0);
                ZVXML::CZVSchema read(L"temporary", L"temporary", nullptr);
                ASSERT_EQ(read.ReadXML(path.c_str()), 0);
                ASSERT_EQ(read.WriteXML(again.c_str()), 0);
                const std::string written = CustomAttributesOf(ReadAll(folder.Path("Nodes.01.00.zvschema.xml")));
                EXPECT_FALSE(written.empty());
                EXPECT_TRUE(CustomAttributesOf(ReadAll(folder.Path("again.zvschema.xml"))) == written)
                    << "the custom attribute read back differs";
            });
        }
    }
}
