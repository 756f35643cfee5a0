// The result page: its template and picture resources, the texts it is
// filled with, bold headings, escaping, and the files it is written to.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "GbkCodec.h"
#include "LabelledDatabase.h"
#include "Reading.h"
#include "ReadingTestSupport.h"
#include "ResultPage.h"
#include "Resources.h"
#include "UnitPublic.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using testing::LabelOf;

constexpr const char* kEightSpaces = "&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp";

std::size_t Count(std::string_view text, std::string_view part)
{
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string_view::npos; at = text.find(part, at + part.size())) ++count;
    return count;
}

std::string TemplateText()
{
    const auto bytes = FindResource("html", "MYHTML");
    EXPECT_TRUE(bytes.has_value());
    return bytes ? GbkToUtf8(*bytes) : std::string();
}

TKarvoInfo ReadingOf(BirthInput input)
{
    testing::LabelledLookups db;
    TKarvoInfo record;
    EXPECT_EQ(ComputeReading(input, {2026, 12, 8}, db.qry1, record), ReadingOutcome::Complete);
    return record;
}

BirthInput LeapMonthBirth()
{
    BirthInput input;
    input.name = "输入姓名";
    input.sex = "女";
    input.mode = CalendarMode::Lunar;
    input.leap = true;
    input.year = "2001";
    input.month = "4";
    input.day = "1";
    input.hour = "7";
    return input;
}

TEST(PageTemplate, IsGbkWithItsFifteenFieldsAndThreePercentSigns)
{
    const auto bytes = FindResource("HTML", "myhtml");
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(Utf8ToGbk(GbkToUtf8(*bytes)), std::string(*bytes));  // valid GBK
    EXPECT_EQ(Count(*bytes, "\n"), Count(*bytes, "\r\n"));         // CR LF only
    const std::string text = TemplateText();
    EXPECT_EQ(Count(text, "%s"), 15u);
    EXPECT_EQ(Count(text, "%%"), 3u);
    EXPECT_EQ(Count(text, "["), 0u);
    for (const char* fixed :
         {"<meta http-equiv=\"content-type\" content=\"text/html;charset=gb2312\">", "<title>算命结果</title>",
          "body {font:12px/150%% arial;color:#333;background:#fffaf6 url(bg.gif) no-repeat fixed 220px 70px;"
          "border:1px solid #e59453;margin:0;padding:10px}",
          "#container {width:590px;position:absolute;left:50%%;margin-left:-285px;}",
          "table {color:#db6200;font-size:12px}", "table td {height:20px}",
          ".item h2{font:700 12px/150%% arial;padding:.6em 0;margin:0}",
          ".item p {padding:0 0 0 20px;margin:0;color:#666}", ".item p strong {color:#db6200}", "<div id=\"container\">",
          "<td width=\"140\">姓名：%s</td>", "<td width=\"140\">性别：%s</td>", "公历生日：%s", "属相：%s", "年龄：%s",
          "农历生日：%s", "骨重：%s", "星座：%s", "四柱五行：%s", "纳音五行：%s", "四柱八字：%s", "<h2>骨重解说</h2>", "<h2>属相解说</h2>",
          "<h2>星座解说</h2>", "<h2>综合解说</h2>",
          "注：星座以阳历为准；年属相以立春为界；纳音五行取自日柱（其他同类软件取自年柱）；仅作娱乐及周易爱好者探讨"})
        EXPECT_NE(text.find(fixed), std::string::npos) << fixed;
    // The title is followed by a line break still inside the head.
    EXPECT_LT(text.find("</title>"), text.find("<br>"));
    EXPECT_LT(text.find("<br>"), text.find("</head>"));
}

TEST(PagePicture, IsAGif89aOf339By192)
{
    const auto bytes = FindResource("bg", "MYHTML");
    ASSERT_TRUE(bytes.has_value());
    ASSERT_GE(bytes->size(), 10u);
    EXPECT_EQ(bytes->substr(0, 6), "GIF89a");
    const auto u16 = [&](std::size_t at) {
        return static_cast<unsigned char>((*bytes)[at]) | static_cast<unsigned char>((*bytes)[at + 1]) << 8;
    };
    EXPECT_EQ(u16(6), 339);
    EXPECT_EQ(u16(8), 192);
}

TEST(PageTexts, FollowTheFieldsInDocumentOrder)
{
    const TKarvoInfo r = ReadingOf(LeapMonthBirth());
    const auto texts = ResultPageTexts(r, "小明", "女");
    EXPECT_EQ(texts[0], "小明");
    EXPECT_EQ(texts[1], "女");
    EXPECT_EQ(texts[2], "2001年5月23日7时");
    EXPECT_EQ(texts[3], "蛇");
    EXPECT_EQ(texts[4], "26岁(虚岁)");
    // The lunar line: the month number with its leap mark, the typed hour.
    EXPECT_EQ(texts[5], "2001年闰4月1日7时");
    EXPECT_EQ(texts[6], r.GuZhong);
    EXPECT_EQ(texts[7], "双子座");
    EXPECT_EQ(texts[8], DescribeMissingElements(r.WuXing));
    EXPECT_EQ(texts[9], r.NaYin);
    EXPECT_EQ(texts[10], r.SiZhu);
    EXPECT_EQ(texts[11], r.GuZhongText);
    EXPECT_EQ(texts[12], r.ShuXiangText);
    EXPECT_EQ(texts[13], r.XingZuoText);
    // The combined section: four texts, a break after every heading.
    const std::string& combined = texts[14];
    EXPECT_LT(combined.find(LabelOf("year", "辛巳")), combined.find(LabelOf("month", "4")));
    EXPECT_LT(combined.find(LabelOf("day", "1")), combined.find(LabelOf("hour", "辰时")));
    EXPECT_NE(combined.find(LabelOf("hour", "辰时") + "<br>" + kEightSpaces), std::string::npos);
}

BirthInput GregorianBirth(std::string date, std::string hour, MomentOptions moment = {})
{
    BirthInput input;
    input.name = "张三";
    input.sex = "男";
    const auto first = date.find('-'), second = date.rfind('-');
    input.year = date.substr(0, first);
    input.month = date.substr(first + 1, second - first - 1);
    input.day = date.substr(second + 1);
    input.hourUnknown = hour == "unknown";
    input.hour = input.hourUnknown ? "" : hour;
    input.moment = moment;
    return input;
}

MomentOptions Precise(std::optional<int> minute, std::string place = {})
{
    MomentOptions moment;
    moment.precise = true;
    moment.minute = minute;
    moment.place = std::move(place);
    return moment;
}

// The header's lines tell the whole birth: the leap month, the moments a
// precise reading used, an age not yet begun, an unknown hour.
struct PageLineCase {
    const char* what;
    BirthInput input;
    std::size_t text;      // which of the page's texts
    std::string expected;  // the text, or the part of it that must be there
};

class PageLines : public ::testing::TestWithParam<PageLineCase> {};

TEST_P(PageLines, TellTheWholeBirth)
{
    const PageLineCase& c = GetParam();
    const auto texts = ResultPageTexts(ReadingOf(c.input), c.input.name, c.input.sex);
    EXPECT_NE(texts[c.text].find(c.expected), std::string::npos) << texts[c.text];
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PageLines,
    ::testing::Values(
        PageLineCase{"LeapMonth", LeapMonthBirth(), 5, "2001年闰4月1日7时"},
        // 1988-7-1 fell in China's summer time: the clock ran an hour ahead.
        PageLineCase{"SummerTimeAndSolarTime", GregorianBirth("1988-7-1", "0", Precise(30, "成都")), 2,
                     "1988年7月1日 00:30（北京标准时间6月30日 23:30，真太阳时6月30日 22:"},
        PageLineCase{"ClockIsStandardTime", GregorianBirth("2000-3-1", "8", Precise(15)), 2, "2000年3月1日 08:15"},
        // Taipei kept summer time in 1975: an hour ahead of Beijing.
        PageLineCase{"LocalClockAbroad", GregorianBirth("1975-7-1", "9", Precise(30, "台北市")), 2,
                     "1975年7月1日 09:30当地时间（Asia/Taipei UTC+09:00，北京时间08:30，真太阳时08:32 台北市）"},
        PageLineCase{"BornAfterToday", GregorianBirth("2026-12-9", "8"), 4, "尚未出生"},
        PageLineCase{"BornToday", GregorianBirth("2026-12-8", "8"), 4, "1岁(虚岁)"},
        PageLineCase{"UnknownHourDate", GregorianBirth("1990-5-17", "unknown"), 2, "1990年5月17日 时辰不详"},
        PageLineCase{"UnknownHourWeights", GregorianBirth("1990-5-17", "unknown"), 6, "至"},
        PageLineCase{"UnknownHourPillars", GregorianBirth("1990-5-17", "unknown"), 10, "庚午 辛巳 壬午（时柱不详）"},
        PageLineCase{"UnknownHourTable", GregorianBirth("1990-5-17", "unknown"), 11, "?hour=22\" style=\"color:#db6200\">亥时</a>"}),
    [](const auto& info) { return std::string(info.param.what); });

// The 子时 school is a note only for a birth around midnight or a school chosen.
TEST(PageNotes, TheZiSchoolIsNotedOnlyAroundMidnightOrWhenChosen)
{
    const auto noted = [](const BirthInput& input) {
        for (const std::string& note : ReadingOf(input).Notes)
            if (note.find("子时按") == 0) return true;
        return false;
    };
    EXPECT_FALSE(noted(GregorianBirth("2000-3-1", "8", Precise(0))));
    EXPECT_TRUE(noted(GregorianBirth("2000-3-1", "23", Precise(30))));
    EXPECT_TRUE(noted(GregorianBirth("2000-3-1", "0", Precise(40))));
    MomentOptions early;
    early.zi = ZiSchool::Early;
    EXPECT_TRUE(noted(GregorianBirth("2000-3-1", "8", early)));
}

TEST(PageTexts, TheNameAndSexAreEscaped)
{
    const auto texts = ResultPageTexts(TKarvoInfo{}, "<!--", "\"&\"");
    EXPECT_EQ(texts[0], "&lt;!--");
    EXPECT_EQ(texts[1], "&quot;&amp;&quot;");
    EXPECT_EQ(HtmlEscape("a<b>c"), "a&lt;b&gt;c");
}

TEST(PageFilling, ReplacesFieldsInOrderAndPercentPairsButNotTheTextsOwnSigns)
{
    const std::vector<std::string> texts = {"50%s", "100%%"};
    EXPECT_EQ(FillPageTemplate("a %s b %% c %s d %s e", texts), "a 50%s b % c 100%% d  e");
    EXPECT_EQ(FillPageTemplate("no fields", texts), "no fields");
    EXPECT_EQ(FillPageTemplate("%", texts), "%");
}

TEST(ResultPage, HeadingsComeOutBoldAndABracketInTheNameStillClosesOne)
{
    const TKarvoInfo r = ReadingOf(LeapMonthBirth());
    const std::string page = BuildResultPage(TemplateText(), r, "阿]", "女");
    EXPECT_NE(page.find("姓名：阿]</strong></td>"), std::string::npos);
    EXPECT_NE(page.find("<strong>" + LabelOf("bone-female", r.GuZhong) + "</strong>"), std::string::npos);
    EXPECT_NE(page.find("<strong>[第二节]</strong>"), std::string::npos);
    EXPECT_EQ(page.find(std::string(kEightSpaces) + "["), std::string::npos);
    EXPECT_EQ(Count(page, "%s"), 0u);
    EXPECT_NE(page.find("left:50%;"), std::string::npos);
}

TEST(ResultPage, AnEmptyCommentaryLeavesItsParagraphEmptyAndKeepsTheHeading)
{
    TKarvoInfo r = ReadingOf(LeapMonthBirth());
    r.XingZuoText.clear();
    const std::string page = BuildResultPage(TemplateText(), r, "输入姓名", "女");
    EXPECT_NE(page.find("<h2>星座解说</h2><p></p>"), std::string::npos);
    EXPECT_NE(page.find("<h2>综合解说</h2>"), std::string::npos);
}

TEST(ResultPage, AfterADateErrorThePageShowsThePreviousReadingWithTheNewName)
{
    testing::LabelledLookups db;
    TKarvoInfo record;
    ASSERT_EQ(ComputeReading(LeapMonthBirth(), {2026, 12, 8}, db.qry1, record), ReadingOutcome::Complete);
    BirthInput impossible = LeapMonthBirth();
    impossible.mode = CalendarMode::Gregorian;
    impossible.leap = false;
    impossible.month = "2";
    impossible.day = "30";
    ASSERT_EQ(ComputeReading(impossible, {2026, 12, 8}, db.qry1, record), ReadingOutcome::DateError);
    const std::string page = BuildResultPage(TemplateText(), record, "新名字", "男");
    EXPECT_NE(page.find("姓名：新名字"), std::string::npos);
    EXPECT_NE(page.find("性别：男"), std::string::npos);
    EXPECT_NE(page.find("公历生日：2001年5月23日7时"), std::string::npos);
}

// The files go into a private folder of the test's own.
class PageFiles : public ::testing::Test {
protected:
    void SetUp() override { setenv("XDG_RUNTIME_DIR", scratch.Path().c_str(), 1); }
    void TearDown() override { unsetenv("XDG_RUNTIME_DIR"); }
    testing::ScratchFolder scratch;
};

TEST_F(PageFiles, AreThePageInGbkWithCrLfAndThePictureUnderTheNameThePageAsksFor)
{
    const TKarvoInfo r = ReadingOf(LeapMonthBirth());
    const std::string pagePath = WriteResultPage(r, "小明]", "女");
    const ResultPagePaths paths = ResultPageLocation();
    EXPECT_EQ(pagePath, paths.page);
    EXPECT_EQ(fs::path(paths.page).parent_path(), fs::path(GetTempFolder()).parent_path());
    EXPECT_EQ(fs::path(paths.page).filename(), "template.html");

    const std::string bytes = testing::ReadBytes(paths.page);
    EXPECT_EQ(bytes, RenderResultPage(r, "小明]", "女"));
    EXPECT_EQ(Count(bytes, "\n"), Count(bytes, "\r\n"));
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    EXPECT_NE(GbkToUtf8(bytes).find("姓名：小明]</strong>"), std::string::npos);
    EXPECT_EQ(testing::ReadBytes(paths.picture), std::string(*FindResource("BG", "MYHTML")));

    RemoveResultPageFiles();
    EXPECT_FALSE(fs::exists(paths.page));
    EXPECT_FALSE(fs::exists(paths.picture));
    RemoveResultPageFiles();  // nothing left to remove: no error
}

TEST_F(PageFiles, ACharacterOutsideGbkSurvivesInThePageFile)
{
    const std::string pagePath = WriteResultPage(TKarvoInfo{}, "𠀀明", "男");
    EXPECT_NE(GbkToUtf8(testing::ReadBytes(pagePath)).find("明"), std::string::npos);
    const std::string bytes = testing::ReadBytes(pagePath);
    EXPECT_EQ(bytes.find('?'), std::string::npos);
    RemoveResultPageFiles();
}

// In a traditional script the whole page is converted, the template's
// headings too, except the typed name, and it stays within GBK.
TEST(ResultPageScript, ConvertsAllButTheNameAndStaysWithinGbk)
{
    BirthInput input = LeapMonthBirth();
    input.name = "李后";
    const TKarvoInfo record = ReadingOf(input);
    const std::string page = GbkToUtf8(RenderResultPage(record, input.name, input.sex, Script::Taiwan));
    EXPECT_EQ(page.find("\uFFFD"), std::string::npos);
    EXPECT_NE(page.find("姓名：李后"), std::string::npos);
    EXPECT_NE(page.find("農曆生日"), std::string::npos);
    EXPECT_NE(page.find("<h2>屬相解說</h2>"), std::string::npos);
    EXPECT_EQ(page.find("农历"), std::string::npos);
    EXPECT_EQ(GbkToUtf8(RenderResultPage(record, input.name, input.sex, Script::Simplified)),
              GbkToUtf8(RenderResultPage(record, input.name, input.sex)));
}

// The page of one reading, byte for byte, against the file kept in
// tests/data/golden (GB18030 with CR LF). After a deliberate change of the
// page, the new bytes are in the build folder to compare and copy over.
TEST(ResultPageGolden, OneReadingGivesExactlyTheKeptPage)
{
    BirthInput input = LeapMonthBirth();
    input.name = "测试]";
    const std::string bytes = RenderResultPage(ReadingOf(input), input.name, input.sex);
    const fs::path golden = fs::path(VELMORA_TEST_DATA_DIR) / "golden" / "result-page.html";
    const std::string expected = testing::ReadBytes(golden);
    if (bytes != expected) {
        std::ofstream(fs::current_path() / "result-page.actual.html", std::ios::binary) << bytes;
        FAIL() << "the page differs from " << golden << "; the new one is result-page.actual.html in "
               << fs::current_path();
    }
}

}  // namespace
}  // namespace velmora
