// The people store: one SQLite file per user,
// $XDG_DATA_HOME/velmora/people.sqlite (~/.local/share/velmora by default),
// in a folder only the user may enter and a file only the user may read.
//
// Several processes (velmora-cli's, the window) use the file at once: it is
// in WAL mode, so readers never wait for a writer, and every change is one
// short IMMEDIATE transaction that waits up to kPeopleBusyMilliseconds for
// another writer. A change that reads before it writes (an edit) reads
// inside its own write transaction, so no update is lost.
//
// A store that is damaged, or was made by a newer program, is reported with
// its reason (PeopleStoreError) and left as it is: nothing is repaired or
// made anew over it.
//
// The engine is the SQLCipher library the program already links, opened
// without a key, so there is one SQLite library in the process.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "Person.h"

struct sqlite3;

namespace velmora::people {

class PeopleStoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How long a change waits for another process's change to end.
inline constexpr int kPeopleBusyMilliseconds = 10000;

// The schema this program writes (PRAGMA user_version).
inline constexpr int kPeopleSchemaVersion = 1;

// $XDG_DATA_HOME/velmora/people.sqlite, or ~/.local/share/velmora/... when
// XDG_DATA_HOME is unset or not absolute. Throws when HOME is needed and unset.
std::filesystem::path DefaultPeopleStorePath();

// What an edit's change says: nothing to go on, or why it is refused (the
// store is then left as it was).
using PersonChange = std::function<std::optional<std::string>(Person&)>;

enum class EditOutcome { Changed, NoSuchPerson, Refused };

class PeopleStore {
public:
    // Opens the store, making the folder (0700) and the file (0600) when
    // there is none, and bringing an older schema up to date.
    explicit PeopleStore(std::filesystem::path file = DefaultPeopleStorePath());
    ~PeopleStore();
    PeopleStore(const PeopleStore&) = delete;
    PeopleStore& operator=(const PeopleStore&) = delete;

    const std::filesystem::path& File() const { return file_; }

    // Stores a new person; its id, created and changed times are given here
    // (created and changed kept when the person carries them). The new id.
    long long Add(const Person& person);
    // Stores all of them in one transaction, or none. Their new ids.
    std::vector<long long> AddAll(const std::vector<Person>& people);

    std::optional<Person> Find(long long id);
    // Everyone, by name then id; with `text`, those whose name, note, place
    // or date holds it.
    std::vector<Person> List(std::string_view text = {});

    // Reads the person, applies `change` and writes it back, all in one
    // write transaction; `changed` is set to now. `message` receives the
    // change's refusal.
    EditOutcome Edit(long long id, const PersonChange& change, std::string* message = nullptr);
    // False when there was no such person.
    bool Remove(long long id);

private:
    void Open();
    void UseWriteAheadLog();
    void Migrate();
    void Execute(const char* sql);
    int ReadNumber(const char* sql);
    std::string ReadText(const char* sql);
    [[noreturn]] void Refuse(const std::string& reason);
    // Runs `work` inside BEGIN IMMEDIATE ... COMMIT; rolled back on a throw.
    void InTransaction(const std::function<void()>& work);
    [[noreturn]] void Fail(std::string_view what);

    std::filesystem::path file_;
    sqlite3* db_ = nullptr;
};

}  // namespace velmora::people
