// A kept person and the birth input of the window's form, each the other's
// image: the window saves the reading on screen as a person and fills its
// form from one.
#pragma once

#include "Person.h"
#include "Reading.h"

namespace velmora {

// The person of a birth: its date as "Y-M-D" in its calendar, an unknown
// hour as "unknown", the exact moment's choices with it.
people::Person PersonOfBirth(const BirthInput& input);

// The birth input a person fills the form with.
BirthInput BirthOfPerson(const people::Person& person);

}  // namespace velmora
