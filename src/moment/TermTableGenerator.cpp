// Writes the table of the terms' moments for a range of years, which the
// build compiles into the library so that a year's terms need no ERFA at run
// time. Usage: velmora_term_table_generator OUTPUT FIRST_YEAR LAST_YEAR
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "TermMoments.h"

namespace {

std::string TableText(int firstYear, int lastYear)
{
    std::ostringstream out;
    out << "// Made at build time by TermTableGenerator.cpp with ComputeTermMoments; do not edit.\n"
        << "constexpr int kTermTableFirstYear = " << firstYear << ";\n"
        << "constexpr int kTermTableLastYear = " << lastYear << ";\n"
        << "constexpr YearTerms kTermTable[] = {\n";
    for (int year = firstYear; year <= lastYear; ++year) {
        out << "    {{";
        const velmora::YearTerms terms = velmora::ComputeTermMoments(year);
        for (int i = 0; i < velmora::kTermCount; ++i) out << (i ? ", " : "") << terms[i] << "LL";
        out << "}},  // " << year << "\n";
    }
    out << "};\n";
    return out.str();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: " << argv[0] << " OUTPUT FIRST_YEAR LAST_YEAR\n";
        return 2;
    }
    const int firstYear = std::atoi(argv[2]);
    const int lastYear = std::atoi(argv[3]);
    if (!velmora::InMomentYears(firstYear) || !velmora::InMomentYears(lastYear) || firstYear > lastYear) {
        std::cerr << "years out of range: " << argv[2] << "-" << argv[3] << "\n";
        return 2;
    }
    const std::string text = TableText(firstYear, lastYear);
    // Written beside and renamed, so that a failed run leaves no half table
    // that the next build would take as current.
    const std::string partial = std::string(argv[1]) + ".part";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) {
            std::cerr << "cannot write " << partial << "\n";
            return 1;
        }
    }
    if (std::rename(partial.c_str(), argv[1]) != 0) {
        std::cerr << "cannot rename " << partial << " to " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
