#include "settings/SettingsView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "base/Spawn.h"
#include "coordination/AppModel.h"
#include "design/BayHeader.h"
#include "design/FadingScrollView.h"
#include "design/Symbols.h"
#include "design/Yard.h"
#include "design/YardCard.h"
#include "design/YardText.h"
#include "preferences/SettingsFileStore.h"
#include "preferences/SettingsUpdateResume.h"
#include "settings/DialogHost.h"
#include "settings/PellucinePageGuide.h"
#include "settings/SettingsPages.h"
#include "settings/SettingsSidebar.h"
#include "settings/SettingsTransfer.h"

namespace pellucine {

namespace {

const QString fallbackErrorText = QStringLiteral("Choose a valid PELLUCINE settings file.");

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
        {QStringLiteral("switcher"), QStringLiteral("Switcher"),
         QStringLiteral(
             "What appears above the switcher strip and the Dock bar, and window search.")},
        {QStringLiteral("dock"), QStringLiteral("Dock"),
         QStringLiteral("Previews when you point at an app in the Dock.")},
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

QString SettingsView::description(Bay bay) {
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
    subscriptions_ += model_.pendingSettingsBay().subscribe([this](const std::optional<QString>&) {
        // A request left while the window is closed waits for the next showing.
        if (isVisible()) {
            consumePendingRequest();
        }
    });
    subscriptions_ += model_.preferencesUnsaved().subscribe(
        [this](bool unsaved) { saveFailure_->setVisible(unsaved); });
    subscriptions_ += model_.settingsReverted().subscribe(
        [this](const std::optional<UnreadableCopy>& copy) { showReverted(copy); });
    buildPage();
}

SettingsView::~SettingsView() = default;

QString SettingsView::saveFailureText(const AppPaths& paths) {
    return QStringLiteral(
               "Settings could not be saved in %1. Changes last only until PELLUCINE quits; "
               "they are saved once the folder can be written again.")
        .arg(QFileInfo(SettingsFileStore::standardFilePath(paths)).path());
}

QString SettingsView::revertedText(const UnreadableCopy& copy) {
    QString text =
        QStringLiteral("Saved settings could not be read, so PELLUCINE started from the defaults.");
    if (!copy.path.isEmpty()) {
        text += QStringLiteral(" A copy of them was kept in %1.").arg(copy.path);
    } else if (!copy.isSafe()) {
        text += QStringLiteral(" No copy could be kept, so the file is left as it was.");
    }
    return text;
}

bool SettingsView::isShowingReverted() const {
    return !reverted_->isHidden();
}

void SettingsView::showReverted(const std::optional<UnreadableCopy>& copy) {
    if (copy) {
        reverted_->setText(revertedText(*copy));
    }
    reverted_->setVisible(copy.has_value());
}

bool SettingsView::isShowingSaveFailure() const {
    return !saveFailure_->isHidden();
}

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
    saveFailure_ =
        new YardText(saveFailureText(context_.paths), Yard::hintFont(), &Yard::Palette::accent);
    saveFailure_->setObjectName(QStringLiteral("saveFailure"));
    saveFailure_->setVisible(model_.preferencesUnsaved().value());
    layout->addWidget(leadingColumn(saveFailure_, QMargins(columnPadding, 0, columnPadding, 12)));
    reverted_ = new YardText(QString(), Yard::hintFont(), &Yard::Palette::accent);
    reverted_->setObjectName(QStringLiteral("settingsReverted"));
    reverted_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    showReverted(model_.settingsReverted().value());
    layout->addWidget(leadingColumn(reverted_, QMargins(columnPadding, 0, columnPadding, 12)));

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
    bandDescription_ = new YardText(description(bay_), Yard::hintFont(), &Yard::Palette::muted);
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
    bandDescription_->setText(description(bay));
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
        model_.machinePreferences().value().windowSearchHotkey.keycapLabels(),
        model_.portablePreferences().value().dockHoverDelayMilliseconds,
        Bundle::infoBool(QStringLiteral("DockCloudSyncConfigured"), *context_.bundle),
        model_.updates().updateSource(),
        context_.reports,
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

// ---- Commit ----------------------------------------------------------------------------------

void SettingsView::markSaved() {
    const bool stored = model_.applyPreferences();
    uncommittedFrom_.reset();
    stampSave(stored);
}

void SettingsView::stampSave(bool stored) {
    if (stored) {
        flashSaved();
        return;
    }
    // The failure shows instead, for as long as the model says the records are unsaved.
    ++saveGeneration_;
    saved_ = false;
    header_->setSaved(false);
}

void SettingsView::flashSaved() {
    const qint64 generation = ++saveGeneration_;
    saved_ = true;
    header_->setSaved(true);
    context_.scheduler.postAfter(seconds(savedSeconds),
                                 [self = QPointer<SettingsView>(this), generation] {
                                     if (self && self->saveGeneration_ == generation) {
                                         self->saved_ = false;
                                         self->header_->setSaved(false);
                                     }
                                 });
}

SettingsView::Records SettingsView::records() const {
    return {model_.portablePreferences().value(), model_.machinePreferences().value()};
}

void SettingsView::noteUncommitted() {
    if (!uncommittedFrom_) {
        uncommittedFrom_ = records();
    }
}

void SettingsView::editPortable(const std::function<void(PortablePreferences&)>& change) {
    noteUncommitted();
    model_.portablePreferences().modify(change);
}

void SettingsView::editMachine(const std::function<void(MachinePreferences&)>& change) {
    noteUncommitted();
    model_.machinePreferences().modify(change);
}

void SettingsView::commitPortable(const std::function<void(PortablePreferences&)>& change) {
    model_.portablePreferences().modify(change);
    markSaved();
}

void SettingsView::commitMachine(const std::function<void(MachinePreferences&)>& change) {
    model_.machinePreferences().modify(change);
    markSaved();
}

void SettingsView::setSyncEnabled(bool enabled) {
    const quint64 toggle = ++syncToggles_;
    if (!enabled) {
        commitPortable([](PortablePreferences& p) { p.syncEnabled = false; });
        return;
    }
    // The switch is kept at once, unstamped, so that the pull compares the synced copy with the
    // settings as they were; only what the pull leaves is pushed.
    model_.portablePreferences().modify([](PortablePreferences& p) { p.syncEnabled = true; });
    stampSave(model_.storePreferences());
    syncPull_ = spawn(context_.scheduler, guarded(this, &SettingsView::pullBeforePush, toggle));
}

QCoro::Task<void> SettingsView::pullBeforePush(CancellationToken, quint64 toggle) {  // NOLINT
    const QPointer<SettingsView> self(this);
    AppModel& model = model_;
    co_await model.pullSyncedPreferences();
    if (!self || self->syncToggles_ != toggle) {
        co_return;
    }
    // A copy that could not be read is never overwritten.
    if (model.syncStatus().value().statusCase() == AppModel::SyncStatus::Case::failed) {
        co_return;
    }
    self->commitPortable([](PortablePreferences& p) { p.syncEnabled = true; });
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
    rememberPage();
    model_.loginItem().refresh();
    consumePendingRequest();
    scrollToTopOrTarget();
}

void SettingsView::disappeared() {
    // Told once: a window that showed the reverted settings does not show them again.
    if (isShowingReverted()) {
        model_.settingsReverted().set(std::nullopt);
    }
    // Only changes not committed yet are saved as the window goes: a window opened and closed
    // again leaves the records, their date and the synced copy alone.
    if (uncommittedFrom_) {
        const Records before = *std::exchange(uncommittedFrom_, std::nullopt);
        const Records now = records();
        if (now.portable != before.portable || now.machine != before.machine) {
            model_.applyPreferences();
        }
    }
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

// ---- Transfer --------------------------------------------------------------------------------

void SettingsView::exportSettings() {
    QByteArray data;
    try {
        data = SettingsTransfer::fileData(model_.portablePreferences().value());
    } catch (const std::exception& error) {
        setImportErrorMessage(errorDescription(error));
        return;
    }
    exportedDocument_ = SettingsDocument{data};
    emit stateChanged();
    context_.dialogs.chooseFileToSave(
        {QStringLiteral("Export Settings"), SettingsTransfer::nameFilter,
         SettingsTransfer::defaultFileName, QStringLiteral("json")},
        [self = QPointer<SettingsView>(this)](const std::optional<QString>& path) {
            if (!self) {
                return;
            }
            const std::optional<SettingsDocument> document =
                std::exchange(self->exportedDocument_, std::nullopt);
            emit self->stateChanged();
            if (!path || !document) {
                return;
            }
            try {
                document->write(*path);
            } catch (const std::exception& error) {
                self->setImportErrorMessage(errorDescription(error));
            }
        });
}

void SettingsView::startImport() {
    if (importing_) {
        return;
    }
    importing_ = true;
    emit stateChanged();
    context_.dialogs.chooseFileToOpen(
        {QStringLiteral("Import Settings"), SettingsTransfer::nameFilter, QString(), QString()},
        [self = QPointer<SettingsView>(this)](const std::optional<QString>& path) {
            if (!self) {
                return;
            }
            self->importing_ = false;
            emit self->stateChanged();
            if (path) {
                self->importSelectedFile(*path);
            }
        });
}

void SettingsView::importSelectedFile(const QString& path) {
    PortablePreferences imported;
    try {
        imported = model_.preferenceStore().importSettings(path);
    } catch (const std::exception& error) {
        setImportErrorMessage(errorDescription(error));
        return;
    }
    pendingImportedPreferences_ = imported;
    confirmingImport_ = true;
    emit stateChanged();
    context_.dialogs.confirm(
        {QStringLiteral("Replace your settings with this file's?"),
         QStringLiteral("PELLUCINE backs up your current settings first, in About › Your Data › "
                        "backups. This computer's permissions, login item and sync choice stay "
                        "as they are."),
         QStringLiteral("Import Settings"), true, QStringLiteral("Cancel")},
        [self = QPointer<SettingsView>(this)](bool confirmed) {
            if (!self) {
                return;
            }
            self->confirmingImport_ = false;
            if (confirmed) {
                self->applyImportedPreferences();
            } else {
                self->cancelImport();
            }
            emit self->stateChanged();
        });
}

void SettingsView::applyImportedPreferences() {
    if (!pendingImportedPreferences_) {
        return;
    }
    const PortablePreferences current = model_.portablePreferences().value();
    try {
        SettingsTransfer::writeBackup(context_.paths, current);
    } catch (const std::exception& error) {
        pendingImportedPreferences_.reset();
        setImportErrorMessage(errorDescription(error));
        return;
    }
    PortablePreferences imported = *std::exchange(pendingImportedPreferences_, std::nullopt);
    imported.syncEnabled = current.syncEnabled;
    model_.portablePreferences().set(std::move(imported));
    markSaved();
    emit stateChanged();
}

void SettingsView::cancelImport() {
    pendingImportedPreferences_.reset();
    emit stateChanged();
}

void SettingsView::setConfirmingReset(bool confirming) {
    if (confirming == confirmingReset_) {
        return;
    }
    confirmingReset_ = confirming;
    emit stateChanged();
}

void SettingsView::resetAllSettings() {
    model_.portablePreferences().set(SettingsTransfer::defaultPortable(context_.wallClock.now()));
    model_.machinePreferences().set(SettingsTransfer::defaultMachine());
    confirmingReset_ = false;
    markSaved();
    emit stateChanged();
}

void SettingsView::saveSupportFileCompletion(const std::optional<QString>& path,
                                             const QByteArray& bytes) {
    if (!path) {
        return;
    }
    try {
        SettingsTransfer::writeFile(*path, bytes);
    } catch (const std::exception& error) {
        setImportErrorMessage(errorDescription(error));
    }
}

void SettingsView::setImportErrorMessage(const std::optional<QString>& message) {
    importErrorMessage_ = message;
    emit stateChanged();
    if (!message) {
        return;
    }
    const QString text = message->isEmpty() ? fallbackErrorText : *message;
    context_.dialogs.alert(
        {transferFailedTitle, text, QStringLiteral("OK")},
        [self = QPointer<SettingsView>(this), text] {
            // A later failure's alert keeps its own message.
            if (self && self->importErrorMessage_ &&
                (self->importErrorMessage_->isEmpty() ? fallbackErrorText
                                                      : *self->importErrorMessage_) == text) {
                self->importErrorMessage_.reset();
                emit self->stateChanged();
            }
        });
}

void SettingsView::setLoginItemError(const std::optional<QString>& error) {
    if (error == loginItemError_) {
        return;
    }
    loginItemError_ = error;
    emit stateChanged();
}

}  // namespace pellucine
