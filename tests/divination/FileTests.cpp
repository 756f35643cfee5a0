// The private temporary folder and the files written from embedded resources.
// The resources come from velmora_test_resources, which this test program
// links without referring to any of its symbols.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>

#include "Resources.h"
#include "UnitPublic.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The message of the runtime error that the call raises, or "no error".
template <typename Call>
std::string ErrorOf(Call call)
{
    try {
        call();
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "no error";
}

std::string TestDataFile(const char* name)
{
    return ReadFile(fs::path(VELMORA_TEST_DATA_DIR) / "resources" / name);
}

// Remembers an environment variable and puts it back.
class SavedVariable {
public:
    explicit SavedVariable(const char* name) : name_(name)
    {
        if (const char* value = std::getenv(name)) value_ = value;
    }
    ~SavedVariable()
    {
        if (value_)
            setenv(name_, value_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> value_;
};

// Each test gets scratch folders of its own for the base folders.
class TempFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/velmora-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        scratch_ = pattern;
        fs::create_directory(scratch_ / "runtime");
        fs::create_directory(scratch_ / "tmp");
        unsetenv("XDG_RUNTIME_DIR");
        unsetenv("TMPDIR");
    }
    void TearDown() override { fs::remove_all(scratch_); }

    std::string Scratch(const char* name) const { return (scratch_ / name).string(); }
    std::string PrivateFolderIn(const char* base) const
    {
        return Scratch(base) + "/velmora-" + std::to_string(geteuid());
    }

    SavedVariable savedRuntime_{"XDG_RUNTIME_DIR"};
    SavedVariable savedTmp_{"TMPDIR"};
    fs::path scratch_;
};

void ExpectPrivateFolder(const std::string& folder)
{
    struct stat info {};
    ASSERT_EQ(lstat(folder.c_str(), &info), 0) << folder;
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(info.st_uid, geteuid());
}

TEST_F(TempFolderTest, UsesThePrivateFolderUnderTheRuntimeDirectory)
{
    setenv("XDG_RUNTIME_DIR", Scratch("runtime").c_str(), 1);
    setenv("TMPDIR", Scratch("tmp").c_str(), 1);
    const std::string folder = GetTempFolder();
    EXPECT_EQ(folder, PrivateFolderIn("runtime") + "/");
    ExpectPrivateFolder(PrivateFolderIn("runtime"));
    // With its trailing separator a file name appends directly.
    std::ofstream(folder + "template.html") << "page";
    EXPECT_EQ(ReadFile(folder + "template.html"), "page");
    EXPECT_EQ(GetTempFolder(), folder);  // and again, now that it exists
}

TEST_F(TempFolderTest, FallsBackToTmpdirWhenTheRuntimeDirectoryIsUnusable)
{
    setenv("TMPDIR", (Scratch("tmp") + "//").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", Scratch("missing").c_str(), 1);
    EXPECT_EQ(GetTempFolder(), PrivateFolderIn("tmp") + "/");
    setenv("XDG_RUNTIME_DIR", "relative/runtime", 1);
    EXPECT_EQ(GetTempFolder(), PrivateFolderIn("tmp") + "/");
    ExpectPrivateFolder(PrivateFolderIn("tmp"));
}

// Whatever is planted at the private folder's name first, the page files go
// into a fresh private folder and the planted thing is left as it was.
struct PlantedRow {
    const char* name;
    void (*plant)(const fs::path& at, const fs::path& victim);
};

class PlantedInItsPlace : public TempFolderTest, public testing::WithParamInterface<PlantedRow> {};

TEST_P(PlantedInItsPlace, GivesAFreshPrivateFolderAndLeavesItAlone)
{
    setenv("TMPDIR", Scratch("tmp").c_str(), 1);
    fs::create_directory(scratch_ / "victim");
    fs::permissions(scratch_ / "victim", fs::perms(0755));
    const fs::path planted = PrivateFolderIn("tmp");
    GetParam().plant(planted, scratch_ / "victim");
    if (IsSkipped()) return;
    const auto plantedBefore = fs::symlink_status(planted);

    const std::string folder = GetTempFolder();
    EXPECT_EQ(folder.rfind(PrivateFolderIn("tmp") + "-", 0), 0u) << folder;
    ExpectPrivateFolder(folder.substr(0, folder.size() - 1));
    EXPECT_EQ(GetTempFolder(), folder);  // one folder for the life of the process
    EXPECT_EQ(fs::symlink_status(planted).type(), plantedBefore.type());
    EXPECT_EQ(fs::symlink_status(planted).permissions(), plantedBefore.permissions());
    EXPECT_EQ(fs::status(scratch_ / "victim").permissions(), fs::perms(0755));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlantedInItsPlace,
    testing::Values(
        PlantedRow{"SymbolicLink",
                   [](const fs::path& at, const fs::path& victim) { fs::create_directory_symlink(victim, at); }},
        PlantedRow{"File", [](const fs::path& at, const fs::path&) { std::ofstream(at) << "not a folder"; }},
        PlantedRow{"FolderOfAnotherUser",
                   [](const fs::path& at, const fs::path&) {
                       fs::create_directory(at);
                       fs::permissions(at, fs::perms(0777));
                       if (chown(at.c_str(), geteuid() + 1, static_cast<gid_t>(-1)) != 0)
                           GTEST_SKIP() << "only the superuser can give a folder away";
                   }}),
    [](const auto& info) { return std::string(info.param.name); });

// A TMPDIR that cannot hold folders is passed over for /tmp.
TEST_F(TempFolderTest, PassesOverATmpdirThatIsMissingOrTooLong)
{
    const std::string tooLong = Scratch("tmp") + "/" + std::string(5000, 'x');
    for (const std::string& tmpdir : {Scratch("missing"), tooLong, Scratch("file")}) {
        std::ofstream(Scratch("file")) << "not a folder";
        setenv("TMPDIR", tmpdir.c_str(), 1);
        const std::string folder = GetTempFolder();
        EXPECT_EQ(folder.rfind("/tmp/velmora-" + std::to_string(geteuid()), 0), 0u) << folder;
    }
}

TEST_F(TempFolderTest, ClosesAnOwnFolderThatOthersCouldEnter)
{
    setenv("TMPDIR", Scratch("tmp").c_str(), 1);
    fs::create_directory(PrivateFolderIn("tmp"));
    fs::permissions(PrivateFolderIn("tmp"), fs::perms(0777));
    GetTempFolder();
    ExpectPrivateFolder(PrivateFolderIn("tmp"));
}

// ---------------------------------------------------------------------------
// Embedded resources

TEST(FindResource, MatchesNameAndTypeWithoutRegardToCase)
{
    const auto page = FindResource("html", "myhtml");
    ASSERT_TRUE(page.has_value());
    EXPECT_EQ(*page, TestDataFile("page.html"));
    EXPECT_EQ(FindResource("HtMl", "MYHTML"), page);
}

TEST(FindResource, KeepsEveryByteOfABinaryFile)
{
    const auto bytes = FindResource("BG", "MYHTML");
    ASSERT_TRUE(bytes.has_value());
    ASSERT_EQ(bytes->size(), 512u);  // all 256 byte values twice, zero bytes included
    EXPECT_EQ(*bytes, TestDataFile("all-bytes.bin"));
}

TEST(FindResource, FindsAnEmptyResourceAndNothingUnknown)
{
    const auto empty = FindResource("EMPTY", "TEXT");
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->empty());
    EXPECT_FALSE(FindResource("HTML", "TEXT").has_value());  // known name, other type
    EXPECT_FALSE(FindResource("HTM", "MYHTML").has_value());
    EXPECT_FALSE(FindResource("", "").has_value());
}

class SaveResourceToFileTest : public TempFolderTest {};

TEST_F(SaveResourceToFileTest, WritesTheBytesAndReplacesWhatWasThere)
{
    const std::string file = Scratch("tmp") + "/BG.gif";
    std::ofstream(file) << std::string(2000, 'x');  // longer than the resource
    EXPECT_TRUE(SaveResourceToFile("bg", "MyHtml", file));
    EXPECT_EQ(ReadFile(file), TestDataFile("all-bytes.bin"));
}

TEST_F(SaveResourceToFileTest, MissingResourceRaisesItsMessage)
{
    const std::string file = Scratch("tmp") + "/x.html";
    EXPECT_EQ(ErrorOf([&] { SaveResourceToFile("nosuch", "MYHTML", file); }),
              "Resource nosuch not found");
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(SaveResourceToFileTest, UncreatableFileRaisesItsNameAndTheReason)
{
    const std::string file = Scratch("missing") + "/template.html";
    EXPECT_EQ(ErrorOf([&] { SaveResourceToFile("html", "MYHTML", file); }),
              "Cannot create file \"" + file + "\". No such file or directory");
    const std::string folder = Scratch("tmp");
    EXPECT_EQ(ErrorOf([&] { SaveResourceToFile("html", "MYHTML", folder); }),
              "Cannot create file \"" + folder + "\". Is a directory");
    // A control character in the name is shown, not sent to the terminal.
    const std::string bell = Scratch("missing") + "/bg\a\x1b[2J.gif";
    EXPECT_EQ(ErrorOf([&] { SaveResourceToFile("bg", "MYHTML", bell); }),
              "Cannot create file \"" + Scratch("missing") + "/bg\\x07\\x1b[2J.gif\". No such file or directory");
}

TEST_F(SaveResourceToFileTest, ReportsAFullDisk)
{
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    EXPECT_EQ(ErrorOf([] { SaveResourceToFile("bg", "MYHTML", "/dev/full"); }),
              "Cannot create file \"/dev/full\". No space left on device");
}

}  // namespace
}  // namespace velmora
