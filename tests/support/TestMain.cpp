#include <gmock/gmock.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// Points HOME and the XDG folders at a scratch folder beside the test executable, so that
// nothing a test runs can reach the real home folder.
void useScratchHome() {
    const QFileInfo exe(QStringLiteral("/proc/self/exe"));
    const QString home = exe.symLinkTarget().isEmpty()
                             ? QDir::tempPath() + QStringLiteral("/pellucine-test-home")
                             : QFileInfo(exe.symLinkTarget()).absolutePath() +
                                   QStringLiteral("/test-home/") +
                                   QFileInfo(exe.symLinkTarget()).fileName();
    for (const char* sub : {"", "/data", "/config", "/cache"}) {
        QDir().mkpath(home + QLatin1String(sub));
    }
    qputenv("HOME", home.toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home + QStringLiteral("/data")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/config")).toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (home + QStringLiteral("/cache")).toLocal8Bit());
}

}  // namespace

// Every suite gets a Qt application object; widget suites get a GUI one on the offscreen
// platform so that they run on a headless machine.
int main(int argc, char** argv) {
    ::testing::InitGoogleMock(&argc, argv);
    useScratchHome();
#ifdef PELLUCINE_TEST_GUI
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    return RUN_ALL_TESTS();
}
