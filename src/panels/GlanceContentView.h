#pragma once

#include <QList>
#include <QWidget>
#include <functional>

#include "base/SubscriptionBag.h"
#include "panels/GlanceCallbacks.h"
#include "panels/GlanceEnvironment.h"
#include "panels/PreviewGridLayout.h"
#include "panels/WindowItem.h"

class QScrollArea;

namespace pellucine {

class AppModel;
class GlanceHeader;
class PreviewGrid;
class SearchHint;

// The card inside the preview panel: the header of the application, its windows as tiles in a
// grid or as rows of a compact list (scrolling when they do not fit), and for Command-Tab
// glances the search hint. It follows the model from its making to its retirement: a new
// selection, new pictures or a change of the privacy switch update the header and the items in
// place, each window keeping its item (so the one under the pointer is not entered again, and
// its open menu stays) and its place: a window that goes leaves its place empty, one that comes
// takes the next after the last. The selected index is never drawn. Every action leaves through
// the callbacks.
class GlanceContentView : public QWidget {
    Q_OBJECT

  public:
    struct Options {
        PreviewGridLayout layout;
        // The application menu in the header and the window controls on every item.
        bool showsDockControls = false;
        bool usesCompactList = false;
        bool showsSearchHint = false;
        // A close button in the header calls it.
        std::function<void()> onClose;
        // Drawn for a compositing manager to blend; else opaque.
        bool translucent = true;
    };

    static constexpr qreal outerPadding = 2;
    static constexpr qreal cornerRadius = 20;
    static constexpr qreal outlineOpacity = 0.16;
    static constexpr int spacing = 4;

    GlanceContentView(AppModel& model, const GlanceEnvironment& environment,
                      GlanceCallbacks callbacks, Options options, QWidget* parent = nullptr);
    ~GlanceContentView() override;

    const Options& options() const { return options_; }
    // Whether the view can show `options` by taking their layout and close action: the same
    // items, header and hint.
    bool accepts(const Options& options) const;
    // Takes a new layout and close action; the items close up, each in the order shown.
    void adopt(Options options);
    // Places taken or left empty, up to the last item's.
    int placeCount() const;
    // Null without any window to stand for the application.
    GlanceHeader* header() const;
    // In display order.
    const QList<WindowItem*>& items() const { return items_; }
    SearchHint* searchHint() const { return searchHint_; }
    QScrollArea* scrollArea() const { return scroll_; }
    PreviewGrid* grid() const { return grid_; }

    bool isMenuOpen() const;
    void closeMenus();
    // Brings the open menus back above the panel, which a refresh has raised.
    void raiseMenus();
    // Stops following the model; the view is about to go.
    void retire();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void refresh();
    // Brings the pictures up to date without laying the previews out again.
    void refreshPictures();
    WindowItem::State itemState(const WindowDescriptor& window) const;
    WindowItem* makeItem(WindowItem::State state);

    AppModel& model_;
    const GlanceEnvironment& environment_;
    GlanceCallbacks callbacks_;
    Options options_;
    GlanceHeader* header_;
    QScrollArea* scroll_;
    PreviewGrid* grid_;
    SearchHint* searchHint_ = nullptr;
    QList<WindowItem*> items_;
    // Each item's place, rising.
    QList<int> places_;
    SubscriptionBag subscriptions_;
};

}  // namespace pellucine
