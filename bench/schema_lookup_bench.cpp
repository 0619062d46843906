// Adding N classes with distinct names to a schema and looking each up.
// The total must grow like N log N at worst, not N squared: compare the
// time per class across N = 1,000, 10,000 and 50,000.
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

} // namespace

BENCHMARK(AddAndFindClasses)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(AddDerivedClasses)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
