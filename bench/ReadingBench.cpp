// One whole reading on the real Orsk.dll, warm: the chart, the seven lookups
// with their texts deciphered, and the result page built and written (files
// in a private folder). Beside it the reading without the page, and the same
// readings in precise mode with a birthplace and a minute (true solar time,
// the terms' moments, the notes), which may add under 0.2 ms, and with a
// city abroad (its zone's local time as well), which may add under 0.2 ms to
// the classic reading too.
//
// Run: build/bench/reading_bench (medians of 9 repetitions)
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

#include "ChineseCalendar.h"
#include "Reading.h"
#include "ReadingDatabase.h"
#include "ReadingTestSupport.h"
#include "ResultPage.h"

namespace {

namespace fs = std::filesystem;
using namespace velmora;

std::vector<BirthInput> SampleBirths()
{
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> dayNumber(DayNumber(1900, 1, 1), DayNumber(2100, 12, 31));
    std::uniform_int_distribution<int> hour(0, 23);
    std::vector<BirthInput> births(256);
    for (BirthInput& b : births) {
        int y = 0, m = 0, d = 0;
        DateOfDayNumber(dayNumber(random), y, m, d);
        b.name = "测试";
        b.sex = hour(random) % 2 ? "男" : "女";
        b.year = std::to_string(y);
        b.month = std::to_string(m);
        b.day = std::to_string(d);
        b.hour = std::to_string(hour(random));
    }
    return births;
}

std::vector<BirthInput> PreciseBirths(std::vector<BirthInput> births, const char* place = "成都市")
{
    for (BirthInput& b : births) {
        b.moment.place = place;
        b.moment.minute = 17;
    }
    return births;
}

std::vector<BirthInput> ChartBirths(std::vector<BirthInput> births)
{
    for (BirthInput& b : births) b.chart = true;
    return births;
}

// A private copy of the built database (it is held exclusively) and a
// private folder for the page files.
struct ReadingSetup {
    testing::ScratchFolder folder;
    fs::path file = folder.Path() / "Orsk.dll";
    TDatabaseConnection con1;
    TDatabaseQuery qry1;
    std::vector<BirthInput> births = SampleBirths();
    std::vector<BirthInput> preciseBirths = PreciseBirths(births);
    std::vector<BirthInput> worldBirths = PreciseBirths(births, "纽约");
    std::vector<BirthInput> chartBirths = ChartBirths(births);

    ReadingSetup()
        : con1((fs::copy_file(VELMORA_READING_DB_FILE, file), testing::ConnectionStringFor(file))), qry1(con1)
    {
        setenv("XDG_RUNTIME_DIR", folder.Path().c_str(), 1);
        TKarvoInfo warm;
        for (const BirthInput& b : births) ComputeReading(b, {2026, 12, 8}, qry1, warm);
        for (const BirthInput& b : preciseBirths) ComputeReading(b, {2026, 12, 8}, qry1, warm);
        for (const BirthInput& b : worldBirths) ComputeReading(b, {2026, 12, 8}, qry1, warm);
    }
};

ReadingSetup& Setup()
{
    static ReadingSetup setup;
    return setup;
}

void FullReading(benchmark::State& state)
{
    ReadingSetup& s = Setup();
    TKarvoInfo record;
    std::size_t i = 0;
    for (auto _ : state) {
        const BirthInput& birth = s.births[i++ % s.births.size()];
        benchmark::DoNotOptimize(ComputeReading(birth, {2026, 12, 8}, s.qry1, record));
        benchmark::DoNotOptimize(WriteResultPage(record, birth.name, birth.sex));
    }
}

// Readings of one kind of birth, without their pages.
void ReadingsWithoutPage(benchmark::State& state, const std::vector<BirthInput>& births)
{
    ReadingSetup& s = Setup();
    TKarvoInfo record;
    std::size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(ComputeReading(births[i++ % births.size()], {2026, 12, 8}, s.qry1, record));
}

void ReadingWithoutPage(benchmark::State& state) { ReadingsWithoutPage(state, Setup().births); }
void PreciseReadingWithoutPage(benchmark::State& state) { ReadingsWithoutPage(state, Setup().preciseBirths); }
// The same births with the full chart and its luck pillars.
void ChartReadingWithoutPage(benchmark::State& state) { ReadingsWithoutPage(state, Setup().chartBirths); }

// A city abroad: its local time through the tz database as well.
void WorldPlaceReadingWithoutPage(benchmark::State& state) { ReadingsWithoutPage(state, Setup().worldBirths); }

BENCHMARK(FullReading)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(ReadingWithoutPage)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(PreciseReadingWithoutPage)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(ChartReadingWithoutPage)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(WorldPlaceReadingWithoutPage)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
