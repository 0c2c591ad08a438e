#include "panels/SwitcherPanelController.h"

#include <algorithm>

#include "coordination/AppModel.h"
#include "design/Yard.h"
#include "panels/FloatingPanel.h"
#include "panels/FullSizePeekLayout.h"
#include "panels/FullSizePeekPanelController.h"
#include "panels/FullSizePeekView.h"
#include "panels/GlanceContentView.h"
#include "panels/GlanceHeader.h"
#include "panels/PanelFrames.h"

namespace pellucine {

SwitcherPanelController::SwitcherPanelController(AppModel& model, GlanceEnvironment environment,
                                                 SwitcherPanelCallbacks callbacks)
    : model_(model),
      environment_(std::move(environment)),
      callbacks_(std::move(callbacks)),
      peek_(std::make_unique<FullSizePeekPanelController>(environment_)),
      panel_(std::make_unique<FloatingPanel>(false, environment_.windowSystem)) {
    panel_->setWindowTitle(QStringLiteral("Pellucine previews"));
    panel_->setGeometry(PanelFrames::current(environment_.screens)
                            .toWidget({0, 0, initialPanelSize.width, initialPanelSize.height}));
    panel_->setContent(new QWidget);
    if (environment_.appearance != nullptr) {
        Yard::follow(panel_.get(), *environment_.appearance);
    }
    subscriptions_ +=
        model_.previewImages().subscribe([this](const auto&) { followPeekedPicture(); });
}

SwitcherPanelController::~SwitcherPanelController() {
    // The content may still report the pointer leaving while it goes; nothing may answer then.
    if (content_) {
        content_->retire();
    }
    cancelPeek();
    panel_.reset();
    peek_.reset();
}

SwitcherPanelFactory SwitcherPanelController::factory(AppModel& model,
                                                      GlanceEnvironment environment) {
    return [&model, environment](SwitcherPanelCallbacks callbacks) {
        return std::make_unique<SwitcherPanelController>(model, environment, std::move(callbacks));
    };
}

bool SwitcherPanelController::isPanelVisible() const {
    return panel_ && panel_->isVisible();
}

ScreenRect SwitcherPanelController::panelFrame() const {
    return PanelFrames::current(environment_.screens).fromWidget(panel_->geometry());
}

bool SwitcherPanelController::isMenuOpen() const {
    return content_ && content_->isMenuOpen();
}

void SwitcherPanelController::show(SwitcherPanelShowOptions options) {
    // A refresh keeps the peek, waiting or shown, while its window is still listed; a peek
    // of a window this showing no longer lists goes.
    if (!peekTargetListed()) {
        cancelPeek();
        peek_->hide();
    }

    const PortablePreferences& preferences = model_.portablePreferences().value();
    dockMode_ = options.dockMode;
    GlanceGeometry::Input input;
    input.anchor = options.anchor;
    input.screenFrame = options.screenFrame;
    input.switcherFrame = options.switcherFrame;
    input.dockMode = options.dockMode;
    input.showsDockControls = options.showsWindowControls;
    input.showsSearchHint = options.showsSearchHint;
    input.hasCloseButton = static_cast<bool>(options.onClose);
    input.windows = model_.switcherSelection().value().windows;
    input.previewWidth = preferences.previewWidth;
    input.compactListPreferred =
        usesCompactList(preferences.dockPreviewStyle, static_cast<int>(input.windows.size()));
    input.screens = environment_.screens.screens();
    if (!input.screens.isEmpty()) {
        input.mainScreenVisibleFrame = input.screens.front().visibleFrame;
    }
    const GlanceGeometry fresh = GlanceGeometry::compute(input, environment_.measurer);

    const bool translucent = translucentSurface();
    GlanceContentView::Options content{fresh.layout,
                                       options.showsWindowControls,
                                       fresh.usesCompactList,
                                       options.showsSearchHint,
                                       std::move(options.onClose),
                                       translucent};
    // A showing while the glance is up, with windows it shows, refreshes it: each window keeps
    // its item, and its open menu. Where the glance stays and its places still hold every
    // window, nothing moves; else the items take the new layout, in the order shown.
    const bool refresh = isPanelVisible() && content_ &&
                         std::any_of(input.windows.begin(), input.windows.end(),
                                     [&](const WindowDescriptor& window) {
                                         return shownWindows_.contains(window.id);
                                     });
    shownWindows_.clear();
    for (const WindowDescriptor& window : input.windows) {
        shownWindows_.insert(window.id);
    }
    GlanceContentView::Options shown = content;
    shown.layout = geometry_.layout;
    shown.usesCompactList = geometry_.usesCompactList;
    const bool samePlace = refresh && placement_ == Placement::of(options) &&
                           content_->placeCount() <= placeCapacity_ && content_->accepts(shown);
    placement_ = Placement::of(options);
    if (samePlace) {
        // The layout and close action already shown stay.
    } else if (refresh && content_->accepts(content)) {
        geometry_ = fresh;
        content_->adopt(std::move(content));
    } else {
        geometry_ = fresh;
        GlanceCallbacks callbacks{
            callbacks_,
            [this](const std::optional<WindowDescriptor>& window) { showPeek(window); }};
        if (content_) {
            content_->retire();
        }
        content_ =
            new GlanceContentView(model_, environment_, std::move(callbacks), std::move(content));
        panel_->setTranslucent(translucent);
        panel_->setShape(GlanceContentView::outerPadding, GlanceContentView::cornerRadius);
        panel_->setContent(content_);
    }
    if (!samePlace) {
        const int count = std::max(static_cast<int>(input.windows.size()), 1);
        placeCapacity_ = geometry_.usesCompactList
                             ? count
                             : std::max(geometry_.layout.columns * geometry_.layout.rows, count);
    }

    const ScreenRect frame{geometry_.origin.x, geometry_.origin.y, geometry_.panelSize.width,
                           geometry_.panelSize.height};
    panel_->orderFront(PanelFrames::current(environment_.screens).toWidget(frame));
    // The panel came to the front; what stands above it comes back there.
    if (refresh) {
        content_->raiseMenus();
    }
    if (peek_->panel().isVisible()) {
        peek_->panel().raise();
    }
}

void SwitcherPanelController::hide() {
    cancelPeek();
    peek_->hide();
    if (content_) {
        content_->closeMenus();
    }
    panel_->orderOut();
}

bool SwitcherPanelController::translucentSurface() const {
    return !environment_.compositing || environment_.compositing();
}

void SwitcherPanelController::prepare() {
    panel_->setTranslucent(translucentSurface());
    panel_->prepare();
}

void SwitcherPanelController::showPeek(const std::optional<WindowDescriptor>& window) {
    if (!panel_ || !peek_) {
        return;
    }
    // The same tile entered again without leaving (its view rebuilt under the pointer) keeps
    // the delay it started.
    if (window && peekPending_ && peekTarget_ == window->id) {
        return;
    }
    cancelPeek();
    if (window && model_.portablePreferences().value().enableFullSizeHoverPeek) {
        peekPending_ = true;
        peekTarget_ = window->id;
        peekWork_ = ScopedWork(
            environment_.scheduler,
            environment_.scheduler.postAfter(seconds(peekDelaySeconds),
                                             [this, target = *window] { firePeek(target); }));
        return;
    }
    peek_->hide();
}

void SwitcherPanelController::cancelPeek() {
    peekWork_.reset();
    peekPending_ = false;
    peekTarget_.reset();
}

bool SwitcherPanelController::peekTargetListed() const {
    std::optional<quint32> target = peekTarget_;
    if (!target && peek_->view() != nullptr) {
        target = peek_->view()->window().id;
    }
    if (!target) {
        return true;
    }
    const QList<WindowDescriptor>& windows = model_.switcherSelection().value().windows;
    return std::any_of(windows.begin(), windows.end(),
                       [&](const WindowDescriptor& w) { return w.id == *target; });
}

double SwitcherPanelController::glanceHeaderDepth() const {
    const GlanceHeader* header = content_ != nullptr ? content_->header() : nullptr;
    if (header == nullptr) {
        return 0;
    }
    return header->mapTo(panel_.get(), QPoint(0, header->height())).y();
}

void SwitcherPanelController::firePeek(const WindowDescriptor& window) {
    peekPending_ = false;
    peekTarget_.reset();
    const QImage image = model_.previewImages().value().value(window.id);
    // A window kept private has no picture to show, whatever the model still holds.
    if (image.isNull() || model_.previewChoice().isPrivate(window)) {
        peek_->hide();
        return;
    }
    presentPeek(window, image);
    // The recorder keeps only the event's name: the window number is not a field it writes.
    environment_.events.record(QStringLiteral("full-size-peek-shown"),
                               {{QStringLiteral("windowID"), QString::number(window.id)}});
}

void SwitcherPanelController::presentPeek(const WindowDescriptor& window, const QImage& image) {
    const ScreenRect area =
        visibleFrameUnder(panelFrame(), environment_.screens.screens(), peekFallbackArea);
    if (dockMode_) {
        // Clear of the Dock glance's header and menu button, never squeezed into a sliver nor
        // smaller than the tile it peeks at (a compact row's thumbnail asks nothing).
        const Size tileCard = geometry_.usesCompactList ? Size{}
                                                        : Size{geometry_.layout.cardWidth,
                                                               geometry_.layout.previewHeight};
        peek_->show(window, image, area, panelFrame(), glanceHeaderDepth(), tileCard);
    } else {
        peek_->show(window, image, area);
    }
}

void SwitcherPanelController::followPeekedPicture() {
    const FullSizePeekView* shown = peek_ ? peek_->view() : nullptr;
    if (shown == nullptr || !peek_->panel().isVisible()) {
        return;
    }
    WindowDescriptor window = shown->window();
    const QImage image = model_.previewImages().value().value(window.id);
    if (image.isNull() || image.cacheKey() == shown->image().cacheKey()) {
        return;
    }
    if (model_.previewChoice().isPrivate(window)) {
        peek_->hide();
        return;
    }
    // With what the glance now says of the window: its title may have changed with it.
    for (const WindowDescriptor& listed : model_.switcherSelection().value().windows) {
        if (listed.id == window.id) {
            window = listed;
            break;
        }
    }
    presentPeek(window, image);
}

}  // namespace pellucine
