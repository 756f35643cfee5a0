// The five-element wording of the four pillars.
#include "ChineseCalendar.h"
#include "UnitPublic.h"

namespace velmora {

std::string PillarElements(int sexagenary)
{
    int stem = -1;
    int branch = -1;
    if (!SplitSexagenary(sexagenary, stem, branch)) return {};
    return ElementName(StemElement(stem)) + ElementName(BranchElement(branch));
}

std::string PillarBranchName(int sexagenary)
{
    if (sexagenary < 0 || sexagenary >= 60) return {};
    return BranchName(sexagenary % 12);
}

std::string DescribeMissingElements(std::string_view elements)
{
    std::string missing;
    for (std::string_view name : ElementList) {
        if (elements.find(name) != std::string_view::npos) continue;
        if (!missing.empty()) missing += ',';
        missing += name;
    }
    std::string described(elements);
    described += missing.empty() ? "(五行平衡)" : "(五行缺" + missing + ")";
    return described;
}

}  // namespace velmora
