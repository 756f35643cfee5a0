#include "MomentSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <optional>

#include "OutputFile.h"
#include "Places.h"
#include "UnitPublic.h"

namespace velmora {

namespace {

const QString MinuteKey = QStringLiteral("moment/minute");
const QString PreciseKey = QStringLiteral("moment/precise");
const QString PlaceKey = QStringLiteral("moment/place");
const QString LongitudeKey = QStringLiteral("moment/longitude");
const QString LatitudeKey = QStringLiteral("moment/latitude");
const QString ZiKey = QStringLiteral("moment/zi");

// A kept number within its range; a file edited by hand or damaged gives nothing
// rather than a choice that no reading takes.
std::optional<int> StoredInt(const QSettings& settings, const QString& key, int lowest, int highest) {
    bool ok = false;
    const int value = settings.value(key).toInt(&ok);
    return ok && value >= lowest && value <= highest ? std::optional<int>(value) : std::nullopt;
}

std::optional<double> StoredDouble(const QSettings& settings, const QString& key, double limit) {
    bool ok = false;
    const double value = settings.value(key).toDouble(&ok);
    return ok && std::isfinite(value) && std::abs(value) <= limit ? std::optional<double>(value) : std::nullopt;
}

template <typename T>
void StoreOptional(QSettings& settings, const QString& key, const std::optional<T>& value) {
    if (value) {
        settings.setValue(key, *value);
    } else {
        settings.remove(key);
    }
}

// A kept switch is on only when it says so; "no", "off" or a damaged value is off.
bool StoredTrue(const QSettings& settings, const QString& key) {
    const QString text = settings.value(key).toString().trimmed().toLower();
    return text == QStringLiteral("true") || text == QStringLiteral("1") || text == QStringLiteral("yes") ||
           text == QStringLiteral("on");
}

// A settings file larger than this is no file the window wrote: damaged.
constexpr off_t kLargestSettingsFile = 1024 * 1024;

struct SettingsState {
    bool checked = false;
    std::optional<QString> refusal;  // why the file is left alone
    bool told = false;               // the user has heard about the file
    std::function<void(const QString&)> notice;
};

SettingsState& State() {
    static SettingsState state;
    return state;
}

void Tell(const QString& text) {
    SettingsState& state = State();
    if (state.told) {
        return;
    }
    state.told = true;
    if (state.notice) {
        state.notice(text);
    } else {
        std::fprintf(stderr, "velmora: %s\n", text.toLocal8Bit().constData());
    }
}

// What is at the path, looked at through a descriptor opened without
// waiting (a pipe with no writer would block a plain open), or why not.
std::optional<QString> SettingsFileRefusal(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const int descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        return std::nullopt;  // not there yet, or unreadable: Qt finds that itself
    }
    struct stat info {};
    const bool known = ::fstat(descriptor, &info) == 0;
    ::close(descriptor);
    if (!known) {
        return std::nullopt;
    }
    if (S_ISDIR(info.st_mode)) {
        return QStringLiteral("它是一个文件夹");
    }
    if (!S_ISREG(info.st_mode)) {
        return QStringLiteral("它不是普通文件（管道或设备）");
    }
    if (info.st_size > kLargestSettingsFile) {
        return QStringLiteral("它大于1 MB，看来已经损坏");
    }
    return std::nullopt;
}

// The stand-in for a refused file: reads nothing, writes nothing.
QSettings::Format UnkeptFormat() {
    static const QSettings::Format format = QSettings::registerFormat(
        QStringLiteral("unkept"), [](QIODevice&, QSettings::SettingsMap&) { return true; },
        [](QIODevice&, const QSettings::SettingsMap&) { return false; });
    return format;
}

// "成都市" reads as 成都 at a glance; a name with its province stays whole.
QString ShortPlaceName(const std::string& place) {
    QString name = QString::fromStdString(place);
    if (name.size() > 2 && name.endsWith(QChar(u'市')) && !name.contains(QChar(u'（'))) {
        name.chop(1);
    }
    return name;
}

}  // namespace

QString WindowSettingsPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("Velmora/velmora.ini"));
}

void CheckWindowSettingsFile() {
    SettingsState& state = State();
    state.checked = true;
    state.told = false;
    state.refusal = SettingsFileRefusal(WindowSettingsPath());
}

std::unique_ptr<QSettings> OpenWindowSettings() {
    SettingsState& state = State();
    if (!state.checked) {
        CheckWindowSettingsFile();
    }
    if (state.refusal) {
        Tell(QStringLiteral("设置文件无法读取：%1\n原因：%2。\n本次使用默认设置，原文件保持不变，所作的选择不会保存。")
                 .arg(WindowSettingsPath(), *state.refusal));
        // A name in the program's private folder that is never made: the
        // stand-in's writer refuses every write.
        const QString unkept = QString::fromStdString(GetTempFolder()) + QStringLiteral("unkept-settings");
        return std::make_unique<QSettings>(unkept, UnkeptFormat());
    }
    return std::make_unique<QSettings>(WindowSettingsPath(), QSettings::IniFormat);
}

void KeepWindowSettings(QSettings& settings) {
    settings.sync();
    if (settings.status() == QSettings::NoError || State().refusal) {
        return;
    }
    // Qt does not say why; the folder does, when a file is tried there.
    const QString folder = QFileInfo(settings.fileName()).absolutePath();
    const int error = FolderWriteError(QFile::encodeName(folder).toStdString());
    const QString reason = QString::fromStdString(ReasonInChinese(error != 0 ? error : EIO));
    Tell(QStringLiteral("设置无法保存：%1\n原因：%2。\n所作的选择只在本次运行中有效。").arg(settings.fileName(), reason));
}

void SetSettingsNotice(std::function<void(const QString&)> notice) {
    State().notice = std::move(notice);
}

MomentOptions MomentPreferences(const MomentOptions& options) {
    MomentOptions preferences;
    preferences.precise = options.precise;
    preferences.zi = options.zi;
    return preferences;
}

MomentOptions LoadMomentOptions(QSettings& settings) {
    MomentOptions options;
    options.minute = StoredInt(settings, MinuteKey, 0, 59);
    options.precise = StoredTrue(settings, PreciseKey);
    // A place the list no longer knows would stop every reading with a
    // message, and a place and a longitude together contradict each other:
    // a known place wins, an unknown one is forgotten. Without a place the
    // list of the world's places is not asked, so a start does not build it.
    const std::string place = settings.value(PlaceKey).toString().toStdString();
    if (!place.empty() && PlaceNamed(place)) {
        options.place = place;
    } else {
        options.longitude = StoredDouble(settings, LongitudeKey, 180);
        options.latitude = options.longitude ? StoredDouble(settings, LatitudeKey, 90) : std::nullopt;
    }
    options.zi = settings.value(ZiKey).toString() == QStringLiteral("early") ? ZiSchool::Early : ZiSchool::Late;
    return options;
}

void SaveMomentOptions(QSettings& settings, const MomentOptions& options) {
    StoreOptional(settings, MinuteKey, options.minute);
    settings.setValue(PreciseKey, options.precise);
    settings.setValue(PlaceKey, QString::fromStdString(options.place));
    StoreOptional(settings, LongitudeKey, options.longitude);
    StoreOptional(settings, LatitudeKey, options.latitude);
    settings.setValue(ZiKey, QString::fromUtf8(ZiSchoolName(options.zi).data()));
    KeepWindowSettings(settings);
}

bool OnOwnClock(const MomentOptions& options) {
    if (options.place.empty()) {
        return IsOwnClock(options.timeZone);
    }
    const std::optional<Place> place = PlaceNamed(options.place);
    return place && !place->OnBeijingTime();
}

QString HourClockTip(const MomentOptions& options) {
    return OnOwnClock(options) ? QStringLiteral("所填时间为出生地的当地时间（含当地的夏令时）")
                               : QStringLiteral("所填时间为北京时间");
}

QString DegreesText(double degrees) {
    return QString::number(degrees, 'f', 2).remove(QRegularExpression(QStringLiteral("\\.?0+$")));
}

QString MomentSummary(const MomentOptions& options) {
    QStringList parts;
    if (!options.place.empty()) {
        parts << QStringLiteral("真太阳时") << ShortPlaceName(options.place);
        if (OnOwnClock(options)) {
            parts << QStringLiteral("当地时间");
        }
    } else if (options.longitude) {
        const double longitude = *options.longitude;
        parts << QStringLiteral("真太阳时")
              << (longitude < 0 ? QStringLiteral("西经") : QStringLiteral("东经")) + DegreesText(std::abs(longitude)) +
                     QChar(u'°');
    } else if (options.precise) {
        parts << QStringLiteral("精确");
    }
    if (options.minute) {
        parts << QString::number(*options.minute) + QChar(u'分');
    }
    if (options.zi == ZiSchool::Early) {
        parts << QStringLiteral("早子时");
    }
    return parts.join(QStringLiteral(" · "));
}

}  // namespace velmora
