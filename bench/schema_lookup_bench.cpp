// Adding N classes with distinct names to a schema and looking each up, and
// the shapes that once cost the square of their size: N classes of one name,
// N properties along a base-class chain of N classes, N properties in one
// class. The totals must grow about linearly: compare the time per item
// across the sizes.
#include <zvxml/zvxml.h>

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

std::vector<std::wstring> Names(std::size_t count)
{
    std::vector<std::wstring> names;
    names.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        names.push_back(L"Class" + std::to_wstring(i * 7919 % count) + L"_" + std::to_wstring(i));
    }
    return names;
}

void AddAndFindClasses(benchmark::State& state)
{
    const std::vector<std::wstring> names = Names(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        ZVXML::CZVSchema schema(L"p", L"Plant", L"");
        for (const std::wstring& name : names) {
            schema.CreateZVClass(name.c_str(), L"", ZVXML::ZVCLASSTYPE_DOMAIN);
        }
        for (const std::wstring& name : names) {
            benchmark::DoNotOptimize(schema.FindZVClass(name.c_str(), ZVXML::ZVCLASSTYPE_ANY));
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void AddDerivedClasses(benchmark::State& state)
{
    // Every class names the previous one as its base: the ordering rule must
    // not rescan the whole list for each class.
    const std::vector<std::wstring> names = Names(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        ZVXML::CZVSchema schema(L"p", L"Plant", L"");
        ZVXML::CZVClass* previous = nullptr;
        for (const std::wstring& name : names) {
            ZVXML::CZVClass* created = schema.CreateZVClass(name.c_str(), L"", ZVXML::ZVCLASSTYPE_DOMAIN);
            if (previous != nullptr) {
                created->SetBaseClass(previous->GetTypeName());
            }
            previous = created;
        }
        benchmark::DoNotOptimize(previous->FindProperty(L"Missing"));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void AddClassesOfOneName(benchmark::State& state)
{
    // Each newcomer is renamed Pipe2, Pipe3, ...: the next free number.
    for (auto _ : state) {
        ZVXML::CZVSchema schema(L"p", L"Plant", L"");
        for (long i = 0; i < state.range(0); ++i) {
            schema.CreateZVClass(L"Pipe", L"", ZVXML::ZVCLASSTYPE_DOMAIN);
        }
        benchmark::DoNotOptimize(schema.GetZVClassCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Every class derives from the one before; each property added must not be
// in any base class. Interleaved as a host builds a chain, or the chain
// first and the properties from its top down, as the schema loader reads.
void AddPropertiesAlongChain(benchmark::State& state, bool chainFirst)
{
    const std::vector<std::wstring> names = Names(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        ZVXML::CZVSchema schema(L"p", L"Plant", L"");
        std::vector<ZVXML::CZVClass*> chain;
        for (const std::wstring& name : names) {
            ZVXML::CZVClass* created = schema.CreateZVClass(name.c_str(), L"", ZVXML::ZVCLASSTYPE_DOMAIN);
            if (!chain.empty()) {
                created->SetBaseClass(chain.back()->GetTypeName());
            }
            chain.push_back(created);
            if (!chainFirst) {
                created->AddZVProperty(L"P" + name, L"string", L"");
            }
        }
        if (chainFirst) {
            for (std::size_t i = 0; i < chain.size(); ++i) {
                chain[i]->AddZVProperty(L"P" + names[i], L"string", L"");
            }
        }
        benchmark::DoNotOptimize(chain.back()->FindProperty(L"Missing"));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void AddPropertiesToOneClass(benchmark::State& state)
{
    const std::vector<std::wstring> names = Names(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        ZVXML::CZVSchema schema(L"p", L"Plant", L"");
        ZVXML::CZVClass* wide = schema.CreateZVClass(L"Wide", L"", ZVXML::ZVCLASSTYPE_DOMAIN);
        for (const std::wstring& name : names) {
            wide->AddZVProperty(name, L"double", L"");
        }
        benchmark::DoNotOptimize(wide->FindProperty(names.front().c_str()));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(AddAndFindClasses)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(AddDerivedClasses)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(AddClassesOfOneName)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AddPropertiesAlongChain, Interleaved, false)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AddPropertiesAlongChain, ChainFirst, true)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(AddPropertiesToOneClass)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
