// libFuzzer target: every public calendar operation on arbitrary integers.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "ChineseCalendar.h"

namespace {

int TakeInt(const std::uint8_t*& data, std::size_t& size)
{
    std::int32_t value = 0;
    const std::size_t n = size < sizeof value ? size : sizeof value;
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace velmora;
    const int y = TakeInt(data, size), m = TakeInt(data, size), d = TakeInt(data, size),
              h = TakeInt(data, size);
    const bool leap = (h & 1) != 0;

    (void)CalendarKindOf(y, m, d);
    (void)DayOfYear(y, m, d);
    (void)DayNumber(y, m, d);
    (void)CycleDayCount(y, m, d);
    int a = 0, b = 0, c = 0, e = 0;
    bool flag = false;
    (void)DateOfDayNumber(y, a, b, c);
    (void)CompareDates(y, m, d, h, m, y);
    if (!IsValidGregorianDate(y, m, d)) {
        try {
            CheckDate(y, m, d);
            __builtin_trap();  // an invalid date must be refused
        } catch (const EDateException&) {
        }
    }
    (void)StarSignName(StarSign(m, d));
    (void)SolarTermDay(y, h);
    (void)SexagenaryName(YearPillar(y, m, d));
    (void)SexagenaryName(MonthPillar(y, m, d));
    (void)SexagenaryName(DayPillar(y, m, d));
    (void)SexagenaryName(HourPillar(y, m, d, h));
    (void)CombineStemBranch(m, d);
    (void)SplitSexagenary(y, a, b);
    (void)StemElement(m);
    (void)BranchElement(d);
    (void)YearSexagenary(y);
    (void)YearAnimal(y);
    (void)LunarDayOf(y, m, d);
    (void)LunarMonthOf(y, m, d);
    (void)LunarDateOf(y, m, d, a, b, flag);
    if (GregorianToLunar(y, m, d, a, b, c, flag)) (void)LunarToGregorian(a, b, c, flag, e, e, e);
    (void)LunarToGregorian(y, m, d, leap, a, b, c);
    (void)LunarMonthDays(y, m, leap);
    (void)IsValidLunarDate(y, m, d, leap);
    return 0;
}
