// The database layer on a real generated file: the sample database built by
// make-reading-db from tests/data/reading-db with the traditional weights.
#include "ReadingDatabase.h"
#include "ReadingStatements.h"
#include "ReadingTestSupport.h"

#include "DESCrypt.h"
#include "GbkCodec.h"
#include "UnitPublic.h"

#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <set>

namespace velmora {
namespace {

namespace fs = std::filesystem;
using testing::ConnectionStringFor;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::WorkingDirectory;

// Runs `body` and returns the text of the EDatabaseError it must throw.
template <typename Body>
std::string DatabaseErrorOf(Body body)
{
    try {
        body();
    } catch (const EDatabaseError& error) {
        return error.what();
    }
    ADD_FAILURE() << "no EDatabaseError was thrown";
    return {};
}

std::string Plain(const std::string& stored) { return GbkToUtf8(DecryptStoredText(stored)); }

std::size_t CountOf(std::string_view text, std::string_view part)
{
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string_view::npos; at = text.find(part, at + part.size())) ++count;
    return count;
}

void WriteFile(const fs::path& file, std::string_view bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

// A plain SQLite/SQLCipher connection of the test's own, as another program would open the file.
int ForeignRead(const fs::path& file, const char* key = "71640358")
{
    sqlite3* db = nullptr;
    int code = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (code == SQLITE_OK) {
        code = sqlite3_exec(db, KeyStatements(key).c_str(), nullptr, nullptr, nullptr);
    }
    if (code == SQLITE_OK) code = sqlite3_exec(db, "SELECT count(*) FROM 属相数据", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return code;
}

class ReadingDatabase : public ::testing::Test {
protected:
    void SetUp() override { fs::copy_file(VELMORA_SAMPLE_READING_DB, file_); }

    ScratchFolder folder_;
    const fs::path file_ = folder_.Path() / "Orsk.dll";
    TDatabaseConnection connection_{ConnectionStringFor(file_)};
    TDatabaseQuery query_{connection_};

    void Lookup(std::string_view statementTemplate, std::initializer_list<std::string_view> keys)
    {
        query_.SetSQL(FormatStatement(statementTemplate, keys));
        query_.Open();
    }
};

// ---------------------------------------------------------------------------
// Connection string

TEST(ConnectionString, TheProgramsOwnGivesFileAndKey)
{
    const ConnectionSettings settings = ParseConnectionString(kReadingConnectionString);
    EXPECT_EQ(settings.provider, "Microsoft.Jet.OLEDB.4.0");
    EXPECT_EQ(settings.dataSource, ".\\Orsk.dll");
    EXPECT_EQ(settings.password, "71640358");
}

TEST(ConnectionString, NamesIgnoreCaseAndSpacesAndValuesMayBeQuoted)
{
    const ConnectionSettings settings =
        ParseConnectionString(" provider = microsoft.jet.oledb.4.0 ; DATA SOURCE='a b.dll';jet oledb:database password=\"x\";");
    EXPECT_EQ(settings.dataSource, "a b.dll");
    EXPECT_EQ(settings.password, "x");
}

TEST(ConnectionString, RefusesWhatItCannotServe)
{
    EXPECT_NE(DatabaseErrorOf([] { ParseConnectionString("Provider=Microsoft.Jet.OLEDB.4.0"); }).find("Data Source"),
              std::string::npos);
    EXPECT_NE(DatabaseErrorOf([] { ParseConnectionString("Provider=SQLOLEDB;Data Source=x"); }).find("SQLOLEDB"),
              std::string::npos);
    EXPECT_NE(DatabaseErrorOf([] { ParseConnectionString("Data Source=x;garbage"); }).find("garbage"),
              std::string::npos);
}

TEST(ConnectionString, BackslashIsAPathSeparatorAndRelativeMeansTheWorkingDirectory)
{
    EXPECT_EQ(ResolveDataSource(".\\Orsk.dll", "/run/here"), fs::path("/run/here/Orsk.dll"));
    EXPECT_EQ(ResolveDataSource("db\\Orsk.dll", "/run/here"), fs::path("/run/here/db/Orsk.dll"));
    EXPECT_EQ(ResolveDataSource("/opt/v/Orsk.dll", "/run/here"), fs::path("/opt/v/Orsk.dll"));
}

// ---------------------------------------------------------------------------
// The statements of a reading

struct LookupCase {
    const char* name;
    std::string_view statement;
    std::vector<std::string> keys;
    std::string weightTable, weightKey;  // in bone-weights.tsv; empty: no weight column
    std::string_view weightColumn;
    std::string textColumn;
    std::string heading;  // the first line of the sample text; empty: the key has no text
};

void PrintTo(const LookupCase& c, std::ostream* out) { *out << c.name; }

class EveryStatement : public ReadingDatabase, public ::testing::WithParamInterface<LookupCase> {};

TEST_P(EveryStatement, GivesTheWeightAndTextOfItsKey)
{
    const LookupCase& c = GetParam();
    query_.SetSQL(c.keys.size() == 1 ? FormatStatement(c.statement, {c.keys[0]})
                                     : FormatStatement(c.statement, {c.keys[0], c.keys[1]}));
    query_.Open();
    ASSERT_FALSE(query_.Eof());
    if (!c.weightColumn.empty()) {
        const auto weights = testing::ReadTraditionalWeights(VELMORA_BONE_WEIGHTS_FILE);
        EXPECT_EQ(query_.FieldAsInteger(c.weightColumn), weights.at(c.weightTable).at(c.weightKey));
    }
    const std::string text = Plain(query_.FieldAsString(c.textColumn));
    if (c.heading.empty()) {
        EXPECT_EQ(query_.FieldAsString(c.textColumn), "");
    } else {
        EXPECT_EQ(text.substr(0, c.heading.size() + 2), c.heading + "\r\n");
        EXPECT_EQ(CountOf(text, "\n"), CountOf(text, "\r\n"));  // every LF of the source became CR LF
        EXPECT_NE(text.back(), '\n');                            // trailing empty lines dropped
    }
}

INSTANTIATE_TEST_SUITE_P(
    SampleKeys, EveryStatement,
    ::testing::Values(
        LookupCase{"Year", kYearStatement, {"甲子"}, "year", "甲子", kYearWeightColumn, "年内容", "    [甲子年 样本]"},
        LookupCase{"LastYear", kYearStatement, {"癸亥"}, "year", "癸亥", kYearWeightColumn, "年内容", "    [癸亥年 样本]"},
        LookupCase{"YearWithoutText", kYearStatement, {"丙午"}, "year", "丙午", kYearWeightColumn, "年内容", ""},
        LookupCase{"Month", kMonthStatement, {"1"}, "month", "1", kMonthWeightColumn, "月内容", "    [正月 样本]"},
        LookupCase{"Month12", kMonthStatement, {"12"}, "month", "12", kMonthWeightColumn, "月内容", "    [腊月 样本]"},
        LookupCase{"Day", kDayStatement, {"1"}, "day", "1", kDayWeightColumn, "日内容", "    [初一 样本]"},
        LookupCase{"Day30", kDayStatement, {"30"}, "day", "30", kDayWeightColumn, "日内容", ""},
        LookupCase{"Hour", kHourStatement, {"子时"}, "hour", "子时", kHourWeightColumn, "时内容", "    [子时 样本]"},
        LookupCase{"LastHour", kHourStatement, {"亥时"}, "hour", "亥时", kHourWeightColumn, "时内容", "    [亥时 样本]"},
        LookupCase{"MaleBone", kMaleBoneStatement, {"四两四"}, "", "", "", "男骨重", "    [骨重四两四 样本]"},
        LookupCase{"LightestMaleBone", kMaleBoneStatement, {"二两一"}, "", "", "", "男骨重", "    [骨重二两一 样本]"},
        LookupCase{"FemaleBone", kFemaleBoneStatement, {"四两四"}, "", "", "", "女骨重", "    [骨重四两四 样本]"},
        LookupCase{"WholeLiangBone", kFemaleBoneStatement, {"三两"}, "", "", "", "女骨重", ""},
        LookupCase{"StarSign", kStarSignStatement, {"白羊座"}, "", "", "", "星内容", "    [白羊座 样本]"},
        LookupCase{"AnimalFirstMonth", kAnimalStatement, {"1", "鼠"}, "", "", "", "属相1月", "    [正月之鼠 样本]"},
        LookupCase{"AnimalMonth12", kAnimalStatement, {"12", "鼠"}, "", "", "", "属相12月", "    [腊月之鼠 样本]"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReadingDatabase, TheAnimalStatementReadsTheGeneralTextBesideTheMonthsText)
{
    Lookup(kAnimalStatement, {"12", "鼠"});
    EXPECT_EQ(Plain(query_.FieldAsString(kAnimalTextColumn)).rfind("    [属鼠 样本]\r\n", 0), 0u);
    EXPECT_EQ(Plain(query_.FieldAsString(AnimalMonthColumn("12"))).rfind("    [腊月之鼠 样本]\r\n", 0), 0u);
}

TEST_F(ReadingDatabase, EveryKeyHasItsRow)
{
    using namespace testing;
    struct WeightedKeys {
        std::string_view statement, weightColumn;
        std::vector<std::string> keys;
    };
    // Weights are never 0, so a non-zero weight shows that the row is there.
    for (const auto& [statement, weightColumn, keys] :
         {WeightedKeys{kYearStatement, kYearWeightColumn, YearKeys()},
          WeightedKeys{kMonthStatement, kMonthWeightColumn, NumberKeys(12)},
          WeightedKeys{kDayStatement, kDayWeightColumn, NumberKeys(30)},
          WeightedKeys{kHourStatement, kHourWeightColumn, HourKeys()}})
        for (const std::string& key : keys) {
            Lookup(statement, {key});
            EXPECT_GT(query_.FieldAsInteger(weightColumn), 0) << statement << " with " << key;
        }
    const std::pair<std::string_view, std::vector<std::string>> textKeys[] = {
        {"SELECT [骨重] AS k FROM 骨重星座 WHERE [骨重] = '%s'", BoneWeightKeys()},
        {"SELECT [星座] AS k FROM 骨重星座 WHERE [星座] = '%s'", StarSignKeys()},
        {"SELECT [属相名称] AS k FROM 属相数据 WHERE [属相名称] = '%s'", AnimalKeys()}};
    for (const auto& [statement, keys] : textKeys)
        for (const std::string& key : keys) {
            Lookup(statement, {key});
            EXPECT_EQ(query_.FieldAsString("k"), key);
        }
}

TEST_F(ReadingDatabase, TheWeightTablesAreTheTraditionalOnes)
{
    const auto weights = testing::ReadTraditionalWeights(VELMORA_BONE_WEIGHTS_FILE);
    const std::pair<std::string, std::string> tables[] = {
        {"year", "SELECT [年份] AS k, [年骨重] AS w FROM 软件数据 WHERE [年份] IS NOT NULL"},
        {"month", "SELECT [月份] AS k, [月骨重] AS w FROM 软件数据 WHERE [月份] IS NOT NULL"},
        {"day", "SELECT [日子] AS k, [日骨重] AS w FROM 软件数据 WHERE [日子] IS NOT NULL"},
        {"hour", "SELECT [时间] AS k, [时骨重] AS w FROM 软件数据 WHERE [时间] IS NOT NULL"}};
    // The query reads only the first row, so each key is looked up on its own.
    for (const auto& [table, statement] : tables) {
        for (const auto& [key, weight] : weights.at(table)) {
            const bool numeric = table == "month" || table == "day";
            query_.SetSQL(statement + " AND k = " + (numeric ? key : "'" + key + "'"));
            query_.Open();
            EXPECT_EQ(query_.FieldAsInteger("w"), weight) << table << " " << key;
        }
        query_.SetSQL("SELECT count(*) AS n FROM (" + statement + ")");
        query_.Open();
        EXPECT_EQ(static_cast<std::size_t>(query_.FieldAsInteger("n")), weights.at(table).size()) << table;
    }
}

TEST_F(ReadingDatabase, EveryTotalOfTheFourWeightsHasABoneWeightRow)
{
    const auto weights = testing::ReadTraditionalWeights(VELMORA_BONE_WEIGHTS_FILE);
    std::set<int> totals{0};
    for (const char* table : {"year", "month", "day", "hour"}) {
        std::set<int> next;
        for (const int total : totals)
            for (const auto& [key, weight] : weights.at(table)) next.insert(total + weight);
        totals = std::move(next);
    }
    for (const int total : totals) {
        const std::string wording = FormatBoneWeight(total / 10.0);  // as the reading words it
        Lookup("SELECT [骨重] AS k FROM 骨重星座 WHERE [骨重] = '%s'", {wording});
        EXPECT_EQ(query_.FieldAsString("k"), wording) << total;
    }
}

TEST_F(ReadingDatabase, AKeyWithoutRowGivesZeroAndEmptyText)
{
    struct Unknown {
        std::string_view statement, key, weightColumn, textColumn;
    };
    for (const auto& [statement, key, weightColumn, textColumn] :
         {Unknown{kYearStatement, "甲丑", kYearWeightColumn, kYearTextColumn},
          Unknown{kMonthStatement, "13", kMonthWeightColumn, kMonthTextColumn},
          Unknown{kDayStatement, "0", kDayWeightColumn, kDayTextColumn},
          Unknown{kHourStatement, "子", kHourWeightColumn, kHourTextColumn},
          Unknown{kMaleBoneStatement, "一两", {}, kMaleBoneTextColumn},
          Unknown{kStarSignStatement, "白羊", {}, kStarSignTextColumn}}) {
        Lookup(statement, {key});
        EXPECT_TRUE(query_.Eof()) << key;
        if (!weightColumn.empty()) {
            EXPECT_EQ(query_.FieldAsInteger(weightColumn), 0) << key;
        }
        EXPECT_EQ(query_.FieldAsString(textColumn), "") << key;
    }
}

// ---------------------------------------------------------------------------
// The query object

TEST_F(ReadingDatabase, ANewStatementClosesThePreviousResult)
{
    Lookup(kYearStatement, {"甲子"});
    ASSERT_TRUE(query_.Active());
    query_.SetSQL(FormatStatement(kMonthStatement, {"1"}));
    EXPECT_FALSE(query_.Active());
    EXPECT_NE(DatabaseErrorOf([&] { query_.FieldAsInteger(kYearWeightColumn); }).find("No result is open"),
              std::string::npos);
    query_.Open();
    EXPECT_EQ(query_.FieldAsInteger(kMonthWeightColumn), 6);
}

TEST_F(ReadingDatabase, TheSameStatementReadsAfreshEachTime)
{
    for (int round = 0; round < 3; ++round) {
        Lookup(kYearStatement, {"甲子"});
        EXPECT_EQ(query_.FieldAsInteger(kYearWeightColumn), 12);
        Lookup(kYearStatement, {"乙丑"});
        EXPECT_EQ(query_.FieldAsInteger(kYearWeightColumn), 9);
    }
}

TEST_F(ReadingDatabase, AMissingColumnIsAnErrorNamingIt)
{
    const std::string prepared = DatabaseErrorOf([&] {
        query_.SetSQL("SELECT [男骨重] FROM 软件数据 WHERE [年份] = '甲子'");
        query_.Open();
    });
    EXPECT_NE(prepared.find("男骨重"), std::string::npos) << prepared;
    Lookup(kYearStatement, {"甲子"});
    const std::string read = DatabaseErrorOf([&] { query_.FieldAsString("月内容"); });
    EXPECT_NE(read.find("has no column \"月内容\""), std::string::npos) << read;
    // A month column beyond 12 does not exist either.
    EXPECT_NE(DatabaseErrorOf([&] { Lookup(kAnimalStatement, {"13", "鼠"}); }).find("属相13月"), std::string::npos);
}

TEST_F(ReadingDatabase, AnEmptyNumericKeyIsARejectedStatement)
{
    const std::string error = DatabaseErrorOf([&] { Lookup(kMonthStatement, {""}); });
    EXPECT_NE(error.find("refuses the statement"), std::string::npos) << error;
    EXPECT_NE(error.find("[月份] = "), std::string::npos) << error;
}

TEST_F(ReadingDatabase, AWeightColumnHoldingTextIsNoWholeNumber)
{
    Lookup(kYearStatement, {"甲子"});
    EXPECT_NE(DatabaseErrorOf([&] { query_.FieldAsInteger(kYearTextColumn); }).find("no whole number"),
              std::string::npos);
}

TEST_F(ReadingDatabase, NothingButReadingIsEverRun)
{
    const std::string before = [&] {
        Lookup(kYearStatement, {"甲子"});
        return query_.FieldAsString(kYearTextColumn);
    }();
    const char* writes[] = {
        "DELETE FROM 软件数据",
        "UPDATE 软件数据 SET [年骨重] = 0",
        "INSERT INTO 属相数据 ([属相名称]) VALUES ('猫')",
        "DROP TABLE 属相数据",
        "CREATE TABLE x (a)",
        "PRAGMA user_version = 3",
        "PRAGMA rekey = 'other'",
        "ATTACH DATABASE 'other.db' AS other",
        "BEGIN",
        "VACUUM",
        "SELECT 1; DELETE FROM 软件数据",
        "SELECT [年骨重] FROM 软件数据 WHERE [年份] = '' OR 1=1; DROP TABLE 软件数据; --'",
    };
    for (const char* sql : writes) {
        const std::string error = DatabaseErrorOf([&] {
            query_.SetSQL(sql);
            query_.Open();
        });
        EXPECT_NE(error.find("refuses the statement"), std::string::npos) << sql << ": " << error;
    }
    EXPECT_EQ(folder_.Entries(), std::vector<std::string>{"Orsk.dll"});  // no journal, no attached file
    Lookup(kYearStatement, {"甲子"});
    EXPECT_EQ(query_.FieldAsString(kYearTextColumn), before);
    connection_.Close();
    EXPECT_EQ(ReadBytes(file_), ReadBytes(VELMORA_SAMPLE_READING_DB));
}

TEST_F(ReadingDatabase, AStatementWithAZeroByteInsideIsRefused)
{
    const std::string error = DatabaseErrorOf([&] {
        query_.SetSQL(std::string("SELECT 1\0 DELETE FROM 软件数据", 31));
        query_.Open();
    });
    EXPECT_NE(error.find("more than one statement"), std::string::npos) << error;
}

TEST_F(ReadingDatabase, ClosingTheConnectionEndsTheResultsAndTheNextLookupReopens)
{
    Lookup(kYearStatement, {"甲子"});
    connection_.Close();
    EXPECT_FALSE(connection_.Connected());
    EXPECT_FALSE(query_.Active());
    EXPECT_EQ(ForeignRead(file_), SQLITE_OK);  // the file is free again
    Lookup(kYearStatement, {"乙丑"});
    EXPECT_TRUE(connection_.Connected());
    EXPECT_EQ(query_.FieldAsInteger(kYearWeightColumn), 9);
}

TEST(ReadingQuery, OutlivingItsConnectionIsAnErrorNotACrash)
{
    ScratchFolder folder;
    fs::copy_file(VELMORA_SAMPLE_READING_DB, folder.Path() / "Orsk.dll");
    auto connection = std::make_unique<TDatabaseConnection>(ConnectionStringFor(folder.Path() / "Orsk.dll"));
    TDatabaseQuery query(*connection);
    query.SetSQL(FormatStatement(kYearStatement, {"甲子"}));
    query.Open();
    connection.reset();
    EXPECT_FALSE(query.Active());
    EXPECT_NE(DatabaseErrorOf([&] { query.Open(); }).find("no database connection"), std::string::npos);
}

// ---------------------------------------------------------------------------
// Opening the file

TEST(ReadingConnection, OpensAtTheFirstLookupFromTheWorkingDirectoryOfThatMoment)
{
    ScratchFolder folder;
    fs::copy_file(VELMORA_SAMPLE_READING_DB, folder.Path() / "Orsk.dll");
    TDatabaseConnection connection;  // the program's own connection string
    TDatabaseQuery query(connection);
    EXPECT_FALSE(connection.Connected());
    {
        const WorkingDirectory inFolder(folder.Path());
        query.SetSQL(FormatStatement(kYearStatement, {"甲子"}));
        query.Open();
    }
    EXPECT_EQ(connection.FilePath(), folder.Path() / "Orsk.dll");
    // Later lookups keep the file although the working directory has changed.
    query.SetSQL(FormatStatement(kHourStatement, {"子时"}));
    query.Open();
    EXPECT_EQ(query.FieldAsInteger(kHourWeightColumn), 16);
}

TEST(ReadingConnection, AMissingFileIsNamedWithTheWorkingDirectoryAndNeverCreated)
{
    ScratchFolder folder;
    const WorkingDirectory inFolder(folder.Path());
    TDatabaseConnection connection;
    TDatabaseQuery query(connection);
    query.SetSQL(FormatStatement(kYearStatement, {"甲子"}));
    for (int attempt = 0; attempt < 2; ++attempt) {
        const std::string error = DatabaseErrorOf([&] { query.Open(); });
        EXPECT_NE(error.find("\"Orsk.dll\""), std::string::npos) << error;
        EXPECT_NE(error.find("working directory \"" + fs::current_path().string() + "\""), std::string::npos) << error;
        EXPECT_TRUE(folder.Entries().empty());
        EXPECT_FALSE(connection.Connected());
    }
}

TEST(ReadingConnection, ADirectoryInPlaceOfTheFileIsNoDatabase)
{
    ScratchFolder folder;
    fs::create_directory(folder.Path() / "Orsk.dll");
    TDatabaseConnection connection(ConnectionStringFor(folder.Path() / "Orsk.dll"));
    EXPECT_NE(DatabaseErrorOf([&] { connection.Open(); }).find("is not a file"), std::string::npos);
}

struct BadFileCase {
    const char* name;
    std::string content;   // of the file; "sample" for the sample database
    std::string password;  // for the connection
    std::string expected;  // in the error text
};

void PrintTo(const BadFileCase& c, std::ostream* out) { *out << c.name; }

class ABadFile : public ::testing::TestWithParam<BadFileCase> {};

TEST_P(ABadFile, IsAnErrorThatNamesWhatFailedAndLeavesTheFileAlone)
{
    const BadFileCase& c = GetParam();
    ScratchFolder folder;
    const fs::path file = folder.Path() / "Orsk.dll";
    if (c.content == "sample") fs::copy_file(VELMORA_SAMPLE_READING_DB, file);
    else WriteFile(file, c.content);
    const std::string before = ReadBytes(file);

    TDatabaseConnection connection(ConnectionStringFor(file, c.password));
    for (int attempt = 0; attempt < 2; ++attempt) {  // nothing is remembered or retried in between
        const std::string error = DatabaseErrorOf([&] { connection.Open(); });
        EXPECT_NE(error.find(c.expected), std::string::npos) << error;
        EXPECT_NE(error.find(file.string()), std::string::npos) << error;
        EXPECT_FALSE(connection.Connected());
    }
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"Orsk.dll"});
}

INSTANTIATE_TEST_SUITE_P(
    Files, ABadFile,
    ::testing::Values(BadFileCase{"WrongPassword", "sample", "71640359", "the password does not open it"},
                      BadFileCase{"NoPassword", "sample", "", "the password does not open it"},
                      BadFileCase{"NotADatabase", std::string(4096, 'x'), "71640358", "not a reading database"},
                      BadFileCase{"EmptyFile", "", "71640358", "the file is empty"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadingConnection, APlainUnencipheredDatabaseIsRefusedByTheKey)
{
    ScratchFolder folder;
    const fs::path file = folder.Path() / "Orsk.dll";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE 属相数据 (a); INSERT INTO 属相数据 VALUES (1)", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    TDatabaseConnection connection(ConnectionStringFor(file));
    EXPECT_NE(DatabaseErrorOf([&] { connection.Open(); }).find("the password does not open it"), std::string::npos);
}

TEST(ReadingConnection, ADatabaseWithoutTablesIsNoReadingDatabase)
{
    ScratchFolder folder;
    const fs::path file = folder.Path() / "Orsk.dll";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, (KeyStatements("71640358") + " PRAGMA user_version = 7;").c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    ASSERT_GT(fs::file_size(file), 0u);
    TDatabaseConnection connection(ConnectionStringFor(file));
    EXPECT_NE(DatabaseErrorOf([&] { connection.Open(); }).find("it holds no tables"), std::string::npos);
    EXPECT_FALSE(connection.Connected());
}

// ---------------------------------------------------------------------------
// Exclusive use

TEST_F(ReadingDatabase, WhileOpenEveryOtherConnectionIsRefused)
{
    Lookup(kYearStatement, {"甲子"});
    EXPECT_EQ(ForeignRead(file_), SQLITE_BUSY);

    TDatabaseConnection second(ConnectionStringFor(file_));
    const std::string error = DatabaseErrorOf([&] { second.Open(); });
    EXPECT_NE(error.find("in use by another program (database is locked)"), std::string::npos) << error;

    connection_.Close();
    EXPECT_EQ(ForeignRead(file_), SQLITE_OK);
    EXPECT_NO_THROW(second.Open());
}

TEST_F(ReadingDatabase, AnotherProcessIsRefusedToo)
{
    connection_.Open();
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) _exit(ForeignRead(file_));
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), SQLITE_BUSY);
}

TEST_F(ReadingDatabase, AFileHeldByAnotherConnectionCannotBeOpened)
{
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open_v2(file_.c_str(), &holder, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, (KeyStatements("71640358") + " BEGIN EXCLUSIVE;").c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_NE(DatabaseErrorOf([&] { connection_.Open(); }).find("in use by another program"), std::string::npos);
    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    EXPECT_NO_THROW(connection_.Open());
}

TEST_F(ReadingDatabase, AFileWeMayNotWriteIsStillRead)
{
    if (geteuid() == 0) GTEST_SKIP() << "root may write any file";
    fs::permissions(file_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    Lookup(kYearStatement, {"甲子"});
    EXPECT_EQ(query_.FieldAsInteger(kYearWeightColumn), 12);
}

}  // namespace
}  // namespace velmora
