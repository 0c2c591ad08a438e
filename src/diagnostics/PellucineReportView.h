#pragma once

#include <QPointer>
#include <QSize>
#include <QWidget>
#include <memory>

class QPlainTextEdit;
class QShortcut;
class QStackedLayout;

namespace pellucine {

class YardButton;
class YardText;

namespace ReportProblem {

class Model;
class ReportEditor;

// This program's report pages under its masthead, following the model's phase: the compose
// page (also while sending), the sent page, and the result page after saving or e-mailing.
// Escape closes the window in every phase.
class PellucineReportView final : public QWidget {
    Q_OBJECT

  public:
    static constexpr QSize contentSize{600, 470};

    explicit PellucineReportView(std::shared_ptr<Model> model, QWidget* parent = nullptr);
    ~PellucineReportView() override;

    const std::shared_ptr<Model>& model() const { return model_; }

    QPlainTextEdit* editor() const;
    // The example over the empty editor.
    YardText* placeholder() const;
    YardButton* emailButton() const { return email_; }
    YardButton* cancelButton() const { return cancel_; }
    YardButton* sendButton() const { return send_; }
    // Says before Send that the report will be saved, and where; none with a report server.
    YardText* saveNotice() const { return saveNotice_; }
    // Says that the report could not be saved, and why; hidden while nothing failed.
    YardText* unsavedNotice() const { return unsaved_; }
    // The page on show.
    QWidget* currentPage() const;
    // The title of the page on show.
    QString pageTitle() const;

  private:
    QWidget* buildComposePage();
    QWidget* buildSentPage();
    QWidget* buildResultPage();
    void showPhase();
    void refreshCompose();

    std::shared_ptr<Model> model_;
    QStackedLayout* pages_;
    QShortcut* escape_;
    const ReportEditor* words_ = nullptr;
    YardButton* email_ = nullptr;
    YardButton* cancel_ = nullptr;
    YardButton* send_ = nullptr;
    YardText* saveNotice_ = nullptr;
    YardText* unsaved_ = nullptr;
    QPointer<QWidget> compose_;
    QPointer<QWidget> result_;
};

}  // namespace ReportProblem
}  // namespace pellucine
