#include "GalleryOutput.h"

#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QTextStream>
#include <QWidget>

namespace pellucine::gallery {

namespace {

QtMessageHandler defaultHandler = nullptr;

// The off-screen platform warns on every window it sizes; a gallery sizes one per picture.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message == QLatin1String("This plugin does not support propagateSizeHints()")) {
        return;
    }
    defaultHandler(type, context, message);
}

}  // namespace

Result prepareFolder(const QString& folder) {
    Result result;
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir()) {
        result.error = QStringLiteral("%1 is not a folder").arg(folder);
    } else if (!QDir().mkpath(folder)) {
        result.error = QStringLiteral("could not create the folder %1").arg(folder);
    }
    return result;
}

bool writeSheet(QWidget& host, const QDir& folder, const QString& name, ColorScheme scheme,
                Result& result) {
    host.show();
    QCoreApplication::sendPostedEvents();
    const QImage image = host.grab().toImage();
    const QString file =
        folder.filePath(QStringLiteral("%1-%2.png")
                            .arg(name, scheme == ColorScheme::dark ? QStringLiteral("dark")
                                                                   : QStringLiteral("light")));
    if (!image.save(file, "PNG")) {
        result.error = QStringLiteral("could not write %1").arg(file);
        return false;
    }
    if (QImage(file).size() != image.size()) {
        result.error = QStringLiteral("%1 does not read back as written").arg(file);
        return false;
    }
    result.written.append(file);
    return true;
}

int runGallery(int argc, char* argv[], const QString& usage,
               const std::function<Result(const QString&)>& render) {
    defaultHandler = qInstallMessageHandler(quietHandler);
    // A gallery never shows a window; draw without a display unless told otherwise.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = QApplication::arguments();
    if (args.size() != 2 || args.at(1).startsWith(u'-')) {
        err << usage;
        return 2;
    }
    const Result result = render(args.at(1));
    for (const QString& file : result.written) {
        out << file << '\n';
    }
    if (!result.error.isEmpty()) {
        err << QFileInfo(args.at(0)).fileName() << ": " << result.error << '\n';
        return 1;
    }
    return 0;
}

}  // namespace pellucine::gallery
