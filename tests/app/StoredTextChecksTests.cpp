// The content checks that guard the real database, each shown to catch its
// fault, and run over every text of the sample database.
#include "StoredTextChecks.h"

#include "ReadingDatabase.h"
#include "ReadingTestSupport.h"

#include "DESCrypt.h"
#include "GbkCodec.h"

#include <gtest/gtest.h>

namespace velmora::testing {
namespace {

constexpr LengthRange kAny{1, 1000};

std::string Stored(std::string_view utf8WithCrLf) { return EncryptStoredText(*Utf8ToGbk(utf8WithCrLf)); }

std::string Joined(const std::vector<std::string>& problems)
{
    std::string text;
    for (const std::string& problem : problems) text += problem + "; ";
    return text;
}

TEST(VisibleLength, CountsCharactersThatAreNotWhiteSpace)
{
    EXPECT_EQ(VisibleLength("    [标题]\r\n    一二，三。"), 9u);
    EXPECT_EQ(VisibleLength("\u3000 \t\r\n"), 0u);
    EXPECT_EQ(VisibleLength("ab c"), 3u);
}

TEST(Sentences, SplitOnChineseStopsAndLineEndsLeavingHeadingsOut)
{
    EXPECT_EQ(Sentences("    [标题]\r\n    甲，乙。丙！丁？戊；己\r\n    庚。"),
              (std::vector<std::string>{"甲，乙", "丙", "丁", "戊", "己", "庚"}));
}

struct FaultCase {
    const char* name;
    std::string stored;
    LengthRange range;
    std::string expected;
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.name; }

class AFaultyText : public ::testing::TestWithParam<FaultCase> {};

TEST_P(AFaultyText, IsReported)
{
    const std::string problems = Joined(CheckStoredText(GetParam().stored, GetParam().range));
    EXPECT_NE(problems.find(GetParam().expected), std::string::npos) << problems;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, AFaultyText,
    ::testing::Values(
        FaultCase{"Missing", "", kAny, "has no text"},
        FaultCase{"NotEnciphered", "    [标题]", kAny, "does not decipher"},
        FaultCase{"NotGbk", EncryptStoredText("\x81\x20\x41"), kAny, "no GBK text"},
        FaultCase{"NoHeading", Stored("    正文。\r\n    再一句。"), kAny, "no heading"},
        FaultCase{"HeadingWithText", Stored("    [标题]又一句\r\n    正文。"), kAny, "no heading"},
        FaultCase{"HeadingNotIndented", Stored("[标题]\r\n    正文。"), kAny, "no heading"},
        FaultCase{"LfLineEnds", Stored("    [标题]\n    正文。"), kAny, "not CR LF"},
        FaultCase{"BareCr", Stored("    [标题]\r\n    正文。\r    又一句。"), kAny, "not CR LF"},
        FaultCase{"EmptyLine", Stored("    [标题]\r\n\r\n    正文。"), kAny, "line 2 is empty"},
        FaultCase{"ParagraphNotIndented", Stored("    [标题]\r\n  正文。"), kAny, "line 2 is not indented"},
        FaultCase{"ParagraphIndentedTooFar", Stored("    [标题]\r\n     正文。"), kAny, "line 2 is not indented"},
        FaultCase{"BracketInParagraph", Stored("    [标题]\r\n    正文[注]。"), kAny, "square bracket"},
        FaultCase{"ParagraphLooksLikeHeading", Stored("    [标题]\r\n    [正文]。"), kAny, "square bracket"},
        FaultCase{"Markup", Stored("    [标题]\r\n    一<b>二</b>。"), kAny, "markup"},
        FaultCase{"Quote", Stored("    [标题]\r\n    他说\"好\"。"), kAny, "markup"},
        FaultCase{"TooShort", Stored("    [标题]\r\n    一二三。"), LengthRange{10, 20}, "length 8 lies outside 10..20"},
        FaultCase{"TooLong", Stored("    [标题]\r\n    一二三四五六七八九十。"), LengthRange{1, 14}, "length 15"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CheckStoredText, AWellFormedTextPassesAndComesBackAsUtf8)
{
    const std::string text = "    [标题]\r\n    第一段，有两句。第二句！\r\n    [再一节]\r\n    第三句。";
    std::string plain;
    EXPECT_EQ(CheckStoredText(Stored(text), LengthRange{20, 30}, &plain), std::vector<std::string>{});
    EXPECT_EQ(plain, text);
}

TEST(RepeatedSentences, NamesTheSentenceAndTheKeysItAppearsUnder)
{
    const auto findings = RepeatedSentences({{"甲子", "    [甲]\r\n    同一句。独有一句。"},
                                             {"乙丑", "    [甲]\r\n    别的话；同一句！"},
                                             {"丙寅", "    [甲]\r\n    自说自话。自说自话。"}});
    EXPECT_EQ(findings, (std::vector<std::string>{"the sentence \"同一句\" appears under 甲子 乙丑",
                                                  "the sentence \"自说自话\" appears under 丙寅 丙寅"}));
}

TEST(SampleDatabase, EveryTextItHoldsPassesTheChecks)
{
    TDatabaseConnection connection(ConnectionStringFor(VELMORA_SAMPLE_READING_DB));
    TDatabaseQuery query(connection);
    struct Column {
        const char* sql;
        LengthRange range;
    };
    for (const auto& [sql, range] :
         {Column{"SELECT [年内容] AS t FROM 软件数据", {100, 250}}, Column{"SELECT [月内容] AS t FROM 软件数据", {60, 200}},
          Column{"SELECT [日内容] AS t FROM 软件数据", {60, 200}}, Column{"SELECT [时内容] AS t FROM 软件数据", {60, 200}},
          Column{"SELECT [男骨重] AS t FROM 骨重星座", {120, 300}}, Column{"SELECT [女骨重] AS t FROM 骨重星座", {120, 300}},
          Column{"SELECT [星内容] AS t FROM 骨重星座", {60, 200}}, Column{"SELECT [属相内容] AS t FROM 属相数据", {60, 200}},
          Column{"SELECT [属相1月] AS t FROM 属相数据", {60, 200}}, Column{"SELECT [属相12月] AS t FROM 属相数据", {60, 200}}}) {
        // The query shows the first row only: walk the rows by their place.
        std::vector<std::pair<std::string, std::string>> texts;
        for (int row = 0;; ++row) {
            query.SetSQL(std::string(sql) + " LIMIT 1 OFFSET " + std::to_string(row));
            query.Open();
            if (query.Eof()) break;
            const std::string stored = query.FieldAsString("t");
            if (stored.empty()) continue;
            std::string plain;
            EXPECT_EQ(Joined(CheckStoredText(stored, range, &plain)), "") << sql << " row " << row;
            texts.emplace_back(std::to_string(row), plain);
        }
        EXPECT_FALSE(texts.empty()) << sql;
        EXPECT_EQ(RepeatedSentences(texts), std::vector<std::string>{}) << sql;
    }
}

}  // namespace
}  // namespace velmora::testing
