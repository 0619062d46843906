// What the instance reading tests share: a plant schema, a factory that
// knows its classes, and a recorder of everything the callbacks see.
#ifndef ZVXML_TESTS_INSTANCEXML_INSTANCE_PARSE_SUPPORT_H
#define ZVXML_TESTS_INSTANCEXML_INSTANCE_PARSE_SUPPORT_H

#include <zvxml/zvxml.h>

#include "support/guid_text.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace zvtest {

inline const std::wstring kNamespace = L"http://www.molvane.com/schemas/Molvane.ZVXML.2.0";

// "<ZVInstanceXML xmlns=...>" + body + "</ZVInstanceXML>".
inline std::wstring Document(const std::wstring& body, const std::wstring& rootAttributes = L"")
{
    return L"<ZVInstanceXML xmlns=\"" + kNamespace + L"\"" + rootAttributes + L">" + body + L"</ZVInstanceXML>";
}

// Pump#P1{Flow=12.5;Tags=[a,b];Origin={X=1}}, Connects#C1(P1->V1){...};
// a null primitive value reads "(null)".
inline std::wstring Describe(ZVXML::CZVInstance* instance);

inline std::wstring DescribeValue(ZVXML::ZVValueBase* value)
{
    if (auto* primitive = dynamic_cast<ZVXML::CZVValue*>(value)) {
        return primitive->IsNull() ? std::wstring(L"(null)") : std::wstring(primitive->GetValue());
    }
    if (auto* structValue = dynamic_cast<ZVXML::ZVStructValue*>(value)) {
        std::wstring text = Describe(structValue->GetValue());
        return text.substr(text.find(L'{'));
    }
    auto* array = dynamic_cast<ZVXML::ZVArrayValue*>(value);
    std::wstring text = L"[";
    for (std::size_t i = 0; i < array->GetLength(); ++i) {
        text += (i > 0 ? L"," : L"") + DescribeValue(array->GetValue(i));
    }
    return text + L"]";
}

inline std::wstring Describe(ZVXML::CZVInstance* instance)
{
    std::wstring text = std::wstring(instance->GetTypeName()) + L"#" + instance->GetInstanceID();
    if (auto* relationship = dynamic_cast<ZVXML::ZVRelationshipInstance*>(instance)) {
        text += std::wstring(L"(") + relationship->GetSourceID() + L"->" + relationship->GetTargetID() + L")";
    }
    text += L"{";
    for (std::size_t i = 0; i < instance->GetZVValueCount(); ++i) {
        ZVXML::ZVValueBase* value = instance->GetZVValue(i);
        text += (i > 0 ? L";" : L"") + std::wstring(value->GetPropertyName()) + L"=" + DescribeValue(value);
    }
    return text + L"}";
}

// What `run` throws, if anything.
template <class Run>
std::optional<ZVXML::ZVXMLException> Thrown(Run run)
{
    try {
        run();
    } catch (const ZVXML::ZVXMLException& error) {
        return error;
    }
    return std::nullopt;
}

// Makes instances of one schema's classes (NULL for other names), counting
// its calls.
class SchemaFactory : public ZVXML::IZVInstanceFactory {
public:
    explicit SchemaFactory(ZVXML::CZVSchema& schema) : m_schema(schema) {}

    ZVXML::CZVInstance* CreateInstance(const wchar_t* namespaceURI, const wchar_t* className,
                                       int* isRelationship) override
    {
        ++calls;
        namespaces.push_back(namespaceURI);
        if (ZVXML::CZVRelationshipClass* relationship =
                m_schema.FindZVRelationshipClass(className, ZVXML::ZVCLASSTYPE_ANY)) {
            *isRelationship = 1;
            return new ZVXML::ZVRelationshipInstance(relationship);
        }
        ZVXML::CZVClass* zvClass = m_schema.FindZVClass(className, ZVXML::ZVCLASSTYPE_ANY);
        return zvClass != nullptr ? new ZVXML::CZVInstance(zvClass) : nullptr;
    }

    int calls = 0;
    std::vector<std::wstring> namespaces;

private:
    ZVXML::CZVSchema& m_schema;
};

// Everything the callbacks see, in order, as lines. The refuse fields make
// a callback return 1: refuseAt at the N-th (1-based) instance.
struct Recorder {
    std::vector<std::wstring> events;
    std::vector<std::wstring> errors;
    int refuseAt = 0;
    int refuseBegin = 0;
    int refuseElement = 0;
    int delivered = 0;
    ZVXML::CZVSchema* schemaSeen = nullptr;

    static Recorder& Of(void* context) { return *static_cast<Recorder*>(context); }

    static int Begin(ZVXML::CZVSchema* schema, void* context, const wchar_t* scope, ZVXML::XMLAttributes* attributes)
    {
        Recorder& self = Of(context);
        self.schemaSeen = schema;
        std::wstring line = L"begin " + std::wstring(scope);
        std::wstring value;
        if (attributes != nullptr && attributes->GetValue(L"owner", value) != 0) {
            line += L" owner=" + value;
        }
        self.events.push_back(line);
        return self.refuseBegin;
    }
    static int Instance(ZVXML::CZVSchema*, void* context, ZVXML::CZVInstance* instance)
    {
        return Of(context).Deliver(L"instance " + Describe(instance));
    }
    static int Relationship(ZVXML::CZVSchema*, void* context, ZVXML::ZVRelationshipInstance* relationship)
    {
        return Of(context).Deliver(L"relationship " + Describe(relationship));
    }
    static int Element(ZVXML::CZVSchema*, void* context, bool isStart, const wchar_t* name,
                       ZVXML::XMLAttributes* attributes)
    {
        Recorder& self = Of(context);
        std::wstring line = (isStart ? L"project+ " : L"project- ") + std::wstring(name);
        std::wstring value;
        if (attributes != nullptr && attributes->GetValue(std::wstring(L"name"), value) != 0) {
            line += L" name=" + value;
        }
        if (!isStart && attributes != nullptr) {
            line += L" (attributes at the end)";
        }
        self.events.push_back(line);
        return self.refuseElement;
    }
    static int End(ZVXML::CZVSchema*, void* context)
    {
        Of(context).events.push_back(L"end");
        return 0;
    }
    static void Error(const wchar_t* message, void* context) { Of(context).errors.push_back(message); }

    // The instance and relationship lines only.
    std::vector<std::wstring> Instances() const
    {
        std::vector<std::wstring> found;
        for (const std::wstring& line : events) {
            if (line.rfind(L"instance ", 0) == 0 || line.rfind(L"relationship ", 0) == 0) {
                found.push_back(line);
            }
        }
        return found;
    }

private:
    int Deliver(std::wstring line)
    {
        events.push_back(std::move(line));
        ++delivered;
        return delivered == refuseAt ? 1 : 0;
    }
};

// Pump {Flow, Count, Name, Tags: string[], Origin: Point, Corners: Point[]},
// Valve derived from Pump {Setting}, the structs Point {X, Y, Size: Extent}
// and Extent {W, H, Codes: int[]}, and the relationship class Connects
// {Strength}.
class InstanceParseTest : public ::testing::Test {
protected:
    InstanceParseTest()
    {
        using namespace ZVXML;
        CZVClass* extent = schema.CreateZVClass(L"Extent", L"", ZVCLASSTYPE_STRUCT | ZVCLASSTYPE_DOMAIN);
        extent->AddZVProperty(L"W", L"double", L"");
        extent->AddZVProperty(L"H", L"double", L"");
        extent->AddZVProperty(L"Codes", L"int", L"")->SetMaxOccurs(L"unbounded");
        CZVClass* point = schema.CreateZVClass(L"Point", L"", ZVCLASSTYPE_STRUCT | ZVCLASSTYPE_DOMAIN);
        point->AddZVProperty(L"X", L"double", L"");
        point->AddZVProperty(L"Y", L"double", L"");
        point->AddZVProperty(L"Size", L"Extent", L"");
        CZVClass* pump = schema.CreateZVClass(L"Pump", L"", ZVCLASSTYPE_DOMAIN);
        pump->AddZVProperty(L"Flow", L"double", L"");
        pump->AddZVProperty(L"Count", L"long", L"");
        pump->AddZVProperty(L"Name", L"string", L"");
        pump->AddZVProperty(L"Tags", L"string", L"")->SetMaxOccurs(L"unbounded");
        pump->AddZVProperty(L"Origin", L"Point", L"");
        pump->AddZVProperty(L"Corners", L"Point", L"")->SetMaxOccurs(L"unbounded");
        CZVClass* valve = schema.CreateZVClass(L"Valve", L"", ZVCLASSTYPE_DOMAIN);
        valve->SetBaseClass(L"Pump");
        valve->AddZVProperty(L"Setting", L"string", L"");
        schema.CreateZVRelationshipClass(L"Connects", L"", ZVCLASSTYPE_DOMAIN)
            ->AddZVProperty(L"Strength", L"string", L"");
    }
    ~InstanceParseTest() override { ZVXML::CZVSchema::FreeRecycledValues(); }

    // Every callback recorded.
    int Parse(const std::wstring& text, unsigned long options = 0, int isLocation = 0)
    {
        return ZVXML::ParseZVInstanceXML(isLocation, text.c_str(), &schema, &recorder, &Recorder::Begin,
                                         &Recorder::Instance, &Recorder::Relationship, &Recorder::Element,
                                         &Recorder::End, &Recorder::Error, &factory, options);
    }
    // The one instance `document` yields, described.
    std::wstring Only(const std::wstring& document, unsigned long options = 0, int isLocation = 0)
    {
        recorder = Recorder();
        Parse(document, options, isLocation);
        return recorder.Instances().size() == 1 ? recorder.Instances()[0] : L"(not one instance)";
    }
    // Only the two callbacks that must be given.
    int ParseBare(const std::wstring& text, unsigned long options = 0, ZVXML::IZVInstanceFactory* with = nullptr)
    {
        return ZVXML::ParseZVInstanceXML(0, text.c_str(), &schema, &recorder, nullptr, &Recorder::Instance,
                                         &Recorder::Relationship, nullptr, nullptr, nullptr,
                                         with != nullptr ? with : &factory, options);
    }

    ZVXML::CZVSchema schema{L"p", L"Plant", L""};
    SchemaFactory factory{schema};
    Recorder recorder;
};

} // namespace zvtest

#endif
