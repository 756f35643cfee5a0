// The one record of a reading: its inputs as the window shows them and every
// result, from which the summary strip and the result page are made.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

struct Chart;

// One 时辰 of a birth whose hour is not known: the reading at the middle of
// that 时辰 on the birth date.
struct HourCandidate {
    int hour = 0;              // the deciding hour: 0 for 子时, 2 for 丑时 … 22 for 亥时, 23 for 夜子时
    std::string HourName;      // 子时 … 亥时, 夜子时
    std::string SiZhu;         // its four pillars
    std::string HourPillar;    // its hour pillar
    std::string GuZhong;       // its bone-weight wording
    int BoneWeightTenths = 0;  // its bone weight in tenths of a liang

    bool operator==(const HourCandidate&) const = default;
};

struct TKarvoInfo {
    std::string Year;          // Gregorian birth year: as typed (Gregorian mode) or converted
    std::string Month;         // Gregorian birth month, same rule
    std::string Day;           // Gregorian birth day, same rule
    std::string Hour;          // the hour as typed, in both modes
    bool IsLeap = false;       // the lunar birth month is a leap month
    std::string LunarYear;     // lunar date of the birth day, in decimal
    std::string LunarMonth;    // 1..12, without a leap mark
    std::string LunarDay;      // 1..30
    std::string HourName;      // branch of the hour pillar and 时, e.g. 辰时
    std::string Name;          // the name as typed
    std::string Sex;           // 男 or 女
    std::string Age;           // nominal age and 岁(虚岁)
    std::string SiZhu;         // the four pillars, e.g. 己丑 癸酉 戊寅 甲寅
    std::string WuXing;        // their element pairs, e.g. 土土 水金 土木 木木
    std::string GuZhong;       // bone-weight wording, e.g. 四两四
    int BoneWeightTenths = 0;  // the same weight in tenths of a liang
    std::string XingZuo;       // star sign with 座
    std::string ShuXiang;      // zodiac animal of the year pillar
    std::int32_t ShuXiangIndex = 0;  // 0 = 鼠 .. 11 = 猪
    std::string NaYin;         // Nayin of the day pillar
    std::string YearText;      // commentaries, deciphered and turned into HTML
    std::string MonthText;
    std::string DayText;
    std::string HourText;
    std::string GuZhongText;
    std::string XingZuoText;
    std::string ShuXiangText;  // general text, <br>, text for the lunar birth month

    // The exact birth moment: empty (and false) unless an option asked for it.
    std::string ClockTime;     // HH:MM as typed
    std::string StandardTime;  // HH:MM Beijing standard time, after daylight saving is taken off
    std::string SolarTime;     // HH:MM true solar time, with a birthplace or longitude only
    std::string Place;         // the birthplace's display name
    std::string Longitude;     // degrees east, as used for true solar time
    bool Precise = false;      // year and month pillars changed at the terms' moments
    std::string ZiSchoolName;  // "late" or "early" when an option was given
    // Where and when, in a precise reading (empty where they do not apply).
    std::string TimeZone;      // IANA name of the typed time: Asia/Shanghai for Beijing time
    std::string UtcOffset;     // the typed clock's offset at birth, e.g. +08:00, +09:00 in China's summer time
    std::string BirthUtc;      // YYYY-MM-DDTHH:MMZ
    // The birth moment in Beijing standard time and in true solar time, as
    // YYYY-MM-DD HH:MM, in a precise reading (the solar one with a longitude).
    std::string BeijingMoment;
    std::string SolarMoment;
    std::string Latitude;      // degrees north, of the birthplace or as typed

    // 时辰不详: the hour fields stay empty, SiZhu and WuXing hold the pillars
    // every candidate shares, and the candidates are listed.
    bool HourUnknown = false;
    std::vector<HourCandidate> Candidates;

    // The full 八字 chart, when the reading asked for it.
    std::shared_ptr<const Chart> FullChart;
    // What a reading applied and what lies near a boundary, one plain-text
    // sentence each (UTF-8). A classic reading may have notes too.
    std::vector<std::string> Notes;

    bool operator==(const TKarvoInfo&) const = default;
};

}  // namespace velmora
