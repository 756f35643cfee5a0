// A reading database whose every text names its own column and key, so a
// test sees exactly which row a reading read. Built once per test program
// with the real generator and the traditional weights.
#pragma once

#include <string>

#include "Reading.h"
#include "ReadingDatabase.h"

namespace velmora::testing {

// The file, built on first use.
const std::string& LabelledDatabaseFile();

// The label a text of that source file and key starts with, e.g.
// LabelOf("month", "4") is "[month:4]" (spaces of a key become '_').
std::string LabelOf(const std::string& file, const std::string& key);

// Keys deliberately left without a text.
inline constexpr const char* kStarSignWithoutText = "天秤座";

// A connection and query on the labelled database, as the window holds them.
struct LabelledLookups {
    TDatabaseConnection con1{WithDataSource(kReadingConnectionString, LabelledDatabaseFile())};
    TDatabaseQuery qry1{con1};
};

// A Gregorian birth as the window's boxes hold it.
BirthInput Gregorian(std::string year, std::string month, std::string day, std::string hour,
                     std::string sex = "男");

}  // namespace velmora::testing
