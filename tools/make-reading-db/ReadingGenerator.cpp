#include "ReadingGenerator.h"

#include "ReadingDatabase.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace velmora::readingdb {
namespace fs = std::filesystem;
namespace {

std::string ReadFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) throw ESourceError("cannot read " + file.string());
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void FillFile(ReadingLayout& layout, const TextFileLayout& file, const fs::path& path, GeneratorReport& report)
{
    std::map<std::string, TextCell> cells(file.keys.begin(), file.keys.end());
    std::set<std::string> filled;
    const std::string name = path.string();
    for (const SourceText& entry : ParseTextFile(ReadFile(path), name)) {
        const auto cell = cells.find(entry.key);
        if (cell == cells.end())
            throw ESourceError(name + ":" + std::to_string(entry.line) + ": " + file.target + " has no key " + entry.key);
        layout.tables[cell->second.table].rows[cell->second.row][cell->second.column] =
            StoreText(entry.text, name, entry.key);
        filled.insert(entry.key);
        ++report.textCount;
    }
    MissingTexts missing{file.fileName, file.target, file.keys.size(), {}};
    for (const auto& [key, cell] : file.keys)
        if (!filled.count(key)) missing.keys.push_back(key);
    if (!missing.keys.empty()) report.missing.push_back(std::move(missing));
}

}  // namespace

GeneratorReport FillTexts(ReadingLayout& layout, const fs::path& textsFolder)
{
    GeneratorReport report;
    std::set<std::string> known;
    for (const TextFileLayout& file : layout.textFiles) {
        known.insert(file.fileName);
        const fs::path path = textsFolder / file.fileName;
        if (fs::exists(path)) {
            FillFile(layout, file, path, report);
        } else {
            MissingTexts missing{file.fileName, file.target, file.keys.size(), {}};
            for (const auto& [key, cell] : file.keys) missing.keys.push_back(key);
            report.missing.push_back(std::move(missing));
        }
    }
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(textsFolder, error))
        if (entry.path().extension() == ".txt" && !known.count(entry.path().filename().string()))
            report.ignoredFiles.push_back(entry.path().filename().string());
    std::sort(report.ignoredFiles.begin(), report.ignoredFiles.end());
    return report;
}

GeneratorReport GenerateReadingDatabase(const GeneratorOptions& options)
{
    const std::string weightsName = options.weightsFile.string();
    ReadingLayout layout = BuildReadingLayout(ParseBoneWeights(ReadFile(options.weightsFile), weightsName));
    GeneratorReport report = FillTexts(layout, options.textsFolder);
    // The key is the one the program opens the file with.
    WriteDatabase(options.outputFile, ParseConnectionString(kReadingConnectionString).password, layout.tables);
    return report;
}

std::string DescribeReport(const GeneratorReport& report)
{
    constexpr std::size_t kKeysShown = 6;
    std::ostringstream out;
    if (!report.missing.empty()) {
        std::size_t missingCount = 0;
        for (const MissingTexts& file : report.missing) missingCount += file.keys.size();
        out << "make-reading-db: " << missingCount << " texts missing (" << report.textCount
            << " stored); their cells stay empty:\n";
        for (const MissingTexts& file : report.missing) {
            out << "  " << file.fileName << " (" << file.target << "): " << file.keys.size() << " of "
                << file.keyCount << " missing";
            if (file.keys.size() < file.keyCount) {
                out << ":";
                for (std::size_t i = 0; i < file.keys.size() && i < kKeysShown; ++i) out << " " << file.keys[i];
                if (file.keys.size() > kKeysShown) out << " ...";
            }
            out << "\n";
        }
    }
    for (const std::string& file : report.ignoredFiles)
        out << "make-reading-db: ignored " << file << ": it fills no column\n";
    return out.str();
}

}  // namespace velmora::readingdb
