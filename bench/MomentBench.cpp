// The 24 terms of a year: as a reading gets them (the build's table for
// 1600-2200, else computed once per year and kept) and computed afresh with
// ERFA; the target is under 50 µs median for the first. Beside them one
// equation of time and one chart moment.
//
// Run: build/bench/moment_bench (medians of 9 repetitions)
#include <benchmark/benchmark.h>

#include "BirthMoment.h"
#include "TermMoments.h"

namespace {

using namespace velmora;

// Every year of the table in turn, copied out as a caller would read it.
void TermsOfAYearFromTheTable(benchmark::State& state)
{
    int year = 1600;
    for (auto _ : state) {
        YearTerms terms = TermMomentsOfYear(year);
        benchmark::DoNotOptimize(terms);
        year = year == 2200 ? 1600 : year + 1;
    }
}

// Years outside the table, after their first computation.
void TermsOfAYearOutsideTheTableKept(benchmark::State& state)
{
    int year = 1400;
    for (int y = 1400; y < 1600; ++y) TermMomentsOfYear(y);
    for (auto _ : state) {
        YearTerms terms = TermMomentsOfYear(year);
        benchmark::DoNotOptimize(terms);
        year = year == 1599 ? 1400 : year + 1;
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

BENCHMARK(TermsOfAYearFromTheTable)->Unit(benchmark::kNanosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(TermsOfAYearOutsideTheTableKept)->Unit(benchmark::kNanosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(TermsOfAYearComputedAfresh)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(EquationOfTimeAtAMoment)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(PreciseChartWithALongitude)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
