#include "Chart.h"

#include <stdexcept>

#include "BirthMoment.h"
#include "ChartWords.h"
#include "ChineseCalendar.h"
#include "TermMoments.h"
#include "UnitPublic.h"

namespace velmora {
namespace {

int StemOf(int pillar) { return pillar % 10; }
int BranchOf(int pillar) { return pillar % 12; }
int StepInCycle(int pillar, int steps) { return ((pillar + steps) % 60 + 60) % 60; }

std::string NayinOf(int pillar) { return NayinOfPillar(SexagenaryName(pillar)); }

void CheckPillar(int pillar)
{
    if (pillar < 0 || pillar > 59) throw std::invalid_argument("pillar " + std::to_string(pillar) + " is not 0..59");
}

ChartColumn ColumnOf(PillarPosition position, int pillar, int dayStem)
{
    ChartColumn column;
    column.position = position;
    column.pillar = pillar;
    if (position != PillarPosition::Day) column.god = TenGodOf(dayStem, StemOf(pillar));
    for (const int stem : HiddenStems(BranchOf(pillar))) column.hidden.push_back({stem, TenGodOf(dayStem, stem)});
    column.stage = GrowthStage(dayStem, BranchOf(pillar));
    column.nayin = NayinOf(pillar);
    return column;
}

std::string YearRangeNote()
{
    return "起运要从出生算到前后交节的确切时刻，而节气时刻只能推算公元" + std::to_string(kFirstMomentYear) + "年至" +
           std::to_string(kLastMomentYear) + "年，这次出生所需的交节不在其中，本盘只排四柱，不排大运。";
}

constexpr std::string_view kUnknownHourNote =
    "时辰不详，只排年、月、日三柱，不排大运：起运从出生时刻算到交节，出生时刻差一天，起运就差四个月；"
    "出生在交节当天，连月柱、大运从哪一柱起和顺排逆排都可能定不下来。";

// The sectional term nearest the birth, whose moment the day rule misses.
std::optional<SectionalTerm> TermNearestTheBirth(BeijingSeconds birth)
{
    const std::optional<SectionalTerm> last = SectionalTermAtOrBefore(birth), next = SectionalTermAfter(birth);
    if (!last || !next) return last ? last : next;
    return birth - last->moment <= next->moment - birth ? last : next;
}

// The note for a chart whose year or month pillar is not the exact moment's.
std::string ExactMomentNote(const ChartInput& input, int exactYear, int exactMonth)
{
    std::string differs;
    if (input.year != exactYear) differs += "年柱为" + SexagenaryName(exactYear);
    if (input.month != exactMonth) differs += (differs.empty() ? "月柱为" : "、月柱为") + SexagenaryName(exactMonth);
    std::string when;
    if (const auto term = TermNearestTheBirth(input.birth))
        when = "出生在" + std::string(TermName(term->index)) + "交节（" + FormatMinute(term->moment) + "）之" +
               (input.birth < term->moment ? "前" : "后") + "，";
    return "本盘的年柱、月柱按出生日期排定，而" + when + "按交节的确切时刻" + differs +
           "；大运的顺逆、起运和各步大运都按确切时刻推算。";
}

std::array<LuckYear, 10> YearsFrom(int fromYear, int birthYear, int currentYear)
{
    std::array<LuckYear, 10> years;
    for (int i = 0; i < 10; ++i) {
        const int year = fromYear + i;
        years[i] = {year, YearSexagenary(year), year - birthYear + 1, year == currentYear};
    }
    return years;
}

Luck LuckOf(const ChartInput& input, const SectionalTerm& term, bool forward, int exactMonth, int dayStem)
{
    Luck luck;
    luck.forward = forward;
    luck.term = term;
    luck.spanSeconds = forward ? term.moment - input.birth : input.birth - term.moment;
    luck.start = LuckStartOfSpan(luck.spanSeconds);
    luck.startMoment = LuckStartMoment(input.birth, luck.start);
    const int startYear = ToCivilTime(luck.startMoment).year;
    luck.startAge = startYear - input.birthYear + 1;
    luck.monthPillar = exactMonth;
    for (int k = 0; k < 10; ++k) {
        LuckPillar& pillar = luck.pillars[k];
        pillar.pillar = StepInCycle(exactMonth, forward ? k + 1 : -(k + 1));
        pillar.god = TenGodOf(dayStem, StemOf(pillar.pillar));
        pillar.nayin = NayinOf(pillar.pillar);
        pillar.fromYear = startYear + 10 * k;
        pillar.toYear = pillar.fromYear + 9;
        pillar.fromAge = pillar.fromYear - input.birthYear + 1;
        pillar.toAge = pillar.toYear - input.birthYear + 1;
        pillar.current = input.asOf.year >= pillar.fromYear && input.asOf.year <= pillar.toYear;
        pillar.years = YearsFrom(pillar.fromYear, input.birthYear, input.asOf.year);
    }
    return luck;
}

// The luck pillars by the exact moment, or the note saying why there are none.
void AddLuck(const ChartInput& input, int dayStem, Chart& chart)
{
    if (!input.hour) {
        chart.notes.emplace_back(kUnknownHourNote);
        return;
    }
    const bool inYears = InMomentYears(input.birthYear) && InMomentYears(ToCivilTime(input.birth).year);
    const int exactYear = inYears ? PreciseYearPillar(input.birth) : 0;
    const bool forward = LuckRunsForward(input.male, exactYear);
    const std::optional<SectionalTerm> term = inYears ? LuckTerm(input.birth, forward) : std::nullopt;
    if (!term) {
        chart.notes.push_back(YearRangeNote());
        return;
    }
    const int exactMonth = PreciseMonthPillar(input.birth);
    if (input.year != exactYear || input.month != exactMonth)
        chart.notes.push_back(ExactMomentNote(input, exactYear, exactMonth));
    chart.luck = LuckOf(input, *term, forward, exactMonth, dayStem);
}

}  // namespace

Chart BuildChart(const ChartInput& input)
{
    for (const int pillar : {input.year, input.month, input.day, input.hour.value_or(0)}) CheckPillar(pillar);
    Chart chart;
    chart.dayMaster = StemOf(input.day);
    chart.columns.push_back(ColumnOf(PillarPosition::Year, input.year, chart.dayMaster));
    chart.columns.push_back(ColumnOf(PillarPosition::Month, input.month, chart.dayMaster));
    chart.columns.push_back(ColumnOf(PillarPosition::Day, input.day, chart.dayMaster));
    if (input.hour) chart.columns.push_back(ColumnOf(PillarPosition::Hour, *input.hour, chart.dayMaster));
    chart.voidBranches = VoidBranches(input.day);
    chart.yearVoid = VoidBranches(input.year);
    AddLuck(input, chart.dayMaster, chart);
    return chart;
}

}  // namespace velmora
