// Validation of instances and documents: each document below breaks exactly
// one rule of a document that is otherwise valid.
#include "instance_parse_support.h"
#include "support/expect_throw.h"

#include <limits>

namespace {

using namespace zvtest;

struct Findings {
    std::vector<std::wstring> lines; // "LINE:COL: class id: property: message"
    int stopAfter = 0;

    static int Add(void* context, const ZVXML::ZVValidationFinding& finding)
    {
        auto& self = *static_cast<Findings*>(context);
        self.lines.push_back(std::to_wstring(finding.line) + L":" + std::to_wstring(finding.column) + L": " +
                             finding.className + L" " + finding.instanceID + L": " + finding.property + L": " +
                             finding.message);
        return static_cast<int>(self.lines.size()) == self.stopAfter ? 1 : 0;
    }
};

// Item has a property of each primitive type, an int array of one or two
// members and Point structs; Pump derives from Equipment; Connects relates a
// Pipe (keyed by Tag) to Equipment (polymorphic, keyed by Tag).
class InstanceValidationTest : public ::testing::Test {
protected:
    InstanceValidationTest()
    {
        using namespace ZVXML;
        CZVClass* point = schema.CreateZVClass(L"Point", L"", ZVCLASSTYPE_STRUCT | ZVCLASSTYPE_DOMAIN);
        point->AddZVProperty(L"X", L"double", L"");
        schema.CreateZVClass(L"Other", L"", ZVCLASSTYPE_STRUCT | ZVCLASSTYPE_DOMAIN)
            ->AddZVProperty(L"X", L"double", L"");
        CZVClass* item = schema.CreateZVClass(L"Item", L"", ZVCLASSTYPE_DOMAIN);
        for (const wchar_t* type :
             {L"int", L"long", L"double", L"boolean", L"dateTime", L"point3d", L"binary", L"string"}) {
            item->AddZVProperty((std::wstring(L"A") + type).c_str(), type, L"");
        }
        CZVProperty* numbers = item->AddZVProperty(L"Nums", L"int", L"");
        numbers->SetMinOccurs(L"1");
        numbers->SetMaxOccurs(L"2");
        item->AddZVProperty(L"At", L"Point", L"");
        item->AddZVProperty(L"Pts", L"Point", L"")->SetMaxOccurs(L"unbounded");
        schema.CreateZVClass(L"Equipment", L"", ZVCLASSTYPE_DOMAIN)->AddZVProperty(L"Tag", L"string", L"");
        schema.CreateZVClass(L"Pump", L"", ZVCLASSTYPE_DOMAIN)->SetBaseClass(L"Equipment");
        schema.CreateZVClass(L"Pipe", L"", ZVCLASSTYPE_DOMAIN)->AddZVProperty(L"Tag", L"string", L"");
        connects = schema.CreateZVRelationshipClass(L"Connects", L"", ZVCLASSTYPE_DOMAIN);
        connects->m_source.m_className = L"Pipe";
        connects->m_source.m_keyVector = {L"Tag"};
        connects->m_source.m_cardinality = L"0..*";
        connects->m_targets.m_classNames = {L"Equipment"};
        connects->m_targets.m_keyVectors = {{L"Tag"}};
        connects->m_targets.m_isPolymorphic = 1;
        connects->m_targets.m_cardinality = L"(0,N)";
    }
    ~InstanceValidationTest() override { ZVXML::CZVSchema::FreeRecycledValues(); }

    static std::wstring ValidItem()
    {
        return L"<Item id='i1'><Aint>-5</Aint><Along>9223372036854775807</Along><Adouble> 1.5e3 </Adouble>"
               L"<Aboolean>TRUE</Aboolean><AdateTime>2024-02-29T23:59:59.5+01:00</AdateTime>"
               L"<Apoint3d>1, 2 -3.5</Apoint3d><Abinary>QUJD RA==</Abinary><Astring>\u00e9</Astring>"
               L"<Nums><int>1</int></Nums><At><X>1</X></At><Pts><Point><X>2</X></Point></Pts></Item>\n";
    }

    // The valid document with `replace` put in place of `what` (or `extra`
    // added at the end); its findings.
    std::vector<std::wstring> Validate(const std::wstring& what, const std::wstring& replace,
                                       const std::wstring& extra = L"")
    {
        std::wstring body = ValidItem() + L"<Pipe id='L1'><Tag>L1</Tag></Pipe>\n<Pump id='P1'><Tag>P1</Tag></Pump>\n"
                                          L"<Connects id='C1' sourceInstanceID='L1' targetInstanceID='P1'/>\n";
        if (!what.empty()) {
            const std::size_t at = body.find(what);
            EXPECT_NE(at, std::wstring::npos) << "not in the document";
            body.replace(at, what.size(), replace);
        }
        Findings findings;
        const std::size_t count = ZVXML::ValidateZVInstanceXML(0, Document(L"\n" + body + extra).c_str(), &schema,
                                                               &Findings::Add, &findings, 0);
        EXPECT_EQ(count, findings.lines.size());
        return findings.lines;
    }

    using Lines = std::vector<std::wstring>;
    ZVXML::CZVSchema schema{L"t", L"Test", L""};
    ZVXML::CZVRelationshipClass* connects = nullptr;
};

TEST_F(InstanceValidationTest, ValidDocumentHasNoFinding) { EXPECT_EQ(Validate(L"", L""), Lines{}); }

TEST_F(InstanceValidationTest, EachPrimitiveTypeRefusesWhatItDoesNotAccept)
{
    const struct {
        const wchar_t* what;
        const wchar_t* replace;
        const wchar_t* finding;
    } cases[] = {
        {L"-5", L"12x", L"Aint: '12x' is not an int"},
        {L"-5", L"2147483648", L"Aint: '2147483648' is out of the range of int"},
        {L"-5", L"-2147483649", L"Aint: '-2147483649' is out of the range of int"},
        {L"9223372036854775807", L"9223372036854775808", L"Along: '9223372036854775808' is out of the range of long"},
        {L"9223372036854775807", L"-9223372036854775809", L"Along: '-9223372036854775809' is out of the range of long"},
        {L"9223372036854775807", L"18446744073709551616", L"Along: '18446744073709551616' is out of the range of long"},
        {L" 1.5e3 ", L"deep", L"Adouble: 'deep' is not a double"},
        {L" 1.5e3 ", L"1,5", L"Adouble: '1,5' is not a double"},
        {L" 1.5e3 ", L"1e999", L"Adouble: '1e999' is out of the range of double"},
        {L"TRUE", L"yes", L"Aboolean: 'yes' is not a boolean"},
        {L"2024-02-29T23:59:59.5+01:00", L"2023-02-29T00:00:00", L"AdateTime: '2023-02-29T00:00:00' is not a dateTime"},
        {L"2024-02-29T23:59:59.5+01:00", L"2024-01-01", L"AdateTime: '2024-01-01' is not a dateTime"},
        {L"2024-02-29T23:59:59.5+01:00", L"100000000100-02-29T00:00:00",
         L"AdateTime: '100000000100-02-29T00:00:00' is not a dateTime"},
        {L"1, 2 -3.5", L"1,2", L"Apoint3d: '1,2' is not a point3d"},
        {L"1, 2 -3.5", L"1,,2,3", L"Apoint3d: '1,,2,3' is not a point3d"},
        {L"QUJD RA==", L"QUJ", L"Abinary: 'QUJ' is not binary (base64)"},
        {L"<X>1</X></At>", L"<X>x</X></At>", L"At.X: 'x' is not a double"},
        {L"<X>2</X></Point>", L"<X>y</X></Point>", L"Pts[0].X: 'y' is not a double"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.replace);
        EXPECT_EQ(Validate(c.what, c.replace), Lines{std::wstring(L"2:1: Item i1: ") + c.finding});
    }
    // A double too large needs no exponent to be one, and a negative exponent
    // does not make it small.
    for (const std::wstring& huge : {std::wstring(309, L'9'), std::wstring(400, L'9') + L"e-11"}) {
        EXPECT_EQ(Validate(L" 1.5e3 ", huge),
                  Lines{L"2:1: Item i1: Adouble: '" + huge + L"' is out of the range of double"});
    }
    // Numbers are read alike whatever the locale; subnormal doubles are fine;
    // leading zeros do not count towards a range.
    for (const auto& [what, replace] : std::vector<std::pair<std::wstring, std::wstring>>{
             {L" 1.5e3 ", L"1e-999"},
             {L" 1.5e3 ", std::wstring(308, L'9') + L".5"},
             {L"-5", L"+0"},
             {L"-5", L"-0000000000000000000002147483648"},
             {L"9223372036854775807", L"-9223372036854775808"},
             {L"TRUE", L"fAlSe"},
             // a year of any length from four digits
             {L"2024-02-29T23:59:59.5+01:00", L"12345678912-01-01T00:00:00"},
             {L"2024-02-29T23:59:59.5+01:00", L"100000000000-02-29T00:00:00"}}) {
        SCOPED_TRACE(replace);
        EXPECT_EQ(Validate(what, replace), Lines{});
    }
}

// Occurs, identifiers and keys: each row breaks one rule (by a replacement
// or an instance added at the end).
TEST_F(InstanceValidationTest, EachBrokenRuleIsOneFindingAtItsPlace)
{
    const struct {
        const wchar_t *what, *replace, *extra, *finding;
    } cases[] = {
        {L"<int>1</int>", L"<int>1</int><int>2</int><int>3</int>", L"",
         L"2:1: Item i1: Nums: holds 3 members; maxOccurs is 2"},
        {L"<Nums><int>1</int></Nums>", L"<Nums/>", L"", L"2:1: Item i1: Nums: holds 0 members; minOccurs is 1"},
        {L"targetInstanceID='P1'", L"targetInstanceID='P9'", L"",
         L"5:1: Connects C1: : the target id 'P9' names no instance of the document"},
        {L"", L"", L"<Pipe id='P1'><Tag>x</Tag></Pipe>", L"6:1: Pipe P1: : has the identifier of an earlier instance"},
        {L"<Pipe id='L1'><Tag>L1</Tag></Pipe>", L"<Pipe id='L1'/>", L"",
         L"5:1: Connects C1: : the source instance 'L1' has no value for the key property Tag"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Validate(c.what, c.replace, c.extra), Lines{c.finding});
    }
}

TEST_F(InstanceValidationTest, StructValueHoldsItsPropertysClass)
{
    using namespace ZVXML;
    CZVClass* item = schema.FindZVClass(L"Item", ZVCLASSTYPE_ANY);
    CZVInstance instance(item);
    instance.SetInstanceID(L"i9");
    auto* at = new ZVStructValue(item->FindProperty(L"At"));
    auto* other = new CZVInstance(schema.FindZVClass(L"Other", ZVCLASSTYPE_ANY));
    other->SetTypeName(L"Point"); // passes SetValue's name check, but is no Point
    at->SetValue(other);
    instance.AddZVValue(at);
    auto* tags = new CZVValue(item->FindProperty(L"Nums"), L"1"); // a single value for an array property
    instance.AddZVValue(tags);
    instance.AddZVValue(new CZVValue(schema.FindZVClass(L"Point", ZVCLASSTYPE_ANY)->FindProperty(L"X"), L"1"));
    Findings findings;
    EXPECT_EQ(ValidateZVInstance(&instance, &Findings::Add, &findings), 3u);
    EXPECT_EQ(findings.lines, (Lines{L"0:0: Item i9: At: holds an instance of Other; the property's struct class is "
                                     L"Point",
                                     L"0:0: Item i9: Nums: holds a single value; the property is an array",
                                     L"0:0: Item i9: X: is not a property of class Item"}));
}

// Whatever the library writes for a double is a double to its validator.
TEST_F(InstanceValidationTest, DoublesTheLibraryWritesAreDoubles)
{
    using namespace ZVXML;
    CZVInstance instance(schema.FindZVClass(L"Item", ZVCLASSTYPE_ANY));
    instance.SetInstanceID(L"i9");
    for (const double number : {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                                std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN(),
                                std::numeric_limits<double>::denorm_min(), -0.0, 1e300}) {
        SCOPED_TRACE(number);
        instance.SetPropertyValue(L"Adouble", number);
        Findings findings;
        ValidateZVInstance(&instance, &Findings::Add, &findings);
        EXPECT_EQ(findings.lines, Lines{});
    }
}

// Structs that hold their own instance end the check of that branch with
// one finding where no document could go deeper.
TEST_F(InstanceValidationTest, StructsThatHoldThemselvesEndWithOneFinding)
{
    using namespace ZVXML;
    CZVProperty* next = schema.CreateZVClass(L"Node", L"", ZVCLASSTYPE_STRUCT | ZVCLASSTYPE_DOMAIN)
                            ->AddZVProperty(L"Next", L"Node", L"");
    CZVClass* item = schema.FindZVClass(L"Item", ZVCLASSTYPE_ANY);
    CZVInstance instance(item);
    instance.SetInstanceID(L"i9");
    auto* chain = new ZVStructValue(item->AddZVProperty(L"Chain", L"Node", L""));
    instance.AddZVValue(chain);
    auto* loop = new ZVStructValue(next);
    chain->GetValue()->AddZVValue(loop);
    loop->SetValue(chain->GetValue());
    Findings findings;
    EXPECT_EQ(ValidateZVInstance(&instance, &Findings::Add, &findings), 1u);
    std::wstring path = L"Chain";
    for (int level = 0; level < 256; ++level) {
        path += L".Next";
    }
    EXPECT_EQ(findings.lines, Lines{L"0:0: Item i9: " + path +
                                    L": holds structs nested more than 256 deep; they are not checked further"});
    loop->SetValue(nullptr);
}

TEST_F(InstanceValidationTest, RelationshipEndsAdmitTheirClasses)
{
    EXPECT_EQ(Validate(L"", L"", L"<Connects id='C2' sourceInstanceID='P1' targetInstanceID='P1'/>"),
              Lines{L"6:1: Connects C2: : the source instance 'P1' is a Pump; the Source end allows Pipe"});
    connects->m_targets.m_isPolymorphic = 0;
    EXPECT_EQ(Validate(L"", L""), Lines{L"5:1: Connects C1: : the target instance 'P1' is a Pump; the Target end "
                                        L"allows Equipment"});
}

// A relationship may name an instance that comes later; ids are told apart
// by every character and reported as written.
TEST_F(InstanceValidationTest, RelationshipsNameInstancesBeforeAndAfterThem)
{
    EXPECT_EQ(Validate(L"", L"",
                       L"<Connects id='C2' sourceInstanceID='L\u00e9\U0001F600' targetInstanceID='P1'/>\n"
                       L"<Pipe id='L\u00e8\U0001F600'><Tag>x</Tag></Pipe>\n<Pipe id='L\u00e9\U0001F600'/>\n"),
              Lines{L"6:1: Connects C2: : the source instance 'L\u00e9\U0001F600' has no value for the key property "
                    L"Tag"});
}

// Instances fed one by one may carry what no document can: ids that differ
// only in lone surrogates, and a relationship class of another schema, whose
// many keys the validator learns only when it meets the class.
TEST_F(InstanceValidationTest, InstancesFedOneByOneAreCheckedAlike)
{
    using namespace ZVXML;
    CZVSchema other{L"o", L"Other", L""};
    CZVClass* part = other.CreateZVClass(L"Part", L"", ZVCLASSTYPE_DOMAIN);
    part->AddZVProperty(L"Code", L"string", L"");
    CZVRelationshipClass* holds = other.CreateZVRelationshipClass(L"Holds", L"", ZVCLASSTYPE_DOMAIN);
    holds->m_source.m_className = L"Part";
    for (int i = 0; i < 130; ++i) {
        const std::wstring key = L"K" + std::to_wstring(i);
        part->AddZVProperty(key.c_str(), L"string", L"");
        holds->m_source.m_keyVector.push_back(key);
    }
    holds->m_source.m_cardinality = L"0..*";
    holds->m_targets.m_classNames = {L"Part"};
    holds->m_targets.m_keyVectors = {{L"Code"}};
    holds->m_targets.m_cardinality = L"0..*";
    ZVRelationshipInstance relationship(holds);
    relationship.SetInstanceID(L"R1");
    relationship.SetSourceID(L"\xD800");
    relationship.SetTargetID(L"\xDC00");
    CZVInstance first(part);
    first.SetInstanceID(L"\xD800");
    for (const std::wstring& key : holds->m_source.m_keyVector) {
        first.AddZVValue(new CZVValue(part->FindProperty(key.c_str()), L"a"));
    }
    CZVInstance second(part);
    second.SetInstanceID(L"\xDC00");
    Findings findings;
    ZVInstanceDocumentValidator validator(&schema, &Findings::Add, &findings);
    for (CZVInstance* instance : std::initializer_list<CZVInstance*>{&relationship, &first, &second}) {
        EXPECT_EQ(validator.Check(instance, L"", 1, 1), 0);
    }
    EXPECT_EQ(validator.Finish(), 0);
    EXPECT_EQ(findings.lines, Lines{L"1:1: Holds R1: : the target instance '\xDC00' has no value for the key property "
                                    L"Code"});
    // An instance given after Finish would go unchecked across the document.
    EXPECT_EQ(validator.Finish(), 0);
    EXPECT_ZV_THROW(validator.Check(&second), ZVXMLLogicError,
                    L"ZVInstanceDocumentValidator::Check called after Finish");
}

TEST_F(InstanceValidationTest, CardinalitiesHoldAcrossTheDocument)
{
    const std::wstring secondPipe = L"<Pipe id='L2'><Tag>L2</Tag></Pipe>\n";
    connects->m_targets.m_cardinality = L"1..*";
    EXPECT_EQ(Validate(L"", L"", secondPipe),
              Lines{L"6:1: Pipe L2: : is the source of 0 Connects relationships; the Target end's cardinality "
                    L"'1..*' allows at least 1"});
    connects->m_targets.m_cardinality = L"(0,N)";
    connects->m_source.m_cardinality = L" ( 0 , 1 ) ";
    const std::wstring second = secondPipe + L"<Connects id='C2' sourceInstanceID='L2' targetInstanceID='P1'/>";
    EXPECT_EQ(Validate(L"", L"", second),
              Lines{L"4:1: Pump P1: : is the target of 2 Connects relationships; the Source end's cardinality ' ( 0 "
                    L", 1 ) ' allows 0 to 1"});
    connects->m_source.m_cardinality = L"0..2";
    EXPECT_EQ(Validate(L"", L"", second), Lines{});
}

// Instances of several classes an end admits (Pump through its base) are
// reported in document order, whatever their class.
TEST_F(InstanceValidationTest, CardinalityFindingsFollowTheDocumentAcrossClasses)
{
    connects->m_source.m_cardinality = L"1..*";
    const std::wstring tail = L"of 0 Connects relationships; the Source end's cardinality '1..*' allows at least 1";
    EXPECT_EQ(Validate(L"", L"",
                       L"<Equipment id='E1'><Tag>E1</Tag></Equipment>\n<Pump id='P2'><Tag>P2</Tag></Pump>\n"
                       L"<Equipment id='E2'><Tag>E2</Tag></Equipment>\n"),
              (Lines{L"6:1: Equipment E1: : is the target " + tail, L"7:1: Pump P2: : is the target " + tail,
                     L"8:1: Equipment E2: : is the target " + tail}));
}

TEST_F(InstanceValidationTest, CardinalityNotUnderstoodIsReportedOnce)
{
    connects->m_source.m_cardinality = L"1";
    EXPECT_EQ(Validate(L"", L"", L"<Connects id='C2' sourceInstanceID='L1' targetInstanceID='P1'/>"),
              Lines{L"0:0: Connects : : the Source end's cardinality '1' is not understood; it is not checked"});
}

TEST_F(InstanceValidationTest, CallbackStopsTheValidationAndPositionsNameTheFile)
{
    ScratchFolder folder;
    const std::string path = folder / "doc.zvinstance.xml";
    std::ofstream(path) << ZVXML::ToUtf8(Document(L"\n  <Item id='a'><Aint>x</Aint><Along>y</Along></Item>"));
    const std::wstring location = Widen(path);
    std::wstring file;
    EXPECT_EQ(ZVXML::ValidateZVInstanceXML(
                  1, location.c_str(), &schema,
                  [](void* context, const ZVXML::ZVValidationFinding& finding) {
                      *static_cast<std::wstring*>(context) =
                          finding.file + L":" + std::to_wstring(finding.line) + L":" + std::to_wstring(finding.column);
                      return 1;
                  },
                  &file, 0),
              1u);
    EXPECT_EQ(file, location + L":2:3");
}

} // namespace
