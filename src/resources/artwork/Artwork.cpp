#include "Artwork.h"

#include <QtCore/qglobal.h>

// The resources of a static library are registered by name, from outside
// any namespace.
static void RegisterArtworkResources() {
    Q_INIT_RESOURCE(velmora_artwork);
}

namespace velmora {

void InitArtwork() {
    RegisterArtworkResources();
}

QString ZodiacPicturePath(int animal) {
    if (animal < 0 || animal >= ZodiacPictureCount) {
        return {};
    }
    return QStringLiteral(":/artwork/zodiac-%1.png").arg(animal, 2, 10, QLatin1Char('0'));
}

}  // namespace velmora
