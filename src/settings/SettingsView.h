#pragma once

#include <QPointer>
#include <QStringView>
#include <QWidget>
#include <memory>
#include <optional>

#include "base/SubscriptionBag.h"
#include "platform/SystemDock.h"
#include "settings/SettingsContext.h"

class QAbstractButton;
class QPropertyAnimation;
class QVBoxLayout;

namespace pellucine {

class AppModel;
class BayHeader;
class FadingScrollView;
class PellucinePageGuide;
class SettingsSaving;
class SettingsSidebar;
class SettingsTransferFlow;
class YardText;

// The content of the settings window: the page rail, and beside it the current page under its
// header with a band that describes the page and opens its guide. Pages write the model's
// preference records and commit through the view's `saving`, and export, import and reset through
// its `transfer`; the view hosts both and the guide, and follows the page requests other parts of
// the program leave in the model. Main thread.
class SettingsView final : public QWidget {
    Q_OBJECT

  public:
    // The pages, in rail order.
    enum class Bay { general, switcher, dock, about };

    // Where a page request leads.
    struct Destination {
        Bay bay = Bay::general;
        // A page element to scroll to once.
        std::optional<QString> scrollTarget;

        friend bool operator==(const Destination&, const Destination&) = default;
    };

    static constexpr int minimumContentWidth = 899;
    static constexpr int minimumContentHeight = 679;
    static constexpr qreal dividerWidth = 1.5;
    static constexpr int columnWidth = 820;
    static constexpr int columnPadding = 26;
    static constexpr int pageSpacing = 16;
    static constexpr int scrollDurationMs = 200;

    static inline const QString topAnchor = QStringLiteral("bay-top");
    static inline const QString updatesTarget = QStringLiteral("updates");

    static const QList<Bay>& bays();
    // "general", "switcher", "dock", "about": the page names used everywhere.
    static QString rawValue(Bay bay);
    static QString title(Bay bay);
    // The band's line; the Dock page's names the Dock the previews sit on.
    static QString description(Bay bay, SystemDock::Kind dock);
    // The page whose raw value is exactly `raw`.
    static std::optional<Bay> bayNamed(QStringView raw);
    // What a page request asks for: "updates" is the About page at its updates card; any other
    // request must name a page exactly. None for a request that names no page.
    static std::optional<Destination> destination(QStringView request);

    SettingsView(AppModel& model, SettingsContext context, QWidget* parent = nullptr);
    ~SettingsView() override;

    AppModel& model() const { return model_; }
    const SettingsContext& context() const { return context_; }

    // The page shown; changing it closes the guide and starts the new page at its top.
    Bay bay() const { return bay_; }
    void setBay(Bay bay);
    // Shows the page scrolled to the element named `target`.
    void showPage(Bay bay, const QString& target);
    const std::optional<QString>& scrollTarget() const { return scrollTarget_; }

    bool isShowingHelp() const { return showingHelp_; }
    void setShowingHelp(bool showing);

    // The commits of the pages, the "Saved" stamp, sync and the notes under the header.
    SettingsSaving& saving() const { return *saving_; }
    // Export, import, reset and support files; every change of its state is a `stateChanged`.
    SettingsTransferFlow& transfer() const { return *transfer_; }

    // The launch-at-login switch's error, kept while the window lives.
    const std::optional<QString>& loginItemError() const { return loginItemError_; }
    void setLoginItemError(const std::optional<QString>& error);

    SettingsSidebar* sidebar() const { return sidebar_; }
    BayHeader* header() const { return header_; }
    FadingScrollView* pageArea() const { return pageArea_; }
    QWidget* page() const { return page_; }
    YardText* bandDescription() const { return bandDescription_; }
    QAbstractButton* guideButton() const { return guideButton_; }
    // The open guide, or null.
    PellucinePageGuide* guide() const;
    // The running scroll to a target, or null.
    QPropertyAnimation* scrollAnimation() const;

  signals:
    void bayChanged(pellucine::SettingsView::Bay bay);
    // A view-state field other than the page changed.
    void stateChanged();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    QWidget* buildContentColumn();
    QWidget* buildBand();
    void appeared();
    void disappeared();
    void consumePendingRequest();
    void rememberPage();
    void buildPage();
    void scrollToTopOrTarget();
    void scrollToTarget();
    void presentGuide();

    AppModel& model_;
    SettingsContext context_;
    SubscriptionBag subscriptions_;

    Bay bay_ = Bay::general;
    bool showingHelp_ = false;
    std::optional<QString> loginItemError_;
    std::optional<QString> scrollTarget_;

    // Made with the header; the flow commits through the saving, so it goes first.
    std::unique_ptr<SettingsSaving> saving_;
    std::unique_ptr<SettingsTransferFlow> transfer_;

    SettingsSidebar* sidebar_;
    BayHeader* header_ = nullptr;
    FadingScrollView* pageArea_ = nullptr;
    QVBoxLayout* pageColumn_ = nullptr;
    QWidget* page_ = nullptr;
    YardText* bandDescription_ = nullptr;
    QAbstractButton* guideButton_ = nullptr;
    QPointer<PellucinePageGuide> guide_;
    // The Dock the current page was built for.
    SystemDock::Kind pageDock_ = SystemDock::Kind::systemDock;
    QPointer<QPropertyAnimation> scrollAnimation_;
};

}  // namespace pellucine
