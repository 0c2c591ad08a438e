#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace pellucine {

// A sample state of the problem-report window, shown by "--preview-report" without writing or
// sending anything.
struct ReportPreview {
    enum class State { sent, saved, writing };

    static inline const QString option = QStringLiteral("--preview-report");

    State state = State::writing;
    // For `sent`.
    QString reportIdentifier;
    // For `saved`: where the report would be, and why sending failed.
    QString file;
    QString reason;

    // The element after the first "--preview-report" picks the state: "sent", "saved", else
    // writing. None when the option is missing or is the last element.
    static std::optional<ReportPreview> fromArguments(const QStringList& arguments,
                                                      const QString& desktopFolder);

    friend bool operator==(const ReportPreview&, const ReportPreview&) = default;
};

}  // namespace pellucine
