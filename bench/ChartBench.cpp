// The full chart of a reading: building it with its luck pillars (target
// under 50 µs median), and beside it the chart as JSON and as the page's
// section, which the formats add on top.
//
// Run: build/bench/chart_bench (medians of 9 repetitions)
#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include "BirthMoment.h"
#include "Chart.h"

namespace {

using namespace velmora;

// A birth every 3607 s from 1983 on, each year's term row read for the first
// time once the walk reaches it, as with a fresh reading; the reading's own
// precise pillars are made outside the timing.
ChartInput NextBirth(BeijingSeconds& moment, bool& male)
{
    moment += 3607 * 97;
    male = !male;
    MomentRules rules;
    rules.precise = true;
    const ChartMoment chart = ChartAt(moment, rules);
    return {chart.pillars[0], chart.pillars[1], chart.pillars[2], chart.pillars[3], male, moment,
            ToCivilTime(moment).year, {2026, 12, 8}};
}

void ChartWithLuckPillars(benchmark::State& state)
{
    BeijingSeconds moment = ToBeijingSeconds({1983, 2, 15, 20, 0, 0});
    bool male = false;
    for (auto _ : state) {
        state.PauseTiming();
        const ChartInput input = NextBirth(moment, male);
        state.ResumeTiming();
        benchmark::DoNotOptimize(BuildChart(input));
    }
}

const Chart& SampleChart()
{
    static const Chart chart = [] {
        BeijingSeconds moment = ToBeijingSeconds({1983, 2, 15, 20, 0, 0});
        bool male = true;
        return BuildChart(NextBirth(moment, male));
    }();
    return chart;
}

void ChartAsJson(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(ChartJson(SampleChart()).dump());
}

void ChartAsPageSection(benchmark::State& state)
{
    for (auto _ : state) benchmark::DoNotOptimize(ChartHtml(SampleChart()));
}

BENCHMARK(ChartWithLuckPillars)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(ChartAsJson)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(ChartAsPageSection)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
