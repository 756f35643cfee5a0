#include "Script.h"

#include <opencc/Conversion.hpp>
#include <opencc/ConversionChain.hpp>
#include <opencc/Converter.hpp>
#include <opencc/DictGroup.hpp>
#include <opencc/MarisaDict.hpp>
#include <opencc/MaxMatchSegmentation.hpp>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <list>
#include <memory>
#include <functional>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

#include "GbkCodec.h"

extern const unsigned char velmora_field_words[];
extern const std::size_t velmora_field_words_size;
extern const unsigned char velmora_gbk_fallback[];
extern const std::size_t velmora_gbk_fallback_size;

namespace velmora {

namespace {

constexpr std::array<std::string_view, 4> kScriptNames = {"simplified", "traditional", "taiwan", "hongkong"};

// The traditional scripts, in the order of the field-word columns.
constexpr std::size_t kTraditionalScripts = 3;

std::size_t ColumnOf(Script script) { return static_cast<std::size_t>(script) - 1; }

std::string_view EmbeddedText(const unsigned char* bytes, std::size_t size)
{
    return {reinterpret_cast<const char*>(bytes), size};
}

// The bytes of the UTF-8 character at an offset, 0 when they form none.
std::size_t ValidCharacterLength(std::string_view text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
    if (length == 0 || at + length > text.size()) return 0;
    for (std::size_t next = at + 1; next < at + length; ++next) {
        if ((static_cast<unsigned char>(text[next]) & 0xC0) != 0x80) return 0;
    }
    return length;
}

// A byte that starts no UTF-8 character counts as one character of its own.
std::size_t CharacterLength(std::string_view text, std::size_t at)
{
    return std::max<std::size_t>(ValidCharacterLength(text, at), 1);
}

// The tab-separated fields of the data lines of an embedded table; lines
// starting with # are comments.
std::vector<std::vector<std::string_view>> DataRows(std::string_view table)
{
    std::vector<std::vector<std::string_view>> rows;
    while (!table.empty()) {
        const std::size_t end = std::min(table.find('\n'), table.size());
        const std::string_view line = table.substr(0, end);
        table.remove_prefix(std::min(end + 1, table.size()));
        if (line.empty() || line.front() == '#') continue;
        std::vector<std::string_view> fields;
        for (std::size_t start = 0;;) {
            const std::size_t tab = line.find('\t', start);
            fields.push_back(line.substr(start, tab - start));
            if (tab == std::string_view::npos) break;
            start = tab + 1;
        }
        rows.push_back(std::move(fields));
    }
    return rows;
}

struct FieldWord {
    std::string simplified;
    std::array<std::string, kTraditionalScripts> converted;
};

// Our dictionary of the field's words, looked up by the word's first character.
class FieldWords {
public:
    FieldWords()
    {
        for (const auto& row : DataRows(EmbeddedText(velmora_field_words, velmora_field_words_size))) {
            if (row.size() < 1 + kTraditionalScripts) throw std::logic_error("field-words.tsv: a line lacks a script");
            FieldWord& word = words_.emplace_back();
            word.simplified = row[0];
            for (std::size_t column = 0; column < kTraditionalScripts; ++column) word.converted[column] = row[1 + column];
        }
        for (const FieldWord& word : words_) {
            byFirstCharacter_[std::string_view(word.simplified).substr(0, CharacterLength(word.simplified, 0))]
                .push_back(&word);
        }
        for (auto& [first, words] : byFirstCharacter_) {
            std::sort(words.begin(), words.end(),
                      [](const FieldWord* a, const FieldWord* b) { return a->simplified.size() > b->simplified.size(); });
        }
    }

    // The longest of our words that the text holds at the offset.
    const std::deque<FieldWord>& All() const { return words_; }

    const FieldWord* LongestAt(std::string_view text, std::size_t at) const
    {
        const auto found = byFirstCharacter_.find(text.substr(at, CharacterLength(text, at)));
        if (found == byFirstCharacter_.end()) return nullptr;
        for (const FieldWord* word : found->second) {
            if (text.substr(at).starts_with(word->simplified)) return word;
        }
        return nullptr;
    }

private:
    std::deque<FieldWord> words_;  // a deque keeps the index's pointers valid
    std::unordered_map<std::string_view, std::vector<const FieldWord*>> byFirstCharacter_;
};

const FieldWords& TheFieldWords()
{
    static const FieldWords words;
    return words;
}

// OpenCC's few characters outside GBK, each to the GBK character it came from.
const std::unordered_map<std::string, std::string>& GbkFallbacks()
{
    static const auto fallbacks = [] {
        std::unordered_map<std::string, std::string> table;
        for (const auto& row : DataRows(EmbeddedText(velmora_gbk_fallback, velmora_gbk_fallback_size))) {
            if (row.size() < 2) throw std::logic_error("gbk-fallback.tsv: a line lacks its replacement");
            table.emplace(row[0], row[1]);
        }
        return table;
    }();
    return fallbacks;
}

// Only characters of the CJK extensions (A, U+3400 to U+4DBF, or four bytes
// long) can be among the fallbacks; the rest is copied as it stands.
void AppendWithinGbk(std::string& out, std::string_view converted)
{
    for (std::size_t at = 0; at < converted.size();) {
        const std::size_t length = CharacterLength(converted, at);
        const std::string_view character = converted.substr(at, length);
        const bool mayLackGbk = length == 4 || (length == 3 && character >= "\u3400" && character < "\u4E00");
        if (mayLackGbk) {
            const auto fallback = GbkFallbacks().find(std::string(character));
            out += fallback != GbkFallbacks().end() ? std::string_view(fallback->second) : character;
        } else {
            out += character;
        }
        at += length;
    }
}

// One of OpenCC's dictionaries, by its full path in OpenCC's data folder.
opencc::DictPtr LoadDictionary(const char* file)
{
    const std::string path = std::string(VELMORA_OPENCC_DATA_DIR) + "/" + file;
    errno = 0;
    const std::unique_ptr<FILE, int (*)(FILE*)> stream(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!stream) throw std::runtime_error("OpenCC's dictionary " + path + " cannot be read: " + std::strerror(errno));
    try {
        return opencc::MarisaDict::NewFromFile(stream.get());
    } catch (const std::exception& error) {
        throw std::runtime_error("OpenCC's dictionary " + path + " is damaged: " + error.what());
    }
}

// The dictionaries every traditional script starts from, read once.
struct Dictionaries {
    opencc::DictPtr phrases = LoadDictionary("STPhrases.ocd2");
    opencc::DictPtr characters = LoadDictionary("STCharacters.ocd2");
};

const Dictionaries& SimplifiedDictionaries()
{
    static const Dictionaries dictionaries;
    return dictionaries;
}

// The length of what must stay as typed at an offset, 0 when nothing.
using KeptAt = std::function<std::size_t(std::size_t)>;

// OpenCC's phrases hold no punctuation or spaces, so its segmentation starts
// afresh after each of these.
constexpr std::string_view kClauseBreaks[] = {"\n", " ", "，", "。", "；", "：", "！", "？", "、"};

// The converters are OpenCC's s2t, s2tw and s2hk chains (its s2t.json,
// s2tw.json and s2hk.json): phrases segmented by STPhrases, converted by
// STPhrases and STCharacters, then, for Taiwan and Hong Kong, their variants.
// They are built here from the dictionaries' full paths because OpenCC's own
// configuration loader looks for each dictionary in the working folder first,
// where a stray file of that name would change the output or end the program.
//
// How the corrections are applied: the text is walked the way OpenCC segments
// it (longest phrase first), and where one of our words begins it is written
// from our dictionary while the stretches between go through OpenCC whole, so
// OpenCC keeps its phrase context. Our word gives way to a longer phrase of
// OpenCC's starting at the same place, and to any word (OpenCC's, ours or a
// kept one) that starts inside it and runs past its end, so 出手时干脆 keeps
// 乾脆 and 中年干劲 keeps 幹勁 although 时干 and 年干 are ours. A post-pass
// over OpenCC's output could not tell 醜 the branch from 醜 the ugly.
// Only the clauses that hold one of our words (or a kept word) are walked;
// the rest goes to OpenCC untouched. Bytes that are no UTF-8 (which OpenCC
// refuses) are copied as they stand, like kept words.
class TraditionalConverter {
public:
    TraditionalConverter(Script script, const char* variants)
        : phrases_(SimplifiedDictionaries().phrases), column_(ColumnOf(script))
    {
        const auto& dictionaries = SimplifiedDictionaries();
        std::list<opencc::ConversionPtr> chain = {std::make_shared<opencc::Conversion>(
            std::make_shared<opencc::DictGroup>(std::list<opencc::DictPtr>{phrases_, dictionaries.characters}))};
        if (variants) chain.push_back(std::make_shared<opencc::Conversion>(LoadDictionary(variants)));
        converter_ = std::make_shared<opencc::Converter>(std::string(ScriptName(script)),
                                                         std::make_shared<opencc::MaxMatchSegmentation>(phrases_),
                                                         std::make_shared<opencc::ConversionChain>(chain));
    }

    std::string Convert(std::string_view text, const KeptAt& keptWordAt) const
    {
        const KeptAt keptAt = [&](std::size_t at) {
            const std::size_t kept = keptWordAt(at);
            return kept ? kept : ValidCharacterLength(text, at) ? 0 : 1;
        };
        std::string out;
        out.reserve(text.size() + text.size() / 8);
        std::size_t runStart = 0;
        const auto flushRun = [&](std::size_t end) {
            if (end > runStart) AppendWithinGbk(out, converter_->Convert(std::string(text.substr(runStart, end - runStart))));
        };
        const auto writeInstead = [&](std::size_t at, std::size_t length, std::string_view written) {
            flushRun(at);
            out += written;
            runStart = at + length;
            return runStart;
        };
        std::size_t candidate = 0;
        bool candidateKnown = false;
        for (std::size_t at = 0; at < text.size();) {
            if (!candidateKnown || at > candidate) {
                candidate = NextCandidate(text, at, keptAt);
                candidateKnown = true;
            }
            if (candidate == text.size()) break;
            if (const std::size_t clause = ClauseStart(text, at, candidate); clause > at) {
                at = clause;
                continue;
            }
            if (const std::size_t kept = keptAt(at)) {
                at = writeInstead(at, kept, text.substr(at, kept));
                continue;
            }
            const std::size_t phrase = PhraseLengthAt(text, at);
            const FieldWord* word = TheFieldWords().LongestAt(text, at);
            if (word && word->simplified.size() >= phrase &&
                !WordStartsInsideAndRunsPast(text, at, at + word->simplified.size(), keptAt)) {
                at = writeInstead(at, word->simplified.size(), word->converted[column_]);
                continue;
            }
            const std::size_t step = std::max(phrase, CharacterLength(text, at));
            at += KeptWordStartsInside(text, at, at + step, keptAt) ? CharacterLength(text, at) : step;
        }
        flushRun(text.size());
        return out;
    }

private:
    std::size_t PhraseLengthAt(std::string_view text, std::size_t at) const
    {
        const auto match = phrases_->MatchPrefix(text.data() + at, text.size() - at);
        return match.IsNull() ? 0 : match.Get()->KeyLength();
    }

    // Where the next of our words or a kept word begins, the text's end when nowhere.
    static std::size_t NextCandidate(std::string_view text, std::size_t from, const KeptAt& keptAt)
    {
        for (std::size_t at = from; at < text.size(); at += CharacterLength(text, at)) {
            if (keptAt(at) || TheFieldWords().LongestAt(text, at)) return at;
        }
        return text.size();
    }

    // Where the clause holding the offset `to` begins, counting from `from`.
    static std::size_t ClauseStart(std::string_view text, std::size_t from, std::size_t to)
    {
        std::size_t start = from;
        for (std::size_t at = from; at < to; at += CharacterLength(text, at)) {
            for (std::string_view clauseBreak : kClauseBreaks) {
                if (text.substr(at).starts_with(clauseBreak)) start = at + clauseBreak.size();
            }
        }
        return std::min(start, to);
    }

    static bool KeptWordStartsInside(std::string_view text, std::size_t begin, std::size_t end, const KeptAt& keptAt)
    {
        for (std::size_t at = begin + CharacterLength(text, begin); at < end; at += CharacterLength(text, at)) {
            if (keptAt(at)) return true;
        }
        return false;
    }

    bool WordStartsInsideAndRunsPast(std::string_view text, std::size_t begin, std::size_t end,
                                     const KeptAt& keptAt) const
    {
        for (std::size_t at = begin + CharacterLength(text, begin); at < end; at += CharacterLength(text, at)) {
            if (keptAt(at)) return true;
            const FieldWord* word = TheFieldWords().LongestAt(text, at);
            const std::size_t longest = std::max(PhraseLengthAt(text, at), word ? word->simplified.size() : 0);
            if (at + longest > end) return true;
        }
        return false;
    }

    opencc::ConverterPtr converter_;
    opencc::DictPtr phrases_;
    std::size_t column_;
};

// Each script's OpenCC data is read on its first use and kept for the process.
const TraditionalConverter& ConverterFor(Script script)
{
    switch (script) {
    case Script::Traditional: {
        static const TraditionalConverter converter(script, nullptr);
        return converter;
    }
    case Script::Taiwan: {
        static const TraditionalConverter converter(script, "TWVariants.ocd2");
        return converter;
    }
    case Script::HongKong: {
        static const TraditionalConverter converter(script, "HKVariants.ocd2");
        return converter;
    }
    case Script::Simplified: break;
    }
    throw std::logic_error("simplified text needs no converter");
}

std::string Convert(std::string_view text, Script script, const KeptAt& keptAt)
{
    if (script == Script::Simplified) return std::string(text);
    return ConverterFor(script).Convert(text, keptAt);
}

}  // namespace

std::string_view ScriptName(Script script) { return kScriptNames[static_cast<std::size_t>(script)]; }

std::optional<Script> ParseScript(std::string_view name)
{
    const auto found = std::find(kScriptNames.begin(), kScriptNames.end(), name);
    if (found == kScriptNames.end()) return std::nullopt;
    return static_cast<Script>(found - kScriptNames.begin());
}

std::string ConvertText(std::string_view text, Script script)
{
    return Convert(text, script, [](std::size_t) { return std::size_t{0}; });
}

std::string ConvertText(std::string_view text, Script script, std::span<const std::string> keptWords)
{
    return Convert(text, script, [&](std::size_t at) {
        for (const std::string& word : keptWords) {
            if (!word.empty() && text.substr(at).starts_with(word)) return word.size();
        }
        return std::size_t{0};
    });
}

std::string ConvertTextKeepingSpan(std::string_view text, Script script, std::size_t begin, std::size_t length)
{
    begin = std::min(begin, text.size());
    length = std::min(length, text.size() - begin);
    return Convert(text, script, [&](std::size_t at) { return at == begin ? length : std::size_t{0}; });
}

std::vector<std::string> CorrectedWords()
{
    std::vector<std::string> words;
    for (const FieldWord& word : TheFieldWords().All()) words.push_back(word.simplified);
    return words;
}

std::vector<std::string> ConvertedForms(std::string_view text)
{
    std::vector<std::string> forms;
    for (Script script : kScripts) {
        std::string form = ConvertText(text, script);
        if (std::find(forms.begin(), forms.end(), form) == forms.end()) forms.push_back(std::move(form));
    }
    return forms;
}

std::vector<std::string> CharactersOutsideGbk(std::string_view text)
{
    std::vector<std::string> outside;
    std::unordered_set<std::string_view> seen;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = CharacterLength(text, at);
        const std::string_view character = text.substr(at, length);
        if (length > 1 && seen.insert(character).second && !Utf8ToGbk(character)) outside.emplace_back(character);
        at += length;
    }
    return outside;
}

}  // namespace velmora
