#pragma once

#include <QString>

namespace pellucine::ReportProblem {

// Where a report stands: the page its window shows follows it.
class Phase {
  public:
    enum class Kind { sent, saved, emailed, writing, sending };

    // Writing.
    Phase() = default;

    // The service accepted the report under `id`.
    static Phase sent(QString id);
    // Sending failed for `reason` (the sentence shown to the user); the report is in `file`.
    static Phase saved(QString file, QString reason);
    // The report is in `file` and was handed to the mail application.
    static Phase emailed(QString file);
    static Phase writing() { return {}; }
    static Phase sending();

    Kind kind() const { return kind_; }
    bool is(Kind kind) const { return kind_ == kind; }
    // Empty unless sent.
    const QString& id() const { return id_; }
    // The absolute path of the saved report; empty unless saved or emailed.
    const QString& file() const { return file_; }
    // Empty unless saved.
    const QString& reason() const { return reason_; }

    // The same case with equal payloads.
    friend bool operator==(const Phase&, const Phase&) = default;

  private:
    Kind kind_ = Kind::writing;
    QString id_;
    QString file_;
    QString reason_;
};

}  // namespace pellucine::ReportProblem
