#include "settings/ReportTexts.h"

namespace pellucine::ReportTexts {

namespace {

const QString what = QStringLiteral("what you write and PELLUCINE's log");

// "saves what you write and PELLUCINE's log as a file on your Desktop".
QString saves(const ReportProblem::Delivery& delivery) {
    QString text = QStringLiteral("saves ") + what + QStringLiteral(" as a file");
    if (!delivery.place.isEmpty()) {
        text += QLatin1Char(' ') + delivery.place;
    }
    return text;
}

}  // namespace

QString supportCard(const ReportProblem::Delivery& delivery) {
    if (delivery.sends()) {
        return QStringLiteral("Report a Problem sends ") + what +
               QStringLiteral(", never window pictures, window titles, or app names.");
    }
    return QStringLiteral("Report a Problem ") + saves(delivery) +
           QStringLiteral(" for you to send, never window pictures, window titles, or app names.");
}

QString guide(const ReportProblem::Delivery& delivery) {
    if (delivery.sends()) {
        return QStringLiteral("Report a Problem sends ") + what +
               QStringLiteral(", never window pictures or titles.");
    }
    return QStringLiteral("Report a Problem ") + saves(delivery) +
           QStringLiteral(" for you to send, never window pictures or titles.");
}

Disclosure disclosure(const ReportProblem::Delivery& delivery) {
    if (delivery.sends()) {
        return {QStringLiteral("Sending a problem report"),
                QStringLiteral("What you write and PELLUCINE's log, only when you press Send in "
                               "Report a Problem."),
                QStringLiteral("only when you send")};
    }
    QString hint = QStringLiteral("Report a Problem ") + saves(delivery) +
                   QStringLiteral("; it leaves this computer only if you send that file.");
    return {QStringLiteral("A problem report"), hint, QStringLiteral("saved as a file")};
}

}  // namespace pellucine::ReportTexts
