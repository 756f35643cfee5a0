// Stems, branches, elements and the four pillars of a Gregorian date.
#include <array>
#include <mutex>

#include "CalendarInternal.h"

namespace velmora {
namespace detail {
namespace {

constexpr std::array<const char*, 10> kStemNames = {"甲", "乙", "丙", "丁", "戊",
                                                    "己", "庚", "辛", "壬", "癸"};
constexpr std::array<const char*, 12> kBranchNames = {"子", "丑", "寅", "卯", "辰", "巳",
                                                      "午", "未", "申", "酉", "戌", "亥"};
constexpr std::array<const char*, 12> kAnimalNames = {"鼠", "牛", "虎", "兔", "龙", "蛇",
                                                      "马", "羊", "猴", "鸡", "狗", "猪"};
constexpr std::array<const char*, 5> kElementNames = {"金", "木", "水", "火", "土"};

template <std::size_t N>
std::string NameAt(const std::array<const char*, N>& names, int index)
{
    if (index < 0 || index >= static_cast<int>(N)) return {};
    return names[static_cast<std::size_t>(index)];
}

const std::array<std::string, 60>& SexagenaryNames()
{
    static const std::array<std::string, 60> names = [] {
        std::array<std::string, 60> built;
        for (int i = 0; i < 60; ++i) built[i] = std::string(kStemNames[i % 10]) + kBranchNames[i % 12];
        return built;
    }();
    return names;
}

Int64 PositiveRemainder(Int64 value, Int64 divisor)
{
    const Int64 r = value % divisor;
    return r < 0 ? r + divisor : r;
}

int StemOf(int sexagenary) { return sexagenary % 10; }

// The 寅 month of a year whose stem is given starts at this stem (五虎遁).
int FirstMonthStem(int yearStem)
{
    static constexpr std::array<int, 5> kFirstStems = {2, 4, 6, 8, 0};  // 丙 戊 庚 壬 甲
    return kFirstStems[static_cast<std::size_t>(yearStem % 5)];
}

}  // namespace

Int64 YearSexagenary64(Int64 year)
{
    // No year 0: year -1 directly precedes year 1.
    return PositiveRemainder(year > 0 ? year - 4 : year - 3, 60);
}

}  // namespace detail

using namespace detail;

std::string StemName(int index) { return NameAt(kStemNames, index); }
std::string BranchName(int index) { return NameAt(kBranchNames, index); }
std::string ElementName(int index) { return NameAt(kElementNames, index); }
std::string AnimalName(int index) { return NameAt(kAnimalNames, index); }

std::string SexagenaryName(int index)
{
    if (index < 0 || index >= 60) return {};
    return SexagenaryNames()[static_cast<std::size_t>(index)];
}

void BuildSexagenaryNames() { SexagenaryNames(); }

int CombineStemBranch(int stem, int branch)
{
    if (stem < 0 || stem > 9 || branch < 0 || branch > 11) return -1;
    for (int k = 0; k <= 6; ++k)
        if ((stem + 10 * k) % 12 == branch) return stem + 10 * k;
    return -1;
}

bool SplitSexagenary(int index, int& stem, int& branch)
{
    if (index < 0 || index > 59) {
        stem = branch = -1;
        return false;
    }
    stem = index % 10;
    branch = index % 12;
    return true;
}

int StemElement(int stem)
{
    if (stem < 0 || stem > 9) return -1;
    static constexpr std::array<int, 5> kByPair = {1, 3, 4, 0, 2};  // 木 火 土 金 水
    return kByPair[static_cast<std::size_t>(stem / 2)];
}

int BranchElement(int branch)
{
    static constexpr std::array<int, 12> kElements = {2, 4, 1, 1, 4, 3, 3, 4, 0, 0, 4, 2};
    if (branch < 0 || branch > 11) return -1;
    return kElements[static_cast<std::size_t>(branch)];
}

int YearSexagenary(int year) { return static_cast<int>(YearSexagenary64(year)); }

int YearAnimal(int year) { return static_cast<int>(PositiveRemainder(year > 0 ? Int64{year} - 4 : Int64{year} - 3, 12)); }

int YearPillar(int year, int month, int day)
{
    const Int64 dayOfYear = DayOfYear64(year, month, day);
    const Int64 pillarYear = dayOfYear < SectionalTermDay(year, 3) ? PreviousYear(year) : year;
    return static_cast<int>(YearSexagenary64(pillarYear));
}

int MonthPillar(int year, int month, int day)
{
    const Int64 dayOfYear = DayOfYear64(year, month, day);
    Int64 pillarYear = year;
    int solarMonth = 1;  // 1 is the 寅 month from 立春, 11 the 子 month, 12 the 丑 month
    if (dayOfYear < SectionalTermDay(year, 3)) {
        // Before 立春 the date still belongs to the previous pillar year; 小寒
        // of this same year divides its 子 and 丑 months.
        pillarYear = PreviousYear(year);
        solarMonth = dayOfYear < SectionalTermDay(year, 1) ? 11 : 12;
    } else {
        for (int i = 2; i <= 12 && dayOfYear >= SectionalTermDay(year, 2 * i + 1); ++i) solarMonth = i;
    }
    const int yearStem = StemOf(static_cast<int>(YearSexagenary64(pillarYear)));
    const int monthStem = (FirstMonthStem(yearStem) + (solarMonth - 1) % 10) % 10;
    const int monthBranch = (solarMonth + 1) % 12;
    return CombineStemBranch(monthStem, monthBranch);
}

int DayPillar(int year, int month, int day)
{
    return static_cast<int>(PositiveRemainder(CycleDayCount(year, month, day) + Int64{12}, 60));
}

int HourPillar(int year, int month, int day, int hour)
{
    const int h = hour % 24;
    int dayStem = StemOf(DayPillar(year, month, day));
    int hourBranch = 0;
    if (h == 23)
        dayStem = (dayStem + 1) % 10;  // 23:00 already belongs to the next day's 子 hour
    else
        hourBranch = (h + 1) / 2;
    const int folded = dayStem >= 5 ? dayStem - 5 : dayStem;
    const int hourStem = (2 * folded + hourBranch) % 10;
    return CombineStemBranch(hourStem, hourBranch);
}

}  // namespace velmora
