#include "ReadingStatements.h"

#include <stdexcept>

namespace velmora {

std::string AnimalMonthColumn(std::string_view lunarMonth)
{
    return "属相" + std::string(lunarMonth) + "月";
}

std::string FormatStatement(std::string_view statementTemplate, std::initializer_list<std::string_view> keys)
{
    constexpr std::string_view kPlaceholder = "%s";
    std::string statement;
    const std::string_view* key = keys.begin();
    std::size_t start = 0;
    for (auto at = statementTemplate.find(kPlaceholder); at != std::string_view::npos;
         at = statementTemplate.find(kPlaceholder, start)) {
        if (key == keys.end()) throw std::invalid_argument("The statement needs more keys than given.");
        statement.append(statementTemplate.substr(start, at - start)).append(*key++);
        start = at + kPlaceholder.size();
    }
    if (key != keys.end()) throw std::invalid_argument("The statement takes fewer keys than given.");
    return statement.append(statementTemplate.substr(start));
}

}  // namespace velmora
