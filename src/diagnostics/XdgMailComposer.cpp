#include "diagnostics/XdgMailComposer.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace pellucine {

QString XdgMailComposer::tool() {
    return QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
}

bool XdgMailComposer::canCompose(const QString& file) const {
    return !tool().isEmpty() && QFileInfo(file).isFile();
}

void XdgMailComposer::compose(const QString& recipient, const QString& subject, const QString& body,
                              const QString& file) {
    // Arguments are handed over as they are: no shell reads them.
    QProcess::startDetached(
        tool(), {QStringLiteral("--utf8"), QStringLiteral("--subject"), subject,
                 QStringLiteral("--body"), body, QStringLiteral("--attach"), file, recipient});
}

}  // namespace pellucine
