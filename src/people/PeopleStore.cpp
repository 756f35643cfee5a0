#include "PeopleStore.h"

#include <sqlcipher/sqlite3.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <tuple>
#include <algorithm>
#include <numeric>
#include <thread>

#include "MessageText.h"

namespace velmora::people {

namespace fs = std::filesystem;

std::string NowIso8601()
{
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

fs::path DefaultPeopleStorePath()
{
    // XDG_DATA_HOME counts only as an absolute path; a relative one is ignored.
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/') return fs::path(dataHome) / "velmora" / "people.sqlite";
    const char* home = std::getenv("HOME");
    if (!home || !*home) throw PeopleStoreError("Cannot find the people store: neither XDG_DATA_HOME nor HOME is set.");
    return fs::path(home) / ".local" / "share" / "velmora" / "people.sqlite";
}

namespace {

// Schema steps: step i brings user_version i to i + 1, inside the same
// transaction as the version's change. The engine (SQLite 3.15) has no DROP
// or RENAME COLUMN, so a step that changes a table's columns makes the new
// table, copies the rows, drops the old one and renames the new one.
constexpr const char* kSchemaSteps[] = {
    R"(CREATE TABLE people (
         id INTEGER PRIMARY KEY AUTOINCREMENT,
         name TEXT NOT NULL,
         sex TEXT NOT NULL CHECK (sex IN ('男', '女')),
         calendar TEXT NOT NULL CHECK (calendar IN ('gregorian', 'lunar')),
         date TEXT NOT NULL,
         leap INTEGER NOT NULL CHECK (leap IN (0, 1)),
         hour TEXT NOT NULL,
         minute INTEGER CHECK (minute BETWEEN 0 AND 59),
         place TEXT NOT NULL DEFAULT '',
         longitude REAL CHECK (longitude BETWEEN -180 AND 180),
         latitude REAL CHECK (latitude BETWEEN -90 AND 90),
         time_zone TEXT NOT NULL DEFAULT '',
         zi_school TEXT NOT NULL CHECK (zi_school IN ('late', 'early')),
         precise INTEGER NOT NULL CHECK (precise IN (0, 1)),
         note TEXT NOT NULL DEFAULT '',
         created TEXT NOT NULL,
         changed TEXT NOT NULL))",
};
static_assert(std::size(kSchemaSteps) == kPeopleSchemaVersion);

constexpr const char* kColumns =
    "id, name, sex, calendar, date, leap, hour, minute, place, longitude, latitude, time_zone, zi_school, precise, "
    "note, created, changed";

// One compiled statement, finalized when it goes.
class Statement {
public:
    Statement(sqlite3* db, const std::string& sql) : db_(db)
    {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement_, nullptr) != SQLITE_OK) {
            sqlite3_finalize(statement_);
            statement_ = nullptr;
        }
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool Ok() const { return statement_ != nullptr; }
    sqlite3_stmt* get() const { return statement_; }

    void Bind(int index, std::string_view text)
    {
        sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    void Bind(int index, long long number) { sqlite3_bind_int64(statement_, index, number); }
    void Bind(int index, const std::optional<int>& number)
    {
        number ? sqlite3_bind_int(statement_, index, *number) : sqlite3_bind_null(statement_, index);
    }
    void Bind(int index, const std::optional<double>& number)
    {
        number ? sqlite3_bind_double(statement_, index, *number) : sqlite3_bind_null(statement_, index);
    }

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step() { return sqlite3_step(statement_); }
    void Reset()
    {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }

    std::string Text(int column) const
    {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
        return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column))) : "";
    }
    long long Integer(int column) const { return sqlite3_column_int64(statement_, column); }
    bool IsNull(int column) const { return sqlite3_column_type(statement_, column) == SQLITE_NULL; }

private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};

Person PersonFromRow(const Statement& row)
{
    Person person;
    person.id = row.Integer(0);
    person.name = row.Text(1);
    person.sex = row.Text(2);
    person.calendar = row.Text(3);
    person.date = row.Text(4);
    person.leap = row.Integer(5) != 0;
    person.hour = row.Text(6);
    if (!row.IsNull(7)) person.minute = static_cast<int>(row.Integer(7));
    person.place = row.Text(8);
    if (!row.IsNull(9)) person.longitude = sqlite3_column_double(row.get(), 9);
    if (!row.IsNull(10)) person.latitude = sqlite3_column_double(row.get(), 10);
    person.timeZone = row.Text(11);
    person.ziSchool = row.Text(12);
    person.precise = row.Integer(13) != 0;
    person.note = row.Text(14);
    person.created = row.Text(15);
    person.changed = row.Text(16);
    return person;
}

// Binds every field but the id, from parameter 1 on.
void BindFields(Statement& statement, const Person& person)
{
    int index = 1;
    for (const std::string* text : {&person.name, &person.sex, &person.calendar, &person.date})
        statement.Bind(index++, *text);
    statement.Bind(index++, static_cast<long long>(person.leap));
    statement.Bind(index++, person.hour);
    statement.Bind(index++, person.minute);
    statement.Bind(index++, person.place);
    statement.Bind(index++, person.longitude);
    statement.Bind(index++, person.latitude);
    statement.Bind(index++, person.timeZone);
    statement.Bind(index++, person.ziSchool);
    statement.Bind(index++, static_cast<long long>(person.precise));
    statement.Bind(index++, person.note);
    statement.Bind(index++, person.created);
    statement.Bind(index++, person.changed);
}

// Makes the folder (only the user may enter it) and an empty file (only the
// user may read it) when they are missing. The engine's journal files take
// the file's permissions.
void PrepareFile(const fs::path& file)
{
    const fs::path folder = file.parent_path();
    std::error_code error;
    if (!fs::exists(folder, error)) {
        fs::create_directories(folder.parent_path(), error);
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
            throw PeopleStoreError("Cannot make the folder of the people store " + Quoted(folder.string()) + ": " +
                                   std::strerror(errno) + ".");
    }
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
    } else if (errno != EEXIST) {
        throw PeopleStoreError("Cannot make the people store " + Quoted(file.string()) + ": " + std::strerror(errno) +
                               ".");
    }
}

}  // namespace

PeopleStore::PeopleStore(fs::path file) : file_(std::move(file))
{
    PrepareFile(file_);
    try {
        Open();
    } catch (...) {
        sqlite3_close(db_);
        throw;
    }
}

PeopleStore::~PeopleStore()
{
    sqlite3_close(db_);
}

void PeopleStore::Open()
{
    // Never SQLITE_OPEN_CREATE: the file is made above, with its permissions.
    // A store is used by one thread at a time: no lock around every call.
    if (sqlite3_open_v2(file_.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK)
        Fail("open");
    sqlite3_busy_timeout(db_, kPeopleBusyMilliseconds);
    // Pages are read from the mapped file rather than copied (the file has no key).
    Execute("PRAGMA mmap_size = 268435456");
    // The file is read through before anything is written: a file that is
    // no database, someone else's database or a newer store is left exactly
    // as it is.
    const int tables = ReadNumber("SELECT count(*) FROM sqlite_master");
    const int version = ReadNumber("PRAGMA user_version");
    if (version > kPeopleSchemaVersion)
        Refuse("it was made by a newer Velmora (schema " + std::to_string(version) + ", this one knows up to " +
               std::to_string(kPeopleSchemaVersion) + ")");
    if (version == 0 && tables > 0) Refuse("it is a database of something else");
    UseWriteAheadLog();
    // Only an older store takes the write lock here; an opening never waits
    // for another process's change otherwise.
    if (version < kPeopleSchemaVersion) Migrate();
}

void PeopleStore::UseWriteAheadLog()
{
    // Two first openings can each hold the read lock that the switch must
    // raise; the engine then answers busy at once instead of waiting, so the
    // switch is tried again here, with the same patience as any change.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kPeopleBusyMilliseconds);
    while (ReadText("PRAGMA journal_mode") != "wal") {
        const int result = sqlite3_exec(db_, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
        if (result == SQLITE_OK) continue;
        if ((result & 0xff) != SQLITE_BUSY || std::chrono::steady_clock::now() > deadline) Fail("change");
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

int PeopleStore::ReadNumber(const char* sql)
{
    Statement read(db_, sql);
    if (!read.Ok() || read.Step() != SQLITE_ROW) Fail("read");
    return static_cast<int>(read.Integer(0));
}

std::string PeopleStore::ReadText(const char* sql)
{
    Statement read(db_, sql);
    if (!read.Ok() || read.Step() != SQLITE_ROW) Fail("read");
    return read.Text(0);
}

void PeopleStore::Refuse(const std::string& reason)
{
    throw PeopleStoreError("The people store " + Quoted(file_.string()) + ": " + reason + ".");
}

void PeopleStore::Migrate()
{
    InTransaction([&] {
        // Read again under the write lock: another process may have done it.
        const int version = ReadNumber("PRAGMA user_version");
        for (int step = version; step < kPeopleSchemaVersion; ++step) Execute(kSchemaSteps[step]);
        if (version < kPeopleSchemaVersion)
            Execute(("PRAGMA user_version = " + std::to_string(kPeopleSchemaVersion)).c_str());
    });
}

void PeopleStore::Execute(const char* sql)
{
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) Fail("change");
}

void PeopleStore::InTransaction(const std::function<void()>& work)
{
    Execute("BEGIN IMMEDIATE");
    try {
        work();
        Execute("COMMIT");
    } catch (...) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

void PeopleStore::Fail(std::string_view what)
{
    const int code = db_ ? sqlite3_extended_errcode(db_) & 0xff : SQLITE_NOMEM;
    const std::string engineText = db_ ? sqlite3_errmsg(db_) : "out of memory";
    const int systemError = db_ ? sqlite3_system_errno(db_) : 0;
    std::string reason;
    switch (code) {
    case SQLITE_NOTADB: reason = "it is not a people store, or its first page is damaged"; break;
    case SQLITE_CORRUPT: reason = "it is damaged"; break;
    // Reads are the program's own statements: an error there is the file's,
    // whose schema the engine cannot follow.
    case SQLITE_ERROR:
        reason = what == "read" ? "it is not a people store, or it is damaged" : "cannot " + std::string(what) + " it";
        break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: reason = "another program kept it busy too long"; break;
    case SQLITE_READONLY: reason = "it may not be written"; break;
    case SQLITE_FULL: reason = "the disk is full"; break;
    default:
        reason = "cannot " + std::string(what) + " it";
        if (systemError != 0) reason += ": " + std::string(std::strerror(systemError));
    }
    throw PeopleStoreError("The people store " + Quoted(file_.string()) + ": " + reason + " (" + engineText + ").");
}

long long PeopleStore::Add(const Person& person)
{
    return AddAll({person}).front();
}

std::vector<long long> PeopleStore::AddAll(const std::vector<Person>& people)
{
    std::vector<long long> ids;
    ids.reserve(people.size());
    const std::string now = NowIso8601();
    InTransaction([&] {
        Statement insert(db_, "INSERT INTO people (name, sex, calendar, date, leap, hour, minute, place, longitude, "
                              "latitude, time_zone, zi_school, precise, note, created, changed) "
                              "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        if (!insert.Ok()) Fail("add to");
        for (Person person : people) {
            if (person.created.empty()) person.created = now;
            if (person.changed.empty()) person.changed = person.created;
            BindFields(insert, person);
            if (insert.Step() != SQLITE_DONE) Fail("add to");
            insert.Reset();
            ids.push_back(sqlite3_last_insert_rowid(db_));
        }
    });
    return ids;
}

std::optional<Person> PeopleStore::Find(long long id)
{
    Statement select(db_, std::string("SELECT ") + kColumns + " FROM people WHERE id = ?");
    if (!select.Ok()) Fail("read");
    select.Bind(1, id);
    const int code = select.Step();
    if (code == SQLITE_ROW) return PersonFromRow(select);
    if (code != SQLITE_DONE) Fail("read");
    return std::nullopt;
}

std::vector<Person> PeopleStore::List(std::string_view text)
{
    // The table is read straight through and sorted here: for thousands of
    // people that takes half the time of the engine's sort or of an index.
    std::string sql = std::string("SELECT ") + kColumns + " FROM people";
    if (!text.empty()) sql += " WHERE instr(name, ?1) OR instr(note, ?1) OR instr(place, ?1) OR instr(date, ?1)";
    Statement select(db_, sql);
    if (!select.Ok()) Fail("read");
    if (!text.empty()) select.Bind(1, text);
    std::vector<Person> found;
    if (text.empty()) found.reserve(static_cast<std::size_t>(ReadNumber("SELECT count(*) FROM people")));
    int code;
    while ((code = select.Step()) == SQLITE_ROW) found.push_back(PersonFromRow(select));
    if (code != SQLITE_DONE) Fail("read");
    // By name in the engine's own order (bytes, as its BINARY collation), then
    // id; the people are moved once, into their places.
    std::vector<std::size_t> order(found.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return std::tie(found[a].name, found[a].id) < std::tie(found[b].name, found[b].id);
    });
    std::vector<Person> people;
    people.reserve(found.size());
    for (const std::size_t index : order) people.push_back(std::move(found[index]));
    return people;
}

EditOutcome PeopleStore::Edit(long long id, const PersonChange& change, std::string* message)
{
    EditOutcome outcome = EditOutcome::Changed;
    InTransaction([&] {
        std::optional<Person> person = Find(id);
        if (!person) {
            outcome = EditOutcome::NoSuchPerson;
            return;
        }
        if (auto refusal = change(*person)) {
            outcome = EditOutcome::Refused;
            if (message) *message = std::move(*refusal);
            return;
        }
        person->changed = NowIso8601();
        Statement update(db_, "UPDATE people SET name = ?1, sex = ?2, calendar = ?3, date = ?4, leap = ?5, hour = ?6, "
                              "minute = ?7, place = ?8, longitude = ?9, latitude = ?10, time_zone = ?11, "
                              "zi_school = ?12, precise = ?13, note = ?14, created = ?15, changed = ?16 WHERE id = ?17");
        if (!update.Ok()) Fail("change");
        BindFields(update, *person);
        update.Bind(17, id);
        if (update.Step() != SQLITE_DONE) Fail("change");
    });
    return outcome;
}

bool PeopleStore::Remove(long long id)
{
    bool removed = false;
    InTransaction([&] {
        Statement remove(db_, "DELETE FROM people WHERE id = ?");
        if (!remove.Ok()) Fail("change");
        remove.Bind(1, id);
        if (remove.Step() != SQLITE_DONE) Fail("change");
        removed = sqlite3_changes(db_) > 0;
    });
    return removed;
}

}  // namespace velmora::people
