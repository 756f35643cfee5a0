// The content of the real reading database, build/bin/Orsk.dll: every key of
// every commentary column has a text of the right form and length, no
// sentence repeats within a column, and the weights are the traditional
// ones. A missing or faulty text fails with its column and key.
//
// VELMORA_READING_DB names another file to check instead.
#include "ReadingDatabase.h"
#include "ReadingStatements.h"
#include "ReadingTestSupport.h"
#include "StoredTextChecks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

namespace velmora::testing {
namespace {

std::filesystem::path DatabaseFile()
{
    const char* other = std::getenv("VELMORA_READING_DB");
    return other && *other ? other : VELMORA_READING_DB_FILE;
}

// The database holds its file exclusively, so each test reads a copy of its
// own: tests run side by side, and the program may be running from build/bin.
class DatabaseCopy {
public:
    DatabaseCopy()
    {
        if (std::filesystem::exists(DatabaseFile())) std::filesystem::copy_file(DatabaseFile(), file_);
    }
    std::string ConnectionString() const { return ConnectionStringFor(file_); }

private:
    ScratchFolder folder_;
    std::filesystem::path file_ = folder_.Path() / "Orsk.dll";
};

struct ColumnCase {
    std::string name;     // for the test name
    std::string column;   // table.[column], for messages
    std::string_view statement;
    std::string textColumn;
    std::vector<std::string> keys;
    LengthRange range;
    // The keys a lookup puts into the statement for one key of the column.
    std::function<std::vector<std::string>(const std::string&)> statementKeys = [](const std::string& key) {
        return std::vector<std::string>{key};
    };
};

std::vector<ColumnCase> AllColumns()
{
    std::vector<ColumnCase> columns = {
        {"Year", "软件数据.[年内容]", kYearStatement, std::string(kYearTextColumn), YearKeys(), {100, 250}},
        {"Month", "软件数据.[月内容]", kMonthStatement, std::string(kMonthTextColumn), NumberKeys(12), {60, 200}},
        {"Day", "软件数据.[日内容]", kDayStatement, std::string(kDayTextColumn), NumberKeys(30), {60, 200}},
        {"Hour", "软件数据.[时内容]", kHourStatement, std::string(kHourTextColumn), HourKeys(), {60, 200}},
        {"MaleBone", "骨重星座.[男骨重]", kMaleBoneStatement, std::string(kMaleBoneTextColumn), BoneWeightKeys(), {120, 300}},
        {"FemaleBone", "骨重星座.[女骨重]", kFemaleBoneStatement, std::string(kFemaleBoneTextColumn), BoneWeightKeys(),
         {120, 300}},
        {"StarSign", "骨重星座.[星内容]", kStarSignStatement, std::string(kStarSignTextColumn), StarSignKeys(), {60, 200}},
        {"Animal", "属相数据.[属相内容]", kAnimalStatement, std::string(kAnimalTextColumn), AnimalKeys(), {60, 200},
         [](const std::string& animal) { return std::vector<std::string>{"1", animal}; }},
    };
    for (const std::string& month : NumberKeys(12))
        columns.push_back({"AnimalMonth" + month, "属相数据.[" + AnimalMonthColumn(month) + "]", kAnimalStatement,
                           AnimalMonthColumn(month), AnimalKeys(), {60, 200},
                           [month](const std::string& animal) { return std::vector<std::string>{month, animal}; }});
    return columns;
}

void PrintTo(const ColumnCase& c, std::ostream* out) { *out << c.column; }

class EveryColumn : public ::testing::TestWithParam<ColumnCase> {};

TEST_P(EveryColumn, HasAWellFormedTextForEveryKeyAndNoRepeatedSentence)
{
    const ColumnCase& c = GetParam();
    ASSERT_TRUE(std::filesystem::exists(DatabaseFile())) << DatabaseFile();
    const DatabaseCopy copy;
    TDatabaseConnection connection(copy.ConnectionString());
    TDatabaseQuery query(connection);
    std::vector<std::pair<std::string, std::string>> texts;
    for (const std::string& key : c.keys) {
        const auto keys = c.statementKeys(key);
        query.SetSQL(keys.size() == 1 ? FormatStatement(c.statement, {keys[0]})
                                      : FormatStatement(c.statement, {keys[0], keys[1]}));
        query.Open();
        std::string plain;
        for (const std::string& problem : CheckStoredText(query.FieldAsString(c.textColumn), c.range, &plain))
            ADD_FAILURE() << c.column << " key " << key << ": " << problem;
        if (!plain.empty()) texts.emplace_back(key, plain);
    }
    for (const std::string& finding : RepeatedSentences(texts)) ADD_FAILURE() << c.column << ": " << finding;
}

INSTANTIATE_TEST_SUITE_P(RealDatabase, EveryColumn, ::testing::ValuesIn(AllColumns()),
                         [](const auto& info) { return info.param.name; });

TEST(RealDatabase, HoldsTheTraditionalWeights)
{
    const DatabaseCopy copy;
    TDatabaseConnection connection(copy.ConnectionString());
    TDatabaseQuery query(connection);
    const auto weights = ReadTraditionalWeights(VELMORA_BONE_WEIGHTS_FILE);
    const std::pair<std::string, std::pair<std::string_view, std::string_view>> tables[] = {
        {"year", {kYearStatement, kYearWeightColumn}},
        {"month", {kMonthStatement, kMonthWeightColumn}},
        {"day", {kDayStatement, kDayWeightColumn}},
        {"hour", {kHourStatement, kHourWeightColumn}}};
    for (const auto& [table, lookup] : tables)
        for (const auto& [key, weight] : weights.at(table)) {
            query.SetSQL(FormatStatement(lookup.first, {key}));
            query.Open();
            EXPECT_EQ(query.FieldAsInteger(lookup.second), weight) << table << " " << key;
        }
}

}  // namespace
}  // namespace velmora::testing
