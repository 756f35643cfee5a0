#include "MomentSettings.h"

#include <QRegularExpression>
#include <QSettings>
#include <QStringList>

#include <cmath>

#include "Places.h"

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

// "成都市" reads as 成都 at a glance; a name with its province stays whole.
QString ShortPlaceName(const std::string& place) {
    QString name = QString::fromStdString(place);
    if (name.size() > 2 && name.endsWith(QChar(u'市')) && !name.contains(QChar(u'（'))) {
        name.chop(1);
    }
    return name;
}

}  // namespace

std::unique_ptr<QSettings> OpenWindowSettings() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Velmora"),
                                       QStringLiteral("velmora"));
}

MomentOptions LoadMomentOptions(QSettings& settings) {
    MomentOptions options;
    options.minute = StoredInt(settings, MinuteKey, 0, 59);
    options.precise = settings.value(PreciseKey, false).toBool();
    // A place the list no longer knows would stop every reading with a
    // message, and a place and a longitude together contradict each other:
    // a known place wins, an unknown one is forgotten.
    const std::string place = settings.value(PlaceKey).toString().toStdString();
    if (PlaceNamed(place)) {
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
    settings.sync();
}

bool OnOwnClock(const MomentOptions& options) {
    if (options.place.empty()) {
        return !options.timeZone.empty() && options.timeZone != kChinaTimeZone;
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
