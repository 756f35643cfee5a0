// The TERM rows of the committed PyEphem table
// (tests/data/moment/ephemeris-reference.tsv, made by
// tools/reference/make-ephemeris-table.py), for every test that checks
// against it.
#pragma once

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "BeijingTime.h"

namespace velmora {

// "YYYY-MM-DD HH:MM:SS" in Beijing time.
inline BeijingSeconds ParseReferenceMoment(const std::string& text)
{
    CivilTime t;
    std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d", &t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second);
    return ToBeijingSeconds(t);
}

struct ReferenceTerm {
    int year = 0, index = 0, longitude = 0;
    std::string name;
    BeijingSeconds moment = 0;
};

// Empty when the table cannot be read.
inline std::vector<ReferenceTerm> ReadReferenceTerms()
{
    std::vector<ReferenceTerm> terms;
    std::ifstream in(VELMORA_TEST_DATA_DIR "/moment/ephemeris-reference.tsv");
    std::string line;
    while (std::getline(in, line)) {
        if (!line.starts_with("TERM\t")) continue;
        std::istringstream fields(line.substr(5));
        ReferenceTerm term;
        std::string date, time;
        fields >> term.year >> term.index >> term.name >> term.longitude >> date >> time;
        term.moment = ParseReferenceMoment(date + " " + time);
        terms.push_back(term);
    }
    return terms;
}

}  // namespace velmora
