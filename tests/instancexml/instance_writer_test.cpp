// Writing instance documents: what is read back, byte-stable output, refused
// characters and the file left alone on failure.
#include "instance_parse_support.h"

#include "support/expect_throw.h"

#include "bench/instance_document_generator.h"

#include <csignal>
#include <filesystem>
#include <sstream>
#include <sys/resource.h>

namespace {

using namespace zvtest;
using Lines = std::vector<std::wstring>;

// Every instance of a document, described, in order, and the document
// written back from them.
struct ReadBack {
    Lines instances;
    std::string written;
};

struct Copier {
    ZVXML::ZVInstanceXMLWriter writer;
    Lines instances;

    static int Instance(ZVXML::CZVSchema*, void* context, ZVXML::CZVInstance* instance)
    {
        auto& self = *static_cast<Copier*>(context);
        self.instances.push_back(Describe(instance));
        self.writer.Write(instance);
        return 0;
    }
    static int Relationship(ZVXML::CZVSchema* schema, void* context, ZVXML::ZVRelationshipInstance* relationship)
    {
        return Instance(schema, context, relationship);
    }
};

ReadBack ReadAndWrite(ZVXML::CZVSchema& schema, const std::string& document)
{
    std::ostringstream out;
    Copier copier{ZVXML::ZVInstanceXMLWriter(out), {}};
    ZVXML::CZVSchemaInstanceFactory factory(&schema);
    ZVXML::ParseZVInstanceXML(0, ZVXML::ToWString(document).c_str(), &schema, &copier, nullptr, &Copier::Instance,
                              &Copier::Relationship, nullptr, nullptr, nullptr, &factory, 0);
    copier.writer.Close();
    return ReadBack{copier.instances, out.str()};
}

// Read, write, read the written text, write again: the same instances both
// times, and the same bytes.
TEST(InstanceWriterRoundTrip, GeneratedDocumentsOfBothShapesReadBackTheSame)
{
    ZVXML::CZVSchema schema(L"b", L"Bench", L"");
    zvbench::AddGeneratedClasses(schema);
    for (const auto shape : {zvbench::DocumentShape::MarkupDense, zvbench::DocumentShape::TextRich}) {
        SCOPED_TRACE(static_cast<int>(shape));
        const ReadBack first = ReadAndWrite(schema, zvbench::InstanceDocumentGenerator(shape).Text(200 * 1024));
        const ReadBack second = ReadAndWrite(schema, first.written);
        EXPECT_GT(first.instances.size(), 100u);
        EXPECT_EQ(first.instances, second.instances);
        EXPECT_EQ(first.written, second.written);
    }
    ZVXML::CZVSchema::FreeRecycledValues();
}

class InstanceWriterTest : public InstanceParseTest {
protected:
    static std::string WriteOne(ZVXML::CZVInstance& instance, const wchar_t* scope = L"s \"1\"")
    {
        std::ostringstream out;
        ZVXML::ZVInstanceXMLWriter writer(out, scope);
        writer.Write(&instance);
        writer.Close();
        return out.str();
    }
    // The instances a reader finds in `written`.
    Lines Read(const std::string& written)
    {
        recorder = Recorder();
        EXPECT_EQ(Parse(ZVXML::ToWString(written)), 0);
        return recorder.Instances();
    }

    ZVXML::CZVClass* pumpClass = schema.FindZVClass(L"Pump", ZVXML::ZVCLASSTYPE_ANY);
};

// Values the reader would take apart if they were not escaped, nested
// structs, struct arrays, a repeated property and identifiers with markup.
TEST_F(InstanceWriterTest, HostBuiltValuesComeBackAsTheyWere)
{
    using namespace ZVXML;
    CZVInstance pump(pumpClass);
    pump.SetInstanceID(L"a&b <\"c\">\t");
    pump.SetPropertyValue(L"Name", L"x < y & z > w ]]> \"q\" 'a' line\r\nend \U0001F600 \u00e9");
    pump.SetPropertyValue(L"Flow", 1.5);
    auto* tags = new ZVArrayValue(pumpClass->FindProperty(L"Tags"));
    tags->PushBack(new CZVValue(tags->GetProperty(), L"one"));
    tags->PushBack(new CZVValue(tags->GetProperty(), L""));
    pump.AddZVValue(tags);
    auto* origin = new ZVStructValue(pumpClass->FindProperty(L"Origin"));
    origin->GetValue()->SetPropertyValue(L"X", L"1");
    auto* size = new ZVStructValue(origin->GetValue()->GetZVClass()->FindProperty(L"Size"));
    size->GetValue()->SetPropertyValue(L"W", L"2");
    origin->GetValue()->AddZVValue(size);
    pump.AddZVValue(origin);
    auto* corners = new ZVArrayValue(pumpClass->FindProperty(L"Corners"));
    corners->PushBack(new ZVStructValue(corners->GetProperty()));
    auto* corner = new ZVStructValue(corners->GetProperty());
    corner->GetValue()->SetPropertyValue(L"Y", L"7");
    corners->PushBack(corner);
    pump.AddZVValue(corners);
    pump.AddZVValue(new ZVArrayValue(pumpClass->FindProperty(L"Tags"))); // a second Tags: "Tags2"

    ZVRelationshipInstance connects(schema.FindZVRelationshipClass(L"Connects", ZVCLASSTYPE_ANY));
    connects.SetInstanceID(L"");
    connects.SetSourceID(L"a&b <\"c\">\t");
    connects.SetTargetID(L"line\nbreak");

    std::ostringstream out;
    ZVInstanceXMLWriter writer(out, L"s \"1\"");
    writer.Write(&pump);
    writer.Write(&connects);
    EXPECT_EQ(writer.GetInstanceCount(), 2u);
    writer.Close();
    EXPECT_EQ(Read(out.str()), (Lines{L"instance " + Describe(&pump), L"relationship " + Describe(&connects)}));
    EXPECT_EQ(recorder.events.front(), L"begin s \"1\"");
}

TEST_F(InstanceWriterTest, EmptyValuesAndNullsAreWrittenAsTheReaderTakesThem)
{
    using namespace ZVXML;
    CZVInstance pump(pumpClass);
    pump.SetInstanceID(L"P1");
    pump.AddZVValue(new CZVValue(pumpClass->FindProperty(L"Name"), nullptr)); // null: left out
    pump.SetPropertyValue(L"Flow", L"");
    auto* tags = new ZVArrayValue(pumpClass->FindProperty(L"Tags"));
    tags->PushBack(nullptr);
    pump.AddZVValue(tags);
    EXPECT_EQ(WriteOne(pump), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                              "<ZVInstanceXML xmlns=\"http://www.molvane.com/schemas/Molvane.ZVXML.2.0\" "
                              "scope=\"s &quot;1&quot;\">\n"
                              "  <Pump id=\"P1\">\n"
                              "    <Flow/>\n"
                              "    <Tags>\n"
                              "      <string/>\n"
                              "    </Tags>\n"
                              "  </Pump>\n"
                              "</ZVInstanceXML>\n");
}

// A NUL inside a string is a character too, not the string's end. A
// refused instance leaves nothing behind: the writer goes on.
TEST_F(InstanceWriterTest, CharacterXmlCannotCarryIsRefusedNamingWhereItIs)
{
    using namespace ZVXML;
    CZVInstance good(pumpClass);
    good.SetInstanceID(L"P0");
    CZVInstance bad(pumpClass);
    bad.SetInstanceID(L"P1");
    auto* origin = new ZVStructValue(pumpClass->FindProperty(L"Origin"));
    origin->GetValue()->SetPropertyValue(L"X", L"1\x02");
    bad.AddZVValue(origin);

    std::ostringstream out;
    ZVInstanceXMLWriter writer(out);
    writer.Write(&good);
    const std::wstring cannotCarry = L", a character XML 1.0 cannot carry.";
    EXPECT_ZV_THROW(writer.Write(&bad), ZVXMLFormatError,
                    L"Cannot write ZVProperty 'X' of ZVProperty 'Origin' of Pump instance 'P1': its value holds "
                    L"U+0002" +
                        cannotCarry);
    bad.RemoveAllZVValues();
    for (const auto& [id, character] :
         {std::pair(std::wstring(L"P\xFFFE"), L"U+FFFE"), std::pair(std::wstring(L"P\0x", 3), L"U+0000")}) {
        bad.SetInstanceID(id);
        EXPECT_ZV_THROW(writer.Write(&bad), ZVXMLFormatError,
                        L"Cannot write Pump instance: its identifier holds " + std::wstring(character) + cannotCarry);
    }
    bad.SetInstanceID(L"P1");
    bad.SetPropertyValue(L"Name", std::wstring(L"a\0b", 3));
    EXPECT_ZV_THROW(writer.Write(&bad), ZVXMLFormatError,
                    L"Cannot write ZVProperty 'Name' of Pump instance 'P1': its value holds U+0000" + cannotCarry);
    writer.Write(&good);
    writer.Close();
    EXPECT_EQ(writer.GetInstanceCount(), 2u);
    EXPECT_EQ(Read(out.str()), (Lines{L"instance Pump#P0{}", L"instance Pump#P0{}"}));
}

// Elements a reader would take for something else are refused: a class
// named "Project" (the element that groups instances), and a plain instance
// of a relationship class (read as a relationship, without its ends), and a
// second value of a primitive property (read as a new text for the first).
TEST_F(InstanceWriterTest, InstancesAReaderWouldMisreadAreRefused)
{
    using namespace ZVXML;
    CZVClass* project = schema.CreateZVClass(L"Project", L"", ZVCLASSTYPE_DOMAIN);
    project->AddZVProperty(L"Budget", L"double", L"");
    CZVInstance grouping(project);
    grouping.SetInstanceID(L"PR1");
    grouping.SetPropertyValue(L"Budget", L"12.5");
    CZVInstance plain(schema.FindZVRelationshipClass(L"Connects", ZVCLASSTYPE_ANY));
    plain.SetInstanceID(L"C9");
    CZVInstance good(pumpClass);
    good.SetInstanceID(L"P0");
    CZVInstance twice(pumpClass);
    twice.SetInstanceID(L"P1");
    auto* origin = new ZVStructValue(pumpClass->FindProperty(L"Origin"));
    twice.AddZVValue(origin);
    origin->GetValue()->SetPropertyValue(L"X", L"1");
    origin->GetValue()->AddZVValue(
        new CZVValue(schema.FindZVClass(L"Point", ZVCLASSTYPE_ANY)->FindProperty(L"X"), L"2"));
    twice.AddZVValue(new CZVValue(pumpClass->FindProperty(L"Name"), L"n")); // one per holder is fine

    std::ostringstream out;
    ZVInstanceXMLWriter writer(out);
    writer.Write(&good);
    EXPECT_ZV_THROW(writer.Write(&grouping), ZVXMLFormatError,
                    L"Cannot write Project instance: its type name 'Project' names the element that groups "
                    L"instances.");
    EXPECT_ZV_THROW(writer.Write(&plain), ZVXMLFormatError,
                    L"Cannot write Connects instance: an instance of a relationship class is written as a "
                    L"ZVRelationshipInstance, with its ends.");
    EXPECT_ZV_THROW(writer.Write(&twice), ZVXMLFormatError,
                    L"Cannot write ZVProperty 'X' of ZVProperty 'Origin' of Pump instance 'P1': it is a second "
                    L"value of a primitive property, which a reader takes as a new text for the first.");
    writer.Close();
    EXPECT_EQ(writer.GetInstanceCount(), 1u);
    EXPECT_EQ(Read(out.str()), Lines{L"instance Pump#P0{}"});
}

// A reader finds a value's property by the element's name in the class of
// the instance holding it and reads the element as that property's kind: a
// value that does not fit would come back as something else, or stop the
// reading of this instance and of every later one.
TEST_F(InstanceWriterTest, ValuesThatDoNotFitWhatAReaderFindsAreRefused)
{
    using namespace ZVXML;
    CZVProperty* tags = pumpClass->FindProperty(L"Tags");
    CZVProperty* origin = pumpClass->FindProperty(L"Origin");
    auto* arrayInArray = new ZVArrayValue(tags);
    arrayInArray->PushBack(new ZVArrayValue(tags));
    auto* structInStrings = new ZVArrayValue(tags);
    structInStrings->PushBack(new ZVStructValue(origin));
    const std::pair<ZVValueBase*, std::wstring> cases[] = {
        {new CZVValue(tags, L"one"),
         L"ZVProperty 'Tags' of Pump instance 'P1': it holds a single value where the property is an array"},
        {new CZVValue(origin, L"1,2"), L"ZVProperty 'Origin' of Pump instance 'P1': it holds a primitive value where "
                                       L"the property is of a struct class"},
        {new ZVArrayValue(pumpClass->FindProperty(L"Name")),
         L"ZVProperty 'Name' of Pump instance 'P1': it holds an array where the property takes a single value"},
        {new ZVStructValue(pumpClass->FindProperty(L"Corners")),
         L"ZVProperty 'Corners' of Pump instance 'P1': it holds a single value where the property is an array"},
        {arrayInArray, L"member of ZVProperty 'Tags' of Pump instance 'P1': it holds an array where the property's "
                       L"members are single values"},
        {structInStrings, L"member of ZVProperty 'Tags' of Pump instance 'P1': it holds a struct where the property is "
                          L"of a primitive type"},
        {new CZVValue(schema.FindZVClass(L"Point", ZVCLASSTYPE_ANY)->FindProperty(L"Size"), L"1"),
         L"ZVProperty 'Size' of Pump instance 'P1': its instance's class Pump has no property of that name"},
    };
    for (const auto& [value, message] : cases) {
        CZVInstance pump(pumpClass);
        pump.SetInstanceID(L"P1");
        pump.AddZVValue(value);
        EXPECT_ZV_THROW(WriteOne(pump), ZVXMLFormatError,
                        L"Cannot write " + message + L", so a reader would not read it back.");
    }
    CZVSchema::FreeRecycledValues();
}

// A type or property name is written only when a reader reads it back as
// that element: by the current XML name rules (which take more than the
// older ones, and less than the schema's naming rule) and within libxml2's
// length for a name.
TEST_F(InstanceWriterTest, OnlyNamesAReaderReadsAreWrittenAsElements)
{
    using namespace ZVXML;
    const std::wstring longest(50000, L'n');
    for (const std::wstring& name :
         {std::wstring(L"\u01C4x"), std::wstring(L"\U0001D400"), std::wstring(L"a_1"), longest}) {
        SCOPED_TRACE(ToUtf8(name.substr(0, 10)));
        CZVClass* named = schema.CreateZVClass(name.c_str(), L"", ZVCLASSTYPE_DOMAIN);
        named->AddZVProperty(L"Flow", L"double", L"");
        CZVInstance instance(named);
        instance.SetInstanceID(L"N1");
        instance.SetPropertyValue(L"Flow", L"1.5");
        EXPECT_EQ(Read(WriteOne(instance)), Lines{L"instance " + name + L"#N1{Flow=1.5}"});
    }
    for (const std::wstring& name :
         {std::wstring(L"\u24B6x"), std::wstring(L"1Pump"), std::wstring(L"P;Q"), longest + L"n"}) {
        SCOPED_TRACE(ToUtf8(name.substr(0, 10)));
        CZVInstance instance(pumpClass);
        instance.TypeName() = name;
        EXPECT_ZV_THROW(WriteOne(instance), ZVXMLFormatError,
                        L"Cannot write " + name + L" instance: its type name '" + name +
                            L"' cannot be an element name.");
    }
}

// The deepest structs a reader takes are written and read back; one level
// more, or structs that hold their own instance, are refused.
TEST_F(InstanceWriterTest, StructsNestedDeeperThanAReaderTakesAreRefused)
{
    using namespace ZVXML;
    CZVProperty* next = schema.CreateZVClass(L"Node", L"", ZVCLASSTYPE_STRUCT | ZVCLASSTYPE_DOMAIN)
                            ->AddZVProperty(L"Next", L"Node", L"");
    CZVInstance pump(pumpClass);
    pump.SetInstanceID(L"P1");
    auto* chain = new ZVStructValue(pumpClass->AddZVProperty(L"Chain", L"Node", L""));
    pump.AddZVValue(chain);
    CZVInstance* last = chain->GetValue();
    // The root, the instance and Chain are three of the reader's 256 levels.
    for (int level = 4; level <= 256; ++level) {
        auto* deeper = new ZVStructValue(next);
        last->AddZVValue(deeper);
        last = deeper->GetValue();
    }
    EXPECT_EQ(Read(WriteOne(pump)), Lines{L"instance " + Describe(&pump)});

    const auto refusal = [](const std::wstring& id) {
        return L"Cannot write Pump instance '" + id +
               L"': its values nest deeper than 256 element levels, more than a reader of the document accepts.";
    };
    last->AddZVValue(new ZVStructValue(next));
    EXPECT_ZV_THROW(WriteOne(pump), ZVXMLFormatError, refusal(L"P1"));

    CZVInstance* first = chain->GetValue();
    first->RemoveAllZVValues();
    auto* loop = new ZVStructValue(next);
    first->AddZVValue(loop);
    loop->SetValue(first); // Chain holds a Node whose Next holds that Node again
    EXPECT_ZV_THROW(WriteOne(pump), ZVXMLFormatError, refusal(L"P1"));
    loop->SetValue(nullptr);

    // An array and its member are a level each: Nodes nested in Nodes arrays.
    CZVProperty* kids = schema.FindZVClass(L"Node", ZVCLASSTYPE_ANY)->AddZVProperty(L"Kids", L"Node", L"");
    kids->SetMaxOccurs(L"unbounded");
    CZVProperty* items = pumpClass->AddZVProperty(L"Items", L"Node", L"");
    items->SetMaxOccurs(L"unbounded");
    CZVInstance holder(pumpClass);
    holder.SetInstanceID(L"P2");
    auto* array = new ZVArrayValue(items);
    holder.AddZVValue(array);
    CZVInstance* member = nullptr;
    for (int level = 4; level <= 256; level += 2) { // the root, the instance, then array and member
        auto* node = new ZVStructValue(kids);
        array->PushBack(node);
        member = node->GetValue();
        array = new ZVArrayValue(kids);
        member->AddZVValue(array);
    }
    member->RemoveAllZVValues(); // an empty Kids would take level 257
    EXPECT_EQ(Read(WriteOne(holder)), Lines{L"instance " + Describe(&holder)});
    member->AddZVValue(new ZVArrayValue(kids));
    EXPECT_ZV_THROW(WriteOne(holder), ZVXMLFormatError, refusal(L"P2"));
}

// A reader refuses a text of more than 10,000,000 bytes (é takes two) and a
// start tag of about that length: the writer refuses them rather than
// write a document that loses this instance and every later one.
TEST_F(InstanceWriterTest, TextsLongerThanAReaderTakesAreRefused)
{
    using namespace ZVXML;
    CZVInstance pump(pumpClass);
    pump.SetInstanceID(L"P1");
    pump.SetPropertyValue(L"Name", std::wstring(5000000, L'\u00E9'));
    EXPECT_EQ(Read(WriteOne(pump)).size(), 1u);
    pump.PropertyValue(L"Name") += L"x";
    EXPECT_ZV_THROW(WriteOne(pump), ZVXMLFormatError,
                    L"Cannot write ZVProperty 'Name' of Pump instance 'P1': its value is longer than 10000000 bytes, "
                    L"more than a reader of the document accepts.");

    pump.RemoveAllZVValues();
    pump.SetInstanceID(std::wstring(9950000, L'&')); // written as &amp;
    EXPECT_ZV_THROW(WriteOne(pump), ZVXMLFormatError,
                    L"Cannot write Pump instance '" + std::wstring(9950000, L'&') +
                        L"': its start tag is longer than 9934464 bytes, more than a reader of the document accepts.");
    pump.SetInstanceID(std::wstring(9900000, L'i'));
    EXPECT_EQ(Read(WriteOne(pump)).size(), 1u);
}

TEST_F(InstanceWriterTest, FileAppearsAtCloseAndStaysAsItWasOtherwise)
{
    ScratchFolder folder;
    const std::string path = folder / "out.zvinstance.xml";
    std::ofstream(path) << "old";
    ZVXML::CZVInstance pump(pumpClass);
    pump.SetInstanceID(L"P1");
    {
        ZVXML::ZVInstanceXMLWriter writer(Widen(path).c_str());
        writer.Write(&pump);
    } // never closed
    EXPECT_EQ(ReadAll(path), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);

    ZVXML::ZVInstanceXMLWriter writer(Widen(path).c_str());
    writer.Write(&pump);
    EXPECT_EQ(ReadAll(path), "old");
    writer.Close();
    writer.Close();
    EXPECT_EQ(ReadAll(path), WriteOne(pump, nullptr));
    EXPECT_THROW(writer.Write(&pump), ZVXML::ZVXMLLogicError);

    EXPECT_ZV_THROW(ZVXML::ZVInstanceXMLWriter(Widen(folder / "no/such.xml").c_str()), ZVXML::ZVXMLRuntimeError,
                    L"Cannot write file '" + Widen(folder / "no/such.xml") + L"': No such file or directory");
}

// An output that fails part way (a full disk; here a file size limit) may
// have taken part of the text: when the host goes on, nothing may follow it
// and the file must not be put in place.
TEST_F(InstanceWriterTest, AfterAFailedOutputNothingFollowsAndTheFileStaysAsItWas)
{
    ScratchFolder folder;
    const std::string path = folder / "out.zvinstance.xml";
    std::ofstream(path) << "old";
    ZVXML::CZVInstance pump(pumpClass);
    pump.SetPropertyValue(L"Name", std::wstring(1000, L'n'));
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit room{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &room), 0);
    {
        ZVXML::ZVInstanceXMLWriter writer(Widen(path).c_str());
        rlimit small = room;
        small.rlim_cur = 100000;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        std::wstring failure;
        for (int i = 0; i < 1000 && failure.empty(); ++i) {
            try {
                writer.Write(&pump);
            } catch (const ZVXML::ZVXMLRuntimeError& error) {
                failure = error.Message();
            }
        }
        setrlimit(RLIMIT_FSIZE, &room);
        ASSERT_FALSE(failure.empty());
        EXPECT_ZV_THROW(writer.Write(&pump), ZVXML::ZVXMLRuntimeError, failure);
        EXPECT_ZV_THROW(writer.Close(), ZVXML::ZVXMLRuntimeError, failure);
    }
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_EQ(ReadAll(path), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

} // namespace
