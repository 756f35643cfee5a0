// The kept exact-moment choices read back from a settings file: what the
// window wrote, and a file damaged or edited by hand.
#include "MomentSettings.h"

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace velmora
