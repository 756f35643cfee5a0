#include "PeopleFile.h"

#include <csv.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <utility>

namespace velmora::people {

using Json = nlohmann::ordered_json;

namespace {

// ---------------------------------------------------------------------------
// A person as JSON values, one per field

Json OptionalNumber(const auto& value)
{
    return value ? Json(*value) : Json("");
}

Json FieldsOf(const Person& p)
{
    Json hour = p.hour;
    int number = 0;
    if (const auto [end, error] = std::from_chars(p.hour.data(), p.hour.data() + p.hour.size(), number);
        error == std::errc() && end == p.hour.data() + p.hour.size())
        hour = number;
    return Json{{"Id", p.id},
                {"Name", p.name},
                {"Sex", p.sex},
                {"Calendar", p.calendar},
                {"Date", p.date},
                {"Leap", p.leap},
                {"Hour", hour},
                {"Minute", OptionalNumber(p.minute)},
                {"Place", p.place},
                {"Longitude", OptionalNumber(p.longitude)},
                {"Latitude", OptionalNumber(p.latitude)},
                {"TimeZone", p.timeZone},
                {"ZiSchool", p.ziSchool},
                {"Precise", p.precise},
                {"Note", p.note},
                {"Created", p.created},
                {"Changed", p.changed}};
}

bool IsUnset(const Json& value) { return value.is_string() && value.get_ref<const std::string&>().empty(); }

// Reads one field's value into the person, or says what is wrong with it.
class PersonReader {
public:
    PersonReader(std::size_t row, Person& person) : row_(row), person_(person) {}

    std::optional<RowProblem> Read(const Json& fields)
    {
        if (!fields.is_object()) return RowProblem{row_, "", "not an object"};
        for (const auto& [name, value] : fields.items()) {
            if (std::find(kPersonFields.begin(), kPersonFields.end(), name) == kPersonFields.end())
                return RowProblem{row_, name, "no such field (the fields are those of an export)"};
            if (auto problem = Take(name, value)) return RowProblem{row_, name, *problem};
        }
        for (const std::string_view needed : {"Name", "Sex", "Date", "Hour"})
            if (!fields.contains(needed)) return RowProblem{row_, std::string(needed), "missing"};
        return std::nullopt;
    }

private:
    std::optional<std::string> Take(const std::string& name, const Json& value)
    {
        Person& p = person_;
        if (name == "Id") return std::nullopt;  // the store gives new ids
        if (name == "Leap") return Bool(value, p.leap);
        if (name == "Precise") return Bool(value, p.precise);
        if (name == "Hour") {
            if (value.is_number_integer()) p.hour = std::to_string(value.get<long long>());
            else if (value.is_string()) p.hour = value.get<std::string>();
            else return "a whole number or \"unknown\"";
            return std::nullopt;
        }
        if (name == "Minute") {
            if (IsUnset(value)) return std::nullopt;
            if (!value.is_number_integer() || value.get<long long>() < INT32_MIN || value.get<long long>() > INT32_MAX)
                return "a whole number, or \"\" when unset";
            p.minute = value.get<int>();
            return std::nullopt;
        }
        if (name == "Longitude") return Real(value, p.longitude);
        if (name == "Latitude") return Real(value, p.latitude);
        const std::map<std::string_view, std::string*> texts = {
            {"Name", &p.name},         {"Sex", &p.sex},         {"Calendar", &p.calendar},
            {"Date", &p.date},         {"Place", &p.place},     {"TimeZone", &p.timeZone},
            {"ZiSchool", &p.ziSchool}, {"Note", &p.note},       {"Created", &p.created},
            {"Changed", &p.changed}};
        if (!value.is_string()) return "text";
        *texts.at(name) = value.get<std::string>();
        if ((name == "Created" || name == "Changed") && !IsUnset(value) && !IsIso8601(value.get<std::string>()))
            return "a time as 2026-12-08T16:04:19Z";
        return std::nullopt;
    }

    static std::optional<std::string> Bool(const Json& value, bool& into)
    {
        if (!value.is_boolean()) return "true or false";
        into = value.get<bool>();
        return std::nullopt;
    }

    static std::optional<std::string> Real(const Json& value, std::optional<double>& into)
    {
        if (IsUnset(value)) return std::nullopt;
        if (!value.is_number() || !std::isfinite(value.get<double>())) return "a number, or \"\" when unset";
        into = value.get<double>();
        return std::nullopt;
    }

    static bool IsIso8601(const std::string& text)
    {
        constexpr std::string_view shape = "0000-00-00T00:00:00Z";
        if (text.size() != shape.size()) return false;
        for (std::size_t i = 0; i < shape.size(); ++i)
            if (shape[i] == '0' ? !(text[i] >= '0' && text[i] <= '9') : text[i] != shape[i]) return false;
        return true;
    }

    std::size_t row_;
    Person& person_;
};

// ---------------------------------------------------------------------------
// CSV

std::string CellText(const Json& value)
{
    return value.is_string() ? value.get<std::string>() : value.dump();
}

// RFC 4180: a cell with a comma, a quote or a line end is quoted.
void AppendCell(std::string& out, const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        out += text;
        return;
    }
    std::string quoted(text.size() * 2 + 2, '\0');
    quoted.resize(csv_write(quoted.data(), quoted.size(), text.data(), text.size()));
    out += quoted;
}

// A CSV cell as the JSON value an export would have had: numbers and true or
// false as such, everything else as text.
Json CellValue(std::string_view field, const std::string& text)
{
    static constexpr std::string_view kTyped[] = {"Leap", "Hour", "Minute", "Longitude", "Latitude", "Precise"};
    if (text.empty() || std::find(std::begin(kTyped), std::end(kTyped), field) == std::end(kTyped)) return text;
    Json value = Json::parse(text, nullptr, false);
    return value.is_discarded() || value.is_structured() ? Json(text) : value;
}

struct CsvRows {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> current;
};

PeopleFromFile ReadCsv(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);  // a byte-order mark some programs write
    csv_parser parser;
    csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI);
    // Spaces are part of a cell's text.
    csv_set_space_func(&parser, [](unsigned char) { return 0; });
    CsvRows csv;
    const auto onCell = [](void* text, std::size_t length, void* data) {
        static_cast<CsvRows*>(data)->current.emplace_back(static_cast<const char*>(text), length);
    };
    const auto onRowEnd = [](int, void* data) {
        auto* rows = static_cast<CsvRows*>(data);
        rows->rows.push_back(std::move(rows->current));
        rows->current.clear();
    };
    const bool parsed = csv_parse(&parser, bytes.data(), bytes.size(), onCell, onRowEnd, &csv) == bytes.size() &&
                        csv_fini(&parser, onCell, onRowEnd, &csv) == 0;
    const std::string error = parsed ? "" : csv_strerror(csv_error(&parser));
    csv_free(&parser);
    if (!parsed) return {{}, RowProblem{csv.rows.empty() ? 0 : csv.rows.size(), "", "not CSV: " + error}};
    if (csv.rows.empty()) return {{}, RowProblem{0, "", "the file is empty"}};

    const std::vector<std::string>& header = csv.rows.front();
    PeopleFromFile result;
    for (std::size_t row = 1; row < csv.rows.size(); ++row) {
        if (csv.rows[row].size() != header.size())
            return {{}, RowProblem{row, "", std::to_string(csv.rows[row].size()) + " fields where the header has " +
                                                std::to_string(header.size())}};
        Json fields = Json::object();
        for (std::size_t column = 0; column < header.size(); ++column)
            fields[header[column]] = CellValue(header[column], csv.rows[row][column]);
        Person person;
        if (auto problem = PersonReader(row, person).Read(fields)) return {{}, problem};
        result.people.push_back(std::move(person));
    }
    return result;
}

PeopleFromFile ReadJson(std::string_view bytes)
{
    Json document;
    try {
        document = Json::parse(bytes);
    } catch (const Json::parse_error& error) {
        return {{}, RowProblem{0, "", std::string("not JSON: ") + error.what()}};
    }
    if (!document.is_array()) return {{}, RowProblem{0, "", "not a JSON array of people"}};
    PeopleFromFile result;
    for (std::size_t index = 0; index < document.size(); ++index) {
        Person person;
        if (auto problem = PersonReader(index + 1, person).Read(document[index])) return {{}, problem};
        result.people.push_back(std::move(person));
    }
    return result;
}

}  // namespace

std::string PeopleAsJson(const std::vector<Person>& people)
{
    Json array = Json::array();
    for (const Person& person : people) array.push_back(FieldsOf(person));
    return array.dump(2, ' ', false, Json::error_handler_t::strict) + "\n";
}

std::vector<std::pair<std::string_view, std::string>> PersonFieldTexts(const Person& person)
{
    const Json fields = FieldsOf(person);
    std::vector<std::pair<std::string_view, std::string>> texts;
    for (const std::string_view field : kPersonFields) texts.emplace_back(field, CellText(fields.at(field)));
    return texts;
}

std::string PeopleAsCsv(const std::vector<Person>& people)
{
    std::string out;
    for (std::size_t i = 0; i < kPersonFields.size(); ++i) out.append(i ? "," : "").append(kPersonFields[i]);
    out += "\r\n";
    for (const Person& person : people) {
        bool first = true;
        for (const auto& [field, text] : PersonFieldTexts(person)) {
            if (!std::exchange(first, false)) out += ',';
            AppendCell(out, text);
        }
        out += "\r\n";
    }
    return out;
}

std::string RowProblem::Describe() const
{
    // Row 0 is a person of no file (people edit's).
    std::string text = row == 0 ? "" : "row " + std::to_string(row);
    if (!field.empty()) text += (text.empty() ? "" : ", ") + field;
    return text.empty() ? problem : text + ": " + problem;
}

PeopleFromFile ReadPeopleFile(std::string_view bytes)
{
    const auto first = bytes.find_first_not_of(" \t\r\n");
    if (first != std::string_view::npos && bytes[first] == '[') return ReadJson(bytes);
    return ReadCsv(bytes);
}

}  // namespace velmora::people
