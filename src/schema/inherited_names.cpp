#include "schema/inherited_names.h"

#include <zvxml/schema.h>

#include "schema/base_links.h"
#include "schema/class_name_index.h"
#include "schema/schema_internals.h"

#include <algorithm>
#include <memory>

namespace ZVXML {
namespace detail {
namespace {

using Access = CZVClass::Internals;

// More lists than this along one chain are left to walks.
constexpr std::size_t kMostLists = 8;

const ChainInfo* CurrentChain(const CZVClass& zvClass, std::uint64_t generation)
{
    const ChainInfo* chain = Access::Chain(zvClass);
    return chain != nullptr && chain->generation == generation ? chain : nullptr;
}

// The current summary of `zvClass`, or the summary a class without a base
// has (written into `scratch`: a class of a referenced schema gets none
// stored), or NULL.
const ChainInfo* ChainOrTop(const CZVClass& zvClass, std::uint64_t generation, ChainInfo& scratch)
{
    if (const ChainInfo* chain = CurrentChain(zvClass, generation)) {
        return chain;
    }
    if (Access::BaseLink(zvClass) != nullptr || Access::BaseByNameOnly(zvClass)) {
        return nullptr;
    }
    scratch.generation = generation;
    scratch.exact = true;
    scratch.depth = 0;
    scratch.top = &zvClass;
    return &scratch;
}

// The summary of `zvClass` from the current summary of its base (NULL when
// there is none to be had).
std::unique_ptr<ChainInfo> Summarize(const CZVClass& zvClass, const ChainInfo* baseChain, std::uint64_t generation)
{
    auto chain = std::make_unique<ChainInfo>();
    chain->generation = generation;
    CZVClass* base = Access::BaseLink(zvClass);
    if (base == nullptr) {
        chain->exact = !Access::BaseByNameOnly(zvClass);
        chain->top = &zvClass;
        return chain;
    }
    if (baseChain == nullptr || !baseChain->exact || Access::Lists(*base).empty()) {
        return chain;
    }
    chain->depth = baseChain->depth + 1;
    chain->top = baseChain->top;
    chain->lists = baseChain->lists;
    ClassNameIndex* list = Access::Lists(*base).front();
    if (std::find(chain->lists.begin(), chain->lists.end(), list) == chain->lists.end()) {
        if (chain->lists.size() == kMostLists) {
            return chain;
        }
        chain->lists.push_back(list);
    }
    // Every base of an exact chain has a current, exact summary, stored
    // unless it is the topmost.
    chain->jumps.push_back(base);
    for (std::size_t k = 1;; ++k) {
        const ChainInfo* step = k == 1 ? baseChain : Access::Chain(*chain->jumps[k - 1]);
        if (step == nullptr || step->jumps.size() < k) {
            break;
        }
        chain->jumps.push_back(step->jumps[k - 1]);
    }
    chain->exact = true;
    return chain;
}

// The current summary of `zvClass`, worked out for it and for those of its
// bases that lack one and belong to its schema.
const ChainInfo* EnsureChain(CZVClass& zvClass, std::uint64_t generation)
{
    if (const ChainInfo* chain = CurrentChain(zvClass, generation)) {
        return chain;
    }
    const CZVSchema* schema = zvClass.GetZVSchema();
    std::vector<CZVClass*> path;
    const ChainInfo* above = nullptr;
    ChainInfo foreignTop;
    for (CZVClass* current = &zvClass;;) {
        path.push_back(current);
        CZVClass* base = Access::BaseLink(*current);
        if (base == nullptr) {
            break;
        }
        if (base->GetZVSchema() != schema) {
            above = ChainOrTop(*base, generation, foreignTop); // not ours to summarize
            break;
        }
        above = CurrentChain(*base, generation);
        if (above != nullptr) {
            break;
        }
        current = base;
    }
    for (std::size_t i = path.size(); i-- > 0;) {
        const ChainInfo* baseChain = i + 1 < path.size() ? Access::Chain(*path[i + 1]) : above;
        Access::SetChain(*path[i], Summarize(*path[i], baseChain, generation));
    }
    return Access::Chain(zvClass);
}

// Whether `candidate` is a base of `zvClass`, whose summary is `chain`
// (current and exact).
bool IsBase(const CZVClass& candidate, const CZVClass& zvClass, const ChainInfo& chain, std::uint64_t generation)
{
    // Every base of a class with an exact chain has a current, exact summary
    // or is the topmost, which ChainOrTop answers for: a candidate without
    // one is no base. Working its summary out instead would cost a walk up
    // its own chain, and the owners of a name are often derived classes
    // whose summaries a new link has just made stale.
    ChainInfo top;
    const ChainInfo* candidateChain = ChainOrTop(candidate, generation, top);
    if (candidateChain == nullptr || !candidateChain->exact || candidateChain->top != chain.top ||
        candidateChain->depth >= chain.depth) {
        return false;
    }
    const CZVClass* current = &zvClass;
    for (std::size_t k = 0, steps = chain.depth - candidateChain->depth; steps != 0; ++k, steps >>= 1) {
        if ((steps & 1) != 0) {
            current = Access::Chain(*current)->jumps[k];
        }
    }
    return current == &candidate;
}

// Ancestry tests worth making before a walk of the chain is cheaper.
std::size_t TestBudget(std::size_t depth)
{
    std::size_t steps = 1;
    for (std::size_t rest = depth; rest > 1; rest >>= 1) {
        ++steps;
    }
    return 8 + depth / steps;
}

} // namespace

Inherited FindInheritedName(CZVClass& zvClass, std::wstring_view name)
{
    const std::uint64_t generation = LinkGeneration();
    const ChainInfo* chain = EnsureChain(zvClass, generation);
    if (!chain->exact) {
        return Inherited::Unknown;
    }
    std::size_t budget = TestBudget(chain->depth);
    for (ClassNameIndex* list : chain->lists) {
        if (!list->OwnersCurrent()) {
            if (&list->Schema() != zvClass.GetZVSchema()) {
                return Inherited::Unknown;
            }
            list->MakeOwnersCurrent();
        }
        const std::vector<CZVClass*>* owners = list->Owners(name);
        if (owners == nullptr) {
            continue;
        }
        for (CZVClass* owner : *owners) {
            if (owner == &zvClass) {
                continue;
            }
            if (budget-- == 0) {
                return Inherited::Unknown;
            }
            // Names of equal hash share an owner entry: look at the name.
            if (IsBase(*owner, zvClass, *chain, generation) && Access::FindOwnProperty(*owner, name) != nullptr) {
                return Inherited::Yes;
            }
        }
    }
    return Inherited::No;
}

} // namespace detail
} // namespace ZVXML
