// RAND_set_rand_method is the one way to give the engine's OpenSSL calls a
// generator of our own; it is deprecated, not gone, in OpenSSL 3.
#define OPENSSL_SUPPRESS_DEPRECATED

#include "DatabaseWriter.h"
#include "ReadingDatabase.h"

#include <openssl/rand.h>
#include <openssl/sha.h>
#include <sqlcipher/sqlite3.h>

#include <array>
#include <cstring>
#include <stdexcept>
#include <system_error>

namespace velmora::readingdb {
namespace fs = std::filesystem;
namespace {

// A stream of bytes that depends only on its seed: SHA-256(seed, counter).
// While a file is written the engine takes its salt and every page IV from
// it, so the file is a function of its content.
class SeededRandom {
public:
    explicit SeededRandom(const std::array<unsigned char, SHA256_DIGEST_LENGTH>& seed)
        : previous_(RAND_get_rand_method())
    {
        seed_ = seed;
        counter_ = 0;
        RAND_set_rand_method(&kMethod);
    }
    ~SeededRandom() { RAND_set_rand_method(previous_); }
    SeededRandom(const SeededRandom&) = delete;
    SeededRandom& operator=(const SeededRandom&) = delete;

private:
    static int Bytes(unsigned char* out, int count)
    {
        while (count > 0) {
            unsigned char input[SHA256_DIGEST_LENGTH + sizeof counter_];
            std::memcpy(input, seed_.data(), seed_.size());
            std::memcpy(input + seed_.size(), &counter_, sizeof counter_);
            ++counter_;
            unsigned char block[SHA256_DIGEST_LENGTH];
            SHA256(input, sizeof input, block);
            const int take = count < SHA256_DIGEST_LENGTH ? count : SHA256_DIGEST_LENGTH;
            std::memcpy(out, block, static_cast<std::size_t>(take));
            out += take;
            count -= take;
        }
        return 1;
    }
    static int Seed(const void*, int) { return 1; }
    static int Add(const void*, int, double) { return 1; }
    static int Status() { return 1; }

    static inline std::array<unsigned char, SHA256_DIGEST_LENGTH> seed_{};
    static inline std::uint64_t counter_ = 0;
    static inline const RAND_METHOD kMethod{Seed, Bytes, nullptr, Add, Bytes, Status};
    const RAND_METHOD* previous_;
};

// A digest of everything the file will hold, in order.
std::array<unsigned char, SHA256_DIGEST_LENGTH> ContentDigest(const std::vector<TableData>& tables)
{
    std::string content;
    auto add = [&](char kind, const std::string& text) {
        content.append(1, kind).append(std::to_string(text.size())).append(1, ':').append(text);
    };
    for (const TableData& table : tables) {
        add('#', table.name);
        for (const ColumnDef& column : table.columns) add(column.integer ? 'i' : 't', column.name);
        for (const auto& row : table.rows)
            for (const Cell& cell : row) {
                if (const auto* number = std::get_if<std::int64_t>(&cell)) add('I', std::to_string(*number));
                else if (const auto* text = std::get_if<std::string>(&cell)) add('T', *text);
                else add('N', {});
            }
    }
    std::array<unsigned char, SHA256_DIGEST_LENGTH> digest{};
    SHA256(reinterpret_cast<const unsigned char*>(content.data()), content.size(), digest.data());
    return digest;
}

std::string Bracketed(const std::string& name) { return "[" + name + "]"; }

class Database {
public:
    explicit Database(const fs::path& file)
    {
        if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK)
            Fail("create " + file.string());
    }
    ~Database() { sqlite3_close(db_); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void Execute(const std::string& sql)
    {
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail(sql);
    }

    void Insert(const TableData& table)
    {
        std::string sql = "INSERT INTO " + Bracketed(table.name) + " VALUES (";
        for (std::size_t i = 0; i < table.columns.size(); ++i) sql += i ? ", ?" : "?";
        sql += ")";
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) Fail(sql);
        for (const auto& row : table.rows) {
            for (std::size_t i = 0; i < row.size(); ++i) {
                const int slot = static_cast<int>(i) + 1;
                if (const auto* number = std::get_if<std::int64_t>(&row[i])) {
                    sqlite3_bind_int64(statement, slot, *number);
                } else if (const auto* text = std::get_if<std::string>(&row[i])) {
                    sqlite3_bind_text(statement, slot, text->data(), static_cast<int>(text->size()), SQLITE_STATIC);
                } else {
                    sqlite3_bind_null(statement, slot);
                }
            }
            if (sqlite3_step(statement) != SQLITE_DONE) {
                sqlite3_finalize(statement);
                Fail(sql);
            }
            sqlite3_reset(statement);
        }
        sqlite3_finalize(statement);
    }

private:
    [[noreturn]] void Fail(const std::string& what)
    {
        throw std::runtime_error("cannot " + what + ": " + sqlite3_errmsg(db_));
    }
    sqlite3* db_ = nullptr;
};

std::string CreateStatement(const TableData& table)
{
    std::string sql = "CREATE TABLE " + Bracketed(table.name) + " (";
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        sql += (i ? ", " : "") + Bracketed(table.columns[i].name) + (table.columns[i].integer ? " INTEGER" : " TEXT");
    return sql + ")";
}

void RemoveIfPresent(const fs::path& file)
{
    std::error_code ignored;
    fs::remove(file, ignored);
}

}  // namespace

void WriteDatabase(const fs::path& output, const std::string& password, const std::vector<TableData>& tables)
{
    const fs::path partial = output.string() + ".partial";
    const fs::path journal = partial.string() + "-journal";
    RemoveIfPresent(partial);
    RemoveIfPresent(journal);
    try {
        const SeededRandom random(ContentDigest(tables));
        Database db(partial);
        if (!password.empty()) {
            db.Execute(KeyStatements(password));
        }
        db.Execute("BEGIN");
        for (const TableData& table : tables) {
            db.Execute(CreateStatement(table));
            db.Insert(table);
        }
        db.Execute("COMMIT");
    } catch (...) {
        RemoveIfPresent(partial);
        RemoveIfPresent(journal);
        throw;
    }
    fs::rename(partial, output);
}

}  // namespace velmora::readingdb
