#include "UpdateLibrary.h"

#include <QDir>
#include <QFileInfo>

namespace velmora {

QString UpdateLibraryPath(const QString& folder) {
#ifdef _WIN32
    return QDir(folder).filePath(QStringLiteral("Update.dll"));
#else
    return QDir(folder).filePath(QStringLiteral("libUpdate.so"));
#endif
}

TUpdateLibrary::TUpdateLibrary(const QString& folder) : library_(UpdateLibraryPath(folder)) {}

TDoUpdate TUpdateLibrary::Resolve() {
    // Only the file beside the program: never a library of that name found elsewhere.
    if (!library_.isLoaded() && (!QFileInfo(library_.fileName()).isFile() || !library_.load())) {
        return nullptr;
    }
    return reinterpret_cast<TDoUpdate>(library_.resolve(kUpdateFunctionName));
}

}  // namespace velmora
