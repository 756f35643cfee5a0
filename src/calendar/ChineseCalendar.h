// The calendar engine: Gregorian and Julian dates and their day counts, the
// star signs, the solar terms, the stems and branches with the four pillars,
// and the Chinese lunar calendar with its conversion in both directions.
//
// Every operation takes plain 32-bit integers and is safe for any value: a
// date that does not exist, or whose day count a 32-bit integer cannot hold,
// is reported as invalid instead of overflowing. Texts are UTF-8.
#pragma once

#include <stdexcept>
#include <string>

namespace velmora {

// Raised by CheckDate and CheckLunarDate for a date that does not exist.
class EDateException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// ---------------------------------------------------------------------------
// Gregorian calendar, day counts and star signs

enum class CalendarKind : int {
    DroppedDay = 0,  // 1582-10-05 .. 1582-10-14, removed by the reform
    Julian = 1,      // up to and including 1582-10-04
    Gregorian = 2,   // from 1582-10-15 on
};

CalendarKind CalendarKindOf(int year, int month, int day);
bool IsCalendarLeapYear(int year);
// 0 for a month outside 1..12.
int DaysInMonth(int year, int month);
// Days of the months before `month` plus `day`; neither is checked.
int DayOfYear(int year, int month, int day);
// 0001-01-01 (proleptic Gregorian) is day 1; Julian dates sit on the same
// scale, so the count runs on across the reform. 0 for the dropped days and
// for dates whose count does not fit in 32 bits.
int DayNumber(int year, int month, int day);
// Julian 0001-01-01 is day 1; drives the sexagenary day cycle. 0 where the
// count does not fit in 32 bits.
int CycleDayCount(int year, int month, int day);
// Exact inverse of DayNumber for every n, the days before year 1 included
// (they fall in the years -1, -2, ...); it always succeeds.
bool DateOfDayNumber(int n, int& year, int& month, int& day);
int CompareDates(int y1, int m1, int d1, int y2, int m2, int d2);
bool IsValidGregorianDate(int year, int month, int day);
// True for a date that exists in the calendar but lies past the days it
// counts (its day numbers do not fit in 32 bits), e.g. 9999999-01-01.
bool IsPastCountedRange(int year, int month, int day);
// Throws EDateException("Date is Invalid: y-m-d.") for an invalid date.
void CheckDate(int year, int month, int day);
// Star sign index 0..11 (0 = 白羊) of a month and day.
int StarSign(int month, int day);
// Name without 座; empty for an index outside 0..11.
std::string StarSignName(int index);

// ---------------------------------------------------------------------------
// Solar terms

// Day of the year (1 = 1 January) of solar term n of `year`, counted from the
// winter solstice that closes the previous year (1 = 小寒, 3 = 立春, ...,
// 24 = 冬至, 25 = 小寒 of the next year). Its floor is the civil day.
long double SolarTermDay(int year, int n);

// ---------------------------------------------------------------------------
// Stems, branches and the four pillars

std::string StemName(int index);        // 0..9, 甲..癸
std::string BranchName(int index);      // 0..11, 子..亥
std::string ElementName(int index);     // 0..4, 金 木 水 火 土
std::string SexagenaryName(int index);  // 0..59, 甲子..癸亥
std::string AnimalName(int index);      // 0..11, 鼠..猪

// Fills the table of the sixty names; SexagenaryName builds it on first use
// too, so calling this at start-up only moves the work forward.
void BuildSexagenaryNames();

// Sexagenary index of a stem and branch, or -1 (out of range or parity mismatch).
int CombineStemBranch(int stem, int branch);
// False, with stem and branch -1, for an index outside 0..59.
bool SplitSexagenary(int index, int& stem, int& branch);
int StemElement(int stem);      // element index, or -1
int BranchElement(int branch);  // element index, or -1
// Sexagenary and animal index of a plain year number (no 立春 boundary).
int YearSexagenary(int year);
int YearAnimal(int year);

// The four pillars of a Gregorian date: the year changes at 立春, the month
// at the sectional terms, the day at midnight; hour 23 takes the next day's stem.
int YearPillar(int year, int month, int day);
int MonthPillar(int year, int month, int day);
int DayPillar(int year, int month, int day);
int HourPillar(int year, int month, int day, int hour);

// ---------------------------------------------------------------------------
// Lunar calendar (Gregorian years -849 .. 2100)

// Leap month 1..12 of a lunar year, 0 when it has none.
int LeapMonthOf(int lunarYear);
// Lunar day 1..30 of a Gregorian date.
int LunarDayOf(int year, int month, int day);
// Lunar month 1..12 of a Gregorian date, negative for a leap month.
int LunarMonthOf(int year, int month, int day);
bool LunarDateOf(int year, int month, int day, int& lunarMonth, int& lunarDay, bool& isLeap);
bool GregorianToLunar(int year, int month, int day, int& lunarYear, int& lunarMonth,
                      int& lunarDay, bool& isLeap);
bool LunarToGregorian(int lunarYear, int lunarMonth, int lunarDay, bool isLeap, int& year,
                      int& month, int& day);
// Length of a lunar month in days, or -1.
int LunarMonthDays(int lunarYear, int lunarMonth, bool isLeap);
int CompareLunarDates(int y1, int m1, int d1, bool leap1, int y2, int m2, int d2, bool leap2);
bool IsValidLunarDate(int lunarYear, int lunarMonth, int lunarDay, bool isLeap);
// Throws EDateException("Lunar Date is Invalid: y-m-d, MonthLeap l.").
void CheckLunarDate(int lunarYear, int lunarMonth, int lunarDay, bool isLeap);

}  // namespace velmora
