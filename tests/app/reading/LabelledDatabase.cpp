#include "LabelledDatabase.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "ReadingGenerator.h"
#include "ReadingTestSupport.h"

namespace velmora::testing {
namespace {

namespace fs = std::filesystem;

// Two headed sections, the second with spaces inside, as the real texts have.
std::string LabelledText(const std::string& file, const std::string& key)
{
    const std::string label = LabelOf(file, key);
    const std::string name = label.substr(1, label.size() - 2);
    return "    " + label + "\n    " + name + "的正文。\n    [第二节]\n    第二 段。\n";
}

void WriteSource(const fs::path& folder, const std::string& file, const std::vector<std::string>& keys)
{
    std::ofstream out(folder / (file + ".txt"));
    out << "# labelled test texts\n";
    for (const std::string& key : keys) {
        if (file == "star-sign" && key == kStarSignWithoutText) continue;
        out << "@ " << key << "\n" << LabelledText(file, key) << "\n";
    }
}

std::vector<std::string> AnimalMonthKeys()
{
    std::vector<std::string> keys;
    for (const std::string& animal : AnimalKeys())
        for (const std::string& month : NumberKeys(12)) keys.push_back(animal + " " + month);
    return keys;
}

std::string Build()
{
    static ScratchFolder folder;
    const fs::path texts = folder.Path() / "texts";
    fs::create_directory(texts);
    WriteSource(texts, "year", YearKeys());
    WriteSource(texts, "month", NumberKeys(12));
    WriteSource(texts, "day", NumberKeys(30));
    WriteSource(texts, "hour", HourKeys());
    WriteSource(texts, "bone-male", BoneWeightKeys());
    WriteSource(texts, "bone-female", BoneWeightKeys());
    WriteSource(texts, "star-sign", StarSignKeys());
    WriteSource(texts, "animal", AnimalKeys());
    WriteSource(texts, "animal-month", AnimalMonthKeys());
    const fs::path file = folder.Path() / "labelled.db";
    readingdb::GenerateReadingDatabase({VELMORA_BONE_WEIGHTS_FILE, texts, file});
    return file.string();
}

}  // namespace

std::string LabelOf(const std::string& file, const std::string& key)
{
    std::string label = "[" + file + ":" + key + "]";
    for (char& c : label)
        if (c == ' ') c = '_';
    return label;
}

BirthInput Gregorian(std::string year, std::string month, std::string day, std::string hour, std::string sex)
{
    BirthInput input;
    input.name = "输入姓名";
    input.sex = std::move(sex);
    input.year = std::move(year);
    input.month = std::move(month);
    input.day = std::move(day);
    input.hour = std::move(hour);
    return input;
}

const std::string& LabelledDatabaseFile()
{
    static const std::string file = Build();
    return file;
}

}  // namespace velmora::testing
