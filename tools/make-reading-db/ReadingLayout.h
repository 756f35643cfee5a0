// The three tables of the reading database with their keys and weights, and
// which commentary file fills which text cells.
#pragma once

#include "DatabaseWriter.h"
#include "ReadingSource.h"

#include <string>
#include <utility>
#include <vector>

namespace velmora::readingdb {

struct TextCell {
    std::size_t table, row, column;
};

// A commentary source file and the cells its keys fill.
struct TextFileLayout {
    std::string fileName;  // in data/texts
    std::string target;    // e.g. 软件数据.[年内容], for messages
    std::vector<std::pair<std::string, TextCell>> keys;  // in file order
};

struct ReadingLayout {
    std::vector<TableData> tables;  // text cells NULL until filled
    std::vector<TextFileLayout> textFiles;
};

// 软件数据: the 60 years beside the 12 months, 30 days and 12 hours; 骨重星座:
// one row for each possible total beside the 12 star signs; 属相数据: the 12
// animals.
ReadingLayout BuildReadingLayout(const BoneWeights& weights);

// The bone-weight key of a total in tenths of a liang, as the reading words it.
std::string BoneWeightKey(int total);

}  // namespace velmora::readingdb
