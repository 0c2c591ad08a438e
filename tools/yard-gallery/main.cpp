#include <QApplication>
#include <QTextStream>

#include "Gallery.h"

namespace {

QtMessageHandler defaultHandler = nullptr;

// The off-screen platform warns on every window it sizes; the gallery sizes one per picture.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message == QLatin1String("This plugin does not support propagateSizeHints()")) {
        return;
    }
    defaultHandler(type, context, message);
}

}  // namespace

int main(int argc, char* argv[]) {
    defaultHandler = qInstallMessageHandler(quietHandler);
    // The gallery never shows a window; draw without a display unless told otherwise.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2 || args.at(1).startsWith(u'-')) {
        err << "usage: yard-gallery <folder>\n"
               "Draws every design-system component in the dark and light schemes to PNG files "
               "in <folder>.\n";
        return 2;
    }
    const pellucine::gallery::Result result = pellucine::gallery::render(args.at(1));
    for (const QString& file : result.written) {
        out << file << '\n';
    }
    if (!result.error.isEmpty()) {
        err << "yard-gallery: " << result.error << '\n';
        return 1;
    }
    return 0;
}
