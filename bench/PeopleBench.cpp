// The people list with 10,000 people kept (target: each under 50 ms):
// opening the store and reading everyone, as the window's list and
// velmora-cli people list do, and a search as the user types it, on a store
// already open and on one opened for it.
//
// Run: build/bench/people_bench --benchmark_repetitions=9 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "PeopleStore.h"
#include "ReadingTestSupport.h"

namespace {

namespace fs = std::filesystem;
using velmora::people::PeopleStore;
using velmora::people::Person;

constexpr int kPeople = 10000;

// A store of kPeople with names of two or three common characters, made once.
const fs::path& StoreOfTenThousand()
{
    static const velmora::testing::ScratchFolder folder;
    static const fs::path file = [] {
        const char* family[] = {"王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周"};
        const char* given[] = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "军", "洋", "勇", "艳", "杰", "娟"};
        std::mt19937 random(20261208);
        auto pick = [&](int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); };
        std::vector<Person> people(kPeople);
        for (Person& p : people) {
            p.name = std::string(family[pick(10)]) + given[pick(14)] + (pick(3) ? given[pick(14)] : "");
            p.sex = pick(2) ? "男" : "女";
            p.date = std::to_string(1940 + pick(80)) + "-" + std::to_string(1 + pick(12)) + "-" +
                     std::to_string(1 + pick(28));
            p.hour = std::to_string(pick(24));
            if (pick(4) == 0) p.note = "同学 " + std::to_string(pick(100));
        }
        const fs::path store = folder.Path() / "people.sqlite";
        PeopleStore(store).AddAll(people);
        return store;
    }();
    return file;
}

void BM_OpenAndListEveryone(benchmark::State& state)
{
    const fs::path& file = StoreOfTenThousand();
    for (auto _ : state) {
        PeopleStore store(file);
        benchmark::DoNotOptimize(store.List());
    }
}
BENCHMARK(BM_OpenAndListEveryone)->Unit(benchmark::kMillisecond);

void BM_ListEveryoneOpenStore(benchmark::State& state)
{
    PeopleStore store(StoreOfTenThousand());
    for (auto _ : state) benchmark::DoNotOptimize(store.List());
}
BENCHMARK(BM_ListEveryoneOpenStore)->Unit(benchmark::kMillisecond);

// A two-character search matches some hundreds of people.
void BM_SearchOpenStore(benchmark::State& state)
{
    PeopleStore store(StoreOfTenThousand());
    for (auto _ : state) benchmark::DoNotOptimize(store.List("王芳"));
}
BENCHMARK(BM_SearchOpenStore)->Unit(benchmark::kMillisecond);

void BM_OpenAndSearch(benchmark::State& state)
{
    const fs::path& file = StoreOfTenThousand();
    for (auto _ : state) {
        PeopleStore store(file);
        benchmark::DoNotOptimize(store.List("王"));
    }
}
BENCHMARK(BM_OpenAndSearch)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
