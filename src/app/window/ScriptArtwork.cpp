#include "ScriptArtwork.h"

#include "ImgButton.h"

#include <QFile>
#include <QPixmap>

namespace velmora {
namespace {

// The artwork set a button shows, once the script has chosen one.
const char* const ArtworkSetProperty = "velmoraArtworkSet";

QString PicturePath(const QString& set, const char* state) {
    return QStringLiteral(":/artwork/%1-%2.png").arg(set, QLatin1String(state));
}

bool HasArtwork(const QString& set) { return QFile::exists(PicturePath(set, "normal")); }

}  // namespace

void ShowButtonArtworkInScript(TImgButton& button, Script script) {
    const QString own = button.objectName();
    const QString traditional = own + QStringLiteral("-traditional");
    const QString set = script != Script::Simplified && HasArtwork(traditional) ? traditional : own;
    const QVariant shown = button.property(ArtworkSetProperty);
    // The form loads the simplified set itself: a simplified start loads nothing more.
    if ((shown.isValid() ? shown.toString() : own) == set) {
        return;
    }
    if (!HasArtwork(set)) {
        return;  // a button of other pictures
    }
    button.setImgNormal(QPixmap(PicturePath(set, "normal")));
    button.setImgEnter(QPixmap(PicturePath(set, "enter")));
    button.setImgDown(QPixmap(PicturePath(set, "down")));
    button.setImgDisable(QPixmap(PicturePath(set, "disable")));
    button.setProperty(ArtworkSetProperty, set);
}

}  // namespace velmora
