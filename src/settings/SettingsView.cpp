#include "settings/SettingsView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "coordination/AppModel.h"
#include "design/BayHeader.h"
#include "design/FadingScrollView.h"
#include "design/Symbols.h"
#include "design/Yard.h"
#include "design/YardCard.h"
#include "design/YardText.h"
#include "platform/Desktop.h"
#include "preferences/SettingsUpdateResume.h"
#include "settings/DockWording.h"
#include "settings/PellucinePageGuide.h"
#include "settings/SettingsPages.h"
#include "settings/SettingsSaving.h"
#include "settings/SettingsSidebar.h"
#include "settings/SettingsTransferFlow.h"

namespace pellucine {

namespace {

// The strip between the rail and the page.
class Divider final : public QWidget {
  public:
    Divider() { setFixedWidth(2); }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(QRectF(0, 0, SettingsView::dividerWidth, height()),
                         Yard::palette(this).cardBorder);
    }
};

// The page band: a hairline along its top edge.
class Band final : public QWidget {
  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(QRect(0, 0, width(), 1), Yard::palette(this).hairline);
    }
};

// "How this page works": a question-mark symbol and underlined text.
class GuideButton final : public QAbstractButton {
  public:
    static constexpr int symbolGap = 5;

    GuideButton() {
        setText(QStringLiteral("How this page works"));
        setFont(Yard::hintFont());
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
    }

    QSize sizeHint() const override {
        const QFontMetrics metrics(font());
        const int symbol = metrics.height();
        return {symbol + symbolGap + metrics.horizontalAdvance(text()), metrics.height() + 2};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const Yard::Palette& palette = Yard::palette(this);
        const QColor ink = isDown() ? palette.fore : palette.muted;
        const QFontMetrics metrics(font());
        const int side = metrics.height();
        Symbols::draw(painter, u"questionmark.circle", QRectF(0, 1, side, side),
                      font().pointSizeF(), SymbolWeight::regular, {ink});
        QFont underlined = font();
        underlined.setUnderline(true);
        painter.setFont(underlined);
        painter.setPen(ink);
        painter.drawText(QPoint(side + symbolGap, 1 + metrics.ascent()), text());
        if (hasFocus()) {
            painter.setPen(QPen(palette.accentType, 1));
            painter.drawRect(rect().adjusted(0, 0, -1, -1));
        }
    }
};

// Places `widget` at the leading edge of a row at most `columnWidth` wide, padded.
QWidget* leadingColumn(QWidget* widget, const QMargins& padding) {
    auto* holder = new QWidget;
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(padding);
    row->setSpacing(0);
    widget->setMaximumWidth(SettingsView::columnWidth);
    row->addWidget(widget, 1);
    row->addStretch(0);
    return holder;
}

struct BayNames {
    QString raw;
    QString title;
    QString description;
};

const BayNames& names(SettingsView::Bay bay) {
    static const std::array<BayNames, 4> table{{
        {QStringLiteral("general"), QStringLiteral("General"),
         QStringLiteral(
             "Startup, where PELLUCINE shows itself, sync, and what leaves this computer.")},
        {QStringLiteral("switcher"), QStringLiteral("Switcher"), {}},
        {QStringLiteral("dock"), QStringLiteral("Dock"), {}},
        {QStringLiteral("about"), QStringLiteral("About"),
         QStringLiteral("Version, updates, help, and your data.")},
    }};
    return table.at(static_cast<std::size_t>(bay));
}

}  // namespace

const QList<SettingsView::Bay>& SettingsView::bays() {
    static const QList<Bay> all{Bay::general, Bay::switcher, Bay::dock, Bay::about};
    return all;
}

QString SettingsView::rawValue(Bay bay) {
    return names(bay).raw;
}

QString SettingsView::title(Bay bay) {
    return names(bay).title;
}

QString SettingsView::description(Bay bay, SystemDock::Kind dock) {
    if (bay == Bay::dock) {
        return QStringLiteral("Previews when you point at an app in ") +
               DockWording::of(dock).place + u'.';
    }
    if (bay == Bay::switcher) {
        return QStringLiteral("What appears above the switcher strip and ") +
               DockWording::of(dock).place + QStringLiteral(", and window search.");
    }
    return names(bay).description;
}

std::optional<SettingsView::Bay> SettingsView::bayNamed(QStringView raw) {
    for (const Bay bay : bays()) {
        if (rawValue(bay) == raw) {
            return bay;
        }
    }
    return std::nullopt;
}

std::optional<SettingsView::Destination> SettingsView::destination(QStringView request) {
    if (request == updatesTarget) {
        return Destination{Bay::about, updatesTarget};
    }
    if (const std::optional<Bay> bay = bayNamed(request)) {
        return Destination{*bay, std::nullopt};
    }
    return std::nullopt;
}

SettingsView::SettingsView(AppModel& model, SettingsContext context, QWidget* parent)
    : QWidget(parent),
      model_(model),
      context_(std::move(context)),
      sidebar_(new SettingsSidebar(
          context_.desktop.systemSwitcher().binding().value_or(SwitcherBinding{}))) {
    setMinimumSize(minimumContentWidth, minimumContentHeight);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(sidebar_);
    row->addWidget(new Divider);
    row->addWidget(buildContentColumn(), 1);
    connect(sidebar_, &SettingsSidebar::chosen, this, &SettingsView::setBay);
    transfer_ = std::make_unique<SettingsTransferFlow>(model_, context_, *saving_);
    connect(transfer_.get(), &SettingsTransferFlow::changed, this, &SettingsView::stateChanged);
    subscriptions_ += model_.pendingSettingsBay().subscribe([this](const std::optional<QString>&) {
        // A request left while the window is closed waits for the next showing.
        if (isVisible()) {
            consumePendingRequest();
        }
    });
    buildPage();
}

SettingsView::~SettingsView() = default;

PellucinePageGuide* SettingsView::guide() const {
    return guide_;
}

QPropertyAnimation* SettingsView::scrollAnimation() const {
    return scrollAnimation_;
}

QWidget* SettingsView::buildContentColumn() {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    header_ = new BayHeader(title(bay_), false);
    layout->addWidget(leadingColumn(header_, QMargins(columnPadding, 30, columnPadding, 16)));
    // The saving stamps the header and shows its notes under it.
    saving_ =
        std::make_unique<SettingsSaving>(model_, context_.scheduler, context_.paths, *header_);
    layout->addWidget(
        leadingColumn(saving_->saveFailureNote(), QMargins(columnPadding, 0, columnPadding, 12)));
    layout->addWidget(
        leadingColumn(saving_->revertedNote(), QMargins(columnPadding, 0, columnPadding, 12)));

    pageArea_ = new FadingScrollView(&Yard::Palette::ground, &Yard::Palette::muted);
    pageArea_->setObjectName(QStringLiteral("FadingScrollView"));
    auto* pages = new QWidget;
    pages->setAutoFillBackground(false);
    auto* pagesRow = new QHBoxLayout(pages);
    pagesRow->setContentsMargins(columnPadding, 2, columnPadding, 22);
    pagesRow->setSpacing(0);
    auto* pageColumn = new QWidget;
    pageColumn->setMaximumWidth(columnWidth);
    pageColumn_ = new QVBoxLayout(pageColumn);
    pageColumn_->setContentsMargins(0, 0, 0, 0);
    pageColumn_->setSpacing(pageSpacing);
    auto* anchor = new QWidget;
    anchor->setObjectName(topAnchor);
    anchor->setFixedHeight(0);
    pageColumn_->addWidget(anchor);
    pageColumn_->addStretch(1);
    pagesRow->addWidget(pageColumn, 1);
    pagesRow->addStretch(0);
    pageArea_->setWidget(pages);
    layout->addWidget(pageArea_, 1);

    layout->addWidget(buildBand());
    return column;
}

QWidget* SettingsView::buildBand() {
    auto* band = new Band;
    auto* outer = new QHBoxLayout(band);
    outer->setContentsMargins(columnPadding, 12, columnPadding, 12);
    outer->setSpacing(0);
    auto* inner = new QWidget;
    inner->setMaximumWidth(columnWidth);
    auto* row = new QHBoxLayout(inner);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(pageSpacing);
    // Its text comes with the page, which names the Dock in use.
    bandDescription_ = new YardText(QString(), Yard::hintFont(), &Yard::Palette::muted);
    row->addWidget(bandDescription_, 1);
    guideButton_ = new GuideButton;
    row->addWidget(guideButton_, 0, Qt::AlignVCenter);
    connect(guideButton_, &QAbstractButton::clicked, this, [this] { setShowingHelp(true); });
    outer->addWidget(inner, 1);
    outer->addStretch(0);
    return band;
}

void SettingsView::buildPage() {
    if (page_ != nullptr) {
        // The page may be the one whose link asked for the switch: it goes once that is over.
        pageColumn_->removeWidget(page_);
        page_->hide();
        page_->deleteLater();
        page_ = nullptr;
    }
    pageDock_ = context_.desktop.systemDock().kind();
    bandDescription_->setText(description(bay_, pageDock_));
    switch (bay_) {
        case Bay::general:
            page_ = SettingsPages::general(*this);
            break;
        case Bay::switcher:
            page_ = SettingsPages::switcher(*this);
            break;
        case Bay::dock: {
            auto* card = new YardCard(QStringLiteral("Dock Previews"));
            card->addWidget(SettingsPages::dock(*this));
            page_ = card;
            break;
        }
        case Bay::about:
            page_ = context_.aboutPage ? context_.aboutPage(*this) : SettingsPages::about(*this);
            break;
    }
    // After the anchor, before the closing stretch; shown now rather than on the next turn.
    pageColumn_->insertWidget(1, page_);
    page_->show();
}

void SettingsView::setBay(Bay bay) {
    if (bay == bay_) {
        return;
    }
    bay_ = bay;
    // A page chosen from inside the guide closes it.
    setShowingHelp(false);
    rememberPage();
    sidebar_->setCurrent(bay);
    header_->setTitle(title(bay));
    buildPage();
    scrollToTopOrTarget();
    emit bayChanged(bay);
}

void SettingsView::showPage(Bay bay, const QString& target) {
    scrollTarget_ = target;
    if (bay != bay_) {
        setBay(bay);
    } else {
        scrollToTopOrTarget();
    }
}

void SettingsView::setShowingHelp(bool showing) {
    if (showing == showingHelp_) {
        return;
    }
    showingHelp_ = showing;
    if (showing) {
        presentGuide();
    } else if (guide_) {
        guide_->close();
    }
    emit stateChanged();
}

void SettingsView::presentGuide() {
    const GuideFacts facts{
        model_.machinePreferences().value().windowSearchHotkey.keycapLabels(
            context_.desktop.keyboardState()),
        model_.portablePreferences().value().dockHoverDelayMilliseconds,
        Bundle::infoBool(QStringLiteral("DockCloudSyncConfigured"), *context_.bundle),
        model_.updates().updateSource(),
        context_.reports,
        context_.desktop.systemDock().kind(),
        context_.desktop.systemSwitcher().binding(),
    };
    auto* guide = new PellucinePageGuide(
        bay_, facts, context_.websiteHost(),
        [self = QPointer<SettingsView>(this)](Bay target) {
            if (self) {
                self->setBay(target);
            }
        },
        this);
    guide_ = guide;
    connect(guide, &QDialog::finished, this, [this, guide] {
        guide->deleteLater();
        if (guide_ == guide) {
            guide_.clear();
            if (showingHelp_) {
                showingHelp_ = false;
                emit stateChanged();
            }
        }
    });
    guide->open();
}

// ---- Showing and closing ---------------------------------------------------------------------

void SettingsView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        appeared();
    }
}

void SettingsView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous()) {
        disappeared();
    }
}

void SettingsView::appeared() {
    // The Dock page names the Dock the previews sit on, which may have changed while hidden.
    const SystemDock::Kind dock = context_.desktop.systemDock().kind();
    if (bay_ == Bay::dock && dock != pageDock_) {
        buildPage();
    }
    rememberPage();
    model_.loginItem().refresh();
    consumePendingRequest();
    scrollToTopOrTarget();
}

void SettingsView::disappeared() {
    saving_->windowClosed();
}

void SettingsView::rememberPage() {
    if (context_.resume != nullptr) {
        context_.resume->setLastSettingsPane(rawValue(bay_));
    }
}

void SettingsView::consumePendingRequest() {
    const std::optional<QString> request = model_.pendingSettingsBay().value();
    if (!request) {
        return;
    }
    model_.pendingSettingsBay().set(std::nullopt);
    const std::optional<Destination> target = destination(*request);
    if (!target) {
        return;
    }
    if (target->scrollTarget) {
        showPage(target->bay, *target->scrollTarget);
    } else {
        setBay(target->bay);
    }
}

void SettingsView::scrollToTopOrTarget() {
    if (scrollTarget_) {
        // Once the page is laid out.
        context_.scheduler.post([self = QPointer<SettingsView>(this)] {
            if (self) {
                self->scrollToTarget();
            }
        });
        return;
    }
    if (scrollAnimation_) {
        scrollAnimation_->stop();
    }
    pageArea_->verticalScrollBar()->setValue(0);
}

void SettingsView::scrollToTarget() {
    const std::optional<QString> target = std::exchange(scrollTarget_, std::nullopt);
    if (!target || page_ == nullptr) {
        return;
    }
    QWidget* element = page_->objectName() == *target ? page_ : page_->findChild<QWidget*>(*target);
    if (element == nullptr) {
        return;
    }
    QWidget* content = pageArea_->widget();
    QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    content->layout()->activate();
    QScrollBar* bar = pageArea_->verticalScrollBar();
    const int y = element->mapTo(content, QPoint(0, 0)).y();
    if (scrollAnimation_) {
        scrollAnimation_->stop();
    }
    auto* animation = new QPropertyAnimation(bar, "value", this);
    animation->setDuration(scrollDurationMs);
    animation->setEasingCurve(QEasingCurve::OutCubic);
    animation->setStartValue(bar->value());
    animation->setEndValue(std::clamp(y, bar->minimum(), bar->maximum()));
    scrollAnimation_ = animation;
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void SettingsView::setLoginItemError(const std::optional<QString>& error) {
    if (error == loginItemError_) {
        return;
    }
    loginItemError_ = error;
    emit stateChanged();
}

}  // namespace pellucine
