#include "schema_tree.h"

#include "output.h"
#include "value_text.h"

#include <zvxml/instance.h>

#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace zvcli {
namespace {

class TreePrinter {
public:
    void Line(int depth, const std::wstring& text) { PrintOut(std::wstring(2 * depth, L' ') + text); }

    void CustomAttributes(int depth, const ZVXML::CZVCommon& item)
    {
        for (std::size_t i = 0; i < item.GetZVCustomAttributeCount(); ++i) {
            if (ZVXML::CZVCustomAttribute* attribute = item.GetZVCustomAttribute(i)) {
                Line(depth, L"@ " + InstanceText(*attribute));
            }
        }
    }
};

std::wstring Quoted(const wchar_t* text) { return *text == L'\0' ? L"" : L"  \"" + std::wstring(text) + L"\""; }

std::wstring ClassFlags(const ZVXML::CZVClass& zvClass)
{
    std::vector<std::wstring> flags;
    if (zvClass.IsDomainClass())
        flags.push_back(L"domain");
    if (zvClass.IsStruct())
        flags.push_back(L"struct");
    if (zvClass.IsCustomAttributeClass())
        flags.push_back(L"custom attribute");
    std::wstring text;
    for (const std::wstring& flag : flags) {
        text += (text.empty() ? L"" : L", ") + flag;
    }
    return text.empty() ? L"" : L"  [" + text + L"]";
}

std::wstring ClassHeading(const ZVXML::CZVClass& zvClass)
{
    std::wstring text = zvClass.GetTypeName();
    if (*zvClass.GetBaseClass() != L'\0') {
        text += std::wstring(L" : ") + zvClass.GetBaseClass();
    }
    return text + ClassFlags(zvClass) + Quoted(zvClass.GetDescription());
}

std::wstring PropertyLine(const ZVXML::CZVProperty& property)
{
    std::wstring text = std::wstring(property.GetPropertyName()) + L"  " + property.GetTypeName();
    if (property.IsArray()) {
        const std::wstring low = *property.GetMinOccurs() != L'\0' ? property.GetMinOccurs() : L"0";
        const std::wstring high = *property.GetMaxOccurs() != L'\0' ? property.GetMaxOccurs() : L"unbounded";
        text += L"[" + low + L".." + high + L"]";
    }
    if (property.IsStruct())
        text += L"  (struct)";
    if (property.ReadOnly())
        text += L"  (read-only)";
    return text + Quoted(property.GetDescription());
}

std::wstring Keys(const std::vector<std::wstring>& keys)
{
    if (keys.empty()) {
        return L"";
    }
    std::wstring text = L"  keys:";
    for (const std::wstring& key : keys) {
        text += L" " + key;
    }
    return text;
}

std::wstring EndDetails(const std::wstring& cardinality, const std::wstring& roleLabel, int polymorphic)
{
    std::wstring text;
    if (!cardinality.empty())
        text += L"  " + cardinality;
    if (!roleLabel.empty())
        text += L"  \"" + roleLabel + L"\"";
    if (polymorphic)
        text += L"  polymorphic";
    return text;
}

void PrintClass(TreePrinter& tree, int depth, ZVXML::CZVClass& zvClass)
{
    tree.Line(depth, ClassHeading(zvClass));
    tree.CustomAttributes(depth + 1, zvClass);
    for (std::size_t i = 0; i < zvClass.GetZVPropertyCount(); ++i) {
        ZVXML::CZVProperty* property = zvClass.GetZVProperty(i);
        tree.Line(depth + 1, PropertyLine(*property));
        tree.CustomAttributes(depth + 2, *property);
    }
}

void PrintRelationshipClass(TreePrinter& tree, int depth, ZVXML::CZVRelationshipClass& relationship)
{
    PrintClass(tree, depth, relationship);
    if (*relationship.GetStrength() != L'\0' || *relationship.GetStrengthDirection() != L'\0') {
        tree.Line(depth + 1, std::wstring(L"strength  ") + relationship.GetStrength() + L" " +
                                 relationship.GetStrengthDirection());
    }
    const ZVXML::CZVSource& source = relationship.m_source;
    tree.Line(depth + 1, L"source  " + (source.m_className.empty() ? L"(any)" : source.m_className) +
                             EndDetails(source.m_cardinality, source.m_roleLabel, source.m_isPolymorphic) +
                             Keys(source.m_keyVector));
    tree.CustomAttributes(depth + 2, source.Common());
    const ZVXML::CZVTargets& targets = relationship.m_targets;
    for (std::size_t i = 0; i < targets.m_classNames.size(); ++i) {
        const std::vector<std::wstring> noKeys;
        const std::vector<std::wstring>& keys = i < targets.m_keyVectors.size() ? targets.m_keyVectors[i] : noKeys;
        tree.Line(depth + 1,
                  L"target  " + targets.m_classNames[i] +
                      (i == 0 ? EndDetails(targets.m_cardinality, targets.m_roleLabel, targets.m_isPolymorphic) : L"") +
                      Keys(keys));
    }
    if (!targets.m_classNames.empty()) {
        tree.CustomAttributes(depth + 2, targets.Common());
    }
}

void PrintOneSchema(TreePrinter& tree, ZVXML::CZVSchema& schema)
{
    tree.Line(0, std::wstring(schema.GetSchemaName()) + L" " + schema.VersionString() + L"  (prefix " +
                     schema.GetSchemaPrefix() + L")" + Quoted(schema.GetDisplayLabel()));
    if (*schema.GetDescription() != L'\0') {
        tree.Line(1, schema.GetDescription());
    }
    ZVXML::CZVReferencedSchemaIterator references(&schema);
    for (ZVXML::CZVSchemaReference* reference = references.Begin(); reference; reference = references.Next()) {
        tree.Line(1, L"uses " + reference->m_schemaPrefix + L": " + reference->m_schemaName + L" " +
                         reference->m_versionString + (reference->m_pZVSchema ? L"" : L"  (not loaded)"));
    }
    tree.CustomAttributes(1, schema);
    if (schema.GetZVClassCount() > 0) {
        tree.Line(1, L"classes");
    }
    for (std::size_t i = 0; i < schema.GetZVClassCount(); ++i) {
        PrintClass(tree, 2, *schema.GetZVClassByIndex(i));
    }
    if (schema.GetZVRelationshipClassCount() > 0) {
        tree.Line(1, L"relationship classes");
    }
    for (std::size_t i = 0; i < schema.GetZVRelationshipClassCount(); ++i) {
        PrintRelationshipClass(tree, 2, *schema.GetZVRelationshipClass(i));
    }
}

} // namespace

std::vector<ZVXML::CZVSchema*> SchemasOf(ZVXML::CZVSchema& schema)
{
    std::vector<ZVXML::CZVSchema*> schemas{&schema};
    // A set, not a search of `schemas`: a load may hold thousands of files.
    std::unordered_set<const ZVXML::CZVSchema*> seen{&schema};
    // Depth first, each schema before those it references, on a stack of
    // its own: reference chains may be long.
    std::vector<std::pair<ZVXML::CZVSchema*, std::size_t>> path{{&schema, 0}};
    while (!path.empty()) {
        auto& [current, next] = path.back();
        if (next == current->GetReferenceCount()) {
            path.pop_back();
            continue;
        }
        ZVXML::CZVSchema* referenced = current->GetReferencedSchema(static_cast<unsigned long>(next++));
        if (referenced != nullptr && seen.insert(referenced).second) {
            schemas.push_back(referenced);
            path.emplace_back(referenced, 0);
        }
    }
    return schemas;
}

void PrintSchemaTree(ZVXML::CZVSchema& schema)
{
    TreePrinter tree;
    const std::vector<ZVXML::CZVSchema*> schemas = SchemasOf(schema);
    for (std::size_t i = 0; i < schemas.size(); ++i) {
        if (i > 0) {
            tree.Line(0, L"");
        }
        PrintOneSchema(tree, *schemas[i]);
    }
}

} // namespace zvcli
