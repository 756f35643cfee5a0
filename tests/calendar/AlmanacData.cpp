#include "AlmanacData.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "ChineseCalendar.h"

namespace velmora::testing {
namespace {

std::vector<std::string> DataLines(const std::string& fileName)
{
    const std::string path = std::string(VELMORA_TEST_DATA_DIR) + "/" + fileName;
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') lines.push_back(line);
    return lines;
}

}  // namespace

std::vector<LunarMonthStart> LoadLunarMonthStarts()
{
    std::vector<LunarMonthStart> months;
    for (const std::string& line : DataLines("lunar-months-1900-2100.tsv")) {
        int y, m, d, ly, lm, leap;
        if (std::sscanf(line.c_str(), "%d-%d-%d\t%d\t%d\t%d", &y, &m, &d, &ly, &lm, &leap) != 6)
            throw std::runtime_error("bad almanac line: " + line);
        months.push_back({DayNumber(y, m, d), ly, lm, leap != 0});
    }
    return months;
}

std::vector<SectionalTerm> LoadSectionalTerms()
{
    std::vector<SectionalTerm> terms;
    for (const std::string& line : DataLines("sectional-terms-1900-2100.tsv")) {
        int year, term, y, m, d;
        char name[32];
        if (std::sscanf(line.c_str(), "%d\t%d\t%31s\t%d-%d-%d", &year, &term, name, &y, &m, &d) != 6)
            throw std::runtime_error("bad term line: " + line);
        terms.push_back({year, term, name, DayNumber(y, m, d)});
    }
    return terms;
}

}  // namespace velmora::testing
