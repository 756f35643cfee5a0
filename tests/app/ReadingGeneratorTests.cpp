// The generator's parts: the source parsers, the stored form of a text, the
// table layout and the reproducible file.
#include "ReadingGenerator.h"
#include "ReadingTestSupport.h"

#include "DESCrypt.h"
#include "GbkCodec.h"

#include <gtest/gtest.h>

#include <fstream>

namespace velmora::readingdb {
namespace {

namespace fs = std::filesystem;
using velmora::testing::ReadBytes;
using velmora::testing::ScratchFolder;

std::string ErrorOf(auto body)
{
    try {
        body();
    } catch (const std::exception& error) {
        return error.what();
    }
    ADD_FAILURE() << "nothing was thrown";
    return {};
}

BoneWeights TraditionalWeights()
{
    return ParseBoneWeights(ReadBytes(VELMORA_BONE_WEIGHTS_FILE), "bone-weights.tsv");
}

void WriteText(const fs::path& file, std::string_view content) { std::ofstream(file, std::ios::binary) << content; }

// ---------------------------------------------------------------------------
// Commentary files

TEST(ParseTextFile, TakesEveryLineUpToTheNextKeyWithoutTrailingEmptyLines)
{
    const auto entries = ParseTextFile("# header\n"
                                       "\n"
                                       "@ 鼠\n"
                                       "    [一]\n"
                                       "# a comment inside is left out\n"
                                       "    甲。\n"
                                       "\n"
                                       "    乙。\n"
                                       "\n"
                                       "\n"
                                       "@ 牛 12\r\n"
                                       "    [二]\r\n"
                                       "    丙。",
                                       "animal.txt");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].key, "鼠");
    EXPECT_EQ(entries[0].text, "    [一]\n    甲。\n\n    乙。");
    EXPECT_EQ(entries[0].line, 3);
    EXPECT_EQ(entries[1].key, "牛 12");
    EXPECT_EQ(entries[1].text, "    [二]\n    丙。");  // CR LF sources read like LF ones
}

struct MalformedCase {
    const char* name;
    std::string content;
    std::string expected;
};

void PrintTo(const MalformedCase& c, std::ostream* out) { *out << c.name; }

class AMalformedTextFile : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(AMalformedTextFile, IsAnErrorNamingFileAndLine)
{
    const std::string error = ErrorOf([] { ParseTextFile(GetParam().content, "year.txt"); });
    EXPECT_NE(error.find(GetParam().expected), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Files, AMalformedTextFile,
    ::testing::Values(MalformedCase{"TextBeforeTheFirstKey", "# c\n    [x]\n@ 甲子\n    y", "year.txt:2: text before"},
                      MalformedCase{"KeyWithoutSpace", "@甲子\n    y", "year.txt:1: a key line"},
                      MalformedCase{"KeyWithTwoSpaces", "@  甲子\n    y", "year.txt:1: a key line"},
                      MalformedCase{"KeyWithTrailingSpace", "@ 甲子 \n    y", "year.txt:1: a key line"},
                      MalformedCase{"BareAtSign", "@\n    y", "year.txt:1: a key line"},
                      MalformedCase{"RepeatedKey", "@ 甲子\n    y\n@ 甲子\n    z", "year.txt:3: second text for the key 甲子"},
                      MalformedCase{"KeyWithoutText", "@ 甲子\n\n\n@ 乙丑\n    z", "year.txt:1: the key 甲子 has no text"},
                      MalformedCase{"LastKeyWithoutText", "@ 甲子\n    y\n@ 乙丑\n", "year.txt:3: the key 乙丑 has no text"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StoreText, IsGbkWithCrLfLineEndsEnciphered)
{
    const std::string stored = StoreText("    [标题]\n    正文，一二三。", "f.txt", "k");
    EXPECT_EQ(stored.find_first_not_of("0123456789ABCDEF"), std::string::npos);
    const std::string gbk = DecryptStoredText(stored);
    EXPECT_EQ(gbk, *Utf8ToGbk("    [标题]\r\n    正文，一二三。"));
}

TEST(StoreText, ACharacterWithoutGbkFormIsNamedWithFileAndKey)
{
    const std::string error = ErrorOf([] { StoreText("    [题]\n    好😀字", "hour.txt", "子时"); });
    EXPECT_NE(error.find("hour.txt"), std::string::npos) << error;
    EXPECT_NE(error.find("子时"), std::string::npos) << error;
    EXPECT_NE(error.find("\"😀\" (U+1F600)"), std::string::npos) << error;

    const std::string broken = ErrorOf([] { StoreText("ab\xE4\xB8", "day.txt", "3"); });
    EXPECT_NE(broken.find("no UTF-8 at offset 2"), std::string::npos) << broken;
    EXPECT_NE(ErrorOf([] { StoreText(std::string("a\0b", 3), "day.txt", "3"); }).find("zero byte"), std::string::npos);
}

// ---------------------------------------------------------------------------
// Weights

TEST(ParseBoneWeights, ReadsTheTraditionalTableInRowOrder)
{
    const BoneWeights weights = TraditionalWeights();
    ASSERT_EQ(weights.year.size(), 60u);
    ASSERT_EQ(weights.month.size(), 12u);
    ASSERT_EQ(weights.day.size(), 30u);
    ASSERT_EQ(weights.hour.size(), 12u);
    EXPECT_EQ(weights.year.front(), (std::pair<std::string, int>{"甲子", 12}));
    EXPECT_EQ(weights.year.back(), (std::pair<std::string, int>{"癸亥", 6}));
    EXPECT_EQ(weights.day.back(), (std::pair<std::string, int>{"30", 6}));
    EXPECT_EQ(weights.hour.front(), (std::pair<std::string, int>{"子时", 16}));
}

TEST(ParseBoneWeights, RefusesIncompleteOrMalformedTables)
{
    const std::string full = ReadBytes(VELMORA_BONE_WEIGHTS_FILE);
    auto without = [&](std::string_view line) {
        std::string text = full;
        text.erase(text.find(line), line.size());
        return text;
    };
    const std::pair<std::string, std::string> cases[] = {
        {without("hour\t亥时\t6\n"), "no weight for hour 亥时"},
        {full + "day\t31\t5\n", "unknown key day 31"},
        {full + "year\t甲子\t12\n", "second weight for year 甲子"},
        {full + "month\t1\t0\n", "no positive whole number"},
        {full + "month\t1\tsix\n", "no positive whole number"},
        {full + "month 1 6\n", "expected table, key and weight"},
    };
    for (const auto& [text, expected] : cases) {
        const std::string& source = text;
        const std::string error = ErrorOf([&] { ParseBoneWeights(source, "w.tsv"); });
        EXPECT_NE(error.find(expected), std::string::npos) << error;
        EXPECT_EQ(error.rfind("w.tsv", 0), 0u) << error;
    }
}

TEST(PossibleTotals, TheTraditionalWeightsGiveEveryTenthFrom21To71)
{
    std::vector<int> expected;
    for (int total = 21; total <= 71; ++total) expected.push_back(total);
    EXPECT_EQ(PossibleTotals(TraditionalWeights()), expected);
}

TEST(PossibleTotals, LeavesOutSumsThatNoCombinationGives)
{
    BoneWeights weights{{{"甲子", 10}, {"乙丑", 20}}, {{"1", 1}}, {{"1", 1}}, {{"子时", 1}}};
    EXPECT_EQ(PossibleTotals(weights), (std::vector<int>{13, 23}));
}

// ---------------------------------------------------------------------------
// Layout

TEST(ReadingLayout, EachCommentaryFileFillsExactlyItsKeys)
{
    using namespace velmora::testing;
    const ReadingLayout layout = BuildReadingLayout(TraditionalWeights());
    std::vector<std::string> animalMonths;
    for (const std::string& animal : AnimalKeys())
        for (const std::string& month : NumberKeys(12)) animalMonths.push_back(animal + " " + month);
    const std::map<std::string, std::vector<std::string>> expected = {
        {"year.txt", YearKeys()},          {"month.txt", NumberKeys(12)},      {"day.txt", NumberKeys(30)},
        {"hour.txt", HourKeys()},          {"bone-male.txt", BoneWeightKeys()}, {"bone-female.txt", BoneWeightKeys()},
        {"star-sign.txt", StarSignKeys()}, {"animal.txt", AnimalKeys()},       {"animal-month.txt", animalMonths}};
    ASSERT_EQ(layout.textFiles.size(), expected.size());
    for (const TextFileLayout& file : layout.textFiles) {
        std::vector<std::string> keys;
        for (const auto& [key, cell] : file.keys) keys.push_back(key);
        EXPECT_EQ(keys, expected.at(file.fileName)) << file.fileName;
    }
}

TEST(ReadingLayout, KeysStandSideBySideFromTheTopWithNullBelow)
{
    const ReadingLayout layout = BuildReadingLayout(TraditionalWeights());
    ASSERT_EQ(layout.tables.size(), 3u);
    const TableData& years = layout.tables[0];
    ASSERT_EQ(years.rows.size(), 60u);
    EXPECT_EQ(years.rows[11][3], Cell{std::int64_t{12}});  // [月份] of the 12th row
    EXPECT_EQ(years.rows[12][3], Cell{});                  // NULL below
    EXPECT_EQ(years.rows[29][6], Cell{std::int64_t{30}});  // [日子]
    EXPECT_EQ(years.rows[30][6], Cell{});
    EXPECT_EQ(years.rows[11][9], Cell{std::string("亥时")});
    EXPECT_EQ(years.rows[12][10], Cell{});
    const TableData& bones = layout.tables[1];
    ASSERT_EQ(bones.rows.size(), 51u);
    EXPECT_EQ(bones.rows[0][0], Cell{std::string("二两一")});
    EXPECT_EQ(bones.rows[9][0], Cell{std::string("三两")});
    EXPECT_EQ(bones.rows[50][0], Cell{std::string("七两一")});
    EXPECT_EQ(bones.rows[11][3], Cell{std::string("双鱼座")});
    EXPECT_EQ(bones.rows[12][3], Cell{});
    EXPECT_EQ(layout.tables[2].rows.size(), 12u);
    EXPECT_EQ(layout.tables[2].columns.back().name, "属相12月");
    for (const TableData& table : layout.tables)
        for (const ColumnDef& column : table.columns) {
            const bool numeric = column.name.find("骨重") != std::string::npos && table.name == "软件数据";
            const bool numericKey = column.name == "月份" || column.name == "日子";
            EXPECT_EQ(column.integer, numeric || numericKey) << table.name << "." << column.name;
        }
}

// ---------------------------------------------------------------------------
// Filling and writing

class Generating : public ::testing::Test {
protected:
    ScratchFolder folder_;
    const fs::path texts_ = folder_.Path() / "texts";
    const fs::path output_ = folder_.Path() / "Orsk.dll";
    void SetUp() override { fs::create_directory(texts_); }
    GeneratorReport Generate() { return GenerateReadingDatabase({VELMORA_BONE_WEIGHTS_FILE, texts_, output_}); }
};

TEST_F(Generating, MissingTextsAreReportedNotFatal)
{
    WriteText(texts_ / "hour.txt", "@ 子时\n    [子]\n    一。\n@ 亥时\n    [亥]\n    二。\n");
    WriteText(texts_ / "notes.txt", "scratch");
    const GeneratorReport report = Generate();
    EXPECT_TRUE(fs::exists(output_));
    EXPECT_EQ(report.textCount, 2u);
    ASSERT_EQ(report.missing.size(), 9u);
    const auto hour = std::find_if(report.missing.begin(), report.missing.end(),
                                   [](const MissingTexts& m) { return m.fileName == "hour.txt"; });
    ASSERT_NE(hour, report.missing.end());
    EXPECT_EQ(hour->keys.size(), 10u);
    EXPECT_EQ(hour->keys.front(), "丑时");
    EXPECT_EQ(report.ignoredFiles, std::vector<std::string>{"notes.txt"});
    const std::string summary = DescribeReport(report);
    EXPECT_NE(summary.find("382 texts missing (2 stored)"), std::string::npos) << summary;
    EXPECT_NE(summary.find("hour.txt (软件数据.[时内容]): 10 of 12 missing: 丑时 寅时 卯时 辰时 巳时 午时 ..."),
              std::string::npos)
        << summary;
    EXPECT_NE(summary.find("year.txt (软件数据.[年内容]): 60 of 60 missing\n"), std::string::npos) << summary;
    EXPECT_NE(summary.find("ignored notes.txt"), std::string::npos) << summary;
}

TEST_F(Generating, AKeyTheColumnDoesNotHaveIsAnErrorAndNoFileIsWritten)
{
    WriteText(texts_ / "star-sign.txt", "@ 白羊座\n    [x]\n    y。\n\n@ 天平座\n    [x]\n    z。\n");
    const std::string error = ErrorOf([&] { Generate(); });
    EXPECT_NE(error.find("star-sign.txt:5: 骨重星座.[星内容] has no key 天平座"), std::string::npos) << error;
    EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"texts"});
}

TEST_F(Generating, TheSameSourcesGiveTheSameBytes)
{
    WriteText(texts_ / "animal.txt", "@ 鼠\n    [鼠]\n    机灵。\n");
    Generate();
    const std::string first = ReadBytes(output_);
    Generate();
    EXPECT_EQ(ReadBytes(output_), first);

    WriteText(texts_ / "animal.txt", "@ 鼠\n    [鼠]\n    机敏。\n");
    Generate();
    const std::string changed = ReadBytes(output_);
    ASSERT_EQ(changed.size(), first.size());
    EXPECT_NE(changed.substr(0, 16), first.substr(0, 16));  // another salt for another content
    EXPECT_EQ(folder_.Entries(), (std::vector<std::string>{"Orsk.dll", "texts"}));
}

TEST_F(Generating, AFailedWriteLeavesThePreviousFile)
{
    WriteText(output_, "previous");
    const std::string error =
        ErrorOf([&] { WriteDatabase(output_, "k", {TableData{"t", {{"a", false}, {"a", false}}, {}}}); });
    EXPECT_NE(error.find("duplicate column name"), std::string::npos) << error;
    EXPECT_EQ(ReadBytes(output_), "previous");
    EXPECT_EQ(folder_.Entries(), (std::vector<std::string>{"Orsk.dll", "texts"}));
}

}  // namespace
}  // namespace velmora::readingdb
