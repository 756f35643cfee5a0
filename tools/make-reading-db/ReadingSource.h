// The source data of the reading database, as kept for review in data/: the
// traditional weights (bone-weights.tsv) and the commentary texts
// (texts/*.txt). Parsing checks the form of each file; every error is an
// ESourceError that names the file and line, or the file, key and character.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora::readingdb {

class ESourceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Weights in tenths of a liang, in the order of the database rows: the 60
// year pillars in sexagenary order, lunar months 1..12, lunar days 1..30 and
// the 12 hours 子时..亥时.
struct BoneWeights {
    std::vector<std::pair<std::string, int>> year, month, day, hour;
};

// Reads "table<TAB>key<TAB>weight" lines ('#' starts a comment). Every key of
// every table must appear exactly once, with a positive whole weight.
BoneWeights ParseBoneWeights(std::string_view tsv, const std::string& fileName);

// Every total the four weights can give, in ascending order, without repeats.
std::vector<int> PossibleTotals(const BoneWeights& weights);

// One entry of a commentary file: "@ KEY" and the lines up to the next key
// line, joined with LF, trailing empty lines dropped.
struct SourceText {
    std::string key;
    std::string text;
    int line = 0;  // of the key line
};

// Parses one commentary file. Lines starting with '#' are comments; text
// before the first key line, a malformed key line, a repeated key and an
// entry without text are errors.
std::vector<SourceText> ParseTextFile(std::string_view content, const std::string& fileName);

// The stored form of a source text: GBK, CR LF line ends, enciphered. A
// character without a GBK form (or a zero byte) is an error naming the file,
// the key and the character.
std::string StoreText(std::string_view utf8Text, const std::string& fileName, const std::string& key);

}  // namespace velmora::readingdb
