// A finished reading as JSON and as a short text summary: the forms the
// command line prints, and the same ones any other front end serves.
#pragma once

#include <span>
#include <string>

#include <nlohmann/json.hpp>

#include "KarvoInfo.h"
#include "Reading.h"
#include "Script.h"

namespace velmora {

// Every field of the reading by name, in a fixed order; the commentaries as
// plain text. The exact moment's fields only when an option asked for them,
// the notes whenever there are any.
nlohmann::ordered_json ReadingAsJson(const BirthInput& input, const TKarvoInfo& record);

// Every string value of the JSON, at any depth, in the script; keys, numbers
// and the kept words (the typed name) stay as they are.
void ConvertJsonValues(nlohmann::ordered_json& json, Script script, std::span<const std::string> keptWords);

// The JSON document as the command line prints it: two-space indents, UTF-8
// as it stands, one line end at the end.
std::string JsonDocument(const nlohmann::ordered_json& json);

// The short summary: the person, the dates, the pillars, the elements, the
// bone weight, the moment's fields when there are any, and the notes.
std::string ReadingAsText(const BirthInput& input, const TKarvoInfo& record);
// The summary in the script, the typed name as it stands.
std::string ReadingAsTextInScript(const BirthInput& input, const TKarvoInfo& record, Script script);

}  // namespace velmora
