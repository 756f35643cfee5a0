#include "PersonBirth.h"

namespace velmora {

people::Person PersonOfBirth(const BirthInput& input)
{
    people::Person person;
    person.name = input.name;
    person.sex = input.sex;
    person.calendar = input.mode == CalendarMode::Lunar ? "lunar" : "gregorian";
    person.date = input.year + "-" + input.month + "-" + input.day;
    person.leap = input.mode == CalendarMode::Lunar && input.leap;
    person.hour = input.hourUnknown ? "unknown" : input.hour;
    person.minute = input.moment.minute;
    person.place = input.moment.place;
    person.longitude = input.moment.longitude;
    person.latitude = input.moment.latitude;
    person.timeZone = input.moment.timeZone;
    person.ziSchool = std::string(ZiSchoolName(input.moment.zi));
    person.precise = input.moment.precise;
    return person;
}

BirthInput BirthOfPerson(const people::Person& person)
{
    BirthInput input;
    input.name = person.name;
    input.sex = person.sex;
    input.mode = person.calendar == "lunar" ? CalendarMode::Lunar : CalendarMode::Gregorian;
    input.leap = person.leap;
    // Y-M-D: the year may not be negative here, so the first two '-' part it.
    const auto first = person.date.find('-');
    const auto second = first == std::string::npos ? first : person.date.find('-', first + 1);
    input.year = person.date.substr(0, first);
    if (second != std::string::npos) {
        input.month = person.date.substr(first + 1, second - first - 1);
        input.day = person.date.substr(second + 1);
    }
    input.hourUnknown = person.hour == "unknown";
    input.hour = input.hourUnknown ? "" : person.hour;
    input.moment.minute = person.minute;
    input.moment.place = person.place;
    input.moment.longitude = person.longitude;
    input.moment.latitude = person.latitude;
    input.moment.timeZone = person.timeZone;
    input.moment.zi = person.ziSchool == "early" ? ZiSchool::Early : ZiSchool::Late;
    input.moment.precise = person.precise;
    return input;
}

}  // namespace velmora
