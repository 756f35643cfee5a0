#include "ReadingSource.h"

#include "ChineseCalendar.h"
#include "DESCrypt.h"
#include "GbkCodec.h"

#include <charconv>
#include <cstdio>
#include <map>
#include <set>

namespace velmora::readingdb {
namespace {

// Calls `visit(lineNumber, line)` for each line, without its LF or CR LF.
template <typename Visit>
void ForEachLine(std::string_view content, Visit visit)
{
    int number = 0;
    while (!content.empty()) {
        const auto end = content.find('\n');
        std::string_view line = content.substr(0, end);
        content = end == std::string_view::npos ? std::string_view() : content.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        visit(++number, line);
    }
}

std::string At(const std::string& fileName, int line) { return fileName + ":" + std::to_string(line) + ": "; }

std::vector<std::string> Split(std::string_view line, char separator)
{
    std::vector<std::string> fields;
    for (;;) {
        const auto end = line.find(separator);
        fields.emplace_back(line.substr(0, end));
        if (end == std::string_view::npos) return fields;
        line.remove_prefix(end + 1);
    }
}

// The keys of each weight table, in row order.
std::vector<std::string> NumberKeys(int count)
{
    std::vector<std::string> keys;
    for (int n = 1; n <= count; ++n) keys.push_back(std::to_string(n));
    return keys;
}

std::vector<std::string> YearKeys()
{
    std::vector<std::string> keys;
    for (int i = 0; i < 60; ++i) keys.push_back(SexagenaryName(i));
    return keys;
}

std::vector<std::string> HourKeys()
{
    std::vector<std::string> keys;
    for (int i = 0; i < 12; ++i) keys.push_back(BranchName(i) + "时");
    return keys;
}

// Length of the well-formed UTF-8 sequence at the start of `text`, 0 when
// it starts with none.
std::size_t Utf8SequenceLength(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text.front());
    const std::size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3
                             : (lead & 0xF8) == 0xF0                  ? 4
                                                                      : 0;
    if (length == 0 || length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0;
    return length;
}

std::string CodePointLabel(std::string_view character)
{
    const auto lead = static_cast<unsigned char>(character.front());
    char32_t value = character.size() == 1 ? lead : lead & (0x7F >> character.size());
    for (std::size_t i = 1; i < character.size(); ++i) value = (value << 6) | (character[i] & 0x3F);
    char label[16];
    std::snprintf(label, sizeof label, "U+%04X", static_cast<unsigned>(value));
    return "\"" + std::string(character) + "\" (" + label + ")";
}

// Why a text has no GBK form: the first character GBK cannot write, or the
// first byte that is no UTF-8.
std::string WhyNotGbk(std::string_view text)
{
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8SequenceLength(text.substr(at));
        if (length == 0) return "holds a byte that is no UTF-8 at offset " + std::to_string(at);
        if (!Utf8ToGbk(text.substr(at, length)))
            return "holds the character " + CodePointLabel(text.substr(at, length)) + ", which has no GBK form";
        at += length;
    }
    return "has no GBK form";
}

}  // namespace

BoneWeights ParseBoneWeights(std::string_view tsv, const std::string& fileName)
{
    struct Table {
        std::string_view name;
        std::vector<std::string> keys;
        std::vector<std::pair<std::string, int>> BoneWeights::*rows;
    };
    const Table tables[] = {{"year", YearKeys(), &BoneWeights::year},
                            {"month", NumberKeys(12), &BoneWeights::month},
                            {"day", NumberKeys(30), &BoneWeights::day},
                            {"hour", HourKeys(), &BoneWeights::hour}};
    std::set<std::pair<std::string, std::string>> known;
    for (const Table& table : tables)
        for (const std::string& key : table.keys) known.emplace(table.name, key);
    std::map<std::pair<std::string, std::string>, int> found;
    ForEachLine(tsv, [&](int number, std::string_view line) {
        if (line.empty() || line.front() == '#') return;
        const auto fields = Split(line, '\t');
        if (fields.size() != 3) throw ESourceError(At(fileName, number) + "expected table, key and weight");
        if (!known.count({fields[0], fields[1]})) throw ESourceError(At(fileName, number) + "unknown key " + fields[0] + " " + fields[1]);
        int weight = 0;
        const auto [end, error] = std::from_chars(fields[2].data(), fields[2].data() + fields[2].size(), weight);
        if (error != std::errc() || end != fields[2].data() + fields[2].size() || weight <= 0)
            throw ESourceError(At(fileName, number) + "the weight \"" + fields[2] + "\" is no positive whole number");
        if (!found.emplace(std::pair(fields[0], fields[1]), weight).second)
            throw ESourceError(At(fileName, number) + "second weight for " + fields[0] + " " + fields[1]);
    });

    BoneWeights weights;
    for (const Table& table : tables)
        for (const std::string& key : table.keys) {
            const auto weight = found.find(std::pair(std::string(table.name), key));
            if (weight == found.end())
                throw ESourceError(fileName + ": no weight for " + std::string(table.name) + " " + key);
            (weights.*table.rows).emplace_back(key, weight->second);
        }
    return weights;
}

std::vector<int> PossibleTotals(const BoneWeights& weights)
{
    std::set<int> totals{0};
    for (const auto* table : {&weights.year, &weights.month, &weights.day, &weights.hour}) {
        std::set<int> next;
        for (const int total : totals)
            for (const auto& [key, weight] : *table) next.insert(total + weight);
        totals = std::move(next);
    }
    return {totals.begin(), totals.end()};
}

std::vector<SourceText> ParseTextFile(std::string_view content, const std::string& fileName)
{
    std::vector<SourceText> entries;
    std::set<std::string> keys;
    std::vector<std::string_view> lines;  // of the entry being read
    auto finishEntry = [&] {
        if (entries.empty()) return;
        while (!lines.empty() && lines.back().empty()) lines.pop_back();
        SourceText& entry = entries.back();
        if (lines.empty()) throw ESourceError(At(fileName, entry.line) + "the key " + entry.key + " has no text");
        for (const std::string_view line : lines) entry.text.append(line).append("\n");
        entry.text.pop_back();
        lines.clear();
    };
    ForEachLine(content, [&](int number, std::string_view line) {
        if (!line.empty() && line.front() == '#') return;
        if (!line.empty() && line.front() == '@') {
            if (line.size() < 3 || line[1] != ' ' || line[2] == ' ' || line.back() == ' ')
                throw ESourceError(At(fileName, number) + "a key line is \"@ KEY\"");
            finishEntry();
            std::string key(line.substr(2));
            if (!keys.insert(key).second) throw ESourceError(At(fileName, number) + "second text for the key " + key);
            entries.push_back({std::move(key), {}, number});
            return;
        }
        if (entries.empty()) {
            if (!line.empty()) throw ESourceError(At(fileName, number) + "text before the first key line");
            return;
        }
        lines.push_back(line);
    });
    finishEntry();
    return entries;
}

std::string StoreText(std::string_view utf8Text, const std::string& fileName, const std::string& key)
{
    if (utf8Text.find('\0') != std::string_view::npos)
        throw ESourceError(fileName + ": the text of " + key + " holds a zero byte");
    const auto gbk = Utf8ToGbk(utf8Text);
    if (!gbk)
        throw ESourceError(fileName + ": the text of " + key + " " + WhyNotGbk(utf8Text));
    std::string crlf;
    crlf.reserve(gbk->size() + gbk->size() / 16);
    for (const char c : *gbk) {
        if (c == '\n') crlf.push_back('\r');
        crlf.push_back(c);
    }
    return EncryptStoredText(crlf);
}

}  // namespace velmora::readingdb
