#include "WebPages.h"

#include "ResultPage.h"

namespace velmora::web {
namespace {

// The program's colours: the page's warm paper, its orange border and ink.
constexpr std::string_view kStyle = R"(
body{font:16px/1.5 sans-serif;color:#333;background:#fffaf6 url(bg.gif) no-repeat fixed right 10px bottom 10px;
border:1px solid #e59453;margin:0;padding:12px;min-height:100vh;box-sizing:border-box}
main{max-width:560px;margin:0 auto}
h1{color:#db6200;font-size:1.4em;margin:.2em 0 .6em}
label{display:block;margin:.7em 0 .2em;color:#db6200}
input,select,button{font:inherit;width:100%;box-sizing:border-box;min-height:44px;padding:6px 10px;
border:1px solid #e59453;border-radius:6px;background:#fff}
input[type=checkbox],input[type=radio]{width:auto;min-height:0;transform:scale(1.4);margin:0 .6em}
.row{display:flex;gap:1em;align-items:center;min-height:44px}
details{margin:1em 0;border-top:1px solid #e59453;padding-top:.5em}
summary{min-height:44px;line-height:44px;color:#db6200;cursor:pointer}
button{margin-top:1.2em;background:#db6200;color:#fff;border:0;font-weight:700}
.problem{color:#b00020}
a{color:#db6200}
)";

constexpr std::string_view kHead =
    "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";

std::string Page(std::string_view title, std::string_view body)
{
    return std::string(kHead) + "<title>" + HtmlEscape(title) + "</title>\n<style>" + std::string(kStyle) +
           "</style>\n</head>\n<body><main>\n" + std::string(body) + "</main></body>\n</html>\n";
}

std::string HourChoices()
{
    std::string options = "<option value=\"unknown\">时辰不详</option>";
    for (int hour = 0; hour < 24; ++hour)
        options += "<option value=\"" + std::to_string(hour) + "\"" + (hour == 12 ? " selected" : "") + ">" +
                   std::to_string(hour) + " 时</option>";
    return options;
}

// The screen's layout over the page's fixed desktop one: the container
// flows with the screen, the table's cells stack on a narrow one.
constexpr std::string_view kScreenStyle = R"(<meta name="viewport" content="width=device-width, initial-scale=1">
<style>
#container{width:auto!important;max-width:590px;position:static!important;margin:0 auto!important}
body{font-size:15px!important;background-position:right 10px top 70px!important}
table{font-size:15px!important}
.item h2{font-size:17px!important;color:#db6200}
.webnav{margin:0 0 .4em;display:flex;gap:1.5em}.webnav a{color:#db6200;display:inline-block;line-height:44px}
@media (max-width:600px){#container>table td{display:block;width:auto!important;height:auto}
.candidates td{display:table-cell!important}.item p{padding-left:0!important}}
</style>
)";

// The query with every item of one name left out, as it was sent.
std::string QueryWithout(std::string_view query, std::string_view name)
{
    std::string kept;
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view item = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        if (item == name || item.starts_with(std::string(name) + "=")) continue;
        kept.append(kept.empty() ? "" : "&").append(item);
    }
    return kept;
}

// The unknown hour's candidates link to "?hour=N", which the window
// answers; here each leads to the same reading with that hour.
void LinkCandidates(std::string& page, std::string_view query)
{
    const std::string link = "href=\"?" + std::string(kCandidateQueryItem) + "=";
    const std::string here =
        "href=\"/reading?" + HtmlEscape(QueryWithout(query, kCandidateQueryItem)) + "&amp;" +
        std::string(kCandidateQueryItem) + "=";
    for (std::size_t at = page.find(link); at != std::string::npos; at = page.find(link, at + here.size()))
        page.replace(at, link.size(), here);
}

}  // namespace

std::string FormPage()
{
    const std::string body = R"(<h1>称骨算命</h1>
<form action="/reading" method="get">
<label for="name">姓名</label><input id="name" name="name" required maxlength="64" autocomplete="name">
<label>性别</label><div class="row"><label><input type="radio" name="sex" value="男" checked>男</label>
<label><input type="radio" name="sex" value="女">女</label></div>
<label for="calendar">历法</label><select id="calendar" name="calendar"><option value="gregorian">公历</option>
<option value="lunar">农历</option></select>
<label for="date">出生日期（年-月-日）</label><input id="date" name="date" required placeholder="1990-5-17"
inputmode="numeric" pattern="[0-9]{1,4}-[0-9]{1,2}-[0-9]{1,2}">
<div class="row"><label><input type="checkbox" name="leap" value="1">闰月（农历）</label></div>
<label for="hour">出生时辰</label><select id="hour" name="hour">)" +
                             HourChoices() + R"(</select>
<details><summary>精确时刻与八字详盘</summary>
<label for="minute">分钟（0-59）</label><input id="minute" name="minute" inputmode="numeric" pattern="[0-9]{1,2}">
<label for="place">出生地（如 成都）</label><input id="place" name="place" maxlength="64">
<label for="longitude">经度（东经为正）</label><input id="longitude" name="longitude" inputmode="decimal">
<label for="latitude">纬度</label><input id="latitude" name="latitude" inputmode="decimal">
<div class="row"><label><input type="checkbox" name="precise" value="1">按节气精确时刻</label></div>
<label for="zi">子时</label><select id="zi" name="zi"><option value="">晚子时（默认）</option>
<option value="early">早子时</option></select>
<div class="row"><label><input type="checkbox" name="chart" value="1">八字详盘</label></div>
<label for="script">字体</label><select id="script" name="script"><option value="">简体</option>
<option value="traditional">繁體</option><option value="taiwan">繁體（台灣）</option>
<option value="hongkong">繁體（香港）</option></select>
</details>
<button type="submit">算命</button>
</form>
)";
    return Page("称骨算命", body);
}

std::string ProblemPage(std::string_view problem)
{
    return Page("输入有误", "<h1>输入有误</h1>\n<p class=\"problem\">" + HtmlEscape(problem) +
                                "</p>\n<p><a href=\"/\">返回</a></p>\n");
}

std::string ScreenPage(std::string page, std::string_view query, bool withFiles)
{
    const std::string oldCharset = "<meta http-equiv=\"content-type\" content=\"text/html;charset=gb2312\">";
    if (const std::size_t at = page.find(oldCharset); at != std::string::npos)
        page.replace(at, oldCharset.size(), "<meta charset=\"utf-8\">");
    // The template's stray line break in its head would open the body with an
    // empty line, a gap above everything on a small screen.
    const std::size_t headEnd = page.find("</head>");
    if (const std::size_t at = page.find("<br>"); at < headEnd) page.erase(at, std::string_view("<br>").size());
    if (const std::size_t at = page.find("</head>"); at != std::string::npos) page.insert(at, kScreenStyle);
    const std::string escaped = HtmlEscape(query);
    std::string nav = "<div class=\"webnav\"><a href=\"/\">重新算命</a>";
    if (withFiles)
        nav += "<a href=\"/reading.pdf?" + escaped + "\">PDF</a><a href=\"/reading.png?" + escaped + "\">图片</a>";
    nav += "<a href=\"/api/reading?" + escaped + "\">JSON</a></div>\n";
    if (const std::size_t at = page.find("<div id=\"container\">"); at != std::string::npos)
        page.insert(at + std::string_view("<div id=\"container\">").size(), "\n" + nav);
    LinkCandidates(page, query);
    return page;
}

}  // namespace velmora::web
