// The people store: a private file, no lost update between connections, and
// a damaged or newer store reported with its reason and left as it is.
#include <gtest/gtest.h>

#include <sqlcipher/sqlite3.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "PeopleStore.h"
#include "ReadingTestSupport.h"

namespace velmora::people {
namespace {

namespace fs = std::filesystem;
using velmora::testing::ReadBytes;
using velmora::testing::ScratchFolder;

Person Someone(std::string name)
{
    Person person;
    person.name = std::move(name);
    person.sex = "女";
    person.date = "1990-5-17";
    person.hour = "8";
    return person;
}

unsigned Mode(const fs::path& path)
{
    struct stat status{};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 0777;
}

TEST(PeopleStore, FolderAndFilesAreTheUsersAlone)
{
    const ScratchFolder scratch;
    const fs::path file = scratch.Path() / "data" / "velmora" / "people.sqlite";
    PeopleStore store(file);
    store.Add(Someone("张三"));
    EXPECT_EQ(Mode(file.parent_path()), 0700u);
    EXPECT_EQ(Mode(file), 0600u);
    EXPECT_EQ(Mode(fs::path(file.string() + "-wal")), 0600u);  // the journal holds the same people
}

TEST(PeopleStore, EditsFromTwoConnectionsAtOnceLoseNoUpdate)
{
    const ScratchFolder scratch;
    const fs::path file = scratch.Path() / "people.sqlite";
    const long long id = PeopleStore(file).Add(Someone("张三"));
    constexpr int kEditsEach = 60;
    // Each edit counts one up: an edit that read outside its write
    // transaction would overwrite the other connection's count.
    const auto countUp = [&] {
        PeopleStore store(file);
        for (int i = 0; i < kEditsEach; ++i)
            ASSERT_EQ(store.Edit(id, [](Person& p) -> std::optional<std::string> {
                p.note = std::to_string(std::stoi(p.note.empty() ? "0" : p.note) + 1);
                return std::nullopt;
            }), EditOutcome::Changed);
    };
    std::thread other(countUp);
    countUp();
    other.join();
    EXPECT_EQ(PeopleStore(file).Find(id)->note, std::to_string(2 * kEditsEach));
}

TEST(PeopleStore, ARefusedEditChangesNothing)
{
    const ScratchFolder scratch;
    PeopleStore store(scratch.Path() / "people.sqlite");
    const long long id = store.Add(Someone("张三"));
    const Person before = *store.Find(id);
    std::string message;
    EXPECT_EQ(store.Edit(id, [](Person& p) -> std::optional<std::string> {
        p.name = "李四";
        return "not today";
    }, &message), EditOutcome::Refused);
    EXPECT_EQ(message, "not today");
    EXPECT_EQ(*store.Find(id), before);
    EXPECT_EQ(store.Edit(id + 1, [](Person&) { return std::optional<std::string>(); }), EditOutcome::NoSuchPerson);
}

TEST(PeopleStore, ListsByNameThenIdAndFindsTextInNameNotePlaceOrDate)
{
    const ScratchFolder scratch;
    PeopleStore store(scratch.Path() / "people.sqlite");
    std::vector<Person> people = {Someone("王芳"), Someone("Anna"), Someone("王芳"), Someone("李四"), Someone("张三")};
    people[1].note = "同学王";
    people[3].place = "成都市";
    people[4].date = "1984-2-4";
    const std::vector<long long> ids = store.AddAll(people);
    const auto names = [&](std::string_view text) {
        std::vector<std::pair<std::string, long long>> found;
        for (const Person& p : store.List(text)) found.emplace_back(p.name, p.id);
        return found;
    };
    // Bytes order, as the engine's own: Latin before CJK, 张 (E5BCA0) before 李 (E69D8E) before 王 (E78E8B).
    EXPECT_EQ(names(""), (std::vector<std::pair<std::string, long long>>{
                             {"Anna", ids[1]}, {"张三", ids[4]}, {"李四", ids[3]}, {"王芳", ids[0]}, {"王芳", ids[2]}}));
    EXPECT_EQ(names("王").size(), 3u);  // two names and a note
    EXPECT_EQ(names("成都"), (std::vector<std::pair<std::string, long long>>{{"李四", ids[3]}}));
    EXPECT_EQ(names("1984"), (std::vector<std::pair<std::string, long long>>{{"张三", ids[4]}}));
    EXPECT_TRUE(names("赵").empty());
}

// Overwrites `length` bytes at `offset` with 0xA5.
void Scribble(const fs::path& file, std::streamoff offset, std::size_t length)
{
    std::fstream stream(file, std::ios::in | std::ios::out | std::ios::binary);
    stream.seekp(offset);
    const std::string junk(length, '\xA5');
    stream.write(junk.data(), static_cast<std::streamsize>(junk.size()));
}

void SetUserVersion(const fs::path& file, int version)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, ("PRAGMA user_version = " + std::to_string(version)).c_str(), nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
}

TEST(PeopleStore, ADamagedOrNewerStoreIsReportedAndLeftAsItIs)
{
    struct Damage {
        const char* what;
        void (*damage)(const fs::path& file);
        const char* reason;
    };
    const Damage damages[] = {
        {"not a database at all", [](const fs::path& f) { std::ofstream(f, std::ios::binary) << std::string(9000, 'x'); },
         "it is not a people store"},
        {"its header scribbled over", [](const fs::path& f) { Scribble(f, 0, 100); }, "it is not a people store, or it is damaged"},
        // Page 2 is the table's root page: the first read of the people meets it.
        {"the table's page scribbled over", [](const fs::path& f) { Scribble(f, 4096 + 8, 3000); }, "it is damaged"},
        {"made by a newer program", [](const fs::path& f) { SetUserVersion(f, kPeopleSchemaVersion + 1); },
         "made by a newer Velmora"},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        const ScratchFolder scratch;
        const fs::path file = scratch.Path() / "people.sqlite";
        {
            std::vector<Person> people;
            for (int i = 0; i < 200; ++i) people.push_back(Someone("人" + std::to_string(i)));
            PeopleStore(file).AddAll(people);
        }
        damage.damage(file);
        const std::string before = ReadBytes(file);
        try {
            PeopleStore store(file);
            store.List();
            store.Add(Someone("新人"));
            ADD_FAILURE() << "the damaged store was used";
        } catch (const PeopleStoreError& e) {
            EXPECT_NE(std::string(e.what()).find(damage.reason), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
        }
        EXPECT_EQ(ReadBytes(file), before);
    }
}

}  // namespace
}  // namespace velmora::people
