#pragma once

#include <QList>
#include <QWidget>

#include "base/SubscriptionBag.h"
#include "preferences/DockPreviewStyle.h"

namespace pellucine {

class NumberWell;
class PaneLink;
class SettingsView;
class SwitchRow;
class YardSelect;
class YardText;

// The content of the "Dock Previews" card: whether pointing at a Dock icon shows previews, which
// Dock they sit on (named as `DockWording` names it) and, while they are on, the delay, the
// window controls, single-window apps and the layout; then a link to the Switcher page for the
// settings both share.
class DockPage final : public QWidget {
    Q_OBJECT

  public:
    static constexpr int selectWidth = 190;

    // "Automatic", "Thumbnails", "Compact List".
    static QString layoutTitle(DockPreviewStyle style);

    explicit DockPage(SettingsView& view, QWidget* parent = nullptr);
    ~DockPage() override;

    void refresh();

    SwitchRow* previewsSwitch() const { return previews_; }
    // Which Dock the previews sit on, or what they need; read when the page is built.
    YardText* dockLine() const { return dockLine_; }
    // The rows shown only while Dock previews are on.
    QWidget* dependentRows() const { return dependent_; }
    NumberWell* delayWell() const { return delay_; }
    const QList<SwitchRow*>& dependentSwitches() const { return dependentSwitches_; }
    YardSelect* layoutSelect() const { return layout_; }
    PaneLink* switcherLink() const { return switcherLink_; }

  private:
    SettingsView& view_;
    SubscriptionBag subscriptions_;
    SwitchRow* previews_;
    YardText* dockLine_;
    QWidget* dependent_;
    NumberWell* delay_;
    QList<SwitchRow*> dependentSwitches_;
    YardSelect* layout_;
    PaneLink* switcherLink_;
};

}  // namespace pellucine
