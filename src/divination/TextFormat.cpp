// The replacements that turn the database's plain texts into HTML, and the
// digit check of the date and hour inputs. The texts are UTF-8, in which no
// byte of a multi-byte character equals an ASCII character, so these byte
// replacements never touch half of a character.
#include <algorithm>

#include "UnitPublic.h"

namespace velmora {
namespace {

constexpr std::string_view kEightSpaces = "&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp";

}  // namespace

// Every occurrence, left to right, without overlapping and without rescanning
// the replacement.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to)
{
    std::string result;
    result.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t at = text.find(from); at != std::string_view::npos;
         at = text.find(from, start)) {
        result.append(text, start, at - start);
        result.append(to);
        start = at + from.size();
    }
    result.append(text, start);
    return result;
}

std::string TextToHtml(std::string_view text)
{
    return ReplaceAll(ReplaceAll(text, "\r\n", "<br>"), " ", "&nbsp&nbsp");
}

std::string CommentaryPlainText(std::string_view html)
{
    const std::string text = ReplaceAll(ReplaceAll(html, "<br>", "\n"), "&nbsp&nbsp", " ");
    std::string plain;
    std::string_view rest = text;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
        if (line.empty()) continue;
        if (!plain.empty()) plain += '\n';
        plain.append(line);
    }
    return plain;
}

std::string BreakAfterHeadings(std::string_view text)
{
    return ReplaceAll(text, "]", std::string("]<br>").append(kEightSpaces));
}

std::string BoldHeadings(std::string_view page)
{
    const std::string closed = ReplaceAll(page, "]", "]</strong>");
    return ReplaceAll(closed, std::string(kEightSpaces).append("["), "<strong>[");
}

bool IsDigitsOnly(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace velmora
