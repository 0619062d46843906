// Instance documents of any size for benchmarks and tests, with the schema
// their classes come from.
//
// The documents are deterministic: the same size and shape give the same
// bytes. Each group of five elements holds three Equipment instances and two
// Connects relationships, one with identifier attributes and one with
// ZVSource and ZVTarget children. Identifiers have the form of GUIDs, as
// those a host generates; texts carry entity references and characters
// outside ASCII; elements are indented. Two shapes:
//
// - MarkupDense (the default): every kind of property (primitive, array,
//   struct, a struct inside a struct, an array of structs; the identifier
//   under each of the three attribute names) with short texts. About 2.3 kB
//   and 88 elements per group, 27 bytes per element.
// - TextRich: records as a host that keeps notes writes them: a description
//   of about 700 bytes of prose, tags of a few words, one struct; each
//   relationship with a note of about 250 bytes. About 4.3 kB and 40
//   elements per group, 107 bytes per element.
#ifndef ZVXML_BENCH_INSTANCE_DOCUMENT_GENERATOR_H
#define ZVXML_BENCH_INSTANCE_DOCUMENT_GENERATOR_H

#include <zvxml/zvxml.h>

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <sstream>
#include <string>

namespace zvbench {

// Adds to `schema` the classes of the documents: Point {X, Y} and Extent
// {Min: Point, Max: Point} (structs), Equipment {Name, Description,
// Manufacturer, Rating, Count, Tags: string[], Location: Point, Bounds:
// Extent, Ports: Point[]} and the relationship class Connects {Strength,
// Note}.
inline void AddGeneratedClasses(ZVXML::CZVSchema& schema)
{
    using namespace ZVXML;
    CZVClass* point = schema.CreateZVClass(L"Point", L"", ZVCLASSTYPE_STRUCT | ZVCLASSTYPE_DOMAIN);
    point->AddZVProperty(L"X", L"double", L"");
    point->AddZVProperty(L"Y", L"double", L"");
    CZVClass* extent = schema.CreateZVClass(L"Extent", L"", ZVCLASSTYPE_STRUCT | ZVCLASSTYPE_DOMAIN);
    extent->AddZVProperty(L"Min", L"Point", L"");
    extent->AddZVProperty(L"Max", L"Point", L"");
    CZVClass* equipment = schema.CreateZVClass(L"Equipment", L"", ZVCLASSTYPE_DOMAIN);
    equipment->AddZVProperty(L"Name", L"string", L"");
    equipment->AddZVProperty(L"Description", L"string", L"");
    equipment->AddZVProperty(L"Manufacturer", L"string", L"");
    equipment->AddZVProperty(L"Rating", L"double", L"");
    equipment->AddZVProperty(L"Count", L"long", L"");
    equipment->AddZVProperty(L"Tags", L"string", L"")->SetMaxOccurs(L"unbounded");
    equipment->AddZVProperty(L"Location", L"Point", L"");
    equipment->AddZVProperty(L"Bounds", L"Extent", L"");
    equipment->AddZVProperty(L"Ports", L"Point", L"")->SetMaxOccurs(L"unbounded");
    CZVRelationshipClass* connects = schema.CreateZVRelationshipClass(L"Connects", L"", ZVCLASSTYPE_DOMAIN);
    connects->AddZVProperty(L"Strength", L"string", L"");
    connects->AddZVProperty(L"Note", L"string", L"");
}

struct GeneratedDocument {
    std::uint64_t bytes = 0;
    std::uint64_t instances = 0; // Equipment
    std::uint64_t relationships = 0; // Connects
};

enum class DocumentShape { MarkupDense, TextRich };

class InstanceDocumentGenerator {
public:
    explicit InstanceDocumentGenerator(DocumentShape shape = DocumentShape::MarkupDense) : m_shape(shape) {}

    // Writes groups until the document holds at least `minimumBytes`.
    GeneratedDocument Write(std::ostream& out, std::uint64_t minimumBytes)
    {
        GeneratedDocument made;
        std::string text = Head();
        for (std::uint64_t group = 0; made.bytes + text.size() < minimumBytes; ++group) {
            AppendGroup(text, group);
            made.instances += 3;
            made.relationships += 2;
            if (text.size() >= kFlushSize) {
                Flush(out, text, made);
            }
        }
        text += "</ZVInstanceXML>\n";
        Flush(out, text, made);
        return made;
    }

    std::string Text(std::uint64_t minimumBytes)
    {
        std::ostringstream out;
        Write(out, minimumBytes);
        return out.str();
    }

private:
    static constexpr std::size_t kFlushSize = 1 << 20;
    DocumentShape m_shape;

    static std::string Head()
    {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<ZVInstanceXML xmlns=\"http://www.molvane.com/schemas/Molvane.ZVXML.2.0\" scope=\"bench\">\n";
    }

    static void Flush(std::ostream& out, std::string& text, GeneratedDocument& made)
    {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        made.bytes += text.size();
        text.clear();
    }

    // A GUID-shaped identifier made from a number.
    static std::string Guid(std::uint64_t n)
    {
        char text[40];
        std::snprintf(text, sizeof text, "%08llx-4e2a-9b1c-%04llx-%012llx",
                      static_cast<unsigned long long>(n * 2654435761u % 0xFFFFFFFFu),
                      static_cast<unsigned long long>(n % 0xFFFF), static_cast<unsigned long long>(n));
        return text;
    }
    static std::string Id(std::uint64_t group, int member) { return Guid(group * 3 + member); }

    static void AppendPoint(std::string& text, const char* name, std::uint64_t a, std::uint64_t b)
    {
        text += "<";
        text += name;
        text += "><X>" + std::to_string(a) + ".25</X><Y>" + std::to_string(b) + "</Y></";
        text += name;
        text += ">";
    }

    static void AppendEquipment(std::string& text, std::uint64_t group, int member)
    {
        static const char* const kIdNames[] = {"id", "instanceID", "instanceId"};
        const std::uint64_t n = group * 3 + member;
        text += "  <Equipment ";
        text += kIdNames[member];
        text += "=\"" + Id(group, member) + "\">\n";
        text += "    <Name>Pump &amp; motor " + std::to_string(n) + " \xc3\xa9tage</Name>\n";
        text += "    <Description>Centrifugal feed pump, line " + std::to_string(n % 97) +
                ", inspected yearly</Description>\n";
        text += "    <Manufacturer>Ostwerk Maschinen</Manufacturer>\n";
        text += "    <Rating>" + std::to_string(n % 977) + ".5</Rating>\n";
        text += "    <Count>" + std::to_string(n % 31) + "</Count>\n";
        text += "    <Tags><string>north</string><string>line " + std::to_string(n % 13) +
                "</string><string>&lt;spare&gt;</string></Tags>\n    ";
        AppendPoint(text, "Location", n, n + 1);
        text += "\n    <Bounds>";
        AppendPoint(text, "Min", n, 0);
        AppendPoint(text, "Max", n + 10, 20);
        text += "</Bounds>\n    <Ports>";
        AppendPoint(text, "Point", 1, n);
        AppendPoint(text, "Point", 2, n);
        text += "</Ports>\n  </Equipment>\n";
    }

    static void AppendRelationships(std::string& text, std::uint64_t group)
    {
        const std::string source = Id(group, 0);
        text += "  <Connects id=\"" + Guid(group * 2 + (1ull << 40)) + "\" sourceInstanceID=\"" + source +
                "\" targetInstanceID=\"" + Id(group, 1) +
                "\">\n    <Strength>strong</Strength>\n    <Note>flange</Note>\n  </Connects>\n";
        text += "  <Connects id=\"" + Guid(group * 2 + 1 + (1ull << 40)) + "\">\n    <ZVSource href=\"" + source +
                "\"/>\n    <ZVTarget href=\"" + Id(group, 2) + "\"/>\n    <Strength>weak</Strength>\n  </Connects>\n";
    }

    // Words of `bytes` or a little more, picked from `seed`: the same seed
    // gives the same prose.
    static std::string Prose(std::uint64_t seed, std::size_t bytes)
    {
        static const char* const kWords[] = {"pump",
                                             "valve",
                                             "inspected",
                                             "pressure",
                                             "the",
                                             "seal",
                                             "replaced",
                                             "after",
                                             "flow",
                                             "of",
                                             "bearing",
                                             "noise",
                                             "reported",
                                             "at",
                                             "line",
                                             "and",
                                             "motor",
                                             "checked",
                                             "\xc3\xa9tage",
                                             "Pr\xc3\xbc"
                                             "fstand",
                                             "within",
                                             "limits",
                                             "&amp;",
                                             "drift",
                                             "casing",
                                             "minor",
                                             "wear",
                                             "on",
                                             "impeller",
                                             "&lt;5%&gt;",
                                             "scheduled",
                                             "shutdown"};
        constexpr std::uint64_t kCount = sizeof kWords / sizeof kWords[0];
        std::string prose;
        std::uint64_t state = seed * 6364136223846793005ull + 1442695040888963407ull;
        while (prose.size() < bytes) {
            state = state * 6364136223846793005ull + 1442695040888963407ull;
            if (!prose.empty()) {
                prose += ' ';
            }
            prose += kWords[(state >> 33) % kCount];
        }
        return prose + ".";
    }

    static void AppendNotedEquipment(std::string& text, std::uint64_t group, int member)
    {
        const std::uint64_t n = group * 3 + member;
        text += "  <Equipment id=\"" + Id(group, member) + "\">\n";
        text += "    <Name>Feed pump " + std::to_string(n) + " of hall " + std::to_string(n % 17) + "</Name>\n";
        text += "    <Description>" + Prose(n, 700) + "</Description>\n";
        text +=
            "    <Manufacturer>Ostwerk Maschinen und Anlagenbau, Werk " + std::to_string(n % 5) + "</Manufacturer>\n";
        text += "    <Rating>" + std::to_string(n % 977) + ".5</Rating>\n";
        text +=
            "    <Tags><string>" + Prose(n + 1, 24) + "</string><string>" + Prose(n + 2, 24) + "</string></Tags>\n    ";
        AppendPoint(text, "Location", n, n + 1);
        text += "\n  </Equipment>\n";
    }

    static void AppendNotedRelationships(std::string& text, std::uint64_t group)
    {
        const std::string source = Id(group, 0);
        text += "  <Connects id=\"" + Guid(group * 2 + (1ull << 40)) + "\" sourceInstanceID=\"" + source +
                "\" targetInstanceID=\"" + Id(group, 1) + "\">\n    <Strength>strong</Strength>\n    <Note>" +
                Prose(group * 2, 250) + "</Note>\n  </Connects>\n";
        text += "  <Connects id=\"" + Guid(group * 2 + 1 + (1ull << 40)) + "\">\n    <ZVSource href=\"" + source +
                "\"/>\n    <ZVTarget href=\"" + Id(group, 2) + "\"/>\n    <Note>" + Prose(group * 2 + 1, 250) +
                "</Note>\n  </Connects>\n";
    }

    void AppendGroup(std::string& text, std::uint64_t group) const
    {
        const bool noted = m_shape == DocumentShape::TextRich;
        for (int member = 0; member < 3; ++member) {
            noted ? AppendNotedEquipment(text, group, member) : AppendEquipment(text, group, member);
        }
        noted ? AppendNotedRelationships(text, group) : AppendRelationships(text, group);
    }
};

} // namespace zvbench

#endif
