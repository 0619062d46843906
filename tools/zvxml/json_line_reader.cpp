#include "json_line_reader.h"

#include <zvxml/errors.h>
#include <zvxml/text.h>

#include <nlohmann/json.hpp>

#include <cwctype>
#include <utility>
#include <vector>

namespace zvcli {
namespace {

// Objects and arrays nested in one line, at most. An instance document holds
// 256 element levels, which need fewer; a deeper line is refused before its
// nodes (built, and destroyed, one level per call) could exhaust the stack.
constexpr std::size_t kMaxJsonNesting = 512;

// A JSON value as read, numbers kept as their text.
struct Node {
    enum class Kind { Null, Text, Number, Boolean, Object, Array } kind = Kind::Null;
    std::string text; // Text, Number, Boolean ("true" / "false")
    std::vector<std::pair<std::string, Node>> members; // Object, in order
    std::vector<Node> items; // Array
};

// Builds Nodes from nlohmann's SAX events, which give a number's own text.
class NodeBuilder : public nlohmann::json_sax<nlohmann::json> {
public:
    Node root;

    bool null() override { return Put(Node{}); }
    bool boolean(bool value) override { return Put(Scalar(Node::Kind::Boolean, value ? "true" : "false")); }
    bool number_integer(number_integer_t value) override
    {
        return Put(Scalar(Node::Kind::Number, std::to_string(value)));
    }
    bool number_unsigned(number_unsigned_t value) override
    {
        return Put(Scalar(Node::Kind::Number, std::to_string(value)));
    }
    bool number_float(number_float_t, const string_t& text) override { return Put(Scalar(Node::Kind::Number, text)); }
    bool string(string_t& value) override { return Put(Scalar(Node::Kind::Text, value)); }
    bool binary(binary_t&) override { return false; }
    bool start_object(std::size_t) override { return Open(Node::Kind::Object); }
    bool key(string_t& name) override
    {
        m_key = name;
        return true;
    }
    bool end_object() override { return Close(); }
    bool start_array(std::size_t) override { return Open(Node::Kind::Array); }
    bool end_array() override { return Close(); }
    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& error) override
    {
        throw JsonLineError{L"not JSON at byte " + std::to_wstring(position) + L": " + ZVXML::ToWString(error.what())};
    }

private:
    static Node Scalar(Node::Kind kind, std::string text)
    {
        Node node;
        node.kind = kind;
        node.text = std::move(text);
        return node;
    }

    // Places `node` in the open object or array, or as the root.
    Node* Place(Node node)
    {
        if (m_open.empty()) {
            root = std::move(node);
            return &root;
        }
        Node& parent = *m_open.back();
        if (parent.kind == Node::Kind::Object) {
            parent.members.emplace_back(m_key, std::move(node));
            return &parent.members.back().second;
        }
        parent.items.push_back(std::move(node));
        return &parent.items.back();
    }
    bool Put(Node node)
    {
        Place(std::move(node));
        return true;
    }
    bool Open(Node::Kind kind)
    {
        if (m_open.size() == kMaxJsonNesting) {
            throw JsonLineError{L"objects and arrays nested more than " + std::to_wstring(kMaxJsonNesting) + L" deep"};
        }
        Node node;
        node.kind = kind;
        m_open.push_back(Place(std::move(node)));
        return true;
    }
    bool Close()
    {
        m_open.pop_back();
        return true;
    }

    // Pointers stay valid: a node's children are not touched once a later
    // sibling is opened, and each open node is the last child of its parent.
    std::vector<Node*> m_open;
    std::string m_key;
};

// Every string of a line passes here. A NUL would end it for the library's
// const wchar_t* setters, so it is refused rather than cut.
std::wstring Wide(const std::string& text)
{
    if (text.find('\0') != std::string::npos) {
        throw JsonLineError{L"a string holds U+0000, a character XML 1.0 cannot carry"};
    }
    return ZVXML::ToWString(std::string_view(text));
}

const Node* Member(const Node& object, const char* name)
{
    for (const auto& [key, value] : object.members) {
        if (key == name) {
            return &value;
        }
    }
    return nullptr;
}

std::wstring RequiredText(const Node& object, const char* name)
{
    const Node* member = Member(object, name);
    if (member == nullptr || member->kind != Node::Kind::Text) {
        throw JsonLineError{L"\"" + Wide(name) + L"\" must be a string"};
    }
    return Wide(member->text);
}

// The property a value named `name` belongs to: the property of that name,
// or, as a second value of a property is named ("Tags2"), the property of
// the name without its counter.
ZVXML::CZVProperty* PropertyNamed(ZVXML::CZVClass& zvClass, const std::wstring& name)
{
    if (ZVXML::CZVProperty* property = zvClass.FindProperty(name.c_str())) {
        return property;
    }
    std::size_t end = name.size();
    while (end > 0 && std::iswdigit(name[end - 1])) {
        --end;
    }
    return end < name.size() && end > 0 ? zvClass.FindProperty(name.substr(0, end).c_str()) : nullptr;
}

void FillInstance(ZVXML::CZVInstance& instance, const Node& properties);

// A single (non-array) value of `property` from `node`.
ZVXML::ZVValueBase* SingleValue(ZVXML::CZVProperty& property, const Node& node, const std::wstring& name)
{
    if (property.IsStruct() != 0) {
        if (node.kind != Node::Kind::Object) {
            throw JsonLineError{L"property " + name + L" holds a struct: an object is expected"};
        }
        auto value = std::make_unique<ZVXML::ZVStructValue>(&property);
        FillInstance(*value->GetValue(), node);
        return value.release();
    }
    if (node.kind == Node::Kind::Object || node.kind == Node::Kind::Array) {
        throw JsonLineError{L"property " + name + L" is of type " + property.TypeName() +
                            L": a string, number, boolean or null is expected"};
    }
    if (node.kind == Node::Kind::Null) {
        return new ZVXML::CZVValue(&property, nullptr);
    }
    return new ZVXML::CZVValue(&property, Wide(node.text).c_str());
}

ZVXML::ZVValueBase* ValueOf(ZVXML::CZVProperty& property, const Node& node, const std::wstring& name)
{
    if (property.IsArray() == 0) {
        return SingleValue(property, node, name);
    }
    if (node.kind != Node::Kind::Array) {
        throw JsonLineError{L"property " + name + L" is an array: an array is expected"};
    }
    auto array = std::make_unique<ZVXML::ZVArrayValue>(&property);
    for (const Node& item : node.items) {
        array->PushBack(SingleValue(property, item, name));
    }
    return array.release();
}

void FillInstance(ZVXML::CZVInstance& instance, const Node& properties)
{
    if (properties.kind != Node::Kind::Object) {
        throw JsonLineError{L"the properties of " + instance.TypeName() + L" must be an object"};
    }
    for (const auto& [key, node] : properties.members) {
        const std::wstring name = Wide(key);
        ZVXML::CZVProperty* property = PropertyNamed(*instance.GetZVClass(), name);
        if (property == nullptr) {
            throw JsonLineError{L"class " + instance.TypeName() + L" has no property " + name};
        }
        std::unique_ptr<ZVXML::ZVValueBase> value(ValueOf(*property, node, name));
        instance.AddZVValue(value.get());
        value.release();
    }
}

std::unique_ptr<ZVXML::CZVInstance> NewInstance(const Node& object, ZVXML::CZVSchema& schema)
{
    const std::wstring className = RequiredText(object, "class");
    if (ZVXML::CZVRelationshipClass* relationshipClass =
            schema.FindZVRelationshipClass(className.c_str(), ZVXML::ZVCLASSTYPE_ANY)) {
        auto relationship = std::make_unique<ZVXML::ZVRelationshipInstance>(relationshipClass);
        relationship->SetSourceID(RequiredText(object, "source").c_str());
        relationship->SetTargetID(RequiredText(object, "target").c_str());
        return relationship;
    }
    ZVXML::CZVClass* zvClass = schema.FindZVClass(className.c_str(), ZVXML::ZVCLASSTYPE_ANY);
    if (zvClass == nullptr) {
        throw JsonLineError{L"the schema has no class " + className};
    }
    return std::make_unique<ZVXML::CZVInstance>(zvClass);
}

// Every key of a line is one the format has, and comes once: what the
// import passed over would be lost without a word.
void RequireKnownKeys(const Node& object, const ZVXML::CZVInstance& instance)
{
    const bool relationship = dynamic_cast<const ZVXML::ZVRelationshipInstance*>(&instance) != nullptr;
    for (std::size_t i = 0; i < object.members.size(); ++i) {
        const std::string& key = object.members[i].first;
        const bool known = key == "class" || key == "id" || key == "properties" || key == "source" || key == "target";
        if (!known) {
            throw JsonLineError{L"\"" + Wide(key) +
                                L"\" is not a key of an instance line (class, id, source, target, "
                                L"properties)"};
        }
        if (!relationship && (key == "source" || key == "target")) {
            throw JsonLineError{L"\"" + Wide(key) + L"\" belongs to relationship instances, and class " +
                                instance.GetTypeName() + L" is not a relationship class"};
        }
        for (std::size_t j = 0; j < i; ++j) {
            if (object.members[j].first == key) {
                throw JsonLineError{L"\"" + Wide(key) + L"\" appears twice"};
            }
        }
    }
}

} // namespace

std::unique_ptr<ZVXML::CZVInstance> InstanceFromJsonLine(const std::string& line, ZVXML::CZVSchema& schema)
{
    NodeBuilder builder;
    nlohmann::json::sax_parse(line, &builder);
    if (builder.root.kind != Node::Kind::Object) {
        throw JsonLineError{L"an object is expected"};
    }
    std::unique_ptr<ZVXML::CZVInstance> instance = NewInstance(builder.root, schema);
    RequireKnownKeys(builder.root, *instance);
    instance->SetInstanceID(RequiredText(builder.root, "id").c_str());
    const Node* properties = Member(builder.root, "properties");
    if (properties != nullptr) {
        FillInstance(*instance, *properties);
    }
    return instance;
}

} // namespace zvcli
