#include "diagnostics/PellucineReportView.h"

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
#include "diagnostics/ReportEditor.h"
#include "diagnostics/ReportFile.h"
#include "diagnostics/ReportModel.h"
#include "diagnostics/ReportPages.h"
#include "diagnostics/SheetFrame.h"

namespace pellucine::ReportProblem {

namespace {

constexpr int headerSpacing = 9;
constexpr int buttonSpacing = 8;
constexpr int stripeHeight = 5;
constexpr qreal placeholderOpacity = 0.7;
constexpr qreal titleTracking = 1.0;
const QMargins pageMargins{24, 18, 24, 20};

const QString appName = QStringLiteral("PELLUCINE");

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

// The editor on the sheet colour inside a card border, with the example over its top leading
// corner.
class EditorBox final : public SheetFrame {
  public:
    explicit EditorBox(Model& model) : words_(model, this) {
        auto* fade = new QGraphicsOpacityEffect(words_.placeholder());
        fade->setOpacity(placeholderOpacity);
        words_.placeholder()->setGraphicsEffect(fade);
    }

    const ReportEditor& words() const { return words_; }

  protected:
    void resizeEvent(QResizeEvent*) override { words_.place(size()); }

  private:
    ReportEditor words_;
};

}  // namespace

PellucineReportView::PellucineReportView(std::shared_ptr<Model> model, QWidget* parent)
    : QWidget(parent), model_(std::move(model)), pages_(new QStackedLayout) {
    setMinimumSize(contentSize);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    auto* masthead = new YardMasthead(pageMargins.left());
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
    connect(model_.get(), &Model::textChanged, this, &PellucineReportView::refreshCompose);
    showPhase();
}

PellucineReportView::~PellucineReportView() = default;

QPlainTextEdit* PellucineReportView::editor() const {
    return words_->editor();
}

YardText* PellucineReportView::placeholder() const {
    return words_->placeholder();
}

QWidget* PellucineReportView::currentPage() const {
    return pages_->currentWidget();
}

QString PellucineReportView::pageTitle() const {
    const auto* title = currentPage()->findChild<YardText*>(QStringLiteral("pageTitle"));
    return title != nullptr ? title->text() : QString();
}

QWidget* PellucineReportView::buildComposePage() {
    QVBoxLayout* column = nullptr;
    QWidget* widget = ReportPages::page(column);
    column->addWidget(pageHeader(QStringLiteral("WHAT HAPPENED?")));
    column->addWidget(new YardText(
        QStringLiteral("What you were doing, what you expected, and what %1 did instead.")
            .arg(appName),
        Yard::hintFont(), &Yard::Palette::muted));

    auto* box = new EditorBox(*model_);
    words_ = &box->words();
    column->addWidget(box, 1);

    column->addWidget(new YardText(
        QStringLiteral("%2: %1’s version, your Linux version, your computer’s model, a random "
                       "install id, and %1’s own log of what it did. Never window pictures, "
                       "window titles, or app names.")
            .arg(appName, ReportPages::withIt(model_->config())),
        Yard::hintFont(), &Yard::Palette::muted));

    if (!model_->config().hasEndpoint()) {
        saveNotice_ = new YardText(
            QStringLiteral("This build has no report server: Send saves the report as a file %1 "
                           "for you to send.")
                .arg(ReportFile::nextPlace(model_->environment())),
            Yard::hintFont(), &Yard::Palette::accentType);
        column->addWidget(saveNotice_);
    }

    unsaved_ = new YardText(model_->unsaved(), Yard::hintFont(), &Yard::Palette::accentType);
    unsaved_->setObjectName(QStringLiteral("reportUnsaved"));
    unsaved_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    unsaved_->setVisible(!model_->unsaved().isEmpty());
    column->addWidget(unsaved_);
    connect(model_.get(), &Model::unsavedChanged, unsaved_, [this] {
        unsaved_->setText(model_->unsaved());
        unsaved_->setVisible(!model_->unsaved().isEmpty());
    });

    auto* row = new QHBoxLayout;
    row->setSpacing(buttonSpacing);
    email_ = new YardButton(QStringLiteral("Email It Instead"), YardButton::Kind::secondary);
    connect(email_, &QAbstractButton::clicked, this, [this] { model_->emailInstead(); });
    row->addWidget(email_);
    row->addStretch();
    cancel_ = ReportPages::cancelButton(*model_);
    row->addWidget(cancel_);
    send_ = new YardButton(QStringLiteral("Send"), YardButton::Kind::primary);
    send_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
    connect(send_, &QAbstractButton::clicked, this, [this] { model_->send(); });
    row->addWidget(send_);
    column->addLayout(row);
    return widget;
}

QWidget* PellucineReportView::buildSentPage() {
    return ReportPages::sentPage(
        pageHeader(QStringLiteral("SENT")),
        QStringLiteral("Thanks. It's report %1. Reports don't include your email, so to hear "
                       "back, write to %2 with that number.")
            .arg(model_->phase().id(), ReportPages::supportOf(model_->config())),
        *model_);
}

QWidget* PellucineReportView::buildResultPage() {
    const Config& config = model_->config();
    const bool emailed = model_->phase().is(Phase::Kind::emailed);
    // Without a desktop folder the module saves in its reports folder; the texts say which.
    const bool onDesktop = ReportFile::isOnDesktop(model_->phase().file(), model_->environment());

    QVBoxLayout* column = nullptr;
    QWidget* widget = ReportPages::page(column);
    column->addWidget(pageHeader(onDesktop ? QStringLiteral("SAVED ON YOUR DESKTOP")
                                           : QStringLiteral("SAVED IN YOUR REPORTS FOLDER")));
    column->addWidget(new YardText(ReportPages::savedMessage(*model_, appName), Yard::bodyFont()));
    if (emailed) {
        column->addWidget(new YardText(
            QStringLiteral("Rather send it from here? Go back, then close the mail that opened."),
            Yard::hintFont(), &Yard::Palette::muted));
    }
    column->addStretch();

    auto* row = new QHBoxLayout;
    row->setSpacing(buttonSpacing);
    if (emailed) {
        row->addWidget(ReportPages::backButton(*model_));
    }
    row->addStretch();
    row->addWidget(ReportPages::revealButton(*model_));
    if (config.fallbackPage) {
        row->addWidget(new WebLink(QStringLiteral("Report Page"), *config.fallbackPage));
    }
    row->addWidget(ReportPages::closeButton(*model_));
    column->addLayout(row);
    return widget;
}

void PellucineReportView::showPhase() {
    const Phase& phase = model_->phase();
    const bool composing = phase.is(Phase::Kind::writing) || phase.is(Phase::Kind::sending);
    escape_->setEnabled(!composing);
    if (composing) {
        ReportPages::replaceResult(*pages_, result_, nullptr);
        pages_->setCurrentWidget(compose_);
        refreshCompose();
        editor()->setFocus();
        return;
    }
    ReportPages::replaceResult(*pages_, result_,
                               phase.is(Phase::Kind::sent) ? buildSentPage() : buildResultPage());
}

void PellucineReportView::refreshCompose() {
    const bool sending = model_->phase().is(Phase::Kind::sending);
    words_->refresh();
    email_->setEnabled(model_->canEmail());
    send_->setText(sending ? QStringLiteral("Sending…") : QStringLiteral("Send"));
    send_->setEnabled(model_->canSend());
}

}  // namespace pellucine::ReportProblem
