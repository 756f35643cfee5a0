#include "TermMoments.h"

#include <erfa.h>
#include <erfam.h>

#include <cmath>
#include <utility>

#include "ChineseCalendar.h"

namespace velmora {
namespace {

constexpr std::string_view kTermNames[kTermCount] = {
    "小寒", "大寒", "立春", "雨水", "惊蛰", "春分", "清明", "谷雨", "立夏", "小满", "芒种", "夏至",
    "小暑", "大暑", "立秋", "处暑", "白露", "秋分", "寒露", "霜降", "立冬", "小雪", "大雪", "冬至"};

// Light's speed in astronomical units a day.
const double kLightAuPerDay = ERFA_CMPS * ERFA_DAYSEC / ERFA_DAU;

struct Vector {
    double v[3];
};

// The Sun as seen from the Earth: its direction, corrected for the
// aberration of the Earth's motion (the Sun's own motion about the
// barycentre is too slow to matter), in the ICRS axes, and the speed of its
// apparent motion along the sky.
struct SunFromEarth {
    Vector direction;
    double radiansPerDay = 0;
};

SunFromEarth ApparentSun(const JulianDate& tt)
{
    double heliocentric[2][3], barycentric[2][3];
    eraEpv00(tt.whole, tt.fraction, heliocentric, barycentric);
    double towardsSun[3], direction[3], velocity[3], sweep[3];
    eraSxp(-1, heliocentric[0], towardsSun);
    double distance = 0;
    eraPn(towardsSun, &distance, direction);
    eraSxp(1 / kLightAuPerDay, barycentric[1], velocity);
    const double bm1 = std::sqrt(1 - eraPdp(velocity, velocity));
    SunFromEarth sun;
    eraAb(direction, velocity, distance, bm1, sun.direction.v);
    // The Earth's angular speed about the Sun is the Sun's about the Earth.
    eraPxp(heliocentric[0], heliocentric[1], sweep);
    sun.radiansPerDay = eraPm(sweep) / (distance * distance);
    return sun;
}

Vector ApparentSunDirection(const JulianDate& tt) { return ApparentSun(tt).direction; }

double NormalizedDegrees(double radians)
{
    double degrees = std::fmod(radians * ERFA_DR2D, 360.0);
    return degrees < 0 ? degrees + 360 : degrees;
}

// The longitude at `tt` with the slowly changing precession and nutation of
// an epoch close to it: within a day they move the longitude by far less
// than a millisecond of time.
struct EclipticOfDate {
    double rotation[3][3];
    double nutation;  // in longitude, radians

    explicit EclipticOfDate(const JulianDate& tt)
    {
        double obliquityNutation = 0;
        eraEcm06(tt.whole, tt.fraction, rotation);
        eraNut00b(tt.whole, tt.fraction, &nutation, &obliquityNutation);
    }

    // The longitude in degrees, and its rate in degrees a day.
    std::pair<double, double> LongitudeAndRate(const JulianDate& tt) const
    {
        SunFromEarth sun = ApparentSun(tt);
        double ecliptic[3];
        // ERFA takes plain arrays it only reads.
        eraRxp(const_cast<double(*)[3]>(rotation), sun.direction.v, ecliptic);
        return {NormalizedDegrees(std::atan2(ecliptic[1], ecliptic[0]) + nutation), sun.radiansPerDay * ERFA_DR2D};
    }

    double Longitude(const JulianDate& tt) const { return LongitudeAndRate(tt).first; }
};

// Degrees from `target` to `longitude`, in -180..180.
double Offset(double longitude, double target) { return std::remainder(longitude - target, 360.0); }

BeijingSeconds FindTerm(int year, int index)
{
    // The calendar's own formula is within half an hour; Newton's steps with
    // the Sun's own speed reach the moment in two or three evaluations.
    const double day = static_cast<double>(SolarTermDay(year, index + 1));
    BeijingSeconds guess = ToBeijingSeconds({year, 1, 1, 0, 0, 0}) + static_cast<BeijingSeconds>((day - 1) * 86400);
    const double target = TermLongitude(index);
    const EclipticOfDate ecliptic(TerrestrialJulianDate(guess));
    const double deltaT = TerrestrialMinusUniversal(guess);
    double t1 = 0;
    for (int i = 0; i < 8; ++i) {
        JulianDate tt = UniversalJulianDate(guess);
        tt.fraction += (t1 + deltaT) / 86400;
        const auto [longitude, degreesPerDay] = ecliptic.LongitudeAndRate(tt);
        const double step = -Offset(longitude, target) / degreesPerDay * 86400;
        t1 += step;
        if (std::fabs(step) < 0.05) break;
    }
    return guess + static_cast<BeijingSeconds>(std::llround(t1));
}

}  // namespace

YearTerms ComputeTermMoments(int year)
{
    YearTerms terms{};
    for (int i = 0; i < kTermCount; ++i) terms[i] = FindTerm(year, i);
    return terms;
}

std::string_view TermName(int index) { return index >= 0 && index < kTermCount ? kTermNames[index] : ""; }

int TermLongitude(int index) { return (285 + 15 * index) % 360; }

double SunApparentLongitude(BeijingSeconds moment)
{
    const JulianDate tt = TerrestrialJulianDate(moment);
    return EclipticOfDate(tt).Longitude(tt);
}

double EquationOfTime(BeijingSeconds moment)
{
    const JulianDate ut = UniversalJulianDate(moment);
    const JulianDate tt = TerrestrialJulianDate(moment);
    // The true Sun's hour angle at Greenwich against the mean Sun's, which is
    // universal time less twelve hours.
    double rotation[3][3], equatorial[3];
    eraPnm00b(tt.whole, tt.fraction, rotation);
    Vector direction = ApparentSunDirection(tt);
    eraRxp(rotation, direction.v, equatorial);
    const double rightAscension = std::atan2(equatorial[1], equatorial[0]);
    const double hourAngle = eraGst00b(ut.whole, ut.fraction) - rightAscension;
    const double meanHourAngle = (ut.fraction - 0.5) * ERFA_D2PI;
    return std::remainder(hourAngle - meanHourAngle, ERFA_D2PI) / ERFA_D2PI * 86400;
}

}  // namespace velmora
