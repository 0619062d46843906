// The small fixed schema the instance document fuzzers read with: a struct
// that nests (Node), struct and string arrays, and a relationship class.
#ifndef ZVXML_FUZZ_FUZZ_SCHEMA_H
#define ZVXML_FUZZ_FUZZ_SCHEMA_H

#include <zvxml/zvxml.h>

namespace zvfuzz {

struct FuzzSchema {
    FuzzSchema()
    {
        ZVXML::CZVClass* point = schema.CreateZVClass(L"Point", L"", 3);
        point->AddZVProperty(L"X", L"double", L"");
        point->AddZVProperty(L"Y", L"double", L"");
        ZVXML::CZVClass* node = schema.CreateZVClass(L"Node", L"", 3);
        node->AddZVProperty(L"Value", L"string", L"");
        node->AddZVProperty(L"Child", L"Node", L"");
        node->AddZVProperty(L"Children", L"Node", L"")->SetMaxOccurs(L"unbounded");
        ZVXML::CZVClass* pump = schema.CreateZVClass(L"Pump", L"", 1);
        pump->AddZVProperty(L"Flow", L"double", L"");
        pump->AddZVProperty(L"Tags", L"string", L"")->SetMaxOccurs(L"unbounded");
        pump->AddZVProperty(L"Where", L"Point", L"");
        pump->AddZVProperty(L"Path", L"Point", L"")->SetMinOccurs(L"0");
        pump->AddZVProperty(L"Tree", L"Node", L"");
        ZVXML::CZVRelationshipClass* connects = schema.CreateZVRelationshipClass(L"Connects", L"", 1);
        connects->AddZVProperty(L"Port", L"string", L"");
        connects->m_source.m_className = L"Pump";
        connects->m_source.m_keyVector = {L"Flow"};
        connects->m_source.m_cardinality = L"0..2";
        connects->m_targets.m_classNames = {L"Pump"};
        connects->m_targets.m_cardinality = L"(0,N)";
    }

    ZVXML::CZVSchema schema{L"f", L"Fuzz", L""};
    ZVXML::CZVSchemaInstanceFactory factory{&schema};
};

} // namespace zvfuzz

#endif
