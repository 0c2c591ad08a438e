#include "platform/linux/updater/ExecutableRelaunch.h"

#include <QProcess>

namespace pellucine {

bool relaunchAfterExit(const QString& executable, qint64 waitFor) {
    QProcess helper;
    helper.setProgram(QStringLiteral("/bin/sh"));
    helper.setArguments({QStringLiteral("-c"),
                         QStringLiteral("while kill -0 \"$1\" 2>/dev/null; do sleep 0.1; done; "
                                        "exec \"$2\""),
                         QStringLiteral("pellucine-relaunch"), QString::number(waitFor),
                         executable});
    helper.setStandardInputFile(QProcess::nullDevice());
    return helper.startDetached();
}

}  // namespace pellucine
