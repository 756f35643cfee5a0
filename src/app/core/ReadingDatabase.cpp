#include "ReadingDatabase.h"

#include "DatabaseLocation.h"

#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <system_error>

#include "MessageText.h"

namespace velmora {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kJetProvider = "Microsoft.Jet.OLEDB.4.0";

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::string_view Unquote(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// The program only ever reads: the engine refuses to compile anything that
// would change the file or the connection (writes, PRAGMA, ATTACH, BEGIN...).
int AllowOnlyReading(void*, int action, const char*, const char*, const char*, const char*)
{
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_FUNCTION:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    default:
        return SQLITE_DENY;
    }
}

bool IsBlank(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c != '\0' && std::isspace(static_cast<unsigned char>(c)); });
}

}  // namespace

ConnectionSettings ParseConnectionString(std::string_view connectionString)
{
    ConnectionSettings settings;
    bool hasDataSource = false;
    std::string_view rest = connectionString;
    while (!rest.empty()) {
        const auto end = rest.find(';');
        const std::string_view part = Trim(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (part.empty()) continue;
        const auto equals = part.find('=');
        if (equals == std::string_view::npos)
            throw EDatabaseError("The connection string has a part without a value: " + Quoted(part) + ".");
        const std::string_view name = Trim(part.substr(0, equals));
        const std::string value(Unquote(Trim(part.substr(equals + 1))));
        if (EqualsIgnoringCase(name, "Provider")) {
            settings.provider = value;
        } else if (EqualsIgnoringCase(name, "Data Source")) {
            settings.dataSource = value;
            hasDataSource = true;
        } else if (EqualsIgnoringCase(name, "Jet OLEDB:Database Password")) {
            settings.password = value;
        }
    }
    if (!settings.provider.empty() && !EqualsIgnoringCase(settings.provider, kJetProvider))
        throw EDatabaseError("The database provider " + Quoted(settings.provider) + " is not supported.");
    if (!hasDataSource || settings.dataSource.empty())
        throw EDatabaseError("The connection string names no Data Source.");
    return settings;
}

std::string KeyStatements(std::string_view password)
{
    char* key = sqlite3_mprintf("PRAGMA key = %Q; PRAGMA kdf_iter = %d;", std::string(password).c_str(),
                                kKeyDerivationRounds);
    std::string statements = key;
    sqlite3_free(key);
    return statements;
}

std::string WithDataSource(std::string_view connectionString, std::string_view dataSource)
{
    if (dataSource.empty() || dataSource.find(';') != std::string_view::npos)
        throw EDatabaseError("A database path may not be empty or hold ';': " + Quoted(dataSource) + ".");
    std::string rebuilt;
    std::string_view rest = connectionString;
    while (!rest.empty()) {
        const auto end = rest.find(';');
        const std::string_view part = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        const auto equals = part.find('=');
        const bool isDataSource =
            equals != std::string_view::npos && EqualsIgnoringCase(Trim(part.substr(0, equals)), "Data Source");
        if (!rebuilt.empty()) rebuilt += ';';
        rebuilt += isDataSource ? "Data Source=" + std::string(dataSource) : std::string(part);
    }
    return rebuilt;
}

fs::path ResolveDataSource(std::string_view dataSource, const fs::path& workingDirectory)
{
    std::string portable(dataSource);
    std::replace(portable.begin(), portable.end(), '\\', '/');
    const fs::path path(portable);
    return (path.is_relative() ? workingDirectory / path : path).lexically_normal();
}

// ---------------------------------------------------------------------------
// Connection

TDatabaseConnection::TDatabaseConnection(std::string connectionString, DatabaseUse use)
    : connectionString_(std::move(connectionString)), use_(use)
{
}

TDatabaseConnection::~TDatabaseConnection()
{
    Close();
    for (TDatabaseQuery* query : queries_) query->ForgetConnection();
}

void TDatabaseConnection::Attach(TDatabaseQuery* query) { queries_.push_back(query); }

void TDatabaseConnection::Detach(TDatabaseQuery* query)
{
    queries_.erase(std::remove(queries_.begin(), queries_.end(), query), queries_.end());
}

void TDatabaseConnection::Open()
{
    if (db_) return;
    const ConnectionSettings settings = ParseConnectionString(connectionString_);
    const fs::path file = LocateDatabase(settings.dataSource, CurrentDatabasePlaces());
    std::error_code error;
    const auto status = fs::status(file, error);
    // Anything but a missing file is the system's reason: a loop of links,
    // a folder we may not enter, a file in place of a folder.
    if (error && error != std::errc::no_such_file_or_directory)
        throw EDatabaseError("Cannot open the reading database " + Quoted(file.string()) + ": " + error.message() +
                             ".");
    if (!fs::is_regular_file(status))
        throw EDatabaseError("Cannot open the reading database: " + Quoted(file.string()) + " is not a file.");
    // The engine would take an empty file for a new database and write its
    // first page when the lock is taken.
    if (fs::file_size(file, error) == 0 && !error)
        throw EDatabaseError("Cannot open the reading database " + Quoted(file.string()) +
                             ": the file is empty, not a reading database.");
    Connect(file, settings);
}

void TDatabaseConnection::Connect(const fs::path& file, const ConnectionSettings& settings)
{
    filePath_ = file;
    // Never SQLITE_OPEN_CREATE: a missing file must stay missing.
    const int access = use_ == DatabaseUse::Exclusive ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
    if (sqlite3_open_v2(file.c_str(), &db_, access, nullptr) != SQLITE_OK) FailOpen("open");
    // A reader waits this long for a writer-free moment; the window waits as
    // long for readers of velmora-cli to finish before it takes the file.
    sqlite3_busy_timeout(db_, kBusyTimeoutMilliseconds);
    if (!settings.password.empty()) {
        if (sqlite3_exec(db_, KeyStatements(settings.password).c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            FailOpen("set the key of");
    }
    if (use_ == DatabaseUse::Exclusive) TakeExclusiveUse();
    CheckContent();
    if (use_ == DatabaseUse::MemoryCopy) CopyIntoMemory(db_);
    sqlite3_set_authorizer(db_, AllowOnlyReading, nullptr);
}

// The engine's backup reads every page through the key into a plain
// database in memory, which then stands in for the file.
void TDatabaseConnection::CopyIntoMemory(sqlite3* source)
{
    sqlite3* memory = nullptr;
    if (sqlite3_open_v2(":memory:", &memory, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(memory);
        FailOpen("copy into memory");
    }
    sqlite3_backup* backup = sqlite3_backup_init(memory, "main", source, "main");
    const int code = backup ? sqlite3_backup_step(backup, -1) : sqlite3_errcode(memory);
    sqlite3_backup_finish(backup);
    if (code != SQLITE_DONE) {
        sqlite3_close(memory);
        FailOpen("copy into memory");
    }
    if (db_ == source) sqlite3_close(db_);
    db_ = memory;
}

void TDatabaseConnection::OpenCopyOf(const TDatabaseConnection& source)
{
    if (db_) return;
    if (use_ != DatabaseUse::MemoryCopy || !source.db_)
        throw EDatabaseError("Cannot copy the reading database: it is not open.");
    filePath_ = source.filePath_;
    CopyIntoMemory(source.db_);
    sqlite3_set_authorizer(db_, AllowOnlyReading, nullptr);
}

// In exclusive locking mode the engine keeps every lock it takes until the
// connection closes. An empty exclusive transaction takes the strongest lock,
// so from here on every other connection is refused with "database is
// locked". A file we may not write to cannot carry that lock; it is read
// under a shared lock instead (taken by the first read), which still keeps
// every writer out.
void TDatabaseConnection::TakeExclusiveUse()
{
    if (sqlite3_exec(db_, "PRAGMA locking_mode = EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK)
        FailOpen("lock");
    if (sqlite3_db_readonly(db_, "main") != 1 &&
        sqlite3_exec(db_, "BEGIN EXCLUSIVE; COMMIT;", nullptr, nullptr, nullptr) != SQLITE_OK)
        FailOpen("lock");
}

// The first read proves the key: with a wrong one the first page does not
// decipher.
void TDatabaseConnection::CheckContent()
{
    sqlite3_stmt* count = nullptr;
    int code = sqlite3_prepare_v2(db_, "SELECT count(*) FROM sqlite_master", -1, &count, nullptr);
    if (code == SQLITE_OK) code = sqlite3_step(count);
    const bool empty = code == SQLITE_ROW && sqlite3_column_int(count, 0) == 0;
    sqlite3_finalize(count);
    if (code != SQLITE_ROW) FailOpen("read");
    if (empty) {
        const std::string path = filePath_.string();
        Close();
        throw EDatabaseError("Cannot open the reading database " + Quoted(path) + ": it holds no tables.");
    }
}

void TDatabaseConnection::FailOpen(std::string_view step)
{
    const int code = db_ ? sqlite3_extended_errcode(db_) & 0xff : SQLITE_NOMEM;
    const std::string engineText = db_ ? sqlite3_errmsg(db_) : "out of memory";
    const int systemError = db_ ? sqlite3_system_errno(db_) : 0;
    std::string reason;
    switch (code) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        // Only the window takes the file for itself; readers never lock each other out.
        reason = use_ == DatabaseUse::Exclusive ? "it is in use by another program" : std::string(kHeldByWindowReason);
        break;
    case SQLITE_NOTADB:
        reason = "the password does not open it, or it is not a reading database";
        break;
    case SQLITE_CORRUPT:
        reason = "it is damaged";
        break;
    default:
        reason = "cannot " + std::string(step) + " it";
        if (systemError != 0) reason += ": " + std::string(std::strerror(systemError));
    }
    const std::string path = filePath_.string();
    Close();
    throw EDatabaseError("Cannot open the reading database " + Quoted(path) + ": " + reason + " (" + engineText +
                         ").");
}

void TDatabaseConnection::Close()
{
    for (TDatabaseQuery* query : queries_) query->ReleaseStatements();
    if (db_) sqlite3_close(db_);  // every statement is finalized: this cannot be refused
    db_ = nullptr;
    filePath_.clear();
}

sqlite3_stmt* TDatabaseConnection::Prepare(const std::string& sql)
{
    if (sql.size() >= INT_MAX) throw EDatabaseError("The statement is too long.");
    sqlite3_stmt* statement = nullptr;
    const char* tail = nullptr;
    const int code = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()) + 1, &statement, &tail);
    auto refuse = [&](std::string_view why) {
        sqlite3_finalize(statement);
        return EDatabaseError("The reading database refuses the statement " + Quoted(sql) + ": " + std::string(why) +
                              ".");
    };
    if (code == SQLITE_AUTH) throw refuse("the program only reads from the database");
    if (code != SQLITE_OK) throw refuse(sqlite3_errmsg(db_));
    if (!statement) throw refuse("it holds no statement");
    // Whatever follows the first statement (a second one, or text after a
    // zero byte) would silently be ignored: refuse it instead.
    if (tail && !IsBlank(std::string_view(sql).substr(static_cast<std::size_t>(tail - sql.c_str()))))
        throw refuse("it holds more than one statement");
    if (!sqlite3_stmt_readonly(statement)) throw refuse("the program only reads from the database");
    return statement;
}

// ---------------------------------------------------------------------------
// Query

TDatabaseQuery::TDatabaseQuery(TDatabaseConnection& connection) : connection_(&connection)
{
    connection_->Attach(this);
}

TDatabaseQuery::~TDatabaseQuery()
{
    ReleaseStatements();
    if (connection_) connection_->Detach(this);
}

void TDatabaseQuery::SetSQL(std::string sql)
{
    Close();
    sql_ = std::move(sql);
}

void TDatabaseQuery::Open()
{
    Close();
    if (!connection_) throw EDatabaseError("The query has no database connection.");
    connection_->Open();
    auto found = compiled_.find(sql_);
    if (found == compiled_.end()) found = compiled_.emplace(sql_, connection_->Prepare(sql_)).first;
    ReadResult(found->second);
}

// Copies the first row and steps on to the end: only a result the engine
// finishes with SQLITE_DONE is a result. The statement is reset at once, so
// a shared reader holds its lock no longer than the lookup.
void TDatabaseQuery::ReadResult(sqlite3_stmt* statement)
{
    std::optional<std::vector<Field>> first;
    int code = sqlite3_step(statement);
    if (code == SQLITE_ROW) {
        first.emplace(static_cast<std::size_t>(sqlite3_column_count(statement)));
        for (int index = 0; index < static_cast<int>(first->size()); ++index) {
            Field& field = (*first)[static_cast<std::size_t>(index)];
            field.type = sqlite3_column_type(statement, index);
            if (field.type == SQLITE_INTEGER) field.integer = sqlite3_column_int64(statement, index);
            if (field.type != SQLITE_NULL && field.type != SQLITE_INTEGER) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, index));
                if (!text) FailRun(statement);  // the engine could not give the value
                field.text.assign(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, index)));
            }
        }
        while ((code = sqlite3_step(statement)) == SQLITE_ROW) {
        }
    }
    if (code != SQLITE_DONE) FailRun(statement);
    columns_.clear();
    for (int index = 0; index < sqlite3_column_count(statement); ++index)
        columns_.emplace_back(sqlite3_column_name(statement, index));
    sqlite3_reset(statement);
    firstRow_ = std::move(first);
    active_ = true;
}

// The statements of a lookup compile, so an error while one runs comes from
// the file: a lock, the system, or a page that fails its check (which the
// cipher layer reports as a plain SQLITE_ERROR).
void TDatabaseQuery::FailRun(sqlite3_stmt* statement)
{
    sqlite3* db = sqlite3_db_handle(statement);
    const int code = sqlite3_extended_errcode(db) & 0xff;
    const int systemError = sqlite3_system_errno(db);
    const std::string engineText = sqlite3_errmsg(db);
    sqlite3_reset(statement);
    const std::string file = "The reading database " + Quoted(connection_->FilePath().string());
    const std::string reading = " (reading " + Quoted(sql_) + ")";
    switch (code) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        throw EDatabaseError(file + " cannot be read: " + std::string(kHeldByWindowReason) + reading + ".");
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
        throw EDatabaseError(file + " cannot be read: " +
                             (systemError ? std::string(std::strerror(systemError)) : engineText) + reading + ".");
    case SQLITE_NOMEM:
        throw EDatabaseError(file + " cannot be read: out of memory" + reading + ".");
    default:
        throw EDatabaseError(file + " is damaged: " + engineText + reading + ".");
    }
}

void TDatabaseQuery::Close()
{
    active_ = false;
    firstRow_.reset();
    columns_.clear();
}

void TDatabaseQuery::ReleaseStatements()
{
    Close();
    for (auto& [text, statement] : compiled_) sqlite3_finalize(statement);
    compiled_.clear();
}

void TDatabaseQuery::ForgetConnection() { connection_ = nullptr; }

int TDatabaseQuery::ColumnIndex(std::string_view column) const
{
    if (!active_) throw EDatabaseError("No result is open to read the column " + Quoted(column) + " from.");
    for (std::size_t index = 0; index < columns_.size(); ++index)
        if (EqualsIgnoringCase(columns_[index], column)) return static_cast<int>(index);
    throw EDatabaseError("The result of " + Quoted(sql_) + " has no column " + Quoted(column) + ".");
}

int TDatabaseQuery::FieldAsInteger(std::string_view column) const
{
    const int index = ColumnIndex(column);
    if (!firstRow_) return 0;
    const Field& field = (*firstRow_)[static_cast<std::size_t>(index)];
    if (field.type == SQLITE_NULL) return 0;
    if (field.type == SQLITE_INTEGER && field.integer >= INT_MIN && field.integer <= INT_MAX)
        return static_cast<int>(field.integer);
    throw EDatabaseError("The column " + Quoted(column) + " of " + Quoted(sql_) + " holds no whole number.");
}

std::string TDatabaseQuery::FieldAsString(std::string_view column) const
{
    const int index = ColumnIndex(column);
    if (!firstRow_) return {};
    const Field& field = (*firstRow_)[static_cast<std::size_t>(index)];
    if (field.type == SQLITE_INTEGER) return std::to_string(field.integer);
    return field.text;
}

}  // namespace velmora
