// Compares two schemas field by field and lists every difference, so a
// round-trip test can say exactly what changed.
#ifndef ZVXML_TESTS_SCHEMAXML_SCHEMA_EQUALITY_H
#define ZVXML_TESTS_SCHEMAXML_SCHEMA_EQUALITY_H

#include <zvxml/zvxml.h>

#include <map>
#include <string>
#include <vector>

namespace zvtest {

class SchemaDifferences {
public:
    // Compares `a` and `b` and, recursively, the schemas they reference.
    SchemaDifferences(ZVXML::CZVSchema& a, ZVXML::CZVSchema& b) { Schemas(a, b, a.GetSchemaName()); }
    const std::vector<std::wstring>& List() const { return m_differences; }

private:
    void Note(const std::wstring& where, const std::wstring& what) { m_differences.push_back(where + L": " + what); }
    void Same(const std::wstring& where, const std::wstring& a, const std::wstring& b)
    {
        if (a != b) Note(where, L"'" + a + L"' != '" + b + L"'");
    }
    void Same(const std::wstring& where, long a, long b)
    {
        if (a != b) Note(where, std::to_wstring(a) + L" != " + std::to_wstring(b));
    }

    static std::wstring NormalVersion(const std::wstring& text)
    {
        unsigned long major = 0, minor = 0;
        ZVXML::CZVSchema::ParseVersionString(text.c_str(), &major, &minor);
        std::wstring out;
        ZVXML::CZVSchema::FormatVersionString(out, major, minor);
        return out;
    }

    void Values(const std::wstring& where, ZVXML::ZVValueBase* a, ZVXML::ZVValueBase* b)
    {
        if (a == nullptr || b == nullptr) {
            if (a != b) Note(where, L"one value is missing");
            return;
        }
        Same(where + L" name", a->PropertyName(), b->PropertyName());
        auto* pa = dynamic_cast<ZVXML::CZVValue*>(a);
        auto* pb = dynamic_cast<ZVXML::CZVValue*>(b);
        auto* sa = dynamic_cast<ZVXML::ZVStructValue*>(a);
        auto* sb = dynamic_cast<ZVXML::ZVStructValue*>(b);
        auto* aa = dynamic_cast<ZVXML::ZVArrayValue*>(a);
        auto* ab = dynamic_cast<ZVXML::ZVArrayValue*>(b);
        if ((pa == nullptr) != (pb == nullptr) || (sa == nullptr) != (sb == nullptr) ||
            (aa == nullptr) != (ab == nullptr)) {
            Note(where, L"values of different kinds");
        } else if (pa != nullptr) {
            Same(where + L" text", pa->Value(), pb->Value());
        } else if (sa != nullptr) {
            Instances(where, sa->GetValue(), sb->GetValue());
        } else if (aa != nullptr) {
            Same(where + L" length", static_cast<long>(aa->GetLength()), static_cast<long>(ab->GetLength()));
            for (std::size_t i = 0; i < std::min(aa->GetLength(), ab->GetLength()); ++i) {
                Values(where + L"[" + std::to_wstring(i) + L"]", aa->GetValue(i), ab->GetValue(i));
            }
        }
    }

    void Instances(const std::wstring& where, ZVXML::CZVInstance* a, ZVXML::CZVInstance* b)
    {
        if (a == nullptr || b == nullptr) {
            if (a != b) Note(where, L"one instance is missing");
            return;
        }
        Same(where + L" type", a->TypeName(), b->TypeName());
        Same(where + L" id", a->InstanceID(), b->InstanceID());
        Same(where + L" values", static_cast<long>(a->GetZVValueCount()), static_cast<long>(b->GetZVValueCount()));
        for (std::size_t i = 0; i < std::min(a->GetZVValueCount(), b->GetZVValueCount()); ++i) {
            Values(where + L"." + a->GetZVValue(i)->PropertyName(), a->GetZVValue(i), b->GetZVValue(i));
        }
    }

    void Common(const std::wstring& where, const ZVXML::CZVCommon& a, const ZVXML::CZVCommon& b)
    {
        Same(where + L" description", a.GetDescription(), b.GetDescription());
        Same(where + L" custom attributes", static_cast<long>(a.GetZVCustomAttributeCount()),
             static_cast<long>(b.GetZVCustomAttributeCount()));
        for (std::size_t i = 0; i < std::min(a.GetZVCustomAttributeCount(), b.GetZVCustomAttributeCount()); ++i) {
            Instances(where + L" @" + std::to_wstring(i), a.GetZVCustomAttribute(i), b.GetZVCustomAttribute(i));
        }
    }

    static std::wstring MinOccurs(const ZVXML::CZVProperty& property)
    {
        const std::wstring min = property.GetMinOccurs();
        return min.empty() && *property.GetMaxOccurs() != L'\0' ? L"0" : min;
    }
    // "ZVObject" stands for any class; a source end naming it names none.
    static std::wstring SourceClass(const std::wstring& name) { return name == L"ZVObject" ? L"" : name; }

    void Properties(const std::wstring& where, const ZVXML::CZVProperty& a, const ZVXML::CZVProperty& b)
    {
        Common(where, a, b);
        Same(where + L" name", a.GetPropertyName(), b.GetPropertyName());
        Same(where + L" type", a.GetTypeName(), b.GetTypeName());
        // A maximum without a minimum reads back with the minimum "0".
        Same(where + L" minOccurs", MinOccurs(a), MinOccurs(b));
        Same(where + L" maxOccurs", a.GetMaxOccurs(), b.GetMaxOccurs());
        Same(where + L" label", a.GetDisplayLabel(), b.GetDisplayLabel());
        Same(where + L" flags", a.IsStruct() * 100 + a.IsArray() * 10 + (a.ReadOnly() ? 1 : 0),
             b.IsStruct() * 100 + b.IsArray() * 10 + (b.ReadOnly() ? 1 : 0));
    }

    void Classes(const std::wstring& where, ZVXML::CZVClass& a, ZVXML::CZVClass& b)
    {
        Common(where, a, b);
        Same(where + L" base", a.GetBaseClass(), b.GetBaseClass());
        Same(where + L" label", a.GetDisplayLabel(), b.GetDisplayLabel());
        Same(where + L" type", static_cast<long>(a.GetClassType()), static_cast<long>(b.GetClassType()));
        Same(where + L" properties", static_cast<long>(a.GetZVPropertyCount()),
             static_cast<long>(b.GetZVPropertyCount()));
        for (std::size_t i = 0; i < std::min(a.GetZVPropertyCount(), b.GetZVPropertyCount()); ++i) {
            Properties(where + L"." + a.GetZVProperty(i)->GetPropertyName(), *a.GetZVProperty(i),
                       *b.GetZVProperty(i));
        }
    }

    void Ends(const std::wstring& where, ZVXML::CZVRelationshipClass& a, ZVXML::CZVRelationshipClass& b)
    {
        Same(where + L" strength", a.GetStrength(), b.GetStrength());
        Same(where + L" direction", a.GetStrengthDirection(), b.GetStrengthDirection());
        const ZVXML::CZVSource& sa = a.m_source;
        const ZVXML::CZVSource& sb = b.m_source;
        Common(where + L" source", sa.Common(), sb.Common());
        Same(where + L" source class", SourceClass(sa.m_className), SourceClass(sb.m_className));
        Same(where + L" source role", sa.m_roleLabel, sb.m_roleLabel);
        Same(where + L" source cardinality", sa.m_cardinality, sb.m_cardinality);
        Same(where + L" source polymorphic", sa.m_isPolymorphic, sb.m_isPolymorphic);
        if (!SourceClass(sa.m_className).empty() && sa.m_keyVector != sb.m_keyVector) {
            Note(where, L"source keys differ");
        }
        const ZVXML::CZVTargets& ta = a.m_targets;
        const ZVXML::CZVTargets& tb = b.m_targets;
        if (ta.m_classNames != tb.m_classNames) Note(where, L"target classes differ");
        if (ta.m_keyVectors != tb.m_keyVectors) Note(where, L"target keys differ");
        if (!ta.m_classNames.empty()) {
            Common(where + L" target", ta.Common(), tb.Common());
            Same(where + L" target role", ta.m_roleLabel, tb.m_roleLabel);
            Same(where + L" target cardinality", ta.m_cardinality, tb.m_cardinality);
            Same(where + L" target polymorphic", ta.m_isPolymorphic, tb.m_isPolymorphic);
        }
    }

    // Classes are compared by name: the writer puts custom-attribute classes first.
    template <class Count, class Get, class Find, class Compare>
    void ByName(const std::wstring& where, Count countA, Count countB, Get getA, Find findB, Compare compare)
    {
        Same(where + L" count", static_cast<long>(countA), static_cast<long>(countB));
        for (std::size_t i = 0; i < countA; ++i) {
            auto* a = getA(i);
            auto* b = findB(a->GetTypeName());
            if (b == nullptr) {
                Note(where, std::wstring(L"missing ") + a->GetTypeName());
            } else {
                compare(where + L" " + a->GetTypeName(), *a, *b);
            }
        }
    }

    void Schemas(ZVXML::CZVSchema& a, ZVXML::CZVSchema& b, const std::wstring& where)
    {
        Same(where + L" name", a.GetSchemaName(), b.GetSchemaName());
        Same(where + L" prefix", a.GetSchemaPrefix(), b.GetSchemaPrefix());
        Same(where + L" version", a.VersionString(), b.VersionString());
        Same(where + L" label", a.GetDisplayLabel(), b.GetDisplayLabel());
        Common(where, a, b);
        ByName(where + L" classes", a.GetZVClassCount(), b.GetZVClassCount(),
               [&](std::size_t i) { return a.GetZVClassByIndex(i); },
               [&](const wchar_t* name) -> ZVXML::CZVClass* {
                   for (std::size_t i = 0; i < b.GetZVClassCount(); ++i) {
                       if (std::wstring(b.GetZVClassByIndex(i)->GetTypeName()) == name) return b.GetZVClassByIndex(i);
                   }
                   return nullptr;
               },
               [&](const std::wstring& at, ZVXML::CZVClass& x, ZVXML::CZVClass& y) { Classes(at, x, y); });
        ByName(where + L" relationship classes", a.GetZVRelationshipClassCount(), b.GetZVRelationshipClassCount(),
               [&](std::size_t i) { return a.GetZVRelationshipClass(i); },
               [&](const wchar_t* name) -> ZVXML::CZVRelationshipClass* {
                   for (std::size_t i = 0; i < b.GetZVRelationshipClassCount(); ++i) {
                       if (std::wstring(b.GetZVRelationshipClass(i)->GetTypeName()) == name) {
                           return b.GetZVRelationshipClass(i);
                       }
                   }
                   return nullptr;
               },
               [&](const std::wstring& at, ZVXML::CZVRelationshipClass& x, ZVXML::CZVRelationshipClass& y) {
                   Classes(at, x, y);
                   Ends(at, x, y);
               });
        Same(where + L" references", static_cast<long>(a.GetReferenceCount()), static_cast<long>(b.GetReferenceCount()));
        ZVXML::CZVReferencedSchemaIterator ra(&a);
        ZVXML::CZVReferencedSchemaIterator rb(&b);
        for (auto *x = ra.Begin(), *y = rb.Begin(); x != nullptr && y != nullptr; x = ra.Next(), y = rb.Next()) {
            Same(where + L" reference name", x->m_schemaName, y->m_schemaName);
            Same(where + L" reference prefix", x->m_schemaPrefix, y->m_schemaPrefix);
            Same(where + L" reference version", NormalVersion(x->m_versionString), NormalVersion(y->m_versionString));
            if (x->m_pZVSchema != nullptr && y->m_pZVSchema != nullptr && m_seen.count(x->m_pZVSchema) == 0) {
                m_seen[x->m_pZVSchema] = true;
                Schemas(*x->m_pZVSchema, *y->m_pZVSchema, where + L"->" + x->m_schemaName);
            }
        }
    }

    std::vector<std::wstring> m_differences;
    std::map<ZVXML::CZVSchema*, bool> m_seen;
};

} // namespace zvtest

#endif
