// The kept exact-moment choices read back from a settings file: what the
// window wrote, and a file damaged or edited by hand.
#include "MomentSettings.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "ReadingTestSupport.h"

namespace velmora {
namespace {

TEST(MomentSettings, NumbersOutsideTheirRangesAreDroppedAndTheRestKept) {
    QTemporaryDir folder;
    QSettings file(folder.filePath(QStringLiteral("velmora.ini")), QSettings::IniFormat);
    MomentOptions written;
    written.minute = 59;
    written.longitude = -180;
    written.latitude = 90;
    written.zi = ZiSchool::Early;
    SaveMomentOptions(file, written);
    EXPECT_EQ(LoadMomentOptions(file).longitude, written.longitude);
    EXPECT_EQ(LoadMomentOptions(file).latitude, written.latitude);
    EXPECT_EQ(LoadMomentOptions(file).minute, written.minute);

    file.setValue(QStringLiteral("moment/minute"), 60);
    file.setValue(QStringLiteral("moment/longitude"), QStringLiteral("180.5"));
    file.setValue(QStringLiteral("moment/latitude"), QStringLiteral("north"));
    file.setValue(QStringLiteral("moment/place"), QStringLiteral("成都市"));
    const MomentOptions read = LoadMomentOptions(file);
    EXPECT_FALSE(read.minute.has_value());
    EXPECT_FALSE(read.longitude.has_value());
    EXPECT_FALSE(read.latitude.has_value());
    EXPECT_EQ(read.place, "成都市");
    EXPECT_EQ(read.zi, ZiSchool::Early);
    EXPECT_EQ(MomentSummary(read), QStringLiteral("真太阳时 · 成都 · 早子时"));

    // A place the list does not know is forgotten and the longitude kept;
    // a known place wins over a longitude kept beside it.
    file.setValue(QStringLiteral("moment/longitude"), 104.5);
    file.setValue(QStringLiteral("moment/place"), QStringLiteral("不存在县"));
    EXPECT_EQ(LoadMomentOptions(file).place, "");
    EXPECT_EQ(LoadMomentOptions(file).longitude, 104.5);
    file.setValue(QStringLiteral("moment/place"), QStringLiteral("成都市"));
    EXPECT_FALSE(LoadMomentOptions(file).longitude.has_value());
}

TEST(MomentSettings, OnlyAKnownTrueTurnsPreciseOn) {
    QTemporaryDir folder;
    QSettings file(folder.filePath(QStringLiteral("velmora.ini")), QSettings::IniFormat);
    for (const auto& [text, on] : {std::pair{"no", false}, {"off", false}, {"2", false}, {"", false},
                                   {"true", true}, {"1", true}, {"Yes", true}}) {
        file.setValue(QStringLiteral("moment/precise"), QString::fromUtf8(text));
        EXPECT_EQ(LoadMomentOptions(file).precise, on) << text;
    }
}

// The window's settings with the user's configuration folder in a scratch
// folder, the notices it gives collected; a fresh start's look at the file.
class WindowSettingsFile : public ::testing::Test {
protected:
    WindowSettingsFile() : previous_(qgetenv("XDG_CONFIG_HOME")) {
        SetSettingsNotice([this](const QString& text) { notices_ << text; });
    }
    ~WindowSettingsFile() override {
        qputenv("XDG_CONFIG_HOME", previous_);
        SetSettingsNotice(nullptr);
        CheckWindowSettingsFile();
    }

    // The settings file under `config`, which the next start reads.
    std::filesystem::path UseConfigFolder(const std::filesystem::path& config) {
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.string()));
        std::filesystem::create_directories(config / "Velmora");
        return config / "Velmora" / "velmora.ini";
    }

    QByteArray previous_;
    QStringList notices_;
};

// What lies at the settings file's path instead of a file the window wrote.
struct PlantedSettings {
    const char* name;
    std::function<void(const std::filesystem::path&)> plant;
};

class RefusedSettings : public WindowSettingsFile, public ::testing::WithParamInterface<PlantedSettings> {};

// Read without waiting, refused once with a word, the classic choices used
// and the thing at the path left as it was.
TEST_P(RefusedSettings, AreToldOnceAndLeftAlone) {
    const velmora::testing::ScratchFolder config;
    const std::filesystem::path file = UseConfigFolder(config.Path());
    GetParam().plant(file);
    const auto before = std::filesystem::symlink_status(file);
    const std::uintmax_t size = std::filesystem::is_regular_file(file) ? std::filesystem::file_size(file) : 0;
    CheckWindowSettingsFile();
    const auto settings = OpenWindowSettings();
    EXPECT_FALSE(LoadMomentOptions(*settings).precise);
    MomentOptions chosen;
    chosen.precise = true;
    SaveMomentOptions(*settings, chosen);
    SaveMomentOptions(*OpenWindowSettings(), chosen);
    ASSERT_EQ(notices_.size(), 1) << notices_.join('\n').toStdString();
    EXPECT_TRUE(notices_[0].startsWith(QStringLiteral("设置文件无法读取"))) << notices_[0].toStdString();
    EXPECT_EQ(std::filesystem::symlink_status(file).type(), before.type());
    if (size > 0) {
        EXPECT_EQ(std::filesystem::file_size(file), size);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, RefusedSettings,
    ::testing::Values(
        PlantedSettings{"Pipe", [](const auto& file) { ::mkfifo(file.c_str(), 0600); }},
        PlantedSettings{"Folder", [](const auto& file) { std::filesystem::create_directory(file); }},
        PlantedSettings{"Device", [](const auto& file) { std::filesystem::create_symlink("/dev/zero", file); }},
        PlantedSettings{"OverOneMegabyte",
                        [](const auto& file) {
                            std::ofstream out(file);
                            out << "[moment]\nprecise=true\n" << std::string(1100000, ';') << "\n";
                        }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowSettingsFile, ThatCannotBeWrittenIsToldOnceAndTheWindowGoesOn) {
    const velmora::testing::FullDisk disk;
    if (!disk.Mounted()) {
        GTEST_SKIP() << "mounting a small file system needs root";
    }
    std::filesystem::remove(disk.Path() / "filler");
    UseConfigFolder(disk.Path());
    disk.Fill();
    CheckWindowSettingsFile();
    MomentOptions chosen;
    chosen.minute = 30;
    const auto settings = OpenWindowSettings();
    SaveMomentOptions(*settings, chosen);
    SaveMomentOptions(*settings, chosen);
    EXPECT_EQ(LoadMomentOptions(*settings).minute, 30);  // in force for this run
    ASSERT_EQ(notices_.size(), 1) << notices_.join('\n').toStdString();
    EXPECT_TRUE(notices_[0].startsWith(QStringLiteral("设置无法保存"))) << notices_[0].toStdString();
    EXPECT_TRUE(notices_[0].contains(QStringLiteral("磁盘空间不足"))) << notices_[0].toStdString();
}

}  // namespace
}  // namespace velmora
