// The 24 terms of a year: as a reading gets them (from the store, computed
// once per year) and computed afresh with ERFA; the target is under 50 µs
// median for the first. Beside them one equation of time and one chart moment.
//
// Run: build/bench/moment_bench (medians of 9 repetitions)
#include <benchmark/benchmark.h>

#include "BirthMoment.h"
#include "TermMoments.h"

namespace {

using namespace velmora;

void TermsOfAYear(benchmark::State& state)
{
    int year = 1900;
    for (int y = 1900; y <= 2100; ++y) TermMomentsOfYear(y);
    for (auto _ : state) {
        benchmark::DoNotOptimize(TermMomentsOfYear(year).data());
        year = year == 2100 ? 1900 : year + 1;
    }
}

void TermsOfAYearComputedAfresh(benchmark::State& state)
{
    int year = 1900;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComputeTermMoments(year));
        year = year == 2100 ? 1900 : year + 1;
    }
}

void EquationOfTimeAtAMoment(benchmark::State& state)
{
    BeijingSeconds moment = ToBeijingSeconds({2024, 2, 4, 10, 0, 0});
    for (auto _ : state) benchmark::DoNotOptimize(EquationOfTime(moment += 3607));
}

void PreciseChartWithALongitude(benchmark::State& state)
{
    BeijingSeconds moment = ToBeijingSeconds({2024, 2, 4, 10, 0, 0});
    const MomentRules rules{true, 104.07, ZiSchool::Late};
    for (auto _ : state) benchmark::DoNotOptimize(ChartAt(moment += 3607, rules));
}

BENCHMARK(TermsOfAYear)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(TermsOfAYearComputedAfresh)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(EquationOfTimeAtAMoment)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(PreciseChartWithALongitude)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
