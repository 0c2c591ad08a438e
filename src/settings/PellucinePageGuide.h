#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>
#include <functional>

#include "diagnostics/ReportDelivery.h"
#include "platform/SwitcherBinding.h"
#include "platform/SystemDock.h"
#include "settings/SettingsView.h"
#include "updates/UpdateEnvironment.h"

namespace pellucine {

class FadingScrollView;
class PaneLink;
class YardButton;

// The live values a page guide names, read by the settings window each time it opens one.
struct GuideFacts {
    // The key caps of the window-search hotkey.
    QStringList searchKeys;
    // The Dock hover delay in milliseconds.
    qint64 hoverDelay = 0;
    // The build offers settings sync.
    bool syncAvailable = false;
    // Where new versions of this copy come from.
    UpdateSource updates = UpdateSource::feed;
    // How problem reports leave.
    ReportProblem::Delivery reports;
    // The Dock the previews sit on; the port's own bar unless told.
    SystemDock::Kind dock = SystemDock::Kind::dockBar;
    // The keys the switcher strip opens on; none while it is off.
    std::optional<SwitcherBinding> switcherKeys = SwitcherBinding{};

    friend bool operator==(const GuideFacts&, const GuideFacts&) = default;
};

// The "How this page works" sheet of one settings page: a few short paragraphs, some with live
// values, and links to related pages that switch the window's page and close the sheet. Done and
// Escape only close it. Window-modal, 560 wide, over the top of the settings window; as tall as
// its words, and scrolling above Done when the screen is shorter.
class PellucinePageGuide final : public QDialog {
    Q_OBJECT

  public:
    static constexpr int width = 560;
    static constexpr int inset = 28;
    static constexpr int spacing = 18;
    static constexpr int iconSize = 36;
    static constexpr int paragraphSpacing = 12;
    static constexpr int bulletSize = 6;
    static constexpr int bulletGap = 10;
    static constexpr int bulletDrop = 6;
    static constexpr int seeAlsoSpacing = 14;

    using Navigate = std::function<void(SettingsView::Bay page)>;

    // The page's paragraphs as key-hint templates; `websiteHost` names where updates come from.
    static QStringList paragraphs(const GuideFacts& facts, SettingsView::Bay page,
                                  const QString& websiteHost);
    // The pages the guide links to, in order.
    static QList<SettingsView::Bay> seeAlso(SettingsView::Bay page);
    // Every key as a cap, side by side: "{Shift}{Super}{Space}".
    static QString keyRun(const QStringList& keys);

    PellucinePageGuide(SettingsView::Bay page, const GuideFacts& facts, const QString& websiteHost,
                       Navigate onNavigate, QWidget* parent = nullptr);

    SettingsView::Bay page() const { return page_; }
    const QList<PaneLink*>& links() const { return links_; }
    YardButton* doneButton() const { return done_; }
    FadingScrollView* scrollView() const { return scroll_; }

    // What a "See also" link does: switches the window to `target`, then closes the sheet.
    void navigate(SettingsView::Bay target);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // Takes the height the words need, within the screen, and the place over the window.
    void fitToScreen();

    SettingsView::Bay page_;
    Navigate onNavigate_;
    QList<PaneLink*> links_;
    FadingScrollView* scroll_;
    YardButton* done_;
};

}  // namespace pellucine
