// The people's JSON and CSV files: what another program's CSV writer made
// reads as it was meant, and what the export writes reads back the same.
#include <gtest/gtest.h>

#include "PeopleFile.h"
#include "ReadingTestSupport.h"

namespace velmora::people {
namespace {

TEST(PeopleFile, ReadsTheCsvOfAnotherWriter)
{
    const PeopleFromFile read =
        ReadPeopleFile(velmora::testing::ReadBytes(VELMORA_TEST_DATA_DIR "/people/python-written.csv"));
    ASSERT_FALSE(read.problem) << read.problem->Describe();
    ASSERT_EQ(read.people.size(), 3u);
    const Person& first = read.people[0];
    EXPECT_EQ(first.id, 0);  // the store gives new ids
    EXPECT_EQ(first.name, "欧阳娜娜娜");
    EXPECT_EQ(first.calendar, "lunar");
    EXPECT_TRUE(first.leap);
    EXPECT_EQ(first.hour, "unknown");
    EXPECT_FALSE(first.minute);
    EXPECT_EQ(first.note, "说 \"你好\", 再见");
    EXPECT_EQ(first.created, "2025-01-02T03:04:05Z");
    const Person& second = read.people[1];
    EXPECT_EQ(second.name, "O'Brien, Jr.");
    EXPECT_EQ(second.minute, 59);
    EXPECT_EQ(second.ziSchool, "early");
    EXPECT_TRUE(second.precise);
    EXPECT_EQ(second.note, "  spaces kept  ");
    EXPECT_EQ(second.created, "");
    EXPECT_EQ(read.people[2].longitude, -122.4194);
    EXPECT_EQ(read.people[2].latitude, 37.7749);
    EXPECT_EQ(read.people[2].minute, 0);
}

TEST(PeopleFile, BothFormatsReadBackWhatTheyWrote)
{
    Person odd;
    odd.id = 12;
    odd.name = "a \"quoted\", name";
    odd.sex = "男";
    odd.calendar = "lunar";
    odd.date = "2001-04-01";
    odd.leap = true;
    odd.hour = "unknown";
    odd.minute = 7;
    odd.longitude = 0.1 + 0.2;  // a number whose shortest text is long
    odd.latitude = -33.5;
    odd.timeZone = "Europe/Paris";
    odd.ziSchool = "early";
    odd.precise = true;
    odd.note = "line, with; all\tsorts";
    odd.created = "2024-02-29T23:59:59Z";
    odd.changed = "2025-01-01T00:00:00Z";
    Person plain = odd;
    plain.name = "张三", plain.hour = "0", plain.minute.reset(), plain.longitude.reset(), plain.latitude.reset();
    plain.note.clear(), plain.timeZone.clear(), plain.leap = false, plain.calendar = "gregorian";
    for (const auto& write : {PeopleAsJson, PeopleAsCsv}) {
        const PeopleFromFile read = ReadPeopleFile(write({odd, plain}));
        ASSERT_FALSE(read.problem) << read.problem->Describe();
        ASSERT_EQ(read.people.size(), 2u);
        Person expected = odd;
        expected.id = 0;
        EXPECT_EQ(read.people[0], expected);
        expected = plain;
        expected.id = 0;
        EXPECT_EQ(read.people[1], expected);
    }
}

TEST(PeopleFile, AFieldOfTheWrongFormIsNamedWithItsRow)
{
    const std::pair<const char*, const char*> cases[] = {
        {R"([{"Name":"a","Sex":"男","Date":"1-1-1","Hour":1},{"Name":"b","Sex":"男","Date":"1-1-1","Hour":1,"Leap":"yes"}])",
         "row 2, Leap: true or false"},
        {R"([{"Name":"a","Sex":"男","Date":"1-1-1","Hour":1,"Minute":1.5}])", "row 1, Minute: a whole number"},
        {R"([{"Name":"a","Sex":"男","Date":"1-1-1"}])", "row 1, Hour: missing"},
        {R"([{"Name":"a","Sex":"男","Date":"1-1-1","Hour":1,"Colour":"red"}])", "row 1, Colour: no such field"},
        {R"([{"Name":"a","Sex":"男","Date":"1-1-1","Hour":1,"Created":"yesterday"}])", "row 1, Created: a time"},
        {R"([{"Name":"a",)", "not JSON"},
        {"Name,Sex,Date,Hour\r\na,男,1-1-1,1\r\nb,男,1-1-1\r\n", "row 2: 3 fields where the header has 4"},
        {"Name,Sex,Date,Hour,Longitude\r\na,男,1-1-1,1,east\r\n", "row 1, Longitude: a number"},
        {"Name,Sex,Date,Hour\r\n\"a\"b,男,1-1-1,1\r\n", "not CSV"},
    };
    for (const auto& [file, problem] : cases) {
        const PeopleFromFile read = ReadPeopleFile(file);
        ASSERT_TRUE(read.problem) << file;
        EXPECT_NE(read.problem->Describe().find(problem), std::string::npos) << read.problem->Describe();
        EXPECT_TRUE(read.people.empty());
    }
}

}  // namespace
}  // namespace velmora::people
