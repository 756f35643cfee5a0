#include "Luck.h"

#include "TermMoments.h"

namespace velmora {
namespace {

constexpr long long kSpanOfAYear = 259'200;  // three days
constexpr long long kSpanOfAMonth = kSpanOfAYear / 12;
constexpr long long kSpanOfADay = kSpanOfAMonth / 30;
constexpr long long kSpanOfAnHour = kSpanOfADay / 24;
constexpr long long kMinutesOfASecond = 2;

constexpr int kLastSectional = kTermCount - 2;  // 大雪

}  // namespace

bool LuckRunsForward(bool male, int yearPillar)
{
    const bool yang = yearPillar % 2 == 0;
    return male == yang;
}

std::optional<SectionalTerm> LuckTerm(BeijingSeconds birth, bool forward)
{
    const int year = ToCivilTime(birth).year;
    if (!InMomentYears(year)) return std::nullopt;
    const YearTerms& terms = TermMomentsOfYear(year);
    if (forward) {
        for (int i = 0; i < kTermCount; i += 2)
            if (terms[i] > birth) return SectionalTerm{year, i, terms[i]};
        // After 大雪: the next year's 小寒.
        if (!InMomentYears(year + 1)) return std::nullopt;
        return SectionalTerm{year + 1, 0, TermMomentsOfYear(year + 1)[0]};
    }
    for (int i = kLastSectional; i >= 0; i -= 2)
        if (terms[i] <= birth) return SectionalTerm{year, i, terms[i]};
    // Before 小寒: the previous year's 大雪.
    if (!InMomentYears(year - 1)) return std::nullopt;
    return SectionalTerm{year - 1, kLastSectional, TermMomentsOfYear(year - 1)[kLastSectional]};
}

LuckStart LuckStartOfSpan(long long span)
{
    LuckStart start;
    start.years = span / kSpanOfAYear;
    span %= kSpanOfAYear;
    start.months = span / kSpanOfAMonth;
    span %= kSpanOfAMonth;
    start.days = span / kSpanOfADay;
    span %= kSpanOfADay;
    start.hours = span / kSpanOfAnHour;
    start.minutes = span % kSpanOfAnHour * kMinutesOfASecond;
    return start;
}

BeijingSeconds AddCalendarMonths(BeijingSeconds moment, long long months)
{
    const CivilTime from = ToCivilTime(moment);
    const long long monthCount = from.year * 12LL + (from.month - 1) + months;
    CivilTime firstOfMonth = from;
    firstOfMonth.year = static_cast<int>(monthCount / 12);
    firstOfMonth.month = static_cast<int>(monthCount % 12) + 1;
    firstOfMonth.day = 1;
    // Counting the days on from the first carries a day past the month's end over.
    return ToBeijingSeconds(firstOfMonth) + (from.day - 1) * 86'400LL;
}

BeijingSeconds LuckStartMoment(BeijingSeconds birth, const LuckStart& start)
{
    return AddCalendarMonths(birth, start.years * 12 + start.months) + start.days * 86'400 +
           start.hours * 3'600 + start.minutes * 60;
}

}  // namespace velmora
