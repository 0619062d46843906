#include <zvxml/errors.h>
#include <zvxml/instancewriter.h>
#include <zvxml/namespaces.h>
#include <zvxml/schema.h>

#include "foundation/file_name.h"
#include "foundation/utf8.h"
#include "foundation/writing_scope.h"
#include "foundation/xml_names.h"
#include "instance/value_kind.h"
#include "platform/io/atomic_file_write.h"
#include "platform/sax/sax_reader.h"

#include <algorithm>
#include <cwchar>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ZVXML {
namespace {

// Output is handed on in pieces of about this size.
constexpr std::size_t kFlushSize = 64 * 1024;

// A type or property name the readers would not read as an element name
// (by the XML name rules they follow, and libxml2's limit on its length).
void RequireElementName(const wchar_t* name, const wchar_t* what)
{
    RequireWritableText(name, what);
    if (name == nullptr || !IsReadableXmlLocalName(name)) {
        const std::wstring item = WritingScope::Describe();
        throw ZVXMLFormatError(L"Cannot write " + item + L": its " + what + L" '" + (name ? name : L"") +
                                   L"' cannot be an element name.",
                               L"");
    }
}

// An instance element a reader would read as something else: under the
// root "Project" groups instances, and the element of a relationship class
// is read as a relationship, which needs its two ends.
void RequireReadableInstance(CZVInstance& instance)
{
    const wchar_t* problem = nullptr;
    if (std::wcscmp(instance.GetTypeName(), L"Project") == 0) {
        problem = L"its type name 'Project' names the element that groups instances";
    } else if (dynamic_cast<ZVRelationshipInstance*>(&instance) == nullptr &&
               dynamic_cast<CZVRelationshipClass*>(instance.GetZVClass()) != nullptr) {
        problem = L"an instance of a relationship class is written as a ZVRelationshipInstance, with its ends";
    }
    if (problem != nullptr) {
        throw ZVXMLFormatError(L"Cannot write " + WritingScope::Describe() + L": " + problem + L".", L"");
    }
}

// Appends `text` as UTF-8, escaped for element content or, with
// `isAttribute`, for a quoted attribute value.
void AppendEscaped(const wchar_t* text, bool isAttribute, std::string& out)
{
    const wchar_t* run = text;
    const auto flush = [&](const wchar_t* end) { AppendWideAsUtf8(run, static_cast<std::size_t>(end - run), out); };
    const wchar_t* c = text;
    for (; *c != L'\0'; ++c) {
        const char* escape = nullptr;
        switch (*c) {
        case L'&':
            escape = "&amp;";
            break;
        case L'<':
            escape = "&lt;";
            break;
        case L'>':
            escape = "&gt;";
            break;
        case L'\r':
            escape = "&#13;";
            break;
        case L'"':
            escape = isAttribute ? "&quot;" : nullptr;
            break;
        case L'\t':
            escape = isAttribute ? "&#9;" : nullptr;
            break;
        case L'\n':
            escape = isAttribute ? "&#10;" : nullptr;
            break;
        default:
            break;
        }
        if (escape != nullptr) {
            flush(c);
            out += escape;
            run = c + 1;
        }
    }
    flush(c);
}

class InstanceText {
public:
    // `primitiveNames` is scratch room the writer keeps from instance to
    // instance.
    InstanceText(std::string& out, std::vector<std::wstring_view>& primitiveNames)
        : m_out(out), m_primitiveNames(primitiveNames)
    {
        m_primitiveNames.clear();
    }

    void Instance(CZVInstance& instance)
    {
        const std::wstring kind = instance.TypeName() + L" instance";
        {
            // An identifier that cannot be written cannot name the instance.
            const WritingScope unnamed(kind.c_str(), nullptr);
            RequireElementName(instance.GetTypeName(), L"type name");
            RequireReadableInstance(instance);
            RequireWritableText(instance.InstanceID(), L"identifier");
        }
        const WritingScope scope(kind.c_str(), instance.GetInstanceID());
        m_instance = &instance;
        const std::size_t tagStart = m_out.size();
        Open(1, instance.GetTypeName());
        Attribute(L"id", instance.GetInstanceID(), L"identifier");
        if (auto* relationship = dynamic_cast<ZVRelationshipInstance*>(&instance)) {
            Attribute(L"sourceInstanceID", relationship->GetSourceID(), L"source identifier");
            Attribute(L"targetInstanceID", relationship->GetTargetID(), L"target identifier");
        }
        if (m_out.size() - tagStart > platform::kMaxWrittenStartTag) { // as written: escapes lengthen it
            throw ZVXMLFormatError(L"Cannot write " + WritingScope::Describe() + L": its start tag is longer than " +
                                       std::to_wstring(platform::kMaxWrittenStartTag) +
                                       L" bytes, more than a reader of the document accepts.",
                                   L"");
        }
        Children(instance, instance.GetTypeName(), 1);
    }

private:
    void Indent(int depth) { m_out.append(static_cast<std::size_t>(depth) * 2, ' '); }

    void Open(int depth, const wchar_t* name)
    {
        // The root is level 1 and an instance level 2: a document any deeper
        // would be refused by every reader of it. Structs that hold their
        // own instance never end; they reach this too.
        if (depth + 1 > platform::kSaxMaxDepth) {
            throw ZVXMLFormatError(L"Cannot write " + m_instance->TypeName() + L" instance '" +
                                       m_instance->InstanceID() + L"': its values nest deeper than " +
                                       std::to_wstring(platform::kSaxMaxDepth) +
                                       L" element levels, more than a reader of the document accepts.",
                                   L"");
        }
        Indent(depth);
        m_out += '<';
        AppendWideAsUtf8(name, std::wcslen(name), m_out);
    }

    void Close(int depth, const wchar_t* name, bool onOwnLine)
    {
        if (onOwnLine) {
            Indent(depth);
        }
        m_out += "</";
        AppendWideAsUtf8(name, std::wcslen(name), m_out);
        m_out += ">\n";
    }

    void Attribute(const wchar_t* name, const wchar_t* value, const wchar_t* what)
    {
        RequireWritableText(value, what);
        m_out += ' ';
        AppendWideAsUtf8(name, std::wcslen(name), m_out);
        m_out += "=\"";
        AppendEscaped(value, true, m_out);
        m_out += '"';
    }

    // The values of `holder` (an instance, or a struct's embedded instance)
    // as children of the element `name` just opened at `depth` (its start
    // tag still open), then the element's end.
    void Children(CZVInstance& holder, const wchar_t* name, int depth)
    {
        bool empty = true;
        const std::size_t primitivesBefore = m_primitiveNames.size();
        for (std::size_t i = 0; i < holder.GetZVValueCount(); ++i) {
            ZVValueBase* value = holder.GetZVValue(i);
            const ValueKind kind = value != nullptr ? KindOf(*value) : ValueKind{};
            if (value == nullptr || IsLeftOut(kind)) {
                continue;
            }
            if (kind.primitive != nullptr) {
                RequireFirstOfItsName(*value, primitivesBefore);
            }
            if (empty) {
                m_out += ">\n";
                empty = false;
            }
            Value(holder.GetZVClass(), *value, kind, depth + 1);
        }
        m_primitiveNames.resize(primitivesBefore);
        if (empty) {
            m_out += "/>\n";
        } else {
            Close(depth, name, true);
        }
    }

    // A reader takes a primitive property's element written twice in one
    // holder as a new text for the same value: the first would be lost.
    void RequireFirstOfItsName(ZVValueBase& value, std::size_t holderStart)
    {
        const wchar_t* const written = PropertyNameOf(value);
        const std::wstring_view name = written;
        const auto begin = m_primitiveNames.begin() + static_cast<std::ptrdiff_t>(holderStart);
        if (std::find(begin, m_primitiveNames.end(), name) != m_primitiveNames.end()) {
            // Named as written: the name it has in memory ("X2") is the model's own.
            const WritingScope scope(L"ZVProperty", written);
            throw ZVXMLFormatError(L"Cannot write " + WritingScope::Describe() +
                                       L": it is a second value of a primitive property, which a reader takes as a "
                                       L"new text for the first.",
                                   L"");
        }
        m_primitiveNames.push_back(name);
    }

    static bool IsLeftOut(const ValueKind& kind) { return kind.primitive != nullptr && kind.primitive->IsNull(); }

    static const wchar_t* PropertyNameOf(ZVValueBase& value)
    {
        return value.GetProperty() != nullptr ? value.GetProperty()->GetPropertyName() : value.GetPropertyName();
    }

    // `holderClass`: the class of the instance holding the value (NULL: none).
    void Value(CZVClass* holderClass, ZVValueBase& value, const ValueKind& kind, int depth)
    {
        const wchar_t* name = PropertyNameOf(value);
        const WritingScope scope(L"ZVProperty", name);
        RequireElementName(name, L"name");
        // A reader reads the element as the property it finds by that name:
        // a value of another kind would come back as something else, and one
        // of no property would stop the read of this instance and every later one.
        const CZVProperty* readAs = nullptr;
        if (holderClass != nullptr) {
            readAs = PropertyAReaderFinds(*holderClass, value, name);
            if (readAs == nullptr) {
                Refuse(L"its instance's class " + std::wstring(holderClass->GetTypeName()) +
                       L" has no property of that name");
            }
            RequireKindFits(kind, *readAs, false);
        }
        Element(kind, name, depth, readAs);
    }

    static void RequireKindFits(const ValueKind& kind, const CZVProperty& property, bool isMember)
    {
        if (const wchar_t* mismatch = KindMismatch(kind, property, isMember)) {
            Refuse(mismatch);
        }
    }

    [[noreturn]] static void Refuse(const std::wstring& why)
    {
        throw ZVXMLFormatError(
            L"Cannot write " + WritingScope::Describe() + L": " + why + L", so a reader would not read it back.", L"");
    }

    // One element named `name` holding the value of `kind` (none: an empty
    // element); `readAs`: the property a reader reads it as (NULL: unknown).
    void Element(const ValueKind& kind, const wchar_t* name, int depth, const CZVProperty* readAs)
    {
        Open(depth, name);
        if (kind.primitive != nullptr) {
            Primitive(*kind.primitive, name);
        } else if (kind.structValue != nullptr && kind.structValue->GetValue() != nullptr) {
            Children(*kind.structValue->GetValue(), name, depth);
        } else if (kind.array != nullptr) {
            Members(*kind.array, name, depth, readAs);
        } else {
            m_out += "/>\n"; // no value, or a struct without an embedded instance
        }
    }

    void Primitive(CZVValue& value, const wchar_t* name)
    {
        const wchar_t* text = L"";
        if (!value.IsNull()) {
            RequireWritableText(value.Value(), L"value");
            RequireReadableLength(value.Value(), platform::kMaxTextRun, L"value");
            text = value.GetValue();
        }
        if (*text == L'\0') {
            m_out += "/>\n";
            return;
        }
        m_out += '>';
        AppendEscaped(text, false, m_out);
        Close(0, name, false);
    }

    void Members(ZVArrayValue& array, const wchar_t* name, int depth, const CZVProperty* readAs)
    {
        if (array.GetLength() == 0) {
            m_out += "/>\n";
            return;
        }
        const wchar_t* memberName = array.GetProperty() != nullptr ? array.GetProperty()->GetTypeName() : L"";
        RequireElementName(memberName, L"type name");
        if (readAs != nullptr && std::wcscmp(memberName, readAs->GetTypeName()) != 0) {
            Refuse(L"its members would be named " + std::wstring(memberName) + L" where the property's are named " +
                   readAs->GetTypeName());
        }
        m_out += ">\n";
        for (std::size_t i = 0; i < array.GetLength(); ++i) {
            ZVValueBase* member = array.GetValue(i);
            const ValueKind kind = member != nullptr ? KindOf(*member) : ValueKind{};
            if (readAs != nullptr) {
                const WritingScope scope(L"member", nullptr);
                RequireKindFits(kind, *readAs, true);
            }
            Element(kind, memberName, depth + 1, nullptr);
        }
        Close(depth, name, true);
    }

    std::string& m_out;
    CZVInstance* m_instance = nullptr; // the instance being written
    // The element names of the primitive values written so far in each
    // holder being written, outermost first.
    std::vector<std::wstring_view>& m_primitiveNames;
};

} // namespace

struct ZVInstanceXMLWriter::Output {
    platform::AtomicFileOutput file; // used when `stream` is NULL
    std::ostream* stream = nullptr;
    std::string pending; // written text not yet handed on
    std::string instance; // the instance being written
    std::vector<std::wstring_view> primitiveNames; // InstanceText's scratch room
    std::size_t count = 0;
    bool closed = false;
    // Set by an output that failed: part of `pending` may have gone out, so
    // nothing more may follow it, and a file must not be put in place.
    std::wstring failure;

    void RequireNoFailure() const
    {
        if (!failure.empty()) {
            throw ZVXMLRuntimeError(failure, L"");
        }
    }

    void Start(const wchar_t* scope)
    {
        pending = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ZVInstanceXML xmlns=\"";
        AppendWideAsUtf8(ZVXML_NAMESPACE_URI, std::wcslen(ZVXML_NAMESPACE_URI), pending);
        pending += '"';
        if (scope != nullptr) {
            const WritingScope item(L"ZVInstanceXML", nullptr);
            RequireWritableText(scope, L"scope");
            pending += " scope=\"";
            AppendEscaped(scope, true, pending);
            pending += '"';
        }
        pending += ">\n";
    }

    void Flush()
    {
        if (stream != nullptr) {
            stream->write(pending.data(), static_cast<std::streamsize>(pending.size()));
            if (!*stream) {
                Fail(L"Cannot write the instance document: the output stream failed");
            }
        } else if (const std::string problem = file.Write(pending); !problem.empty()) {
            Fail(Utf8ToWide(problem));
        }
        pending.clear();
    }

    [[noreturn]] void Fail(std::wstring message)
    {
        failure = std::move(message);
        throw ZVXMLRuntimeError(failure, L"");
    }
};

ZVInstanceXMLWriter::ZVInstanceXMLWriter(const wchar_t* path, const wchar_t* scope) : m_output(nullptr)
{
    if (path == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL path into ZVInstanceXMLWriter", L"");
    }
    if (const std::wstring unusable = FileNameProblem(path); !unusable.empty()) {
        throw ZVXMLRuntimeError(L"Cannot write file '" + std::wstring(path) + L"': " + unusable, L"");
    }
    auto output = std::make_unique<Output>();
    output->Start(scope);
    const std::string failure = output->file.Open(WideToUtf8(path));
    if (!failure.empty()) {
        throw ZVXMLRuntimeError(Utf8ToWide(failure), L"");
    }
    m_output = output.release();
}

ZVInstanceXMLWriter::ZVInstanceXMLWriter(std::ostream& out, const wchar_t* scope) : m_output(nullptr)
{
    auto output = std::make_unique<Output>();
    output->stream = &out;
    output->Start(scope);
    m_output = output.release();
}

ZVInstanceXMLWriter::~ZVInstanceXMLWriter()
{
    if (m_output != nullptr && m_output->stream != nullptr && !m_output->closed && m_output->failure.empty()) {
        try {
            m_output->Flush();
        } catch (...) {
            // The stream keeps what it took; a destructor reports nothing.
        }
    }
    delete m_output;
}

void ZVInstanceXMLWriter::Write(CZVInstance* instance)
{
    if (instance == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL instance into ZVInstanceXMLWriter::Write", L"");
    }
    if (m_output->closed) {
        throw ZVXMLLogicError(L"ZVInstanceXMLWriter::Write called after Close", L"");
    }
    m_output->RequireNoFailure();
    m_output->instance.clear();
    InstanceText(m_output->instance, m_output->primitiveNames).Instance(*instance);
    m_output->pending += m_output->instance;
    ++m_output->count;
    if (m_output->pending.size() >= kFlushSize) {
        m_output->Flush();
    }
}

void ZVInstanceXMLWriter::Close()
{
    if (m_output->closed) {
        return;
    }
    // A Close that fails is not tried again: the file stays as it was.
    m_output->closed = true;
    m_output->RequireNoFailure();
    m_output->pending += "</ZVInstanceXML>\n";
    m_output->Flush();
    if (m_output->stream != nullptr) {
        m_output->stream->flush();
        if (!*m_output->stream) {
            m_output->Fail(L"Cannot write the instance document: the output stream failed");
        }
    } else if (const std::string problem = m_output->file.Commit(); !problem.empty()) {
        m_output->Fail(Utf8ToWide(problem));
    }
}

std::size_t ZVInstanceXMLWriter::GetInstanceCount() const { return m_output->count; }

} // namespace ZVXML
