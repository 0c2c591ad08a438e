#include <gmock/gmock.h>

#include <QApplication>

#include "X11TestDesktop.h"
#include "support/ScratchHome.h"

namespace {

bool serverAnswers() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}

}  // namespace

// Like the shared test main, with a GUI application on the fixture's X server; without a server
// (while tests are only listed) the offscreen platform stands in and the tests skip.
int main(int argc, char** argv) {
    ::testing::InitGoogleMock(&argc, argv);
    pellucine::testing::useScratchHome();
    if (pellucine::testing::X11TestDesktop::connectDisplay() && serverAnswers()) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
