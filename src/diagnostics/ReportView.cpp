#include "diagnostics/ReportView.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QStackedLayout>
#include <QVBoxLayout>

#include "design/SettingRow.h"
#include "design/Symbols.h"
#include "design/Yard.h"
#include "design/YardButton.h"
#include "design/YardSwitch.h"
#include "design/YardText.h"
#include "diagnostics/AccentButton.h"
#include "diagnostics/ReportEditor.h"
#include "diagnostics/ReportFile.h"
#include "diagnostics/ReportModel.h"
#include "diagnostics/ReportPages.h"
#include "platform/UrlOpener.h"

namespace pellucine::ReportProblem {

namespace {

constexpr int titleSize = 20;
constexpr qreal editorRadius = 8;
constexpr qreal editorBorderOpacity = 0.15;
constexpr int columnSpacing = 6;
constexpr int sendLabelWidth = 80;

QFont titleFont() {
    return Yard::font(titleSize, QFont::Bold);
}

// The editor's frame: the text-background colour in a rounded box with a faint border, with the
// example text over its top leading corner while the words are empty.
class EditorBox final : public QWidget {
  public:
    EditorBox(Model& model, QWidget* parent) : QWidget(parent), words_(model, this) {}

    const ReportEditor& words() const { return words_; }

  protected:
    void resizeEvent(QResizeEvent*) override { words_.place(size()); }

    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const Yard::Palette& palette = Yard::palette(this);
        QPainterPath box;
        box.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), editorRadius,
                           editorRadius);
        painter.fillPath(box, palette.sheet);
        QColor border = palette.fore;
        border.setAlphaF(editorBorderOpacity);
        painter.setPen(QPen(border, 1));
        painter.drawPath(box);
    }

  private:
    ReportEditor words_;
};

// A page title led by a symbol.
class SymbolTitle final : public QWidget {
  public:
    SymbolTitle(QString symbol, const QString& title, QWidget* parent)
        : QWidget(parent), symbol_(std::move(symbol)) {
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(qRound(Symbols::side(titleSize)) + columnSpacing, 0, 0, 0);
        row->addWidget(new YardText(title, titleFont(), &Yard::Palette::fore, false));
        row->addStretch();
        setAccessibleName(title);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const qreal side = Symbols::side(titleSize);
        Symbols::draw(painter, symbol_, QRectF(0, (height() - side) / 2, side, side), titleSize,
                      SymbolWeight::bold, {Yard::palette(this).fore});
    }

  private:
    QString symbol_;
};

YardButton* plainButton(const QString& title, QWidget* parent) {
    return new YardButton(title, YardButton::Kind::secondary, parent);
}

}  // namespace

ReportView::ReportView(std::shared_ptr<Model> model, QWidget* parent)
    : QWidget(parent), model_(std::move(model)), pages_(new QStackedLayout(this)) {
    pages_->setContentsMargins(inset, inset, inset, inset);
    setFixedSize(width, height);
    writing_ = buildWritingPage();
    pages_->addWidget(writing_);
    connect(model_.get(), &Model::phaseChanged, this, &ReportView::showPhase);
    connect(model_.get(), &Model::textChanged, this, &ReportView::refreshWriting);
    connect(model_.get(), &Model::sendingAllowedChanged, this, &ReportView::refreshWriting);
    showPhase();
}

ReportView::~ReportView() = default;

QPlainTextEdit* ReportView::editor() const {
    return words_->editor();
}

YardText* ReportView::placeholder() const {
    return words_->placeholder();
}

QAbstractButton* ReportView::emailButton() const {
    if (emailPlain_ == nullptr) {
        return nullptr;
    }
    return emailIsProminent() ? static_cast<QAbstractButton*>(emailAccent_) : emailPlain_;
}

bool ReportView::emailIsProminent() const {
    return !model_->sendingAllowed();
}

QWidget* ReportView::buildWritingPage() {
    const Config& config = model_->config();
    QVBoxLayout* column = nullptr;
    QWidget* widget = ReportPages::page(column, this);

    column->addWidget(new YardText(QStringLiteral("What happened?"), titleFont()));
    column->addWidget(new YardText(
        QStringLiteral("What you were doing, what you expected, and what %1 did instead.")
            .arg(config.appName),
        Yard::font(12.5), &Yard::Palette::muted));

    auto* box = new EditorBox(*model_, widget);
    words_ = &box->words();
    column->addWidget(box, 1);

    column->addWidget(new YardText(
        QStringLiteral("%2: %1's version, your Linux version, your computer's model, a random "
                       "install id, and %1's own log of which apps it moved, never what was in "
                       "their windows.")
            .arg(config.appName, ReportPages::withIt(config)),
        Yard::hintFont(), &Yard::Palette::muted));

    auto* controls = new QVBoxLayout;
    controls->setSpacing(columnSpacing);
    if (config.consent) {
        consent_ = new YardSwitch(
            QStringLiteral("Send this report to %1 over the internet").arg(config.appName),
            model_->sendingAllowed());
        controls->addWidget(new SettingRow(consent_->label(), consent_));
        connect(consent_, &QAbstractButton::toggled, this, [this](bool on) {
            if (on != model_->sendingAllowed()) {
                model_->setSendingAllowed(on);
            }
        });
    }
    auto* row = new QHBoxLayout;
    if (config.supportEmail) {
        const QString title = QStringLiteral("Email It Instead");
        emailPlain_ = plainButton(title, widget);
        emailAccent_ = new AccentButton(title, config.accent, config.onAccent, widget);
        for (QAbstractButton* button : {static_cast<QAbstractButton*>(emailPlain_),
                                        static_cast<QAbstractButton*>(emailAccent_)}) {
            row->addWidget(button);
            connect(button, &QAbstractButton::clicked, this, [this] { model_->emailInstead(); });
        }
    }
    row->addStretch();
    cancel_ = ReportPages::cancelButton(*model_, widget);
    row->addWidget(cancel_);
    send_ = new AccentButton(QStringLiteral("Send"), config.accent, config.onAccent, widget);
    send_->setMinimumLabelWidth(sendLabelWidth);
    send_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return));
    connect(send_, &QAbstractButton::clicked, this, [this] { model_->send(); });
    row->addWidget(send_);
    controls->addLayout(row);
    column->addLayout(controls);
    return widget;
}

QWidget* ReportView::buildSentPage() {
    return ReportPages::sentPage(
        new SymbolTitle(QStringLiteral("checkmark.circle.fill"), QStringLiteral("Sent"), nullptr),
        QStringLiteral("Thanks. Your report is %1. If anybody asks about it, that is the number "
                       "to give them.")
            .arg(model_->phase().id()),
        *model_, this);
}

QWidget* ReportView::buildSavedPage() {
    const Config& config = model_->config();
    const bool emailed = model_->phase().is(Phase::Kind::emailed);
    const bool onDesktop = ReportFile::isOnDesktop(model_->phase().file(), model_->environment());

    QVBoxLayout* column = nullptr;
    QWidget* widget = ReportPages::page(column, this);
    column->addWidget(new SymbolTitle(QStringLiteral("tray.and.arrow.down.fill"),
                                      onDesktop ? QStringLiteral("Saved on your Desktop")
                                                : QStringLiteral("Saved in your reports folder"),
                                      widget));
    column->addWidget(
        new YardText(ReportPages::savedMessage(*model_, config.appName), Yard::bodyFont()));
    if (emailed) {
        column->addWidget(new YardText(
            QStringLiteral("Changed your mind? Go back, and close the mail that opened."),
            Yard::hintFont(), &Yard::Palette::muted));
    }
    column->addStretch();

    auto* row = new QHBoxLayout;
    if (emailed) {
        row->addWidget(ReportPages::backButton(*model_, widget));
    }
    row->addStretch();
    row->addWidget(ReportPages::revealButton(*model_, widget));
    if (const auto& page = config.fallbackPage) {
        auto* open = plainButton(QStringLiteral("Open the Report Page"), widget);
        connect(open, &QAbstractButton::clicked, this, [this, url = *page] {
            if (UrlOpener* urls = model_->environment().urls) {
                urls->open(url);
            }
        });
        row->addWidget(open);
    }
    row->addWidget(ReportPages::closeButton(*model_, widget));
    column->addLayout(row);
    return widget;
}

void ReportView::showPhase() {
    const Phase& phase = model_->phase();
    if (phase.is(Phase::Kind::writing) || phase.is(Phase::Kind::sending)) {
        ReportPages::replaceResult(*pages_, result_, nullptr);
        pages_->setCurrentWidget(writing_);
        refreshWriting();
        if (phase.is(Phase::Kind::writing)) {
            editor()->setFocus();
        }
        return;
    }
    ReportPages::replaceResult(*pages_, result_,
                               phase.is(Phase::Kind::sent) ? buildSentPage() : buildSavedPage());
}

void ReportView::refreshWriting() {
    const bool sending = model_->phase().is(Phase::Kind::sending);
    words_->refresh();
    if (consent_ != nullptr) {
        const QSignalBlocker quiet(consent_);
        consent_->setChecked(model_->sendingAllowed());
    }
    if (emailPlain_ != nullptr) {
        const bool prominent = emailIsProminent();
        emailPlain_->setVisible(!prominent);
        emailAccent_->setVisible(prominent);
        emailPlain_->setEnabled(model_->canEmail());
        emailAccent_->setEnabled(model_->canEmail());
    }
    send_->setText(sending ? QStringLiteral("Sending…") : QStringLiteral("Send"));
    send_->setBusy(sending);
    send_->setEnabled(model_->canSend());
}

}  // namespace pellucine::ReportProblem
