#include "ResultPage.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "AboutPage.h"
#include "GbkCodec.h"
#include "OutputFile.h"
#include "Places.h"
#include "Reading.h"
#include "Resources.h"
#include "Chart.h"
#include "UnitPublic.h"
#include "UnknownHour.h"

namespace velmora {
namespace {

std::string SystemReason() { return std::strerror(errno); }

std::string ReadFileBytes(const std::string& path)
{
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("Cannot open file \"" + path + "\". " + SystemReason());
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    errno = 0;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (out) out.close();
    if (!out) throw std::runtime_error("Cannot create file \"" + path + "\". " + SystemReason());
}

// Every line followed by CR LF, the last one too.
std::string JoinLinesWithCrLf(std::string_view text)
{
    std::string joined;
    joined.reserve(text.size() + text.size() / 16);
    for (const std::string_view line : SplitLines(text)) {
        joined += line;
        joined += "\r\n";
    }
    return joined;
}

// The page as UTF-8 text from the template's GBK bytes: the template read as
// lines and joined with CR LF, filled, and written in the script (all of it,
// headings and template too, but the typed name).
std::string PageText(std::string_view templateGbk, const TKarvoInfo& record, std::string_view name,
                     std::string_view sex, Script script)
{
    const std::string pageTemplate = JoinLinesWithCrLf(GbkToUtf8(templateGbk));
    const std::string keptName[] = {HtmlEscape(name)};
    return ConvertText(BuildResultPage(pageTemplate, record, name, sex), script, keptName);
}

// The page file: its text split into lines again and written as GB18030
// with CR LF.
std::string PageFileBytes(std::string_view templateGbk, const TKarvoInfo& record, std::string_view name,
                          std::string_view sex, Script script)
{
    return Utf8ToGb18030(JoinLinesWithCrLf(PageText(templateGbk, record, name, sex, script)));
}

std::string_view PageTemplateGbk()
{
    return ResourceBytes(kPageTemplateResource, kPageResourceType);
}

// The notes on the birth moment as one more section after the commentaries
// (before the closing remark when the page has one); a page without notes
// is left as it is.
std::string AddNotesSection(std::string page, const std::vector<std::string>& notes)
{
    if (notes.empty()) return page;
    std::string section = "<div class=\"item\"><h2>出生时刻说明</h2><p>";
    for (std::size_t i = 0; i < notes.size(); ++i) section += (i ? "<br>" : "") + HtmlEscape(notes[i]);
    section += "</p></div>\n";
    const std::size_t lastItem = page.rfind("class=\"item\"");
    std::size_t at = lastItem == std::string::npos ? std::string::npos : page.find("</div>", lastItem);
    if (at != std::string::npos) at = page.find_first_not_of("\r\n", at + 6);
    if (at == std::string::npos) at = page.rfind("</body>");
    page.insert(at == std::string::npos ? page.size() : at, section);
    return page;
}

// "5月16日 " when a moment ("YYYY-MM-DD HH:MM") lies on another day than
// the typed birth date, else nothing.
std::string OtherDay(const TKarvoInfo& r, const std::string& moment)
{
    int year = 0, month = 0, day = 0;
    if (std::sscanf(moment.c_str(), "%d-%d-%d", &year, &month, &day) != 3) return {};
    if (std::to_string(year) == r.Year && month == std::atoi(r.Month.c_str()) && day == std::atoi(r.Day.c_str()))
        return {};
    return std::to_string(month) + "月" + std::to_string(day) + "日 ";
}

// The birth time of a precise reading as the header shows it: the clock
// time, Beijing standard time when daylight saving moved it, and true solar
// time with its place, each with its date when it lies on another day.
std::string PreciseBirthTime(const TKarvoInfo& r)
{
    // A birthplace with a clock of its own: the typed time is its local time.
    const bool ownClock = IsOwnClock(r.TimeZone);
    std::string time = " " + r.ClockTime + (ownClock ? "当地时间" : "");
    std::vector<std::string> others;
    if (ownClock) others.push_back(HtmlEscape(r.TimeZone) + " UTC" + r.UtcOffset);
    if (!r.StandardTime.empty() && (ownClock || r.StandardTime != r.ClockTime))
        others.push_back((ownClock ? "北京时间" : "北京标准时间") + OtherDay(r, r.BeijingMoment) + r.StandardTime);
    if (!r.SolarTime.empty())
        others.push_back("真太阳时" + OtherDay(r, r.SolarMoment) + r.SolarTime + " " +
                         HtmlEscape(r.Place.empty() ? "经度" + r.Longitude : r.Place));
    for (std::size_t i = 0; i < others.size(); ++i) time += (i ? "，" : "（") + others[i];
    return others.empty() ? time : time + "）";
}

// The candidates of an unknown hour as a table, each 时辰 a link the window
// answers with that 时辰's whole reading.
std::string CandidatesHtml(const TKarvoInfo& r)
{
    std::string html = "出生时辰不详，骨重在" + CandidateWeightRange(r.Candidates) +
                       "之间。各时辰的四柱与骨重如下，点击时辰可查看该时辰的完整推算：<br>"
                       "<table class=\"candidates\" style=\"margin:4px 0\"><tr><td width=\"70\">时辰</td><td width=\"200\">四柱</td>"
                       "<td width=\"70\">时柱</td><td>骨重</td></tr>";
    for (const HourCandidate& c : r.Candidates)
        html += "<tr><td><a href=\"?" + std::string(kCandidateQueryItem) + "=" + std::to_string(c.hour) + "\" style=\"color:#db6200\">" +
                c.HourName + "</a></td><td>" + c.SiZhu + "</td><td>" + c.HourPillar + "</td><td>" + c.GuZhong +
                "</td></tr>";
    return html + "</table>";
}

// The chart's section right under the summary table, before the commentaries.
std::string AddChartSection(std::string page, const std::string& section)
{
    const std::size_t summaryEnd = page.find("</table>");
    std::size_t at = summaryEnd == std::string::npos ? page.rfind("</body>") : summaryEnd + 8;
    if (at != std::string::npos) at = page.find_first_not_of("\r\n", at);
    page.insert(at == std::string::npos ? page.size() : at, section + "\r\n");
    return page;
}

}  // namespace

std::string HtmlEscape(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        case '"': escaped += "&quot;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

std::array<std::string, kResultPageTextCount> ResultPageTexts(const TKarvoInfo& r, std::string_view name,
                                                             std::string_view sex)
{
    // The lunar line shows the typed hour number too.
    const std::string hour = r.HourUnknown ? std::string(" 时辰不详") : r.Hour + "时";
    return {HtmlEscape(name),
            HtmlEscape(sex),
            r.Year + "年" + r.Month + "月" + r.Day + "日" + (r.Precise && !r.HourUnknown ? PreciseBirthTime(r) : hour),
            r.ShuXiang,
            r.Age,
            r.LunarYear + "年" + (r.IsLeap ? "闰" : "") + r.LunarMonth + "月" + r.LunarDay + "日" + hour,
            r.HourUnknown ? CandidateWeightRange(r.Candidates) : r.GuZhong,
            r.XingZuo,
            DescribeMissingElements(r.WuXing),
            r.NaYin,
            r.SiZhu + (r.HourUnknown ? "（时柱不详）" : ""),
            r.HourUnknown ? CandidatesHtml(r) : r.GuZhongText,
            r.ShuXiangText,
            r.XingZuoText,
            BreakAfterHeadings(r.YearText + "<br>" + r.MonthText + "<br>" + r.DayText + "<br>" + r.HourText)};
}

std::string FillPageTemplate(std::string_view pageTemplate, std::span<const std::string> texts)
{
    std::string page;
    page.reserve(pageTemplate.size() + 4096);
    std::size_t next = 0;
    for (std::size_t i = 0; i < pageTemplate.size(); ++i) {
        const char c = pageTemplate[i];
        const char following = i + 1 < pageTemplate.size() ? pageTemplate[i + 1] : '\0';
        if (c == '%' && following == 's') {
            if (next < texts.size()) page += texts[next++];
            ++i;
        } else if (c == '%' && following == '%') {
            page += '%';
            ++i;
        } else {
            page += c;
        }
    }
    return page;
}

std::string BuildResultPage(std::string_view pageTemplate, const TKarvoInfo& record, std::string_view name,
                            std::string_view sex)
{
    const auto texts = ResultPageTexts(record, name, sex);
    std::string page = BoldHeadings(FillPageTemplate(pageTemplate, texts));
    if (record.FullChart) page = AddChartSection(std::move(page), ChartHtml(*record.FullChart));
    return AddNotesSection(std::move(page), record.Notes);
}

std::string RenderResultPage(const TKarvoInfo& record, std::string_view name, std::string_view sex, Script script)
{
    return PageFileBytes(PageTemplateGbk(), record, name, sex, script);
}

std::string RenderResultPageText(const TKarvoInfo& record, std::string_view name, std::string_view sex,
                                 Script script)
{
    return PageText(PageTemplateGbk(), record, name, sex, script);
}

ResultPagePaths ResultPageLocation()
{
    const std::string folder = GetTempFolder();
    return {folder + std::string(kPageFileName), folder + std::string(kPagePictureFileName)};
}

std::string WriteResultPage(const TKarvoInfo& record, std::string_view name, std::string_view sex, Script script)
{
    const ResultPagePaths paths = ResultPageLocation();
    SaveResourceToFile(kPageTemplateResource, kPageResourceType, paths.page);
    SaveResourceToFile(kPagePictureResource, kPageResourceType, paths.picture);
    WriteFileBytes(paths.page, PageFileBytes(ReadFileBytes(paths.page), record, name, sex, script));
    return paths.page;
}

std::string_view PagePictureBytes()
{
    return ResourceBytes(kPagePictureResource, kPageResourceType);
}

void WritePagePictureInto(const std::string& folder)
{
    std::string path = folder.empty() ? std::string(".") : folder;
    if (path.back() != '/') path += '/';
    path += kPagePictureFileName;
    if (const auto problem = WriteOutputFile(path, PagePictureBytes(), OutputName::Beside))
        throw std::runtime_error(problem->words);
}

std::string ReadingFileBaseName(const TKarvoInfo& record, std::string_view name)
{
    if (record.Year.empty() || record.Month.empty() || record.Day.empty()) return "算命结果";
    std::string base;
    for (const char c : name) {
        const bool refused = static_cast<unsigned char>(c) < 0x20 || std::strchr("/\\:*?\"<>|", c) != nullptr;
        base += refused ? '_' : c;
    }
    if (!base.empty()) base += ' ';
    return base + record.Year + "年" + record.Month + "月" + record.Day + "日";
}

void RemoveResultPageFiles() noexcept
{
    try {
        const ResultPagePaths paths = ResultPageLocation();
        std::remove(paths.page.c_str());
        std::remove(paths.picture.c_str());
        std::remove(AboutPageLocation().c_str());
    } catch (...) {
        // Nothing to tidy when there is no private folder.
    }
    // A folder made for this process alone goes with its files, empty or not.
    RemoveFreshTempFolder();
}

}  // namespace velmora
