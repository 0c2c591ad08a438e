#include <gmock/gmock.h>

#include <QApplication>
#include <QCoreApplication>

#include "support/ScratchHome.h"

// Every suite gets a Qt application object; widget suites get a GUI one on the offscreen
// platform so that they run on a headless machine.
int main(int argc, char** argv) {
    ::testing::InitGoogleMock(&argc, argv);
    pellucine::testing::useScratchHome();
#ifdef PELLUCINE_TEST_GUI
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    return RUN_ALL_TESTS();
}
