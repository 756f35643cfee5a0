// GoogleTest with a QApplication for the widget and browser tests. Listing
// the tests (as CTest does to find them) needs no display.
#include "Artwork.h"
#ifdef VELMORA_BROWSER_TESTS
#include "WebBrowseEx.h"
#endif

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (testing::GTEST_FLAG(list_tests)) {
        return RUN_ALL_TESTS();
    }
#ifdef VELMORA_BROWSER_TESTS
    velmora::TWebBrowseEx::InitializeProcess();
#else
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
#endif
    QApplication app(argc, argv);
    velmora::InitArtwork();
    return RUN_ALL_TESTS();
}
