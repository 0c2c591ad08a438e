#include "diagnostics/ReportView.h"

#include <QFileInfo>
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
#include "diagnostics/ReportFile.h"
#include "diagnostics/ReportModel.h"
#include "platform/UrlOpener.h"

namespace pellucine::ReportProblem {

namespace {

constexpr int titleSize = 20;
constexpr int editorInset = 8;
constexpr int placeholderInset = 13;
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
    EditorBox(QPlainTextEdit* editor, YardText* placeholder, QWidget* parent)
        : QWidget(parent), editor_(editor), placeholder_(placeholder) {
        editor->setParent(this);
        placeholder->setParent(this);
        placeholder->setAttribute(Qt::WA_TransparentForMouseEvents);
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
    QPlainTextEdit* editor_;
    YardText* placeholder_;
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

QWidget* page(QWidget* parent, QVBoxLayout*& column) {
    auto* widget = new QWidget(parent);
    column = new QVBoxLayout(widget);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(ReportView::spacing);
    return widget;
}

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
    connect(model_.get(), &Model::textChanged, this, &ReportView::takeModelText);
    connect(model_.get(), &Model::sendingAllowedChanged, this, &ReportView::refreshWriting);
    showPhase();
}

ReportView::~ReportView() = default;

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
    QWidget* widget = page(this, column);

    column->addWidget(new YardText(QStringLiteral("What happened?"), titleFont()));
    column->addWidget(new YardText(
        QStringLiteral("What you were doing, what you expected, and what %1 did instead.")
            .arg(config.appName),
        Yard::font(12.5), &Yard::Palette::muted));

    editor_ = new QPlainTextEdit;
    editor_->setFont(Yard::bodyFont());
    editor_->setFrameShape(QFrame::NoFrame);
    editor_->viewport()->setAutoFillBackground(false);
    editor_->setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; }"));
    editor_->document()->setDocumentMargin(placeholderInset - editorInset);
    editor_->setTabChangesFocus(true);
    editor_->setPlainText(model_->text());
    placeholder_ = new YardText(config.example, Yard::bodyFont(), &Yard::Palette::muted);
    column->addWidget(new EditorBox(editor_, placeholder_, widget), 1);
    connect(editor_, &QPlainTextEdit::textChanged, this, &ReportView::takeEditorText);

    column->addWidget(new YardText(
        QStringLiteral(
            "Sent with it: %1's version, your Linux version, your computer's model, a random "
            "install id, and %1's own log of which apps it moved, never what was in "
            "their windows.")
            .arg(config.appName),
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
    cancel_ = plainButton(QStringLiteral("Cancel"), widget);
    cancel_->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(cancel_, &QAbstractButton::clicked, this, [this] { model_->close(); });
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

YardButton* ReportView::closeButton(QWidget* parent) {
    auto* close = new YardButton(QStringLiteral("Close"), YardButton::Kind::primary, parent);
    close->setShortcut(QKeySequence(Qt::Key_Return));
    connect(close, &QAbstractButton::clicked, this, [this] { model_->close(); });
    return close;
}

QWidget* ReportView::buildSentPage() {
    QVBoxLayout* column = nullptr;
    QWidget* widget = page(this, column);
    column->addWidget(
        new SymbolTitle(QStringLiteral("checkmark.circle.fill"), QStringLiteral("Sent"), widget));
    auto* message = new YardText(QStringLiteral("Thanks. Your report is %1. If anybody asks about "
                                                "it, that is the number to give them.")
                                     .arg(model_->phase().id()),
                                 Yard::bodyFont());
    message->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    column->addWidget(message);
    column->addStretch();
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(closeButton(widget));
    column->addLayout(row);
    return widget;
}

QWidget* ReportView::buildSavedPage() {
    const Config& config = model_->config();
    const Environment& environment = model_->environment();
    const Phase& phase = model_->phase();
    const bool emailed = phase.is(Phase::Kind::emailed);
    const QString file = phase.file();
    const bool onDesktop = ReportFile::isOnDesktop(file, environment);

    QVBoxLayout* column = nullptr;
    QWidget* widget = page(this, column);
    column->addWidget(new SymbolTitle(QStringLiteral("tray.and.arrow.down.fill"),
                                      onDesktop ? QStringLiteral("Saved on your Desktop")
                                                : QStringLiteral("Saved in your reports folder"),
                                      widget));
    const QString lead = emailed ? QStringLiteral("A new mail to %1 has the report attached.")
                                       .arg(config.supportEmail.value_or(QStringLiteral("support")))
                                 : phase.reason();
    column->addWidget(new YardText(
        lead + QStringLiteral(" Everything you wrote, and what %1 attached, is in %2 %3.")
                   .arg(config.appName, QFileInfo(file).fileName(),
                        ReportFile::place(file, environment)),
        Yard::bodyFont()));
    if (emailed) {
        column->addWidget(new YardText(
            QStringLiteral("Changed your mind? Go back, and close the mail that opened."),
            Yard::hintFont(), &Yard::Palette::muted));
    }
    column->addStretch();

    auto* row = new QHBoxLayout;
    if (emailed) {
        auto* back = plainButton(QStringLiteral("Back"), widget);
        connect(back, &QAbstractButton::clicked, this, [this] { model_->backFromEmail(); });
        row->addWidget(back);
    }
    row->addStretch();
    auto* show = plainButton(QStringLiteral("Show in File Manager"), widget);
    connect(show, &QAbstractButton::clicked, this, [this, file] {
        if (const auto& files = model_->environment().files) {
            files->reveal(file);
        }
    });
    row->addWidget(show);
    if (const auto& page = config.fallbackPage) {
        auto* open = plainButton(QStringLiteral("Open the Report Page"), widget);
        connect(open, &QAbstractButton::clicked, this, [this, url = *page] {
            if (UrlOpener* urls = model_->environment().urls) {
                urls->open(url);
            }
        });
        row->addWidget(open);
    }
    row->addWidget(closeButton(widget));
    column->addLayout(row);
    return widget;
}

void ReportView::showPhase() {
    const Phase& phase = model_->phase();
    const bool writing = phase.is(Phase::Kind::writing) || phase.is(Phase::Kind::sending);
    if (result_) {
        pages_->removeWidget(result_);
        result_->deleteLater();
    }
    if (writing) {
        pages_->setCurrentWidget(writing_);
        refreshWriting();
        if (phase.is(Phase::Kind::writing)) {
            editor_->setFocus();
        }
        return;
    }
    result_ = phase.is(Phase::Kind::sent) ? buildSentPage() : buildSavedPage();
    pages_->addWidget(result_);
    pages_->setCurrentWidget(result_);
}

void ReportView::refreshWriting() {
    const bool sending = model_->phase().is(Phase::Kind::sending);
    placeholder_->setVisible(model_->text().isEmpty());
    editor_->setEnabled(!sending);
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

void ReportView::takeEditorText() {
    // Only the user's edits reach the model, never the echo of the model's own text.
    const QString typed = editor_->toPlainText();
    if (typed != model_->text()) {
        model_->setText(typed);
    }
}

void ReportView::takeModelText() {
    if (editor_->toPlainText() != model_->text()) {
        const QSignalBlocker quiet(editor_);
        editor_->setPlainText(model_->text());
    }
    refreshWriting();
}

}  // namespace pellucine::ReportProblem
