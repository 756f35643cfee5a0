// A year's terms as everything else asks for them: from the table the build
// computed for the common years, else computed once and kept.
#include <map>
#include <mutex>

#include "TermMoments.h"

namespace velmora {
namespace {

// kTermTableFirstYear, kTermTableLastYear and kTermTable, one row a year.
#include "TermTable.inc"

static_assert(std::size(kTermTable) == kTermTableLastYear - kTermTableFirstYear + 1);

const YearTerms& ComputedOnce(int year)
{
    static std::mutex guard;
    static std::map<int, YearTerms> years;
    const std::lock_guard lock(guard);
    const auto found = years.find(year);
    if (found != years.end()) return found->second;
    return years.emplace(year, ComputeTermMoments(year)).first->second;
}

}  // namespace

bool InTermTable(int year) { return year >= kTermTableFirstYear && year <= kTermTableLastYear; }

const YearTerms& TermMomentsOfYear(int year)
{
    return InTermTable(year) ? kTermTable[year - kTermTableFirstYear] : ComputedOnce(year);
}

}  // namespace velmora
