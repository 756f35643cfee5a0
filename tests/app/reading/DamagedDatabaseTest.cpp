// A damaged reading database is an error, never a reading with a silently
// wrong or empty part: hand-made bad rows, and random damage to copies of
// the sample database.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>

#include "LabelledDatabase.h"
#include "Reading.h"
#include "ReadingDatabase.h"
#include "ReadingTestSupport.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using testing::ScratchFolder;

constexpr StartupDate kStartup{2026, 12, 8};

// Readings that together read rows of every table, 甲子 (with sample texts) among them.
const std::vector<BirthInput>& Births()
{
    static const std::vector<BirthInput> births = {testing::Gregorian("1984", "2", "4", "23", "男"),
                                                   testing::Gregorian("1990", "10", "30", "4", "女"),
                                                   testing::Gregorian("2009", "9", "21", "7", "男"),
                                                   testing::Gregorian("1977", "6", "15", "13", "女")};
    return births;
}

std::vector<TKarvoInfo> ReadAll(const fs::path& file)
{
    TDatabaseConnection connection(testing::ConnectionStringFor(file), DatabaseUse::SharedReading);
    TDatabaseQuery query(connection);
    std::vector<TKarvoInfo> records;
    for (const BirthInput& birth : Births()) {
        TKarvoInfo record;
        if (ComputeReading(birth, kStartup, query, record) != ReadingOutcome::Complete)
            throw std::logic_error("a sample reading did not complete");
        records.push_back(record);
    }
    return records;
}

struct BadRow {
    std::string change;   // a statement run on a copy of the sample database
    std::string message;  // in the error of a reading
};

void PrintTo(const BadRow& row, std::ostream* out) { *out << row.message; }

class HandMadeRows : public ::testing::TestWithParam<BadRow> {};

TEST_P(HandMadeRows, AreDatabaseErrorsNamingColumnAndKey)
{
    const ScratchFolder folder;
    const fs::path file = folder.Path() / "db.sqlite";
    fs::copy_file(VELMORA_SAMPLE_READING_DB, file);
    testing::ChangeDatabase(file, GetParam().change);
    try {
        ReadAll(file);
        ADD_FAILURE() << "no error";
    } catch (const EDatabaseError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().message), std::string::npos) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Reading, HandMadeRows,
    ::testing::Values(
        BadRow{"UPDATE 软件数据 SET [年骨重] = 1000 WHERE [年份] = '甲子'",
               "the weight 1000 in column 年骨重, key 甲子; a weight is 0 to 100"},
        BadRow{"UPDATE 软件数据 SET [时骨重] = -4 WHERE [时间] = '子时'", "the weight -4 in column 时骨重, key 子时"},
        BadRow{"UPDATE 软件数据 SET [年内容] = 'C0FFEE' WHERE [年份] = '甲子'",
               "the text in column 年内容, key 甲子 does not decipher"},
        BadRow{"UPDATE 骨重星座 SET [星内容] = 'not hexadecimal' WHERE [星座] = '天蝎座'",
               "the text in column 星内容, key 天蝎座 does not decipher"}));

// What became of the readings on one damaged copy.
enum class Verdict { Intact, ClearError, WrongSuccess, OtherFailure };

Verdict ReadDamaged(const fs::path& file, const std::vector<TKarvoInfo>& intact, std::string& detail)
{
    try {
        return ReadAll(file) == intact ? Verdict::Intact : Verdict::WrongSuccess;
    } catch (const EDatabaseError& error) {
        detail = error.what();
        return detail.find("reading database") != std::string::npos ? Verdict::ClearError : Verdict::OtherFailure;
    } catch (const std::exception& error) {
        detail = error.what();
        return Verdict::OtherFailure;
    }
}

// Damage of four kinds: a flipped bit, a few bytes overwritten, a page's
// worth of bytes zeroed, the file cut short.
std::string Damage(std::string bytes, int kind, std::mt19937& random)
{
    const auto at = [&](std::size_t size) { return std::uniform_int_distribution<std::size_t>(0, size - 1)(random); };
    switch (kind) {
    case 0: bytes[at(bytes.size())] ^= static_cast<char>(1 << at(8)); break;
    case 1: {
        const std::size_t start = at(bytes.size());
        const std::size_t count = std::min<std::size_t>(1 + at(16), bytes.size() - start);
        for (std::size_t i = 0; i < count; ++i) bytes[start + i] = static_cast<char>(at(256));
        break;
    }
    case 2: {
        const std::size_t start = at(bytes.size()) / 1024 * 1024;
        std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(start), std::min<std::size_t>(1024, bytes.size() - start), '\0');
        break;
    }
    default: bytes.resize(1 + at(bytes.size() - 1)); break;
    }
    return bytes;
}

TEST(DamagedDatabase, RandomDamageGivesTheIntactReadingOrAClearError)
{
    constexpr int kCopies = 300;
    constexpr auto kHang = std::chrono::seconds(5);
    const ScratchFolder folder;
    const std::vector<TKarvoInfo> intact = ReadAll(VELMORA_SAMPLE_READING_DB);
    const std::string original = testing::ReadBytes(VELMORA_SAMPLE_READING_DB);
    std::mt19937 random(15);
    int counts[4] = {};
    int hangs = 0;
    for (int copy = 0; copy < kCopies; ++copy) {
        const fs::path file = folder.Path() / ("copy" + std::to_string(copy) + ".db");
        std::ofstream(file, std::ios::binary) << Damage(original, copy % 4, random);
        std::string detail;
        const auto start = std::chrono::steady_clock::now();
        const Verdict verdict = ReadDamaged(file, intact, detail);
        if (std::chrono::steady_clock::now() - start > kHang) ++hangs;
        ++counts[static_cast<int>(verdict)];
        EXPECT_TRUE(verdict == Verdict::Intact || verdict == Verdict::ClearError)
            << "copy " << copy << " (damage " << copy % 4 << "): " << detail;
        fs::remove(file);
    }
    std::cout << "damaged copies: " << kCopies << ", intact readings: " << counts[0]
              << ", clear errors: " << counts[1] << ", wrong successes: " << counts[2]
              << ", other failures: " << counts[3] << ", hangs (over 5 s): " << hangs << "\n";
    EXPECT_EQ(hangs, 0);
}

// One flipped bit of the shipped database once emptied the star sign's text
// of this reading silently.
TEST(DamagedDatabase, AFlippedBitInTheShippedFileIsAnError)
{
    const ScratchFolder folder;
    std::string bytes = testing::ReadBytes(VELMORA_READING_DB_FILE);
    ASSERT_GT(bytes.size(), 220089u);
    bytes[220089] ^= 1;
    const fs::path file = folder.Path() / "Orsk.dll";
    std::ofstream(file, std::ios::binary) << bytes;
    TDatabaseConnection connection(testing::ConnectionStringFor(file), DatabaseUse::SharedReading);
    TDatabaseQuery query(connection);
    TKarvoInfo record;
    try {
        ComputeReading(testing::Gregorian("1990", "10", "30", "4"), kStartup, query, record);
        ADD_FAILURE() << "a reading with the text " << record.XingZuoText;
    } catch (const EDatabaseError& error) {
        EXPECT_NE(std::string(error.what()).find("is damaged"), std::string::npos) << error.what();
    }
}

}  // namespace
}  // namespace velmora
