// The seven database lookups of one reading on the real Orsk.dll, warm (the
// connection open, statements compiled before), beside the same lookups
// compiling every statement afresh, and beside the first reading of a run
// (opening the file and deriving its key included).
//
// Run: build/bench/reading_lookup_bench --benchmark_repetitions=9 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include "ChineseCalendar.h"
#include "ReadingDatabase.h"
#include "ReadingStatements.h"
#include "ReadingTestSupport.h"
#include "UnitPublic.h"

#include <filesystem>
#include <random>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace velmora;

struct BirthKeys {
    std::string year, month, day, hour, starSign, animal;
    bool male;
};

const std::vector<BirthKeys>& SampleBirths()
{
    static const std::vector<BirthKeys> births = [] {
        std::mt19937 random(20261208);
        auto pick = [&](int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); };
        std::vector<BirthKeys> out(256);
        for (BirthKeys& b : out)
            b = {SexagenaryName(pick(60)), std::to_string(1 + pick(12)), std::to_string(1 + pick(30)),
                 BranchName(pick(12)) + "时", StarSignName(pick(12)) + "座", AnimalName(pick(12)), pick(2) == 0};
        return out;
    }();
    return births;
}

// A private copy of the built database: the file is held exclusively.
class DatabaseCopy {
public:
    DatabaseCopy() { fs::copy_file(VELMORA_READING_DB_FILE, file_); }
    std::string ConnectionString() const { return testing::ConnectionStringFor(file_); }

private:
    testing::ScratchFolder folder_;
    fs::path file_ = folder_.Path() / "Orsk.dll";
};

// What one reading does with the query: seven statements, each replacing the
// previous one, with the weights summed into the bone-weight key.
std::size_t RunLookups(TDatabaseQuery& query, const BirthKeys& birth)
{
    std::size_t textBytes = 0;
    int total = 0;
    auto lookup = [&](std::string_view statement, std::initializer_list<std::string_view> keys,
                      std::string_view weightColumn, std::string_view textColumn) {
        query.SetSQL(FormatStatement(statement, keys));
        query.Open();
        if (!weightColumn.empty()) total += query.FieldAsInteger(weightColumn);
        textBytes += query.FieldAsString(textColumn).size();
    };
    lookup(kYearStatement, {birth.year}, kYearWeightColumn, kYearTextColumn);
    lookup(kMonthStatement, {birth.month}, kMonthWeightColumn, kMonthTextColumn);
    lookup(kDayStatement, {birth.day}, kDayWeightColumn, kDayTextColumn);
    lookup(kHourStatement, {birth.hour}, kHourWeightColumn, kHourTextColumn);
    const std::string boneWeight = FormatBoneWeight(total / 10.0);
    if (birth.male) lookup(kMaleBoneStatement, {boneWeight}, {}, kMaleBoneTextColumn);
    else lookup(kFemaleBoneStatement, {boneWeight}, {}, kFemaleBoneTextColumn);
    lookup(kStarSignStatement, {birth.starSign}, {}, kStarSignTextColumn);
    query.SetSQL(FormatStatement(kAnimalStatement, {birth.month, birth.animal}));
    query.Open();
    textBytes += query.FieldAsString(kAnimalTextColumn).size() + query.FieldAsString(AnimalMonthColumn(birth.month)).size();
    return textBytes;
}

void BM_SevenLookupsWarm(benchmark::State& state)
{
    const DatabaseCopy copy;
    TDatabaseConnection connection(copy.ConnectionString());
    TDatabaseQuery query(connection);
    for (const BirthKeys& birth : SampleBirths()) RunLookups(query, birth);  // open, compile, fill the page cache
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(RunLookups(query, SampleBirths()[next]));
        next = (next + 1) % SampleBirths().size();
    }
}
BENCHMARK(BM_SevenLookupsWarm)->Unit(benchmark::kMicrosecond);

void BM_SevenLookupsCompilingEachStatement(benchmark::State& state)
{
    const DatabaseCopy copy;
    TDatabaseConnection connection(copy.ConnectionString());
    connection.Open();
    for (const BirthKeys& birth : SampleBirths()) {
        TDatabaseQuery warmUp(connection);
        RunLookups(warmUp, birth);
    }
    std::size_t next = 0;
    for (auto _ : state) {
        TDatabaseQuery query(connection);  // a new query has compiled nothing yet
        benchmark::DoNotOptimize(RunLookups(query, SampleBirths()[next]));
        next = (next + 1) % SampleBirths().size();
    }
}
BENCHMARK(BM_SevenLookupsCompilingEachStatement)->Unit(benchmark::kMicrosecond);

void BM_FirstReadingOfARun(benchmark::State& state)
{
    const DatabaseCopy copy;
    std::size_t next = 0;
    for (auto _ : state) {
        TDatabaseConnection connection(copy.ConnectionString());
        TDatabaseQuery query(connection);
        benchmark::DoNotOptimize(RunLookups(query, SampleBirths()[next]));
        next = (next + 1) % SampleBirths().size();
    }
}
BENCHMARK(BM_FirstReadingOfARun)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
