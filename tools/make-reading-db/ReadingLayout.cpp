#include "ReadingLayout.h"

#include "ChineseCalendar.h"
#include "UnitPublic.h"

#include <algorithm>
#include <optional>

namespace velmora::readingdb {
namespace {

std::string KeyText(const std::string& key) { return key; }
std::string KeyText(std::int64_t key) { return std::to_string(key); }

constexpr std::size_t kYearTable = 0, kBoneTable = 1, kAnimalTable = 2;

TableData MakeTable(std::string name, std::vector<ColumnDef> columns, std::size_t rowCount)
{
    TableData table{std::move(name), std::move(columns), {}};
    table.rows.assign(rowCount, std::vector<Cell>(table.columns.size()));
    return table;
}

struct KeyColumns {
    std::size_t key;
    std::optional<std::size_t> weight;
    std::size_t text;
};

// Fills a key column (and its weight column) from the top, and returns the
// text file that fills the text column of those rows.
template <typename Key>
TextFileLayout FillKeys(TableData& table, std::size_t tableIndex, KeyColumns columns,
                        const std::vector<std::pair<Key, int>>& keysAndWeights, std::string fileName)
{
    TextFileLayout file{std::move(fileName), table.name + ".[" + table.columns[columns.text].name + "]", {}};
    for (std::size_t row = 0; row < keysAndWeights.size(); ++row) {
        const auto& [key, weight] = keysAndWeights[row];
        table.rows[row][columns.key] = key;
        if (columns.weight) table.rows[row][*columns.weight] = std::int64_t{weight};
        file.keys.push_back({KeyText(key), {tableIndex, row, columns.text}});
    }
    return file;
}

std::vector<std::pair<std::string, int>> KeysOnly(std::vector<std::string> keys)
{
    std::vector<std::pair<std::string, int>> rows;
    for (std::string& key : keys) rows.emplace_back(std::move(key), 0);
    return rows;
}

// Numeric keys are stored as whole numbers: the statements compare them with a bare number.
std::vector<std::pair<std::int64_t, int>> NumericKeys(const std::vector<std::pair<std::string, int>>& rows)
{
    std::vector<std::pair<std::int64_t, int>> numeric;
    for (const auto& [key, weight] : rows) numeric.emplace_back(std::stoll(key), weight);
    return numeric;
}

}  // namespace

std::string BoneWeightKey(int total) { return FormatBoneWeight(total / 10.0); }

ReadingLayout BuildReadingLayout(const BoneWeights& weights)
{
    auto textColumn = [](std::string name) { return ColumnDef{std::move(name), false}; };
    auto numberColumn = [](std::string name) { return ColumnDef{std::move(name), true}; };

    ReadingLayout layout;
    TableData years = MakeTable("软件数据",
                                {textColumn("年份"), numberColumn("年骨重"), textColumn("年内容"),
                                 numberColumn("月份"), numberColumn("月骨重"), textColumn("月内容"),
                                 numberColumn("日子"), numberColumn("日骨重"), textColumn("日内容"),
                                 textColumn("时间"), numberColumn("时骨重"), textColumn("时内容")},
                                weights.year.size());
    layout.textFiles.push_back(FillKeys(years, kYearTable, {0, 1, 2}, weights.year, "year.txt"));
    layout.textFiles.push_back(FillKeys(years, kYearTable, {3, 4, 5}, NumericKeys(weights.month), "month.txt"));
    layout.textFiles.push_back(FillKeys(years, kYearTable, {6, 7, 8}, NumericKeys(weights.day), "day.txt"));
    layout.textFiles.push_back(FillKeys(years, kYearTable, {9, 10, 11}, weights.hour, "hour.txt"));

    std::vector<std::string> boneKeys, starSigns;
    for (const int total : PossibleTotals(weights)) boneKeys.push_back(BoneWeightKey(total));
    for (int sign = 0; sign < 12; ++sign) starSigns.push_back(StarSignName(sign) + "座");
    TableData bones = MakeTable("骨重星座",
                                {textColumn("骨重"), textColumn("男骨重"), textColumn("女骨重"),
                                 textColumn("星座"), textColumn("星内容")},
                                std::max(boneKeys.size(), starSigns.size()));
    const auto boneRows = KeysOnly(boneKeys);
    layout.textFiles.push_back(FillKeys(bones, kBoneTable, {0, {}, 1}, boneRows, "bone-male.txt"));
    layout.textFiles.push_back(FillKeys(bones, kBoneTable, {0, {}, 2}, boneRows, "bone-female.txt"));
    layout.textFiles.push_back(FillKeys(bones, kBoneTable, {3, {}, 4}, KeysOnly(starSigns), "star-sign.txt"));

    std::vector<std::string> animalNames;
    for (int animal = 0; animal < 12; ++animal) animalNames.push_back(AnimalName(animal));
    std::vector<ColumnDef> animalColumns{textColumn("属相名称"), textColumn("属相内容")};
    for (int month = 1; month <= 12; ++month) animalColumns.push_back(textColumn("属相" + std::to_string(month) + "月"));
    TableData animals = MakeTable("属相数据", std::move(animalColumns), animalNames.size());
    layout.textFiles.push_back(FillKeys(animals, kAnimalTable, {0, {}, 1}, KeysOnly(animalNames), "animal.txt"));
    TextFileLayout animalMonths{"animal-month.txt", "属相数据.[属相1月..属相12月]", {}};
    for (std::size_t row = 0; row < animalNames.size(); ++row)
        for (std::size_t month = 1; month <= 12; ++month)
            animalMonths.keys.push_back({animalNames[row] + " " + std::to_string(month), {kAnimalTable, row, 1 + month}});
    layout.textFiles.push_back(std::move(animalMonths));

    layout.tables = {std::move(years), std::move(bones), std::move(animals)};
    return layout;
}

}  // namespace velmora::readingdb
