// Writes tables into a new enciphered database file. The same tables give
// the same bytes: the engine's random salt and page IVs are drawn from a
// generator seeded with a digest of the content, so the file can be rebuilt
// and compared.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

namespace velmora::readingdb {

using Cell = std::variant<std::monostate, std::int64_t, std::string>;  // NULL, INTEGER, TEXT

struct ColumnDef {
    std::string name;
    bool integer = false;  // INTEGER, else TEXT
};

struct TableData {
    std::string name;
    std::vector<ColumnDef> columns;
    std::vector<std::vector<Cell>> rows;  // each as long as `columns`
};

// Replaces `output` only once the new file is complete; throws
// std::runtime_error with the engine's message on failure.
void WriteDatabase(const std::filesystem::path& output, const std::string& password,
                   const std::vector<TableData>& tables);

}  // namespace velmora::readingdb
