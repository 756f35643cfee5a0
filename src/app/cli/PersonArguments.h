// A kept person and the reading's birth options, each the other's image: a
// person is made from the options people add takes, read by giving its
// options to the reading, and checked by the options' own rules, so a kept
// person always is a birth the reading takes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "CliOptions.h"
#include "PeopleFile.h"
#include "Person.h"

namespace velmora::cli {

// Sets the fields of every option given in `args`, the birth's and --note
// (people add, people edit); the values have passed their rules.
void ApplyPersonOptions(const ParsedArguments& args, people::Person& person);

// The person as the reading's birth options, each as --option=value.
std::vector<std::string> BirthArguments(const people::Person& person);

// What is wrong with a person for a reading, named by the file's field
// ("Hour", "the hour is 0 to 23"); nothing when the reading takes it.
// `options` are the options to check against (people add's, with --note).
std::optional<people::RowProblem> PersonProblem(const people::Person& person, const CommandSpec& options);

}  // namespace velmora::cli
