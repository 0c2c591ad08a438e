#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace pellucine {
class Bundle;
}

namespace pellucine::ReportProblem {

// What a report says about the program and the machine it runs on; gathered afresh for every
// report.
struct Facts {
    QString bundleID;
    QString version;
    QString build;
    // The operating system's name and version, as the system words it.
    QString macOS;
    QString machine;

    friend bool operator==(const Facts&, const Facts&) = default;

    // The program's bundle, this system and this machine.
    static Facts current();
    // The bundle's identifier ("unknown" when it has none), its "CFBundleShortVersionString"
    // and "CFBundleVersion" when they are strings ("?" otherwise), and the two given texts.
    static Facts of(const Bundle& bundle, QString systemVersion, QString machine);

    // The hardware model as the firmware names it, from the first of `sources` that holds one.
    static QString machineModel(const QStringList& sources = {
                                    QStringLiteral("/sys/class/dmi/id/product_name"),
                                    QStringLiteral("/proc/device-tree/model")});
    // The model in `raw`: the text before the first zero byte, repaired where it is not UTF-8,
    // without surrounding blanks; "this computer (model unknown)" when nothing is left.
    static QString machineModelFrom(const QByteArray& raw);
};

}  // namespace pellucine::ReportProblem
