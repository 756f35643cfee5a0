#include "Luck.h"

#include "TermMoments.h"

namespace velmora {
namespace {

constexpr long long kSpanOfAYear = 259'200;  // three days
constexpr long long kSpanOfAMonth = kSpanOfAYear / 12;
constexpr long long kSpanOfADay = kSpanOfAMonth / 30;
constexpr long long kSpanOfAnHour = kSpanOfADay / 24;
constexpr long long kMinutesOfASecond = 2;

}  // namespace

bool LuckRunsForward(bool male, int yearPillar)
{
    const bool yang = yearPillar % 2 == 0;
    return male == yang;
}

std::optional<SectionalTerm> LuckTerm(BeijingSeconds birth, bool forward)
{
    return forward ? SectionalTermAfter(birth) : SectionalTermAtOrBefore(birth);
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
