// Where hostile documents are written and how they are read.
#ifndef ZVXML_TESTS_HOSTILE_HOSTILE_INPUTS_H
#define ZVXML_TESTS_HOSTILE_HOSTILE_INPUTS_H

#include <zvxml/zvxml.h>

#include "support/scratch.h"

#include <string>

namespace zvtest {

const char* const kNamespace = "http://www.molvane.com/schemas/Molvane.ZVXML.2.0";

// A schema file's text with the given root attributes and children.
inline std::string SchemaFile(const std::string& attributes, const std::string& children)
{
    return "<?xml version='1.0' encoding='UTF-8'?>\n<ZVSchema xmlns='" + std::string(kNamespace) + "' " +
           attributes + ">" + children + "</ZVSchema>\n";
}

inline long LoadSchemaFile(const std::string& path, const std::string& searchPath = "")
{
    ZVXML::CZVSchema schema(L"temporary", L"temporary", nullptr);
    schema.SetReferenceSearchPath(Widen(searchPath).c_str());
    return schema.ReadXML(Widen(path).c_str());
}

// The schema the instance documents are read with: Pump {Flow, Name,
// Tags: string[], Where: Point}, Point {X, Y}, Node {Value, Child: Node}
// (a struct that nests itself), Holder {Root: Node} and the relationship
// class Connects.
class InstanceReader {
public:
    InstanceReader()
    {
        ZVXML::CZVClass* point = m_schema.CreateZVClass(L"Point", L"", 3);
        point->AddZVProperty(L"X", L"double", L"");
        point->AddZVProperty(L"Y", L"double", L"");
        ZVXML::CZVClass* node = m_schema.CreateZVClass(L"Node", L"", 3);
        node->AddZVProperty(L"Value", L"string", L"");
        node->AddZVProperty(L"Child", L"Node", L"");
        m_schema.CreateZVClass(L"Holder", L"", 1)->AddZVProperty(L"Root", L"Node", L"");
        ZVXML::CZVClass* pump = m_schema.CreateZVClass(L"Pump", L"", 1);
        pump->AddZVProperty(L"Flow", L"double", L"");
        pump->AddZVProperty(L"Name", L"string", L"");
        pump->AddZVProperty(L"Tags", L"string", L"")->SetMaxOccurs(L"unbounded");
        pump->AddZVProperty(L"Where", L"Point", L"");
        m_schema.CreateZVRelationshipClass(L"Connects", L"", 1);
    }

    // Returns the number of instances delivered.
    long ParseText(const std::wstring& text, unsigned long options = 0)
    {
        return Parse(0, text.c_str(), options);
    }
    long ParseFile(const std::string& path, unsigned long options = 0)
    {
        return Parse(1, Widen(path).c_str(), options);
    }
    ZVXML::CZVSchema& Schema() { return m_schema; }

private:
    long Parse(int isLocation, const wchar_t* document, unsigned long options)
    {
        m_delivered = 0;
        ZVXML::ParseZVInstanceXML(isLocation, document, &m_schema, this, nullptr, &Delivered, &DeliveredRelationship,
                                  nullptr, nullptr, nullptr, &m_factory, options);
        return m_delivered;
    }
    static int Delivered(ZVXML::CZVSchema*, void* context, ZVXML::CZVInstance*)
    {
        ++static_cast<InstanceReader*>(context)->m_delivered;
        return 0;
    }
    static int DeliveredRelationship(ZVXML::CZVSchema*, void* context, ZVXML::ZVRelationshipInstance*)
    {
        ++static_cast<InstanceReader*>(context)->m_delivered;
        return 0;
    }

    ZVXML::CZVSchema m_schema{L"h", L"Hostile", L""};
    ZVXML::CZVSchemaInstanceFactory m_factory{&m_schema};
    long m_delivered = 0;
};

inline std::string InstanceDocument(const std::string& body)
{
    return "<?xml version='1.0' encoding='UTF-8'?>\n<ZVInstanceXML xmlns='" + std::string(kNamespace) + "'>" + body +
           "</ZVInstanceXML>\n";
}

} // namespace zvtest

#endif
