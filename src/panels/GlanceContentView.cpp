#include "panels/GlanceContentView.h"

#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>

#include "coordination/AppModel.h"
#include "design/Yard.h"
#include "panels/CompactRow.h"
#include "panels/GlanceHeader.h"
#include "panels/GlanceMenu.h"
#include "panels/GlanceStyle.h"
#include "panels/PreviewGrid.h"
#include "panels/PreviewTile.h"
#include "panels/SearchHint.h"

namespace pellucine {

GlanceContentView::GlanceContentView(AppModel& model, const GlanceEnvironment& environment,
                                     GlanceCallbacks callbacks, Options options, QWidget* parent)
    : QWidget(parent),
      model_(model),
      environment_(environment),
      callbacks_(std::move(callbacks)),
      options_(std::move(options)) {
    auto* layout = new QVBoxLayout(this);
    const int padding = static_cast<int>(outerPadding);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->setSpacing(spacing);

    std::function<void()> onClose;
    if (options_.onClose) {
        onClose = [this] { options_.onClose(); };
    }
    header_ = new GlanceHeader(options_.showsDockControls, std::move(onClose), callbacks_, this);
    layout->addWidget(header_);

    grid_ = new PreviewGrid(options_.layout, options_.usesCompactList);
    scroll_ = new QScrollArea(this);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll_->setFocusPolicy(Qt::NoFocus);
    scroll_->setWidgetResizable(true);
    scroll_->setAutoFillBackground(false);
    scroll_->viewport()->setAutoFillBackground(false);
    scroll_->setWidget(grid_);
    grid_->setAutoFillBackground(false);
    layout->addWidget(scroll_, 1);

    if (options_.showsSearchHint) {
        searchHint_ = new SearchHint(this);
        layout->addWidget(searchHint_);
    }

    subscriptions_ += model_.switcherSelection().subscribe([this](const auto&) { refresh(); });
    subscriptions_ += model_.previewImages().subscribe([this](const auto&) { refreshPictures(); });
    subscriptions_ +=
        model_.unansweredWindows().subscribe([this](const auto&) { refreshPictures(); });
    subscriptions_ += model_.portablePreferences().subscribeDistinct(
        [](const PortablePreferences& p) { return p.keepPasswordManagersPrivate; },
        [this](bool) { refresh(); });
    refresh();
}

GlanceContentView::~GlanceContentView() = default;

GlanceHeader* GlanceContentView::header() const {
    return header_->isHidden() ? nullptr : header_;
}

WindowItem::State GlanceContentView::itemState(const WindowDescriptor& window) const {
    WindowItem::State state;
    state.window = window;
    state.isPrivate = model_.previewChoice().isPrivate(window);
    state.picture = model_.previewImages().value().value(window.id);
    state.icon = environment_.icons.icon(window.ownerPID);
    state.unanswered = model_.unansweredWindows().value().contains(window.id);
    state.location = state.unanswered
                         ? WindowCommands::unansweredLabel
                         : WindowCommands::locationLabel(
                               window, environment_.workspace.runningApplication(window.ownerPID));
    return state;
}

WindowItem* GlanceContentView::makeItem(WindowItem::State state) {
    if (options_.usesCompactList) {
        return new CompactRow(std::move(state), callbacks_, options_.showsDockControls, grid_);
    }
    return new PreviewTile(std::move(state), options_.layout, callbacks_,
                           options_.showsDockControls, grid_);
}

bool GlanceContentView::accepts(const Options& options) const {
    return options.showsDockControls == options_.showsDockControls &&
           options.usesCompactList == options_.usesCompactList &&
           options.showsSearchHint == options_.showsSearchHint &&
           static_cast<bool>(options.onClose) == static_cast<bool>(options_.onClose) &&
           options.translucent == options_.translucent;
}

void GlanceContentView::adopt(Options options) {
    Q_ASSERT(accepts(options));
    options_ = std::move(options);
    for (qsizetype i = 0; i < places_.size(); ++i) {
        places_[i] = static_cast<int>(i);
    }
    grid_->setItems(items_, places_);
    grid_->setLayout(options_.layout);
}

int GlanceContentView::placeCount() const {
    return places_.isEmpty() ? 0 : places_.back() + 1;
}

void GlanceContentView::refresh() {
    const QList<WindowDescriptor> windows = model_.switcherSelection().value().windows;
    QList<WindowItem*> previous = items_;
    QList<int> previousPlaces = places_;
    QList<WindowItem*> current;
    QList<int> places;
    current.reserve(windows.size());
    places.reserve(windows.size());
    // Kept items keep their places while those still rise in the new order; new ones follow.
    bool placesHold = true;
    for (const WindowDescriptor& window : windows) {
        WindowItem::State state = itemState(window);
        const auto kept = std::find_if(previous.begin(), previous.end(), [&](WindowItem* item) {
            return item->state().window.id == window.id;
        });
        const int next = places.isEmpty() ? 0 : places.back() + 1;
        if (kept != previous.end()) {
            WindowItem* item = *kept;
            const int place = previousPlaces[kept - previous.begin()];
            previousPlaces.erase(previousPlaces.begin() + (kept - previous.begin()));
            previous.erase(kept);
            item->setState(std::move(state));
            current.append(item);
            placesHold = placesHold && place >= next;
            places.append(std::max(place, next));
        } else {
            current.append(makeItem(std::move(state)));
            places.append(next);
        }
    }
    if (!placesHold || previous.size() == items_.size()) {
        for (qsizetype i = 0; i < places.size(); ++i) {
            places[i] = static_cast<int>(i);
        }
    }
    // An item may be gone while its own click is being handled: delete it later. Its menu goes
    // with it, before it can act on a window no longer shown.
    for (WindowItem* gone : previous) {
        gone->closeMenu();
        gone->hide();
        gone->deleteLater();
    }
    items_ = current;
    places_ = places;
    grid_->setItems(items_, places_);

    if (windows.isEmpty()) {
        header_->hide();
    } else {
        const WindowDescriptor& first = windows.front();
        header_->setApplication(first.applicationName, first.ownerPID,
                                environment_.icons.icon(first.ownerPID),
                                static_cast<int>(windows.size()));
        header_->show();
    }
}

void GlanceContentView::refreshPictures() {
    // The same windows in the same places: only the pictures (or whether a window answers)
    // change, nothing is laid out anew.
    const QList<WindowDescriptor>& windows = model_.switcherSelection().value().windows;
    const bool sameWindows = windows.size() == items_.size() &&
                             std::equal(windows.begin(), windows.end(), items_.begin(),
                                        [](const WindowDescriptor& window, const WindowItem* item) {
                                            return item->state().window.id == window.id;
                                        });
    if (!sameWindows) {
        refresh();
        return;
    }
    for (WindowItem* item : items_) {
        WindowItem::State state = itemState(item->state().window);
        if (state.picture.cacheKey() != item->state().picture.cacheKey() ||
            state.isPrivate != item->state().isPrivate ||
            state.unanswered != item->state().unanswered) {
            item->setState(std::move(state));
        }
    }
}

bool GlanceContentView::isMenuOpen() const {
    const QList<GlanceMenu*> menus = findChildren<GlanceMenu*>();
    return std::any_of(menus.begin(), menus.end(),
                       [](const GlanceMenu* menu) { return menu->isVisible(); });
}

void GlanceContentView::closeMenus() {
    for (GlanceMenu* menu : findChildren<GlanceMenu*>()) {
        if (menu->isVisible()) {
            menu->close();
        }
    }
}

void GlanceContentView::raiseMenus() {
    for (GlanceMenu* menu : findChildren<GlanceMenu*>()) {
        if (menu->isVisible()) {
            menu->raise();
        }
    }
}

void GlanceContentView::retire() {
    subscriptions_.clear();
    closeMenus();
}

void GlanceContentView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const Yard::Palette& palette = Yard::palette(this);
    const QRectF card =
        QRectF(rect()).adjusted(outerPadding, outerPadding, -outerPadding, -outerPadding);
    GlanceStyle::fillRounded(painter, card, cornerRadius, GlanceStyle::panelMaterial(palette));
    GlanceStyle::strokeRounded(painter, card, cornerRadius, GlanceStyle::outline(outlineOpacity));
}

}  // namespace pellucine
