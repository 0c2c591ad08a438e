#include "settings/OnboardingView.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>

#include "design/FadingScrollView.h"
#include "design/HazardStripe.h"
#include "design/KeyHint.h"
#include "design/PaneLink.h"
#include "design/Yard.h"
#include "design/YardButton.h"
#include "design/YardMasthead.h"
#include "design/YardText.h"
#include "preferences/PermissionService.h"
#include "settings/CardFrame.h"
#include "settings/DockWording.h"
#include "settings/DraggablePermissionTile.h"
#include "settings/FeatureCard.h"
#include "settings/PermissionRow.h"
#include "settings/StepTab.h"
#include "settings/SymbolIcon.h"

namespace pellucine {
namespace {

constexpr int tabSpacing = 14;
constexpr QMargins columnMargins{28, 22, 28, 24};
constexpr int columnSpacing = 16;
constexpr int pageBottom = 8;
constexpr int headingSpacing = 10;
constexpr int introductionSpacing = 20;
constexpr int tileSpacing = 18;
constexpr int permissionsSpacing = 16;
constexpr int dockSpacing = 18;
constexpr int dockRowSpacing = 12;
constexpr int noticeSpacing = 10;
constexpr int noticePadding = 12;
constexpr int closingSpacing = 4;

QVBoxLayout* column(QWidget* owner, int spacing) {
    auto* layout = new QVBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

QWidget* pageHeading(const QString& title) {
    auto* heading = new QWidget;
    QVBoxLayout* layout = column(heading, headingSpacing);
    layout->addWidget(new YardText(title, Yard::displayFont()));
    layout->addWidget(new HazardStripe(5));
    return heading;
}

YardText* mutedText(const QString& text, const QFont& font) {
    return new YardText(text, font, &Yard::Palette::muted);
}

void runIfSet(const std::function<void()>& action) {
    if (action) {
        action();
    }
}

}  // namespace

OnboardingView::OnboardingView(PermissionService& permissions, Scheduler& scheduler,
                               Step initialStep, const QStringList& searchKeys, Actions actions,
                               std::optional<SwitcherBinding> switcherKeys, QWidget* parent)
    : QWidget(parent),
      permissions_(permissions),
      scheduler_(scheduler),
      actions_(std::move(actions)),
      switcherKeys_(switcherKeys),
      step_(initialStep) {
    setMinimumSize(minimumWidth, minimumHeight);

    auto* content = new QWidget;
    QVBoxLayout* pages = column(content, 0);
    pages->setContentsMargins(0, 0, 0, pageBottom);
    // The scroll view sizes the content by its height for the width it is given; a minimum
    // taken from the narrowest wrapping of every text would make it scroll needlessly.
    pages->setSizeConstraint(QLayout::SetNoConstraint);
    content->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Ignored);
    pages_ = {introductionPage(), permissionsPage(), dockPage(searchKeys)};
    for (QWidget* page : pages_) {
        pages->addWidget(page);
    }
    pages->addStretch(1);
    scroll_ = new FadingScrollView(&Yard::Palette::ground, &Yard::Palette::muted);
    scroll_->setWidget(content);

    back_ = new YardButton(QStringLiteral("Back"), YardButton::Kind::secondary);
    forward_ = new YardButton(QString(), YardButton::Kind::primary);
    connect(back_, &YardButton::clicked, this, &OnboardingView::goBack);
    connect(forward_, &YardButton::clicked, this, &OnboardingView::goForward);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(0, 0, 0, 0);
    bar->addWidget(back_);
    bar->addStretch(1);
    bar->addWidget(forward_);

    auto* pageColumn = new QVBoxLayout;
    pageColumn->setContentsMargins(columnMargins);
    pageColumn->setSpacing(columnSpacing);
    pageColumn->addWidget(scroll_, 1);
    pageColumn->addLayout(bar);

    QVBoxLayout* layout = column(this, 0);
    layout->addWidget(masthead());
    layout->addLayout(pageColumn, 1);

    // Return presses the forward button whatever has the focus; a held key presses it once.
    for (const int key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* forward = new QShortcut(QKeySequence(key), this);
        forward->setAutoRepeat(false);
        connect(forward, &QShortcut::activated, this, &OnboardingView::goForward);
    }
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { window()->close(); });

    subscriptions_ += permissions_.accessibility().subscribeDistinct(
        [this](PermissionState) { refreshPermissionViews(); });
    subscriptions_ += permissions_.screenRecording().subscribeDistinct(
        [this](PermissionState) { refreshPermissionViews(); });
    refreshPermissionViews();
    showStep();
}

OnboardingView::~OnboardingView() = default;

const std::array<QString, OnboardingView::stepCount>& OnboardingView::stepTitles() {
    static const std::array<QString, stepCount> titles{
        QStringLiteral("Super+Tab"), QStringLiteral("Permissions"), QStringLiteral("Dock")};
    return titles;
}

QString OnboardingView::searchRowTemplate(const QStringList& searchKeys,
                                          const std::optional<SwitcherBinding>& switcherKeys) {
    const QString then = QStringLiteral("then type part of its title.");
    QStringList ways;
    if (!searchKeys.isEmpty()) {
        QString keys;
        for (const QString& key : searchKeys) {
            keys += u'{' + key + u'}';
        }
        ways << keys;
    }
    if (switcherKeys) {
        ways << QStringLiteral("{F} while ") + switcherKeys->caps() + QStringLiteral(" is up");
    }
    if (ways.isEmpty()) {
        return QStringLiteral("Choose Search Windows… in the tray menu, ") + then;
    }
    return QStringLiteral("Press ") + ways.join(QStringLiteral(", or ")) + QStringLiteral(", ") +
           then;
}

QString OnboardingView::screenRecordingDescription(PermissionState state) {
    if (state == PermissionState::restartRequired) {
        return QStringLiteral("Restart PELLUCINE so it can take pictures of your windows.");
    }
    return QStringLiteral(
        "Take still pictures of your windows for the previews. Nothing is recorded or saved. "
        "X11 allows this without asking.");
}

QWidget* OnboardingView::masthead() {
    auto* strip = new QWidget;
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(tabSpacing);
    for (int i = 0; i < stepCount; ++i) {
        const bool keysStep = i == static_cast<int>(Step::introduction);
        tabs_[i] = new StepTab(keysStep && switcherKeys_ ? switcherKeys_->name() : stepTitles()[i],
                               i, stepCount);
        connect(tabs_[i], &StepTab::clicked, this, [this, i] { jumpTo(static_cast<Step>(i)); });
        row->addWidget(tabs_[i], 0, Qt::AlignVCenter);
    }
    auto* masthead = new YardMasthead;
    masthead->setTrailing(strip);
    return masthead;
}

FeatureCard* OnboardingView::featureTile(const QString& symbol, const QString& title,
                                         const QString& text) {
    return new FeatureCard(FeatureCard::Layout::tile, symbol, title, text);
}

FeatureCard* OnboardingView::featureRow(const QString& symbol, const QString& title,
                                        const QString& text) {
    return new FeatureCard(FeatureCard::Layout::row, symbol, title, text);
}

PermissionRow* OnboardingView::permissionRow(PermissionKind kind, const QString& title,
                                             std::function<QString(PermissionState)> describe) {
    return new PermissionRow(permissions_, kind, title, std::move(describe));
}

QWidget* OnboardingView::introductionPage() {
    auto* page = new QWidget;
    QVBoxLayout* layout = column(page, introductionSpacing);
    layout->addWidget(pageHeading(QStringLiteral("See the window you want before you open it.")));
    // While the strip is off the tiles still show how it works, under why it does not open.
    const SwitcherBinding shown = switcherKeys_.value_or(SwitcherBinding{});
    layout->addWidget(new KeyHint(
        switcherKeys_
            ? QStringLiteral("Press ") + shown.caps() +
                  QStringLiteral(" to switch apps. While you hold {Super}, PELLUCINE shows a "
                                 "picture of every window in the highlighted app, above its "
                                 "switcher strip.")
            : SwitcherBinding::notice(switcherKeys_),
        Yard::bodyFont(), true));
    auto* tiles = new QHBoxLayout;
    tiles->setSpacing(tileSpacing);
    tiles->addWidget(featureTile(QStringLiteral("rectangle.stack"), QStringLiteral("Switch apps"),
                                 QStringLiteral("Hold ") + shown.heldCaps() +
                                     QStringLiteral(" and press {Tab}. {Shift}{Tab} moves back.")),
                     1);
    tiles->addWidget(
        featureTile(QStringLiteral("rectangle.stack.fill"), QStringLiteral("See every window"),
                    QStringLiteral("Pictures of the highlighted app's windows, "
                                   "minimized ones too, appear above the switcher strip.")),
        1);
    tiles->addWidget(
        featureTile(QStringLiteral("cursorarrow.click.2"), QStringLiteral("Pick a window"),
                    QStringLiteral("Keep holding {Super} and click the window you want. Let go "
                                   "without clicking and the app switches as usual.")),
        1);
    layout->addLayout(tiles);
    return page;
}

QWidget* OnboardingView::permissionsPage() {
    auto* page = new QWidget;
    QVBoxLayout* layout = column(page, permissionsSpacing);
    layout->addWidget(pageHeading(QStringLiteral("Allow window previews")));
    layout->addWidget(mutedText(
        QStringLiteral("X11 needs no permission for PELLUCINE to see your windows and bring "
                       "your choice forward, so both are already granted. Pictures of your "
                       "windows stay in memory on this computer, are never written to disk, "
                       "and never leave it."),
        Yard::bodyFont()));
    accessibilityRow_ = permissionRow(
        PermissionKind::accessibility, QStringLiteral("Accessibility"), [](PermissionState) {
            return QStringLiteral(
                "Follow the switcher strip and bring the window you choose to the front.");
        });
    screenRecordingRow_ =
        permissionRow(PermissionKind::screenRecording, QStringLiteral("Screen Recording"),
                      &OnboardingView::screenRecordingDescription);
    dragTile_ = new DraggablePermissionTile;
    layout->addWidget(accessibilityRow_);
    layout->addWidget(screenRecordingRow_);
    layout->addWidget(dragTile_);
    layout->addWidget(
        mutedText(QStringLiteral("X11 grants both to every program you run."), Yard::hintFont()));
    return page;
}

QWidget* OnboardingView::buildNotice() {
    auto* notice =
        new CardFrame({.padding = {noticePadding, noticePadding, noticePadding, noticePadding},
                       .borderWidth = 1.0,
                       .border = &Yard::Palette::accentType,
                       .fill = std::nullopt},
                      QBoxLayout::LeftToRight, noticeSpacing);
    const int side = qCeil(Symbols::side(SymbolIcon::title3));
    notice->content()->addWidget(
        new SymbolIcon(QStringLiteral("exclamationmark.circle"), SymbolIcon::title3,
                       SymbolWeight::regular, &Yard::Palette::accentType, QSize(side, side)),
        0, Qt::AlignTop);
    notice->content()->addWidget(
        new YardText(
            QStringLiteral("Previews start once both permissions on the previous step are on."),
            Yard::hintFont()),
        1);
    return notice;
}

QWidget* OnboardingView::closingLine() {
    return linkedSentence(QStringLiteral("Reopen this from the tray menu: Welcome & "
                                         "Permissions. Everything else is in"),
                          new PaneLink(QStringLiteral("Settings"), Yard::hintFont(),
                                       [this] { runIfSet(actions_.openSettings); }),
                          QStringLiteral("."), Yard::hintFont(), closingSpacing);
}

QWidget* OnboardingView::dockPage(const QStringList& searchKeys) {
    auto* page = new QWidget;
    QVBoxLayout* layout = column(page, dockSpacing);
    QWidget* heading = pageHeading(QString());
    dockHeading_ = heading->findChild<YardText*>();
    layout->addWidget(heading);
    dockIntroduction_ = mutedText(QString(), Yard::bodyFont());
    layout->addWidget(dockIntroduction_);
    auto* rows = new QVBoxLayout;
    rows->setSpacing(dockRowSpacing);
    hoverRow_ = featureRow(QStringLiteral("dock.rectangle"),
                           QStringLiteral("Hover for window previews"), QString());
    rows->addWidget(hoverRow_);
    rows->addWidget(featureRow(QStringLiteral("minus.square"),
                               QStringLiteral("Manage windows in place"),
                               QStringLiteral("Minimize, restore, enter full screen, or close a "
                                              "window from its preview.")));
    rows->addWidget(featureRow(QStringLiteral("rectangle.split.2x1"),
                               QStringLiteral("Arrange your workspace"),
                               QStringLiteral("Right-click a preview to move it left, right, to "
                                              "a corner, or maximize it.")));
    rows->addWidget(featureRow(QStringLiteral("ellipsis.circle"),
                               QStringLiteral("Handle the whole app"),
                               QStringLiteral("Use the menu above Dock previews to minimize, "
                                              "restore, or close all windows, hide the app, or "
                                              "quit it.")));
    searchRow_ =
        featureRow(QStringLiteral("magnifyingglass"), QStringLiteral("Find any window by name"),
                   searchRowTemplate(searchKeys, switcherKeys_));
    rows->addWidget(searchRow_);
    layout->addLayout(rows);
    notice_ = buildNotice();
    layout->addWidget(notice_);
    layout->addWidget(closingLine());
    setDock(SystemDock::Kind::systemDock);
    return page;
}

void OnboardingView::setDock(SystemDock::Kind kind) {
    const DockWording dock = DockWording::of(kind);
    dockHeading_->setText(dock.heading);
    dockIntroduction_->setText(
        dock.invitingOr(QStringLiteral("Point at an app in ") + dock.place +
                        QStringLiteral(" to work with its windows without opening the app "
                                       "first.")));
    hoverRow_->text()->setTemplateText(QStringLiteral("See every open window for a ") +
                                       dock.appNoun +
                                       QStringLiteral(" app. Apps with many windows switch to a "
                                                      "compact list automatically."));
}

void OnboardingView::jumpTo(Step step) {
    if (step_ != step) {
        step_ = step;
        showStep();
    }
}

void OnboardingView::goBack() {
    if (step_ != Step::introduction) {
        jumpTo(static_cast<Step>(static_cast<int>(step_) - 1));
    }
}

void OnboardingView::goForward() {
    if (step_ == Step::dock) {
        runIfSet(actions_.onDone);
        return;
    }
    jumpTo(static_cast<Step>(static_cast<int>(step_) + 1));
}

void OnboardingView::showStep() {
    const int current = static_cast<int>(step_);
    for (int i = 0; i < stepCount; ++i) {
        pages_[i]->setVisible(i == current);
        tabs_[i]->setCurrent(i == current);
    }
    back_->setVisible(step_ != Step::introduction);
    forward_->setText(step_ == Step::dock ? QStringLiteral("Start Using PELLUCINE")
                                          : QStringLiteral("Continue"));
    scroll_->verticalScrollBar()->setValue(0);
}

void OnboardingView::refreshPermissionViews() {
    const bool screenGranted = permissions_.screenRecording().value() == PermissionState::granted;
    const bool bothGranted =
        screenGranted && permissions_.accessibility().value() == PermissionState::granted;
    dragTile_->setVisible(!screenGranted);
    notice_->setVisible(!bothGranted);
}

void OnboardingView::schedulePoll() {
    poll_ = ScopedWork(scheduler_, scheduler_.postAfter(seconds(pollSeconds), [this] {
        schedulePoll();
        permissions_.refresh(pollSource);
    }));
}

void OnboardingView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!poll_.isSet()) {
        schedulePoll();
    }
}

void OnboardingView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    poll_.reset();
}

void OnboardingView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Yard::palette(this).ground);
}

}  // namespace pellucine
