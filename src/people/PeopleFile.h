// The people as a file: export and import, in JSON or CSV.
//
// JSON: an array of objects with the fields of kPersonFields in that order;
// Hour, Minute, Longitude and Latitude are numbers (Hour may be "unknown"),
// Leap and Precise true or false, and a field that is unset is "". CSV
// (RFC 4180, UTF-8, CR LF line ends): the same names as the header row, one
// person a row, the same values as text.
//
// Reading a file checks each field's form (a number where a number belongs,
// true or false, no unknown field); what a value must be for a reading is the
// caller's check. A file is read whole or refused whole.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Person.h"

namespace velmora::people {

inline constexpr std::array<std::string_view, 17> kPersonFields = {
    "Id",     "Name",      "Sex",      "Calendar", "Date",     "Leap",    "Hour", "Minute", "Place",
    "Longitude", "Latitude", "TimeZone", "ZiSchool", "Precise", "Note", "Created", "Changed"};

// The person's fields in the order of kPersonFields, each as the CSV has it.
std::vector<std::pair<std::string_view, std::string>> PersonFieldTexts(const Person& person);

std::string PeopleAsJson(const std::vector<Person>& people);
std::string PeopleAsCsv(const std::vector<Person>& people);

// What is wrong with one person of a file: its row (the first person is row
// 1; a CSV file's header is no row), the field when it is one, and why.
struct RowProblem {
    std::size_t row = 0;
    std::string field;
    std::string problem;

    // "row 3, Minute: ..." or "row 3: ..." or, for the file as a whole, the problem.
    std::string Describe() const;
};

struct PeopleFromFile {
    std::vector<Person> people;  // ids 0: the store gives new ones
    std::optional<RowProblem> problem;
};

// A JSON array (the first thing in it is '[') or else CSV.
PeopleFromFile ReadPeopleFile(std::string_view bytes);

}  // namespace velmora::people
