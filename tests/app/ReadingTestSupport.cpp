#include "ReadingTestSupport.h"

#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <stdlib.h>
#include <sys/mount.h>

#include <cstdio>

#include "ReadingDatabase.h"

namespace velmora::testing {
namespace fs = std::filesystem;
namespace {

// Splits a UTF-8 text of Chinese characters into its characters.
std::vector<std::string> Characters(const std::string& text)
{
    std::vector<std::string> characters;
    for (std::size_t at = 0; at < text.size(); at += 3) characters.push_back(text.substr(at, 3));
    return characters;
}

}  // namespace

std::vector<std::string> YearKeys()
{
    const auto stems = Characters("甲乙丙丁戊己庚辛壬癸");
    const auto branches = Characters("子丑寅卯辰巳午未申酉戌亥");
    std::vector<std::string> keys;
    for (int i = 0; i < 60; ++i) keys.push_back(stems[i % 10] + branches[i % 12]);
    return keys;
}

std::vector<std::string> NumberKeys(int count)
{
    std::vector<std::string> keys;
    for (int n = 1; n <= count; ++n) keys.push_back(std::to_string(n));
    return keys;
}

std::vector<std::string> HourKeys()
{
    std::vector<std::string> keys;
    for (const std::string& branch : Characters("子丑寅卯辰巳午未申酉戌亥")) keys.push_back(branch + "时");
    return keys;
}

std::vector<std::string> BoneWeightKeys()
{
    const auto numerals = Characters("〇一二三四五六七八九");
    std::vector<std::string> keys;
    for (int tenths = 21; tenths <= 71; ++tenths)
        keys.push_back(numerals[tenths / 10] + "两" + (tenths % 10 ? numerals[tenths % 10] : ""));
    return keys;
}

std::vector<std::string> StarSignKeys()
{
    return {"白羊座", "金牛座", "双子座", "巨蟹座", "狮子座", "处女座",
            "天秤座", "天蝎座", "射手座", "摩羯座", "宝瓶座", "双鱼座"};
}

std::vector<std::string> AnimalKeys() { return Characters("鼠牛虎兔龙蛇马羊猴鸡狗猪"); }

WeightTables ReadTraditionalWeights(const fs::path& tsv)
{
    std::ifstream in(tsv);
    if (!in) throw std::runtime_error("cannot read " + tsv.string());
    WeightTables tables;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string table, key;
        int weight = 0;
        if (!(fields >> table >> key >> weight)) throw std::runtime_error("bad line in " + tsv.string() + ": " + line);
        tables[table][key] = weight;
    }
    return tables;
}

std::string ConnectionStringFor(const fs::path& file, const std::string& password)
{
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file.string() +
           ";Persist Security Info=False;Jet OLEDB:Database Password=" + password;
}

std::string ReadBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void ChangeDatabase(const fs::path& file, const std::string& statements)
{
    sqlite3* db = nullptr;
    const std::string sql = KeyStatements("71640358") + statements;
    std::string problem;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK ||
        sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        problem = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    if (!problem.empty()) throw std::runtime_error("Cannot change " + file.string() + ": " + problem);
}

ScratchFolder::ScratchFolder()
{
    std::string pattern = (fs::temp_directory_path() / "velmora-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a scratch folder");
    path_ = pattern;
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::vector<std::string> ScratchFolder::Entries() const
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

FullDisk::FullDisk()
{
    mounted_ = ::mount("tmpfs", folder_.Path().c_str(), "tmpfs", 0, "size=64k,mode=0777") == 0;
    if (mounted_) Fill();
}

void FullDisk::Fill() const
{
    std::FILE* filler = std::fopen((folder_.Path() / "filler").c_str(), "wb");
    const std::string block(4096, 'x');
    while (filler != nullptr && std::fwrite(block.data(), 1, block.size(), filler) == block.size() &&
           std::fflush(filler) == 0) {
    }
    if (filler != nullptr) std::fclose(filler);
}

FullDisk::~FullDisk()
{
    if (mounted_) ::umount2(folder_.Path().c_str(), MNT_DETACH);
}

WorkingDirectory::WorkingDirectory(const fs::path& folder) : previous_(fs::current_path())
{
    fs::current_path(folder);
}

WorkingDirectory::~WorkingDirectory() { fs::current_path(previous_); }

}  // namespace velmora::testing
