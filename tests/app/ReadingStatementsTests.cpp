#include "ReadingStatements.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace velmora {
namespace {

TEST(FormatStatement, PutsTheKeysInExactlyAsGivenInOrder)
{
    EXPECT_EQ(FormatStatement(kYearStatement, {"己丑"}), "SELECT [年骨重],[年内容] FROM 软件数据 WHERE [年份] = '己丑'");
    EXPECT_EQ(FormatStatement(kMonthStatement, {"12"}), "SELECT [月骨重],[月内容] FROM 软件数据 WHERE [月份] = 12");
    EXPECT_EQ(FormatStatement(kAnimalStatement, {"12", "鼠"}),
              "SELECT [属相内容],[属相12月] FROM 属相数据 WHERE [属相名称] = '鼠'");
    // No quoting of its own: an empty key leaves the comparison open, and the engine refuses it.
    EXPECT_EQ(FormatStatement(kDayStatement, {""}), "SELECT [日骨重],[日内容] FROM 软件数据 WHERE [日子] = ");
    // A key holding "%s" is text, not a place for the next key.
    EXPECT_EQ(FormatStatement(kAnimalStatement, {"%s", "%s"}),
              "SELECT [属相内容],[属相%s月] FROM 属相数据 WHERE [属相名称] = '%s'");
}

TEST(FormatStatement, TheNumberOfKeysMustFit)
{
    EXPECT_THROW(FormatStatement(kAnimalStatement, {"鼠"}), std::invalid_argument);
    EXPECT_THROW(FormatStatement(kStarSignStatement, {"白羊座", "x"}), std::invalid_argument);
    EXPECT_THROW(FormatStatement(kStarSignStatement, {}), std::invalid_argument);
}

TEST(AnimalMonthColumn, NamesTheColumnOfTheMonth)
{
    EXPECT_EQ(AnimalMonthColumn("1"), "属相1月");
    EXPECT_EQ(AnimalMonthColumn("12"), "属相12月");
}

}  // namespace
}  // namespace velmora
