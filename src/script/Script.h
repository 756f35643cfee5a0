// The scripts the program writes in: simplified, as its texts are kept, or
// traditional characters in one of three standards. Conversion goes through
// OpenCC, character by character and phrase by phrase but never word by word
// (texts keep their wording), corrected by our own dictionary for the words of
// this field that OpenCC gets wrong (data/script/field-words.tsv).
//
// OpenCC's dictionaries for a script are loaded once per process, the first
// time text is converted into that script; simplified loads nothing. Every
// function may be called from any thread.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

enum class Script { Simplified, Traditional, Taiwan, HongKong };

inline constexpr Script kScripts[] = {Script::Simplified, Script::Traditional, Script::Taiwan, Script::HongKong};

// "simplified", "traditional", "taiwan", "hongkong".
std::string_view ScriptName(Script script);
std::optional<Script> ParseScript(std::string_view name);

// The simplified UTF-8 text in the script. Throws std::runtime_error when
// OpenCC's data for the script cannot be loaded.
std::string ConvertText(std::string_view text, Script script);

// As above, but every occurrence of each kept word (a name the user typed)
// stays exactly as it is: 李后 does not become 李後.
std::string ConvertText(std::string_view text, Script script, std::span<const std::string> keptWords);

// As above, but the bytes [begin, begin + length) stay as they are; the rest
// is converted as if the span were a word of its own. A span past the end is
// cut at the end.
std::string ConvertTextKeepingSpan(std::string_view text, Script script, std::size_t begin, std::size_t length);

// The simplified words our own dictionary corrects (data/script/field-words.tsv).
std::vector<std::string> CorrectedWords();

// The text as each script writes it, each spelling once, simplified first:
// what a search compares traditional input with (converting the input back
// would lose information: 乾安縣 is not 干安县).
std::vector<std::string> ConvertedForms(std::string_view text);

// The characters of the UTF-8 text that GBK cannot write, each once, in the
// order they first appear. Converted text holds none (OpenCC's few characters
// outside GBK fall back to the GBK original, data/script/gbk-fallback.tsv)
// unless the input already did.
std::vector<std::string> CharactersOutsideGbk(std::string_view text);

}  // namespace velmora
