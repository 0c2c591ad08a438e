#pragma once

#include <qcoro/qcorotask.h>

#include <QNetworkRequest>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "diagnostics/Report.h"
#include "diagnostics/ReportConfig.h"
#include "diagnostics/ReportEnvironment.h"
#include "diagnostics/ReportPhase.h"
#include "diagnostics/ReportRequest.h"

namespace pellucine::ReportProblem {

// One report window's state: the user's words, the phase, and whether sending is allowed; it
// sends the report and, when that fails, saves it as a file. Main thread only. A send in
// progress keeps the model alive until its outcome has been handled, so models are shared.
class Model final : public QObject, public std::enable_shared_from_this<Model> {
    Q_OBJECT

    struct Token {};

  public:
    // Writing, from `text`; the draft is left alone. Sending is allowed unless the config's
    // consent says otherwise.
    static std::shared_ptr<Model> create(Config config, Environment environment, QString text);
    Model(Token, Config config, Environment environment, QString text);

    // The user's words carried from one report window to the next, for the life of the process.
    static QString& draft();

    const Config& config() const { return config_; }
    const Environment& environment() const { return environment_; }

    const QString& text() const { return text_; }
    // Also copies the words into the draft.
    void setText(const QString& text);

    const Phase& phase() const { return phase_; }
    void setPhase(const Phase& phase);

    // Why the last send or e-mail could not save the report, said to the user; empty once a
    // send starts again or a save worked.
    const QString& unsaved() const { return unsaved_; }

    bool sendingAllowed() const { return sendingAllowed_; }
    // Passes the choice to the config's consent and records it.
    void setSendingAllowed(bool allowed);

    // Closes the window that shows this model; does nothing until the window sets it.
    void close() const;
    void setCloser(std::function<void()> closer) { closer_ = std::move(closer); }

    // The words hold something other than blanks.
    bool hasText() const;
    bool canSend() const;
    // Whether saving for e-mail is offered now.
    bool canEmail() const;

    // Uploads the report; when that fails, saves it. Only when `canSend`.
    void send();
    // Saves the report and opens a new mail with it. Only when `canEmail`.
    void emailInstead();
    // From the e-mail result back to writing, with the words still there.
    void backFromEmail();

    // Opens a new mail to `recipient` with `file`: attached through the desktop's mail
    // service when there is one, else as a "mailto" link naming it; then shows the file.
    static void composeMail(const QString& recipient, const QString& subject, const QString& file,
                            const Environment& environment);
    static QUrl mailtoUrl(const QString& recipient, const QString& subject, const QString& body);

  signals:
    void textChanged();
    void phaseChanged();
    void sendingAllowedChanged();
    void unsavedChanged();

  private:
    Report gather() const;
    QNetworkRequest request() const;
    void record(const QString& line) const;
    void handle(const Report& report, const Outcome& outcome);
    void setUnsaved(const QString& unsaved);
    static QCoro::Task<void> upload(std::shared_ptr<Model> self, Report report,
                                    QNetworkRequest request);

    Config config_;
    Environment environment_;
    QString text_;
    Phase phase_;
    bool sendingAllowed_;
    QString unsaved_;
    std::function<void()> closer_;
};

}  // namespace pellucine::ReportProblem
