// A year's terms as everything else asks for them: from the table the build
// computed for the common years, else computed once and kept.
#include <map>
#include <mutex>
#include <optional>

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

// The sectional term nearest the moment on one side, from the rows of the
// moment's year and of the years on both sides. The rows follow each other
// in time, so a row left out for lying outside the moment years could only
// have given a term that none of the others can stand in for.
template <typename Closer>
std::optional<SectionalTerm> NearestSectionalTerm(BeijingSeconds moment, Closer closer)
{
    const int year = ToCivilTime(moment).year;
    if (!InMomentYears(year)) return std::nullopt;
    std::optional<SectionalTerm> found;
    for (int y = year - 1; y <= year + 1; ++y) {
        if (!InMomentYears(y)) continue;
        const YearTerms& terms = TermMomentsOfYear(y);
        for (int i = 0; i < kTermCount; i += 2)
            if (closer(terms[i], found)) found = SectionalTerm{y, i, terms[i]};
    }
    return found;
}

}  // namespace

std::optional<SectionalTerm> SectionalTermAtOrBefore(BeijingSeconds moment)
{
    return NearestSectionalTerm(moment, [moment](BeijingSeconds term, const std::optional<SectionalTerm>& found) {
        return term <= moment && (!found || term > found->moment);
    });
}

std::optional<SectionalTerm> SectionalTermAfter(BeijingSeconds moment)
{
    return NearestSectionalTerm(moment, [moment](BeijingSeconds term, const std::optional<SectionalTerm>& found) {
        return term > moment && (!found || term < found->moment);
    });
}

bool InTermTable(int year) { return year >= kTermTableFirstYear && year <= kTermTableLastYear; }

const YearTerms& TermMomentsOfYear(int year)
{
    return InTermTable(year) ? kTermTable[year - kTermTableFirstYear] : ComputedOnce(year);
}

}  // namespace velmora
