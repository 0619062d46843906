#include "instancexml/cardinality_text.h"
#include "instancexml/instance_id_table.h"
#include "instancexml/instance_value_checks.h"
#include "instancexml/validation_reporter.h"
#include "schema/schema_internals.h"

#include <zvxml/errors.h>
#include <zvxml/instancevalidation.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

namespace ZVXML {
namespace {

// A class's name, read without CZVClass::TypeName(), which hands it out for
// change and so marks the schema's name indexes stale: a schema that other
// threads may read at once must not be written by a validation.
const std::wstring& ClassName(const CZVClass& zvClass) { return CZVClass::Internals::TypeName(zvClass); }

// Base-class chains longer than this are taken as loops.
constexpr int kMaxBaseChain = 100000;

struct EndClass {
    std::wstring name; // as the end names it
    CZVClass* zvClass = nullptr; // NULL when the schema has no such class
    std::vector<std::pair<std::wstring, std::size_t>> keys; // each key property and its index
};

struct EndRules {
    const wchar_t* endName = L""; // "Source" or "Target"
    std::vector<EndClass> classes;
    bool polymorphic = false;
    std::wstring cardinalityText;
    Cardinality cardinality;
};

struct RelationshipRules {
    CZVRelationshipClass* zvClass = nullptr;
    EndRules source;
    EndRules target;
};

// An instance of the document, as the relationship checks need it; its id
// has the record's number in the id table.
struct InstanceRecord {
    CZVClass* zvClass;
    long line;
    long column;
};

// An end of a relationship: the record it names, or, while the id names no
// instance yet, kPendingEnd plus the id's number among the pending ones.
constexpr std::size_t kPendingEnd = std::size_t(1) << (sizeof(std::size_t) * 8 - 1);

struct RelationshipRecord {
    std::size_t rules;
    std::size_t self; // the record with the relationship's id
    std::size_t source;
    std::size_t target;
    long line;
    long column;
};

CZVClass* ResolveClass(CZVRelationshipClass& owner, const std::wstring& name)
{
    CZVSchema* schema = owner.GetZVSchema();
    try {
        return schema != nullptr ? schema->FindZVClassUsingFullName(name.c_str(), ZVCLASSTYPE_ANY) : nullptr;
    } catch (const ZVXMLException&) {
        return nullptr;
    }
}

// The relationship classes of `schema` and of every schema it references.
void CollectRelationshipClasses(CZVSchema* schema, std::set<CZVSchema*>& seen,
                                std::vector<CZVRelationshipClass*>& found)
{
    std::vector<CZVSchema*> pending{schema};
    while (!pending.empty()) {
        CZVSchema* next = pending.back();
        pending.pop_back();
        if (next == nullptr || !seen.insert(next).second) {
            continue;
        }
        for (std::size_t i = 0; i < next->GetZVRelationshipClassCount(); ++i) {
            found.push_back(next->GetZVRelationshipClass(i));
        }
        for (std::size_t i = 0; i < next->GetReferenceCount(); ++i) {
            pending.push_back(next->GetReferencedSchema(static_cast<unsigned long>(i)));
        }
    }
}

// Room for `count` more elements, growing geometrically as push_back does.
template <typename T>
void ReserveMore(std::vector<T>& elements, std::size_t count)
{
    if (elements.capacity() - elements.size() < count) {
        elements.reserve(std::max(elements.size() + count, elements.size() * 2));
    }
}

std::wstring Bounds(const Cardinality& cardinality)
{
    if (cardinality.high == Cardinality::kUnbounded) {
        return L"at least " + std::to_wstring(cardinality.low);
    }
    if (cardinality.low == cardinality.high) {
        return L"exactly " + std::to_wstring(cardinality.low);
    }
    return std::to_wstring(cardinality.low) + L" to " + std::to_wstring(cardinality.high);
}

} // namespace

struct ZVInstanceDocumentValidator::State {
    State(CZVSchema* schema, ZVValidationCallback callback, void* context) : reporter(callback, context)
    {
        std::set<CZVSchema*> seen;
        std::vector<CZVRelationshipClass*> classes;
        CollectRelationshipClasses(schema, seen, classes);
        for (CZVRelationshipClass* zvClass : classes) {
            RulesOf(*zvClass);
        }
        for (std::size_t i = 0; i < schema->GetZVRelationshipClassCount(); ++i) {
            countedRules.insert(rulesIndex[schema->GetZVRelationshipClass(i)]);
        }
    }

    ValidationReporter reporter;
    std::deque<RelationshipRules> rules; // a deque: the answers cached below point into it
    std::map<CZVRelationshipClass*, std::size_t> rulesIndex;
    std::set<std::size_t> countedRules; // whose cardinalities are checked
    std::map<std::wstring, std::size_t> keyIndex; // every key property name of every end
    // By index: each key's name and the first record that notes whether it
    // has a value. A key of a relationship class met only in the document
    // is noted from then on; an earlier record is taken to have it.
    std::vector<std::pair<std::wstring, std::size_t>> keys;
    std::size_t keyWords = 0; // per record in keyBits
    InstanceIdTable ids; // numbered as the records
    std::vector<InstanceRecord> records;
    std::vector<std::uint64_t> keyBits; // keyWords per record
    std::vector<RelationshipRecord> relationships;
    InstanceIdTable pendingIds; // ids ends named before any instance had them, each once
    std::map<std::pair<const EndRules*, CZVClass*>, const EndClass*> allowed;
    bool finished = false;

    std::size_t RulesOf(CZVRelationshipClass& zvClass)
    {
        const auto found = rulesIndex.find(&zvClass);
        if (found != rulesIndex.end()) {
            return found->second;
        }
        RelationshipRules made;
        made.zvClass = &zvClass;
        made.source.endName = L"Source";
        made.source.polymorphic = zvClass.m_source.m_isPolymorphic != 0;
        made.source.cardinalityText = zvClass.m_source.m_cardinality;
        AddEndClass(made.source, zvClass, zvClass.m_source.m_className, &zvClass.m_source.m_keyVector);
        made.target.endName = L"Target";
        made.target.polymorphic = zvClass.m_targets.m_isPolymorphic != 0;
        made.target.cardinalityText = zvClass.m_targets.m_cardinality;
        for (std::size_t i = 0; i < zvClass.m_targets.m_classNames.size(); ++i) {
            const auto* keys = i < zvClass.m_targets.m_keyVectors.size() ? &zvClass.m_targets.m_keyVectors[i] : nullptr;
            AddEndClass(made.target, zvClass, zvClass.m_targets.m_classNames[i], keys);
        }
        made.source.cardinality = ReadCardinality(made.source.cardinalityText);
        made.target.cardinality = ReadCardinality(made.target.cardinalityText);
        rules.push_back(std::move(made));
        return rulesIndex[&zvClass] = rules.size() - 1;
    }

    void AddEndClass(EndRules& end, CZVRelationshipClass& owner, const std::wstring& name,
                     const std::vector<std::wstring>* keys)
    {
        if (name.empty()) {
            return;
        }
        EndClass added{name, ResolveClass(owner, name), {}};
        if (keys != nullptr) {
            for (const std::wstring& key : *keys) {
                added.keys.emplace_back(key, IndexOfKey(key));
            }
        }
        end.classes.push_back(std::move(added));
    }

    // The end's class that admits `zvClass`, or NULL.
    const EndClass* Admitting(const EndRules& end, CZVClass* zvClass)
    {
        const auto key = std::make_pair(&end, zvClass);
        const auto known = allowed.find(key);
        if (known != allowed.end()) {
            return known->second;
        }
        const EndClass* found = nullptr;
        CZVClass* current = zvClass;
        for (int depth = 0; found == nullptr && current != nullptr && depth < kMaxBaseChain; ++depth) {
            for (const EndClass& candidate : end.classes) {
                if (candidate.zvClass == current) {
                    found = &candidate;
                }
            }
            if (!end.polymorphic) {
                break;
            }
            try {
                current = current->GetBaseZVClass();
            } catch (const ZVXMLException&) {
                current = nullptr; // a base class that cannot be found admits nothing more
            }
        }
        return allowed[key] = found;
    }

    std::size_t IndexOfKey(const std::wstring& key)
    {
        const auto found = keyIndex.find(key);
        if (found != keyIndex.end()) {
            return found->second;
        }
        if (keys.size() == keyWords * 64) {
            WidenKeyBits();
        }
        keys.emplace_back(key, records.size());
        keyIndex.emplace(key, keys.size() - 1);
        return keys.size() - 1;
    }

    // One more word of key bits per record.
    void WidenKeyBits()
    {
        std::vector<std::uint64_t> wider(records.size() * (keyWords + 1), 0);
        for (std::size_t record = 0; record < records.size(); ++record) {
            std::copy_n(keyBits.begin() + static_cast<std::ptrdiff_t>(record * keyWords), keyWords,
                        wider.begin() + static_cast<std::ptrdiff_t>(record * (keyWords + 1)));
        }
        keyBits.swap(wider);
        ++keyWords;
    }

    // The record with the instance's id: a new one, or the earlier
    // instance's when the id is taken.
    std::size_t Remember(CZVInstance& instance, const FindingSubject& subject)
    {
        // Room first, so that a failure leaves the id table and the records agreeing.
        ReserveMore(records, 1);
        ReserveMore(keyBits, keyWords);
        bool isNew = false;
        const std::size_t record = ids.Add(instance.InstanceID(), isNew);
        if (!isNew) {
            reporter.Report(subject, L"", L"has the identifier of an earlier instance");
            return record;
        }
        records.push_back(InstanceRecord{instance.GetZVClass(), subject.line, subject.column});
        keyBits.resize(keyBits.size() + keyWords, 0);
        std::uint64_t* bits = keyBits.data() + keyBits.size() - keyWords;
        for (std::size_t index = 0; index < keys.size(); ++index) {
            ZVValueBase* value = instance.GetPropertyValue(keys[index].first.c_str(), false);
            if (value != nullptr && !value->IsNull()) {
                bits[index / 64] |= std::uint64_t(1) << (index % 64);
            }
        }
        return record;
    }

    bool HasKey(std::size_t record, std::size_t key) const
    {
        if (record < keys[key].second) {
            return true; // read before the key was known: not noted
        }
        return (keyBits[record * keyWords + key / 64] >> (key % 64) & 1) != 0;
    }

    // An end as a relationship names it: its record when the id is known.
    std::size_t EndOf(const wchar_t* id)
    {
        const std::wstring_view text = id != nullptr ? id : L"";
        const std::size_t record = ids.Find(text);
        if (record != InstanceIdTable::kNone) {
            return record;
        }
        bool isNew = false;
        return kPendingEnd | pendingIds.Add(text, isNew);
    }

    FindingSubject SubjectOf(const RelationshipRecord& relationship, std::wstring& id) const
    {
        id = ids.Text(relationship.self);
        return FindingSubject{file, relationship.line, relationship.column,
                              ClassName(*rules[relationship.rules].zvClass), id};
    }

    static std::wstring AllowedText(const EndRules& end)
    {
        std::wstring text;
        for (const EndClass& candidate : end.classes) {
            text += (text.empty() ? L"" : L", ") + candidate.name;
        }
        if (text.empty()) {
            text = L"no class";
        }
        return end.polymorphic ? text + L" or a class derived from it" : text;
    }

    // The checks of one end of one relationship instance; the index of the
    // record it names, or SIZE_MAX when it names none. The findings' texts
    // are made only for a finding: most relationships have none.
    std::size_t CheckEnd(const RelationshipRecord& relationship, const EndRules& end, std::size_t named,
                         const wchar_t* role)
    {
        std::wstring id;
        if ((named & kPendingEnd) != 0) {
            const std::wstring pending = pendingIds.Text(named & ~kPendingEnd);
            named = ids.Find(pending);
            if (named == InstanceIdTable::kNone) {
                reporter.Report(SubjectOf(relationship, id), L"",
                                std::wstring(L"the ") + role + L" id '" + pending +
                                    L"' names no instance of the document");
                return SIZE_MAX;
            }
        }
        const InstanceRecord& record = records[named];
        const EndClass* admitting = record.zvClass != nullptr ? Admitting(end, record.zvClass) : nullptr;
        if (admitting == nullptr) {
            const std::wstring className = record.zvClass != nullptr ? ClassName(*record.zvClass) : L"?";
            reporter.Report(SubjectOf(relationship, id), L"",
                            std::wstring(L"the ") + role + L" instance '" + ids.Text(named) + L"' is a " + className +
                                L"; the " + end.endName + L" end allows " + AllowedText(end));
            return named;
        }
        for (const auto& [key, index] : admitting->keys) {
            if (!HasKey(named, index)) {
                reporter.Report(SubjectOf(relationship, id), L"",
                                std::wstring(L"the ") + role + L" instance '" + ids.Text(named) +
                                    L"' has no value for the key property " + key);
            }
        }
        return named;
    }

    // Per rule, how many of its relationships name each record.
    using Counts = std::vector<std::unordered_map<std::size_t, std::uint64_t>>;

    void CheckRelationships(Counts& sourceCounts, Counts& targetCounts)
    {
        sourceCounts.resize(rules.size());
        targetCounts.resize(rules.size());
        for (const RelationshipRecord& relationship : relationships) {
            const RelationshipRules& rule = rules[relationship.rules];
            const std::size_t source = CheckEnd(relationship, rule.source, relationship.source, L"source");
            const std::size_t target = CheckEnd(relationship, rule.target, relationship.target, L"target");
            if (source != SIZE_MAX) {
                ++sourceCounts[relationship.rules][source];
            }
            if (target != SIZE_MAX) {
                ++targetCounts[relationship.rules][target];
            }
        }
    }

    void ReportUnknownClasses(const RelationshipRules& rule)
    {
        const FindingSubject subject{L"", 0, 0, ClassName(*rule.zvClass), L""};
        for (const EndRules* end : {&rule.source, &rule.target}) {
            for (const EndClass& candidate : end->classes) {
                if (candidate.zvClass == nullptr) {
                    reporter.Report(subject, L"",
                                    std::wstring(L"the ") + end->endName + L" end's class '" + candidate.name +
                                        L"' is not in the schema");
                }
            }
            if (end->cardinality.kind == Cardinality::Kind::NotUnderstood) {
                reporter.Report(subject, L"",
                                std::wstring(L"the ") + end->endName + L" end's cardinality '" + end->cardinalityText +
                                    L"' is not understood; it is not checked");
            }
        }
    }

    using ClassRecords = std::map<CZVClass*, std::vector<std::size_t>>;

    // The records a cardinality could find fault with, in document order.
    // With a lower bound of 0 only instances some relationship names can
    // break it; otherwise every instance of the classes `end` admits
    // counts. Either way the work follows the instances concerned, not
    // every instance of the document once per relationship class.
    std::vector<std::size_t> CardinalityCandidates(const EndRules& end, const Cardinality& cardinality,
                                                   const std::unordered_map<std::size_t, std::uint64_t>& counts,
                                                   const ClassRecords& byClass)
    {
        std::vector<std::size_t> candidates;
        if (cardinality.low == 0) {
            for (const auto& counted : counts) {
                candidates.push_back(counted.first);
            }
        } else {
            for (const auto& [zvClass, indexes] : byClass) {
                if (Admitting(end, zvClass) != nullptr) {
                    candidates.insert(candidates.end(), indexes.begin(), indexes.end());
                }
            }
        }
        std::sort(candidates.begin(), candidates.end());
        return candidates;
    }

    // `end` names the instances counted, `counted` holds the cardinality;
    // `role` is what the counted instance is to the relationships.
    void CheckCardinality(std::size_t ruleIndex, const EndRules& end, const EndRules& counted, const wchar_t* role,
                          const Counts& allCounts, const ClassRecords& byClass)
    {
        const Cardinality& cardinality = counted.cardinality;
        if (cardinality.kind != Cardinality::Kind::Understood) {
            return;
        }
        const RelationshipRules& rule = rules[ruleIndex];
        const auto& counts = allCounts[ruleIndex];
        for (std::size_t i : CardinalityCandidates(end, cardinality, counts, byClass)) {
            const InstanceRecord& record = records[i];
            if (record.zvClass == nullptr || Admitting(end, record.zvClass) == nullptr) {
                continue;
            }
            const auto found = counts.find(i);
            const std::uint64_t count = found != counts.end() ? found->second : 0;
            if (!cardinality.Allows(count)) {
                const std::wstring id = ids.Text(i);
                const FindingSubject subject{file, record.line, record.column, ClassName(*record.zvClass), id};
                reporter.Report(subject, L"",
                                L"is the " + std::wstring(role) + L" of " + std::to_wstring(count) + L" " +
                                    ClassName(*rule.zvClass) + L" relationships; the " + counted.endName +
                                    L" end's cardinality '" + counted.cardinalityText + L"' allows " +
                                    Bounds(cardinality));
            }
        }
    }

    // Each class's records in document order; records of no class are left out.
    ClassRecords RecordsByClass() const
    {
        ClassRecords byClass;
        for (std::size_t i = 0; i < records.size(); ++i) {
            if (records[i].zvClass != nullptr) {
                byClass[records[i].zvClass].push_back(i);
            }
        }
        return byClass;
    }

    void Finish()
    {
        Counts sourceCounts;
        Counts targetCounts;
        CheckRelationships(sourceCounts, targetCounts);
        const ClassRecords byClass = RecordsByClass();
        for (std::size_t index : countedRules) {
            ReportUnknownClasses(rules[index]);
            CheckCardinality(index, rules[index].source, rules[index].target, L"source", sourceCounts, byClass);
            CheckCardinality(index, rules[index].target, rules[index].source, L"target", targetCounts, byClass);
        }
    }

    std::wstring file; // of the last instance checked, for the findings made at the end
};

ZVInstanceDocumentValidator::ZVInstanceDocumentValidator(CZVSchema* schema, ZVValidationCallback callback,
                                                         void* context)
    : m_state(nullptr)
{
    if (schema == nullptr || callback == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL into ZVInstanceDocumentValidator", L"");
    }
    m_state = new State(schema, callback, context);
}

ZVInstanceDocumentValidator::~ZVInstanceDocumentValidator() { delete m_state; }

int ZVInstanceDocumentValidator::Check(CZVInstance* instance, const std::wstring& file, long line, long column)
{
    if (instance == nullptr) {
        throw ZVXMLInvalidArgument(L"Passed NULL instance into ZVInstanceDocumentValidator::Check", L"");
    }
    State& state = *m_state;
    if (state.finished) {
        // It would go unchecked across the document: not a pass.
        throw ZVXMLLogicError(L"ZVInstanceDocumentValidator::Check called after Finish", L"");
    }
    if (state.reporter.Stopped()) {
        return 1;
    }
    if (state.file != file) {
        state.file = file; // kept for the findings made at the end
    }
    const FindingSubject subject{file, line, column, instance->TypeName(), instance->InstanceID()};
    try {
        CheckInstanceValues(*instance, subject, state.reporter);
        const std::size_t self = state.Remember(*instance, subject);
        auto* relationship = dynamic_cast<ZVRelationshipInstance*>(instance);
        auto* relationshipClass = dynamic_cast<CZVRelationshipClass*>(instance->GetZVClass());
        if (relationship != nullptr && relationshipClass != nullptr) {
            const std::size_t rules = state.RulesOf(*relationshipClass);
            state.countedRules.insert(rules);
            const std::size_t source = state.EndOf(relationship->GetSourceID());
            const std::size_t target = state.EndOf(relationship->GetTargetID());
            state.relationships.push_back(RelationshipRecord{rules, self, source, target, line, column});
        }
    } catch (const ValidationStopped&) {
        return 1;
    }
    return 0;
}

int ZVInstanceDocumentValidator::Finish()
{
    State& state = *m_state;
    if (state.reporter.Stopped() || state.finished) {
        return state.reporter.Stopped() ? 1 : 0;
    }
    state.finished = true;
    try {
        state.Finish();
    } catch (const ValidationStopped&) {
        return 1;
    }
    return 0;
}

std::size_t ZVInstanceDocumentValidator::GetFindingCount() const { return m_state->reporter.Count(); }

} // namespace ZVXML
