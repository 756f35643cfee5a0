// The generator's whole job: read the sources, fill the layout, write the file.
#pragma once

#include "ReadingLayout.h"

#include <filesystem>
#include <string>
#include <vector>

namespace velmora::readingdb {

struct GeneratorOptions {
    std::filesystem::path weightsFile;
    std::filesystem::path textsFolder;
    std::filesystem::path outputFile;
};

// The keys of one commentary file that have no text.
struct MissingTexts {
    std::string fileName;
    std::string target;
    std::size_t keyCount = 0;  // keys the file should have
    std::vector<std::string> keys;
};

struct GeneratorReport {
    std::size_t textCount = 0;               // texts stored
    std::vector<MissingTexts> missing;       // files with keys left empty
    std::vector<std::string> ignoredFiles;   // *.txt that fill no column
};

// Stores the texts of every commentary file found in `textsFolder` into the
// layout's cells. Throws ESourceError for a malformed file or a key the file
// does not have.
GeneratorReport FillTexts(ReadingLayout& layout, const std::filesystem::path& textsFolder);

GeneratorReport GenerateReadingDatabase(const GeneratorOptions& options);

// The short summary for stderr: what is missing and what was ignored; empty
// when nothing is.
std::string DescribeReport(const GeneratorReport& report);

}  // namespace velmora::readingdb
