#include "StoredTextChecks.h"

#include "DESCrypt.h"
#include "GbkCodec.h"

#include <map>

namespace velmora::testing {
namespace {

constexpr std::string_view kIndent = "    ";
constexpr std::string_view kIdeographicSpace = "\u3000";

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

bool IsHeading(std::string_view line)
{
    if (line.substr(0, kIndent.size()) != kIndent) return false;
    const std::string_view rest = line.substr(kIndent.size());
    return rest.size() > 2 && rest.front() == '[' && rest.back() == ']' &&
           rest.substr(1, rest.size() - 2).find_first_of("[]") == std::string_view::npos;
}

std::vector<std::string_view> Lines(std::string_view text, std::string_view lineEnd)
{
    std::vector<std::string_view> lines;
    for (;;) {
        const auto end = text.find(lineEnd);
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) return lines;
        text.remove_prefix(end + lineEnd.size());
    }
}

std::string_view TrimSpaces(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (text.substr(0, kIdeographicSpace.size()) == kIdeographicSpace) text.remove_prefix(kIdeographicSpace.size());
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

void CheckLines(std::string_view text, std::vector<std::string>& problems)
{
    if (text.find('\n') != std::string_view::npos && text.find("\r\n") == std::string_view::npos)
        problems.push_back("its line ends are not CR LF");
    const auto lines = Lines(text, "\r\n");
    for (const std::string_view line : lines)
        if (line.find_first_of("\r\n") != std::string_view::npos) {
            problems.push_back("it has a line end that is not CR LF");
            break;
        }
    if (!IsHeading(lines.front())) problems.push_back("its first line is no heading \"    [title]\"");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const std::string where = "line " + std::to_string(i + 1);
        if (TrimSpaces(line).empty()) {
            problems.push_back(where + " is empty");
        } else if (!IsHeading(line)) {
            if (line.substr(0, kIndent.size()) != kIndent || line[kIndent.size()] == ' ')
                problems.push_back(where + " is not indented by exactly four spaces");
            if (line.find_first_of("[]") != std::string_view::npos)
                problems.push_back(where + " has a square bracket outside a heading");
        }
        if (line.find_first_of("<>&%\"'\\") != std::string_view::npos)
            problems.push_back(where + " has a character the page would take for markup");
    }
}

}  // namespace

std::size_t VisibleLength(std::string_view utf8)
{
    std::size_t count = 0;
    for (std::size_t at = 0; at < utf8.size(); ++at) {
        const char c = utf8[at];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || IsContinuationByte(c)) continue;
        if (utf8.substr(at, kIdeographicSpace.size()) == kIdeographicSpace) continue;
        ++count;
    }
    return count;
}

std::vector<std::string> Sentences(std::string_view utf8)
{
    static const std::string_view kEnds[] = {"。", "！", "？", "；", "\r"};
    std::vector<std::string> sentences;
    for (std::string_view line : Lines(utf8, "\n")) {
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (IsHeading(line)) continue;
        while (!line.empty()) {
            std::size_t end = line.size(), endLength = 0;
            for (const std::string_view mark : kEnds) {
                const auto at = line.find(mark);
                if (at < end) end = at, endLength = mark.size();
            }
            const std::string_view sentence = TrimSpaces(line.substr(0, end));
            if (!sentence.empty()) sentences.emplace_back(sentence);
            if (end == line.size()) break;
            line.remove_prefix(end + endLength);
        }
    }
    return sentences;
}

std::vector<std::string> CheckStoredText(std::string_view stored, LengthRange range, std::string* plain)
{
    if (stored.empty()) return {"it has no text"};
    const std::string gbk = DecryptStoredText(stored);
    if (gbk.empty()) return {"it does not decipher"};
    const std::string text = GbkToUtf8(gbk);
    if (Utf8ToGbk(text) != gbk) return {"it deciphers to bytes that are no GBK text"};
    if (plain) *plain = text;

    std::vector<std::string> problems;
    CheckLines(text, problems);
    const std::size_t length = VisibleLength(text);
    if (length < range.least || length > range.most)
        problems.push_back("its length " + std::to_string(length) + " lies outside " + std::to_string(range.least) +
                           ".." + std::to_string(range.most));
    return problems;
}

std::vector<std::string> RepeatedSentences(const std::vector<std::pair<std::string, std::string>>& texts)
{
    std::map<std::string, std::vector<std::string>> keysOfSentence;
    for (const auto& [key, text] : texts)
        for (std::string& sentence : Sentences(text)) keysOfSentence[std::move(sentence)].push_back(key);
    std::vector<std::string> findings;
    for (const auto& [sentence, keys] : keysOfSentence) {
        if (keys.size() < 2) continue;
        std::string finding = "the sentence \"" + sentence + "\" appears under";
        for (const std::string& key : keys) finding += " " + key;
        findings.push_back(std::move(finding));
    }
    return findings;
}

}  // namespace velmora::testing
