#pragma once

#include <QGuiApplication>

namespace pellucine::bench {

// The benchmark's GUI application, on the offscreen platform (it only draws into images), made
// on first use and kept until the process ends.
inline void ensureOffscreenApplication() {
    if (QCoreApplication::instance() == nullptr) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "bench";
        static char* argv[] = {name, nullptr};
        static QGuiApplication application(argc, argv);
    }
}

}  // namespace pellucine::bench
