// The lunar conversion and the sectional-term days computed directly from
// their formulas, without the per-year tables that the engine keeps. Slow;
// for tests and benchmarks that check the tables against the formulas.
#pragma once

namespace velmora::reference {

int LunarDayOf(int year, int month, int day);
bool GregorianToLunar(int year, int month, int day, int& lunarYear, int& lunarMonth, int& lunarDay,
                      bool& isLeap);
bool LunarToGregorian(int lunarYear, int lunarMonth, int lunarDay, bool isLeap, int& year, int& month,
                      int& day);
int SectionalTermDay(int year, int n);

}  // namespace velmora::reference
