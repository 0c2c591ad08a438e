#include "platform/linux/GnomeSchemeWatch.h"

#include <sys/prctl.h>

#include <csignal>

#include "platform/linux/DesktopSchemeReadings.h"

namespace pellucine {

namespace {

QStringList arguments(const QString& command) {
    return {command, QStringLiteral("org.gnome.desktop.interface"), QStringLiteral("color-scheme")};
}

}  // namespace

GnomeSchemeWatch::GnomeSchemeWatch(const QString& gsettings, Handler changed)
    : gsettings_(gsettings), changed_(std::move(changed)) {
    for (QProcess* process : {&get_, &monitor_}) {
        process->setProcessChannelMode(QProcess::SeparateChannels);
        // A program killed outright leaves no monitor running behind it.
        process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    }
    QObject::connect(&get_, &QProcess::finished, &get_, [this](int code, QProcess::ExitStatus) {
        if (code != 0) {
            return;  // no such schema or key: not a GNOME setting to follow
        }
        readLines(get_);
        monitor_.start(gsettings_, arguments(QStringLiteral("monitor")), QIODevice::ReadOnly);
    });
    QObject::connect(&monitor_, &QProcess::readyReadStandardOutput, &monitor_,
                     [this] { readLines(monitor_); });
    get_.start(gsettings_, arguments(QStringLiteral("get")), QIODevice::ReadOnly);
}

GnomeSchemeWatch::~GnomeSchemeWatch() {
    for (QProcess* process : {&get_, &monitor_}) {
        process->disconnect();
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(1000);
        }
    }
}

void GnomeSchemeWatch::readLines(QProcess& process) {
    while (process.canReadLine()) {
        changed_(schemeOfGnomeSetting(QString::fromUtf8(process.readLine())));
    }
}

}  // namespace pellucine
