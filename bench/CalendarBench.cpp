// Conversion speed with the per-year tables, beside the direct evaluation of
// the formulas. Run: build/bench/calendar_bench (medians of 9 repetitions).
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "CalendarReference.h"
#include "ChineseCalendar.h"

namespace {

struct Date {
    int year, month, day;
};

struct LunarDate {
    int year, month, day;
    bool leap;
};

const std::vector<Date>& SampleDates()
{
    static const std::vector<Date> dates = [] {
        std::mt19937 random(20261208);
        std::uniform_int_distribution<int> dayNumber(velmora::DayNumber(1900, 1, 1), velmora::DayNumber(2100, 12, 31));
        std::vector<Date> out(4096);
        for (Date& d : out) velmora::DateOfDayNumber(dayNumber(random), d.year, d.month, d.day);
        return out;
    }();
    return dates;
}

const std::vector<LunarDate>& SampleLunarDates()
{
    static const std::vector<LunarDate> dates = [] {
        std::vector<LunarDate> out;
        for (const Date& d : SampleDates()) {
            LunarDate l{};
            if (velmora::GregorianToLunar(d.year, d.month, d.day, l.year, l.month, l.day, l.leap) && l.year < 2100)
                out.push_back(l);
        }
        return out;
    }();
    return dates;
}

template <bool (*Convert)(int, int, int, int&, int&, int&, bool&)>
void GregorianToLunarWith(benchmark::State& state)
{
    const auto& dates = SampleDates();
    for (const Date& d : dates) {  // fill the tables before timing
        LunarDate l{};
        Convert(d.year, d.month, d.day, l.year, l.month, l.day, l.leap);
    }
    std::size_t i = 0;
    for (auto _ : state) {
        const Date& d = dates[i++ % dates.size()];
        LunarDate l{};
        benchmark::DoNotOptimize(Convert(d.year, d.month, d.day, l.year, l.month, l.day, l.leap));
        benchmark::DoNotOptimize(l);
    }
}

template <bool (*Convert)(int, int, int, bool, int&, int&, int&)>
void LunarToGregorianWith(benchmark::State& state)
{
    const auto& dates = SampleLunarDates();
    std::size_t i = 0;
    for (auto _ : state) {
        const LunarDate& l = dates[i++ % dates.size()];
        Date d{};
        benchmark::DoNotOptimize(Convert(l.year, l.month, l.day, l.leap, d.year, d.month, d.day));
        benchmark::DoNotOptimize(d);
    }
}

void FourPillars(benchmark::State& state)
{
    const auto& dates = SampleDates();
    std::size_t i = 0;
    for (auto _ : state) {
        const Date& d = dates[i++ % dates.size()];
        benchmark::DoNotOptimize(velmora::YearPillar(d.year, d.month, d.day));
        benchmark::DoNotOptimize(velmora::MonthPillar(d.year, d.month, d.day));
        benchmark::DoNotOptimize(velmora::DayPillar(d.year, d.month, d.day));
        benchmark::DoNotOptimize(velmora::HourPillar(d.year, d.month, d.day, 7));
    }
}

constexpr int kRepetitions = 9;

BENCHMARK(GregorianToLunarWith<velmora::GregorianToLunar>)
    ->Name("GregorianToLunar/tables")->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(GregorianToLunarWith<velmora::reference::GregorianToLunar>)
    ->Name("GregorianToLunar/direct")->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(LunarToGregorianWith<velmora::LunarToGregorian>)
    ->Name("LunarToGregorian/tables")->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(LunarToGregorianWith<velmora::reference::LunarToGregorian>)
    ->Name("LunarToGregorian/direct")->Repetitions(kRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(FourPillars)->Repetitions(kRepetitions)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
