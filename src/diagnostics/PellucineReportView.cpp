#include "diagnostics/PellucineReportView.h"

#include <QFileInfo>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QStackedLayout>
#include <QVBoxLayout>

#include "design/HazardStripe.h"
#include "design/PaneLink.h"
#include "design/Yard.h"
#include "design/YardButton.h"
#include "design/YardMasthead.h"
#include "design/YardText.h"
#include "diagnostics/ReportFile.h"
#include "diagnostics/ReportModel.h"
#include "diagnostics/SheetFrame.h"

namespace pellucine::ReportProblem {

namespace {

constexpr int pageSpacing = 14;
constexpr int headerSpacing = 9;
constexpr int buttonSpacing = 8;
constexpr int stripeHeight = 5;
constexpr int editorInset = 8;
constexpr int placeholderInset = 13;
constexpr qreal placeholderOpacity = 0.7;
constexpr qreal titleTracking = 1.0;
const QMargins pageMargins{24, 18, 24, 20};

const QString appName = QStringLiteral("PELLUCINE");

QString supportOf(const Config& config) {
    return config.supportEmail.value_or(QStringLiteral("support"));
}

// A page title in the display face over a hazard stripe.
QWidget* pageHeader(const QString& title) {
    auto* header = new QWidget;
    header->setObjectName(QStringLiteral("pageHeader"));
    auto* column = new QVBoxLayout(header);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(headerSpacing);
    auto* text = new YardText(title, Yard::tracked(Yard::displayFont(), titleTracking),
                              &Yard::Palette::fore, false);
    text->setObjectName(QStringLiteral("pageTitle"));
    column->addWidget(text);
    column->addWidget(new HazardStripe(stripeHeight));
    return header;
}

QWidget* page(QVBoxLayout*& column) {
    auto* widget = new QWidget;
    column = new QVBoxLayout(widget);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(pageSpacing);
    return widget;
}

// The editor on the sheet colour inside a card border, with the example over its top leading
// corner.
class EditorBox final : public SheetFrame {
  public:
    EditorBox(QPlainTextEdit* editor, YardText* placeholder)
        : editor_(editor), placeholder_(placeholder) {
        editor->setParent(this);
        placeholder->setParent(this);
        placeholder->setAttribute(Qt::WA_TransparentForMouseEvents);
        auto* fade = new QGraphicsOpacityEffect(placeholder);
        fade->setOpacity(placeholderOpacity);
        placeholder->setGraphicsEffect(fade);
        placeholder->raise();
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }

  protected:
    void resizeEvent(QResizeEvent*) override {
        editor_->setGeometry(rect().adjusted(editorInset, editorInset, -editorInset, -editorInset));
        const int width = std::max(0, this->width() - 2 * placeholderInset);
        placeholder_->setGeometry(placeholderInset, editorInset, width,
                                  placeholder_->heightForWidth(width));
    }

  private:
    QPlainTextEdit* editor_;
    YardText* placeholder_;
};

}  // namespace

PellucineReportView::PellucineReportView(std::shared_ptr<Model> model, QWidget* parent)
    : QWidget(parent), model_(std::move(model)), pages_(new QStackedLayout) {
    setMinimumSize(contentSize);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    auto* masthead = new YardMasthead(lightsInset);
    masthead->setTrailing(new YardText(QStringLiteral("REPORT A PROBLEM"), Yard::tagFont()));
    root->addWidget(masthead);
    auto* area = new QWidget;
    auto* areaLayout = new QVBoxLayout(area);
    areaLayout->setContentsMargins(pageMargins);
    areaLayout->addLayout(pages_);
    root->addWidget(area, 1);

    // Outside writing and sending; there the "Cancel" button holds the key.
    escape_ = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape_, &QShortcut::activated, this, [this] { model_->close(); });

    compose_ = buildComposePage();
    pages_->addWidget(compose_);
    connect(model_.get(), &Model::phaseChanged, this, &PellucineReportView::showPhase);
    connect(model_.get(), &Model::textChanged, this, &PellucineReportView::takeModelText);
    showPhase();
}

PellucineReportView::~PellucineReportView() = default;

QWidget* PellucineReportView::currentPage() const {
    return pages_->currentWidget();
}

QString PellucineReportView::pageTitle() const {
    const auto* title = currentPage()->findChild<YardText*>(QStringLiteral("pageTitle"));
    return title != nullptr ? title->text() : QString();
}

QWidget* PellucineReportView::buildComposePage() {
    const Config& config = model_->config();
    QVBoxLayout* column = nullptr;
    QWidget* widget = page(column);
    column->addWidget(pageHeader(QStringLiteral("WHAT HAPPENED?")));
    column->addWidget(new YardText(
        QStringLiteral("What you were doing, what you expected, and what %1 did instead.")
            .arg(appName),
        Yard::hintFont(), &Yard::Palette::muted));

    editor_ = new QPlainTextEdit;
    editor_->setFont(Yard::bodyFont());
    editor_->setFrameShape(QFrame::NoFrame);
    editor_->viewport()->setAutoFillBackground(false);
    editor_->setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; }"));
    editor_->document()->setDocumentMargin(placeholderInset - editorInset);
    editor_->setTabChangesFocus(true);
    editor_->setPlainText(model_->text());
    placeholder_ = new YardText(config.example, Yard::bodyFont(), &Yard::Palette::muted);
    column->addWidget(new EditorBox(editor_, placeholder_), 1);
    connect(editor_, &QPlainTextEdit::textChanged, this, &PellucineReportView::takeEditorText);

    column->addWidget(new YardText(
        QStringLiteral("Sent with it: %1’s version, your Linux version, your computer’s model, a "
                       "random install id, and %1’s own log of what it did. Never window "
                       "pictures, window titles, or app names.")
            .arg(appName),
        Yard::hintFont(), &Yard::Palette::muted));

    auto* row = new QHBoxLayout;
    row->setSpacing(buttonSpacing);
    email_ = new YardButton(QStringLiteral("Email It Instead"), YardButton::Kind::secondary);
    connect(email_, &QAbstractButton::clicked, this, [this] { model_->emailInstead(); });
    row->addWidget(email_);
    row->addStretch();
    cancel_ = new YardButton(QStringLiteral("Cancel"), YardButton::Kind::secondary);
    cancel_->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(cancel_, &QAbstractButton::clicked, this, [this] { model_->close(); });
    row->addWidget(cancel_);
    send_ = new YardButton(QStringLiteral("Send"), YardButton::Kind::primary);
    send_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
    connect(send_, &QAbstractButton::clicked, this, [this] { model_->send(); });
    row->addWidget(send_);
    column->addLayout(row);
    return widget;
}

YardButton* PellucineReportView::closeButton() {
    auto* close = new YardButton(QStringLiteral("Close"), YardButton::Kind::primary);
    close->setShortcut(QKeySequence(Qt::Key_Return));
    connect(close, &QAbstractButton::clicked, this, [this] { model_->close(); });
    return close;
}

QWidget* PellucineReportView::buildSentPage() {
    QVBoxLayout* column = nullptr;
    QWidget* widget = page(column);
    column->addWidget(pageHeader(QStringLiteral("SENT")));
    auto* message = new YardText(
        QStringLiteral("Thanks. It's report %1. Reports don't include your email, so to hear "
                       "back, write to %2 with that number.")
            .arg(model_->phase().id(), supportOf(model_->config())),
        Yard::bodyFont());
    message->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    column->addWidget(message);
    column->addStretch();
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(closeButton());
    column->addLayout(row);
    return widget;
}

QWidget* PellucineReportView::buildResultPage() {
    const Config& config = model_->config();
    const Environment& environment = model_->environment();
    const Phase& phase = model_->phase();
    const bool emailed = phase.is(Phase::Kind::emailed);
    const QString file = phase.file();
    // Without a desktop folder the module saves in its reports folder; the texts say which.
    const bool onDesktop = ReportFile::isOnDesktop(file, environment);

    QVBoxLayout* column = nullptr;
    QWidget* widget = page(column);
    column->addWidget(pageHeader(onDesktop ? QStringLiteral("SAVED ON YOUR DESKTOP")
                                           : QStringLiteral("SAVED IN YOUR REPORTS FOLDER")));
    const QString lead =
        emailed ? QStringLiteral("A new mail to %1 has the report attached.").arg(supportOf(config))
                : phase.reason();
    column->addWidget(new YardText(
        lead + QStringLiteral(" Everything you wrote, and what %1 attached, is in %2 %3.")
                   .arg(appName, QFileInfo(file).fileName(), ReportFile::place(file, environment)),
        Yard::bodyFont()));
    if (emailed) {
        column->addWidget(new YardText(
            QStringLiteral("Rather send it from here? Go back, then close the mail that opened."),
            Yard::hintFont(), &Yard::Palette::muted));
    }
    column->addStretch();

    auto* row = new QHBoxLayout;
    row->setSpacing(buttonSpacing);
    if (emailed) {
        auto* back = new YardButton(QStringLiteral("Back"), YardButton::Kind::secondary);
        connect(back, &QAbstractButton::clicked, this, [this] { model_->backFromEmail(); });
        row->addWidget(back);
    }
    row->addStretch();
    auto* show =
        new YardButton(QStringLiteral("Show in File Manager"), YardButton::Kind::secondary);
    connect(show, &QAbstractButton::clicked, this, [this, file] {
        if (const auto& files = model_->environment().files) {
            files->reveal(file);
        }
    });
    row->addWidget(show);
    if (config.fallbackPage) {
        row->addWidget(new WebLink(QStringLiteral("Report Page"), *config.fallbackPage));
    }
    row->addWidget(closeButton());
    column->addLayout(row);
    return widget;
}

void PellucineReportView::showPhase() {
    const Phase& phase = model_->phase();
    const bool composing = phase.is(Phase::Kind::writing) || phase.is(Phase::Kind::sending);
    escape_->setEnabled(!composing);
    if (result_) {
        pages_->removeWidget(result_);
        result_->deleteLater();
    }
    if (composing) {
        pages_->setCurrentWidget(compose_);
        refreshCompose();
        editor_->setFocus();
        return;
    }
    result_ = phase.is(Phase::Kind::sent) ? buildSentPage() : buildResultPage();
    pages_->addWidget(result_);
    pages_->setCurrentWidget(result_);
}

void PellucineReportView::refreshCompose() {
    const bool sending = model_->phase().is(Phase::Kind::sending);
    placeholder_->setVisible(model_->text().isEmpty());
    editor_->setEnabled(!sending);
    email_->setEnabled(model_->canEmail());
    send_->setText(sending ? QStringLiteral("Sending…") : QStringLiteral("Send"));
    send_->setEnabled(model_->canSend());
}

void PellucineReportView::takeEditorText() {
    // Only the user's edits reach the model, never the echo of the model's own text.
    const QString typed = editor_->toPlainText();
    if (typed != model_->text()) {
        model_->setText(typed);
    }
}

void PellucineReportView::takeModelText() {
    if (editor_->toPlainText() != model_->text()) {
        const QSignalBlocker quiet(editor_);
        editor_->setPlainText(model_->text());
    }
    refreshCompose();
}

}  // namespace pellucine::ReportProblem
