// The reading database: one enciphered SQL database file ("Orsk.dll") beside
// the program that holds every weight and commentary text of a reading.
//
// TDatabaseConnection is the main form's `con1`: it is built from a connection
// string, opens itself at the first lookup, holds the file exclusively (every
// other connection is refused) and never writes to it. velmora-cli's
// connections read under a shared lock instead, so any number of them read
// at once; they wait a bounded moment for a writer-free file.
// TDatabaseQuery is the form's `qry1`: set a statement text, open it as a
// result positioned on its first row, read named columns, close it. A result
// is read to its end when it is opened: an engine error anywhere in it (a
// damaged page) is an error of the lookup, never a short or empty result.
//
// The engine is SQLite with SQLCipher's page encryption (each page carries a
// message authentication code, so damage is found when a page is read); the
// connection string's password is the database key. Every failure is an
// EDatabaseError whose text names what failed; nothing is retried behind the
// caller's back.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace velmora {

class EDatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The one connection string of the program, character for character.
inline constexpr std::string_view kReadingConnectionString =
    "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=.\\Orsk.dll;Persist Security Info=False;"
    "Jet OLEDB:Database Password=71640358";

// Rounds of key derivation from the password. The password ships inside the
// program, so the engine's default of 64,000 rounds would guard nothing and
// cost some 40 ms before the first reading of every start.
inline constexpr int kKeyDerivationRounds = 4000;

// The statements that key a connection with a password: the key and its
// derivation rounds. The writer of the file and its readers use the same.
std::string KeyStatements(std::string_view password);

// The parts of a connection string the engine uses.
struct ConnectionSettings {
    std::string provider;
    std::string dataSource;  // as written, with '\' as path separator
    std::string password;    // empty: the file is not enciphered
};

// Parses "name=value;name=value"; names are matched without regard to case,
// values may be quoted with " or '. Throws EDatabaseError when the Data
// Source is missing or the provider is not the one this layer stands in for.
ConnectionSettings ParseConnectionString(std::string_view connectionString);

// The file a data source names: '\' is a path separator, a relative path is
// taken from `workingDirectory`.
std::filesystem::path ResolveDataSource(std::string_view dataSource,
                                        const std::filesystem::path& workingDirectory);

// The connection string with its Data Source replaced, for a database kept
// elsewhere. Throws EDatabaseError for a data source holding ';' or none.
std::string WithDataSource(std::string_view connectionString, std::string_view dataSource);

class TDatabaseQuery;

// How a connection holds its file.
enum class DatabaseUse {
    Exclusive,      // the window: nobody else reads while it runs
    SharedReading,  // velmora-cli: read-only, beside other readers
    // The web server: read once at open under a shared lock into a copy in
    // memory, and the file let go, so serving never holds a lock.
    MemoryCopy,
};

// How long a connection waits for a lock another connection holds.
inline constexpr int kBusyTimeoutMilliseconds = 1500;

// What a shared reader is told while the window holds the file.
inline constexpr std::string_view kHeldByWindowReason = "it is in use by the Velmora window";

class TDatabaseConnection {
public:
    explicit TDatabaseConnection(std::string connectionString = std::string(kReadingConnectionString),
                                 DatabaseUse use = DatabaseUse::Exclusive);
    ~TDatabaseConnection();
    TDatabaseConnection(const TDatabaseConnection&) = delete;
    TDatabaseConnection& operator=(const TDatabaseConnection&) = delete;

    const std::string& ConnectionString() const { return connectionString_; }
    bool Connected() const { return db_ != nullptr; }
    // The file in use; empty while not connected.
    const std::filesystem::path& FilePath() const { return filePath_; }

    // Opens the file named by the connection string, looked up from the
    // working directory of this moment (the program's own one also in the
    // program's folder and the data folder, see DatabaseLocation.h); does
    // nothing when already open.
    void Open();
    // For a MemoryCopy connection: a copy in memory of `source`, which is
    // open already (the window's own, holding its file for itself); does
    // nothing when already open.
    void OpenCopyOf(const TDatabaseConnection& source);
    // Closes every result of the attached queries, then the file.
    void Close();

private:
    friend class TDatabaseQuery;
    void Attach(TDatabaseQuery* query);
    void Detach(TDatabaseQuery* query);
    // Compiles `sql`; refuses anything but one reading statement.
    sqlite3_stmt* Prepare(const std::string& sql);
    void Connect(const std::filesystem::path& file, const ConnectionSettings& settings);
    void TakeExclusiveUse();
    // Replaces the connection's database with a copy in memory of `source`.
    void CopyIntoMemory(sqlite3* source);
    void CheckContent();
    [[noreturn]] void FailOpen(std::string_view step);

    std::string connectionString_;
    DatabaseUse use_;
    std::filesystem::path filePath_;
    sqlite3* db_ = nullptr;
    std::vector<TDatabaseQuery*> queries_;
};

class TDatabaseQuery {
public:
    explicit TDatabaseQuery(TDatabaseConnection& connection);
    ~TDatabaseQuery();
    TDatabaseQuery(const TDatabaseQuery&) = delete;
    TDatabaseQuery& operator=(const TDatabaseQuery&) = delete;

    // Replaces the statement text; an open result is closed first.
    void SetSQL(std::string sql);
    const std::string& SQL() const { return sql_; }

    // Runs the statement (opening the connection when needed), reads its
    // result to the end and positions it on its first row. Only reading
    // statements are accepted.
    void Open();
    void Close();
    bool Active() const { return active_; }
    // The open result has no row.
    bool Eof() const { return Active() && !firstRow_; }

    // A named column of the current row; null or no row gives 0 / "".
    // Throws when no result is open, the result has no such column, or
    // FieldAsInteger meets a value that is no whole number of 32 bits.
    int FieldAsInteger(std::string_view column) const;
    std::string FieldAsString(std::string_view column) const;

private:
    friend class TDatabaseConnection;
    // A value of the first row, copied out of the engine.
    struct Field {
        int type = 0;  // the engine's type code
        long long integer = 0;
        std::string text;
    };

    int ColumnIndex(std::string_view column) const;
    void ReadResult(sqlite3_stmt* statement);
    [[noreturn]] void FailRun(sqlite3_stmt* statement);
    // Called by the connection before it closes or goes away.
    void ReleaseStatements();
    void ForgetConnection();

    TDatabaseConnection* connection_;
    std::string sql_;
    bool active_ = false;
    std::vector<std::string> columns_;        // of the open result
    std::optional<std::vector<Field>> firstRow_;
    // Compiled statements by text: a lookup compiles once, results are
    // always read afresh.
    std::unordered_map<std::string, sqlite3_stmt*> compiled_;
};

}  // namespace velmora
