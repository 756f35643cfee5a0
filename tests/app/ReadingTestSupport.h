// What the reading-database tests share: the keys of every column written
// out independently of the program's own tables, the traditional weights
// read with a parser of the tests' own, and a scratch folder.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace velmora::testing {

std::vector<std::string> YearKeys();       // 甲子 .. 癸亥
std::vector<std::string> NumberKeys(int count);  // "1" .. count
std::vector<std::string> HourKeys();       // 子时 .. 亥时
std::vector<std::string> BoneWeightKeys(); // 二两一 .. 七两一
std::vector<std::string> StarSignKeys();   // 白羊座 .. 双鱼座
std::vector<std::string> AnimalKeys();     // 鼠 .. 猪

// data/bone-weights.tsv as table -> key -> weight.
using WeightTables = std::map<std::string, std::map<std::string, int>>;
WeightTables ReadTraditionalWeights(const std::filesystem::path& tsv);

// The program's connection string with its Data Source replaced.
std::string ConnectionStringFor(const std::filesystem::path& file, const std::string& password = "71640358");

std::string ReadBytes(const std::filesystem::path& file);

// Runs SQL on a reading database with the program's key, to make a bad copy;
// throws std::runtime_error with the engine's message when it fails.
void ChangeDatabase(const std::filesystem::path& file, const std::string& statements);

// A fresh empty folder, removed with everything in it on destruction.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::vector<std::string> Entries() const;  // file names, sorted

private:
    std::filesystem::path path_;
};

// A folder on a file system of its own with no space left (a 64 KiB tmpfs,
// filled up by the file "filler") while the object lives. Mounting needs
// root: elsewhere Mounted() is false and the test skips.
class FullDisk {
public:
    FullDisk();
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;
    bool Mounted() const { return mounted_; }
    const std::filesystem::path& Path() const { return folder_.Path(); }
    // Fills it up again (after a test made room to put a file there first).
    void Fill() const;

private:
    ScratchFolder folder_;
    bool mounted_ = false;
};

// Runs in the given folder for the life of the object.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const std::filesystem::path& folder);
    ~WorkingDirectory();

private:
    std::filesystem::path previous_;
};

}  // namespace velmora::testing
