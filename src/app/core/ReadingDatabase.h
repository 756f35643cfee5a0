// The reading database: one enciphered SQL database file ("Orsk.dll") beside
// the program that holds every weight and commentary text of a reading.
//
// TDatabaseConnection is the main form's `con1`: it is built from a connection
// string, opens itself at the first lookup, holds the file exclusively (every
// other connection gets "database is locked") and never writes to it.
// TDatabaseQuery is the form's `qry1`: set a statement text, open it as a
// result positioned on its first row, read named columns, close it.
//
// The engine is SQLite with SQLCipher's page encryption; the connection
// string's password is the database key. Every failure is an EDatabaseError
// whose text names what failed; nothing is retried behind the caller's back.
#pragma once

#include <filesystem>
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

class TDatabaseConnection {
public:
    explicit TDatabaseConnection(std::string connectionString = std::string(kReadingConnectionString));
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
    void CheckContent();
    [[noreturn]] void FailOpen(std::string_view step);

    std::string connectionString_;
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

    // Runs the statement (opening the connection when needed) and positions
    // the result on its first row. Only reading statements are accepted.
    void Open();
    void Close();
    bool Active() const { return statement_ != nullptr; }
    // The open result has no row.
    bool Eof() const { return Active() && !hasRow_; }

    // A named column of the current row; null or no row gives 0 / "".
    // Throws when no result is open, the result has no such column, or
    // FieldAsInteger meets a value that is no whole number of 32 bits.
    int FieldAsInteger(std::string_view column) const;
    std::string FieldAsString(std::string_view column) const;

private:
    friend class TDatabaseConnection;
    int ColumnIndex(std::string_view column) const;
    // Called by the connection before it closes or goes away.
    void ReleaseStatements();
    void ForgetConnection();

    TDatabaseConnection* connection_;
    std::string sql_;
    sqlite3_stmt* statement_ = nullptr;  // the open result, or null
    bool hasRow_ = false;
    // Compiled statements by text: a lookup compiles once, results are
    // always read afresh.
    std::unordered_map<std::string, sqlite3_stmt*> compiled_;
};

}  // namespace velmora
