#include "schema_json.h"

#include "json_instance.h"
#include "schema_tree.h"

#include <zvxml/instance.h>

#include <vector>

namespace zvcli {
namespace {

// Writes one JSON object: "{", the members with their commas, and "}" at
// Close().
class JsonObject {
public:
    explicit JsonObject(std::string& out) : m_out(out) { m_out.push_back('{'); }
    JsonObject(const JsonObject&) = delete;
    JsonObject& operator=(const JsonObject&) = delete;
    void Close() { m_out.push_back('}'); }

    // Starts a member; its value follows.
    std::string& Key(const char* name)
    {
        if (!m_first) {
            m_out.push_back(',');
        }
        m_first = false;
        m_out.push_back('"');
        m_out.append(name);
        m_out.append("\":");
        return m_out;
    }
    void Text(const char* name, const std::wstring& value) { AppendJsonString(value, Key(name)); }
    void Flag(const char* name, bool value) { Key(name).append(value ? "true" : "false"); }

private:
    std::string& m_out;
    bool m_first = true;
};

// [item, item, ...] with `append(item, out)` for each.
template <class Items, class Append>
void AppendArray(const Items& items, std::string& out, Append append)
{
    out.push_back('[');
    bool first = true;
    for (const auto& item : items) {
        if (!first) {
            out.push_back(',');
        }
        first = false;
        append(item, out);
    }
    out.push_back(']');
}

void AppendTexts(const std::vector<std::wstring>& texts, std::string& out)
{
    AppendArray(texts, out, [](const std::wstring& text, std::string& into) { AppendJsonString(text, into); });
}

void AppendCustomAttributes(const ZVXML::CZVCommon& item, std::string& out)
{
    std::vector<ZVXML::CZVCustomAttribute*> attributes;
    for (std::size_t i = 0; i < item.GetZVCustomAttributeCount(); ++i) {
        if (ZVXML::CZVCustomAttribute* attribute = item.GetZVCustomAttribute(i)) {
            attributes.push_back(attribute);
        }
    }
    AppendArray(attributes, out, [](ZVXML::CZVCustomAttribute* attribute, std::string& into) {
        AppendInstanceJson(*attribute, nullptr, into);
    });
}

void AppendProperty(const ZVXML::CZVProperty& property, std::string& out)
{
    JsonObject object(out);
    object.Text("name", property.GetPropertyName());
    object.Text("type", property.GetTypeName());
    object.Text("displayLabel", property.GetDisplayLabel());
    object.Text("description", property.GetDescription());
    object.Flag("array", property.IsArray() != 0);
    object.Text("minOccurs", property.GetMinOccurs());
    object.Text("maxOccurs", property.GetMaxOccurs());
    object.Flag("struct", property.IsStruct() != 0);
    object.Flag("readOnly", property.ReadOnly() != 0);
    AppendCustomAttributes(property, object.Key("customAttributes"));
    object.Close();
}

void AppendClassMembers(ZVXML::CZVClass& zvClass, JsonObject& object)
{
    object.Text("typeName", zvClass.GetTypeName());
    object.Text("baseClass", zvClass.GetBaseClass());
    object.Text("displayLabel", zvClass.GetDisplayLabel());
    object.Text("description", zvClass.GetDescription());
    object.Flag("domain", zvClass.IsDomainClass() != 0);
    object.Flag("struct", zvClass.IsStruct() != 0);
    object.Flag("customAttributeClass", zvClass.IsCustomAttributeClass() != 0);
    AppendCustomAttributes(zvClass, object.Key("customAttributes"));
    std::vector<const ZVXML::CZVProperty*> properties;
    for (std::size_t i = 0; i < zvClass.GetZVPropertyCount(); ++i) {
        properties.push_back(zvClass.GetZVProperty(i));
    }
    AppendArray(properties, object.Key("properties"),
                [](const ZVXML::CZVProperty* property, std::string& into) { AppendProperty(*property, into); });
}

void AppendEndMembers(const std::wstring& cardinality, const std::wstring& roleLabel, int polymorphic,
                      const ZVXML::CZVCommon& common, JsonObject& object)
{
    object.Text("cardinality", cardinality);
    object.Text("roleLabel", roleLabel);
    object.Flag("polymorphic", polymorphic != 0);
    AppendCustomAttributes(common, object.Key("customAttributes"));
}

void AppendSource(const ZVXML::CZVSource& source, std::string& out)
{
    JsonObject object(out);
    object.Text("class", source.m_className);
    AppendTexts(source.m_keyVector, object.Key("keys"));
    AppendEndMembers(source.m_cardinality, source.m_roleLabel, source.m_isPolymorphic, source.Common(), object);
    object.Close();
}

void AppendTargets(const ZVXML::CZVTargets& targets, std::string& out)
{
    JsonObject object(out);
    std::string& classes = object.Key("classes");
    classes.push_back('[');
    for (std::size_t i = 0; i < targets.m_classNames.size(); ++i) {
        if (i > 0) {
            classes.push_back(',');
        }
        JsonObject target(classes);
        target.Text("class", targets.m_classNames[i]);
        AppendTexts(i < targets.m_keyVectors.size() ? targets.m_keyVectors[i] : std::vector<std::wstring>(),
                    target.Key("keys"));
        target.Close();
    }
    classes.push_back(']');
    AppendEndMembers(targets.m_cardinality, targets.m_roleLabel, targets.m_isPolymorphic, targets.Common(), object);
    object.Close();
}

void AppendRelationshipClass(ZVXML::CZVRelationshipClass& relationship, std::string& out)
{
    JsonObject object(out);
    AppendClassMembers(relationship, object);
    object.Text("strength", relationship.GetStrength());
    object.Text("strengthDirection", relationship.GetStrengthDirection());
    AppendSource(relationship.m_source, object.Key("source"));
    AppendTargets(relationship.m_targets, object.Key("targets"));
    object.Close();
}

void AppendReferences(ZVXML::CZVSchema& schema, std::string& out)
{
    std::vector<ZVXML::CZVSchemaReference*> references;
    ZVXML::CZVReferencedSchemaIterator iterator(&schema);
    for (ZVXML::CZVSchemaReference* reference = iterator.Begin(); reference; reference = iterator.Next()) {
        references.push_back(reference);
    }
    AppendArray(references, out, [](ZVXML::CZVSchemaReference* reference, std::string& into) {
        JsonObject object(into);
        object.Text("name", reference->m_schemaName);
        object.Text("prefix", reference->m_schemaPrefix);
        object.Text("version", reference->m_versionString);
        object.Flag("loaded", reference->m_pZVSchema != nullptr);
        object.Close();
    });
}

void AppendOneSchema(ZVXML::CZVSchema& schema, std::string& out)
{
    JsonObject object(out);
    object.Text("name", schema.GetSchemaName());
    object.Text("version", schema.VersionString());
    object.Text("prefix", schema.GetSchemaPrefix());
    object.Text("displayLabel", schema.GetDisplayLabel());
    object.Text("description", schema.GetDescription());
    AppendReferences(schema, object.Key("references"));
    AppendCustomAttributes(schema, object.Key("customAttributes"));
    std::string& classes = object.Key("classes");
    classes.push_back('[');
    for (std::size_t i = 0; i < schema.GetZVClassCount(); ++i) {
        if (i > 0) {
            classes.push_back(',');
        }
        JsonObject zvClass(classes);
        AppendClassMembers(*schema.GetZVClassByIndex(i), zvClass);
        zvClass.Close();
    }
    classes.push_back(']');
    std::string& relationships = object.Key("relationshipClasses");
    relationships.push_back('[');
    for (std::size_t i = 0; i < schema.GetZVRelationshipClassCount(); ++i) {
        if (i > 0) {
            relationships.push_back(',');
        }
        AppendRelationshipClass(*schema.GetZVRelationshipClass(i), relationships);
    }
    relationships.push_back(']');
    object.Close();
}

} // namespace

void AppendSchemaJson(ZVXML::CZVSchema& schema, std::string& out)
{
    JsonObject document(out);
    AppendArray(SchemasOf(schema), document.Key("schemas"),
                [](ZVXML::CZVSchema* each, std::string& into) { AppendOneSchema(*each, into); });
    document.Close();
}

} // namespace zvcli
