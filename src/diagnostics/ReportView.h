#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

class QAbstractButton;
class QPlainTextEdit;
class QStackedLayout;

namespace pellucine {
class YardButton;
class YardSwitch;
class YardText;
}  // namespace pellucine

namespace pellucine::ReportProblem {

class AccentButton;
class Model;
class ReportEditor;

// The report module's own pages, following the model's phase: the writing page (also while
// sending), the sent page, and the saved page (also after saving for e-mail).
class ReportView final : public QWidget {
    Q_OBJECT

  public:
    static constexpr int width = 520;
    static constexpr int height = 400;
    static constexpr int inset = 22;

    explicit ReportView(std::shared_ptr<Model> model, QWidget* parent = nullptr);
    ~ReportView() override;

    const std::shared_ptr<Model>& model() const { return model_; }

    QPlainTextEdit* editor() const;
    YardText* placeholder() const;
    // None without a consent in the config.
    YardSwitch* consentSwitch() const { return consent_; }
    // The "Email It Instead" button on show now; none without a support address.
    QAbstractButton* emailButton() const;
    bool emailIsProminent() const;
    YardButton* cancelButton() const { return cancel_; }
    AccentButton* sendButton() const { return send_; }
    // The page for the sent, saved and emailed phases; none while writing.
    QWidget* resultPage() const { return result_; }

  private:
    QWidget* buildWritingPage();
    QWidget* buildSentPage();
    QWidget* buildSavedPage();
    void showPhase();
    void refreshWriting();

    std::shared_ptr<Model> model_;
    QStackedLayout* pages_;
    const ReportEditor* words_ = nullptr;
    YardSwitch* consent_ = nullptr;
    YardButton* emailPlain_ = nullptr;
    AccentButton* emailAccent_ = nullptr;
    YardButton* cancel_ = nullptr;
    AccentButton* send_ = nullptr;
    QPointer<QWidget> writing_;
    QPointer<QWidget> result_;
};

}  // namespace pellucine::ReportProblem
