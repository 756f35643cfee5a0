// Helpers shared by the widget and browser tests.
#pragma once

#include <QColor>
#include <QDir>
#include <QImage>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

namespace velmora::testing_support {

// Writes a picture of the widget into the build folder's screenshots, for a
// person to look at.
inline void SaveScreenshot(QWidget& widget, const QString& name) {
    QDir().mkpath(QStringLiteral(VELMORA_SCREENSHOT_DIR));
    widget.grab().save(QStringLiteral(VELMORA_SCREENSHOT_DIR "/%1.png").arg(name));
}

inline QImage Render(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline std::string Describe(QRgb rgb) {
    return QColor(rgb).name().toStdString();
}

// Compares colours as #rrggbb texts, so a failure shows both.
#define EXPECT_PIXEL(image, x, y, color) \
    EXPECT_EQ(::velmora::testing_support::Describe((image).pixel((x), (y))), QColor(color).name().toStdString()) \
        << "at (" << (x) << ", " << (y) << ")"

}  // namespace velmora::testing_support
