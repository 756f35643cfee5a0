#include "ResultPage.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "GbkCodec.h"
#include "OutputFile.h"
#include "Resources.h"
#include "UnitPublic.h"

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

// Lines ended by CR LF, CR or LF; a final line end adds no empty line.
std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
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

// The page file from the template's GBK bytes: the template read as lines
// and joined with CR LF, filled, then split into lines again and written
// as GB18030 with CR LF.
std::string PageFileBytes(std::string_view templateGbk, const TKarvoInfo& record, std::string_view name,
                          std::string_view sex)
{
    const std::string pageTemplate = JoinLinesWithCrLf(GbkToUtf8(templateGbk));
    return Utf8ToGb18030(JoinLinesWithCrLf(BuildResultPage(pageTemplate, record, name, sex)));
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

std::array<std::string, 14> ResultPageTexts(const TKarvoInfo& r, std::string_view name, std::string_view sex)
{
    // The lunar line shows the typed hour number too, and no leap mark.
    return {HtmlEscape(name),
            HtmlEscape(sex),
            r.Year + "年" + r.Month + "月" + r.Day + "日" + r.Hour + "时",
            r.ShuXiang,
            r.Age,
            r.LunarYear + "年" + r.LunarMonth + "月" + r.LunarDay + "日" + r.Hour + "时",
            r.GuZhong,
            r.XingZuo,
            DescribeMissingElements(r.WuXing),
            r.NaYin,
            r.GuZhongText,
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
    return AddNotesSection(BoldHeadings(FillPageTemplate(pageTemplate, texts)), record.Notes);
}

std::string RenderResultPage(const TKarvoInfo& record, std::string_view name, std::string_view sex)
{
    const auto pageTemplate = FindResource(kPageTemplateResource, kPageResourceType);
    if (!pageTemplate) throw std::runtime_error("Resource " + std::string(kPageTemplateResource) + " not found");
    return PageFileBytes(*pageTemplate, record, name, sex);
}

ResultPagePaths ResultPageLocation()
{
    const std::string folder = GetTempFolder();
    return {folder + std::string(kPageFileName), folder + std::string(kPagePictureFileName)};
}

std::string WriteResultPage(const TKarvoInfo& record, std::string_view name, std::string_view sex)
{
    const ResultPagePaths paths = ResultPageLocation();
    SaveResourceToFile(kPageTemplateResource, kPageResourceType, paths.page);
    SaveResourceToFile(kPagePictureResource, kPageResourceType, paths.picture);
    WriteFileBytes(paths.page, PageFileBytes(ReadFileBytes(paths.page), record, name, sex));
    return paths.page;
}

std::string_view PagePictureBytes()
{
    const auto picture = FindResource(kPagePictureResource, kPageResourceType);
    if (!picture) throw std::runtime_error("Resource " + std::string(kPagePictureResource) + " not found");
    return *picture;
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
    } catch (...) {
        // Nothing to tidy when there is no private folder.
    }
    // A folder made for this process alone goes with its files, empty or not.
    RemoveFreshTempFolder();
}

}  // namespace velmora
