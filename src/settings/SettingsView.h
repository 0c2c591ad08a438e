#pragma once

#include <QCoro/QCoroTask>
#include <QPointer>
#include <QStringView>
#include <QWidget>
#include <functional>
#include <optional>

#include "base/SharedTask.h"
#include "base/SubscriptionBag.h"
#include "preferences/MachinePreferences.h"
#include "preferences/PortablePreferences.h"
#include "preferences/UnreadableCopy.h"
#include "settings/SettingsContext.h"
#include "settings/SettingsDocument.h"

class QAbstractButton;
class QPropertyAnimation;
class QVBoxLayout;

namespace pellucine {

class AppModel;
class BayHeader;
class FadingScrollView;
class PellucinePageGuide;
class SettingsSidebar;
class YardText;

// The content of the settings window: the page rail, and beside it the current page under its
// header with a band that describes the page and opens its guide. Pages write the model's
// preference records and commit through `markSaved`; the view hosts the settings transfers and
// the guide, and follows the page requests other parts of the program leave in the model.
// Main thread.
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
    static constexpr double savedSeconds = 1.6;
    static constexpr int scrollDurationMs = 200;

    static inline const QString topAnchor = QStringLiteral("bay-top");
    static inline const QString updatesTarget = QStringLiteral("updates");
    static inline const QString transferFailedTitle = QStringLiteral("Settings Transfer Failed");

    static const QList<Bay>& bays();
    // "general", "switcher", "dock", "about": the page names used everywhere.
    static QString rawValue(Bay bay);
    static QString title(Bay bay);
    static QString description(Bay bay);
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

    // "Saved" shows from a commit until 1.6 s after the last commit of a burst.
    bool isSaved() const { return saved_; }
    qint64 saveGeneration() const { return saveGeneration_; }
    // The one commit of every setting: saves both records through the model (stamped, normalised
    // and pushed when sync is on) and flashes "Saved" when both were written. A failed save
    // shows no stamp; the failure shows under the header until a save succeeds.
    void markSaved();
    bool isShowingSaveFailure() const;
    static QString saveFailureText(const AppPaths& paths);
    // Shown while stored settings that could not be read at start have not been told of: once
    // the window that showed it goes, it is not shown again.
    bool isShowingReverted() const;
    static QString revertedText(const UnreadableCopy& copy);

    // Writes the model's records without committing (a slider being dragged). A window closed
    // before the commit saves the change then.
    void editPortable(const std::function<void(PortablePreferences&)>& change);
    void editMachine(const std::function<void(MachinePreferences&)>& change);
    // Writes, then commits.
    void commitPortable(const std::function<void(PortablePreferences&)>& change);
    void commitMachine(const std::function<void(MachinePreferences&)>& change);

    // Sync on pulls the synced copy first, comparing it with the record as it stood before the
    // switch, and pushes only after that; sync off commits at once and pulls nothing.
    void setSyncEnabled(bool enabled);

    // Settings transfer.
    void exportSettings();
    const std::optional<SettingsDocument>& exportedDocument() const { return exportedDocument_; }
    bool isImporting() const { return importing_; }
    // Opens the file choice for an import.
    void startImport();
    // Reads the chosen file and asks to confirm replacing the settings with it.
    void importSelectedFile(const QString& path);
    const std::optional<PortablePreferences>& pendingImportedPreferences() const {
        return pendingImportedPreferences_;
    }
    bool isConfirmingImport() const { return confirmingImport_; }
    // Backs up the current settings, then applies the pending import keeping this machine's
    // sync choice. Without a backup nothing is applied.
    void applyImportedPreferences();
    void cancelImport();
    bool isConfirmingReset() const { return confirmingReset_; }
    void setConfirmingReset(bool confirming);
    // Both records back to their defaults, sync off.
    void resetAllSettings();
    // Writes a support file to the chosen place; none writes nothing.
    void saveSupportFileCompletion(const std::optional<QString>& path, const QByteArray& bytes);
    // The text of the "Settings Transfer Failed" alert, shown while set.
    const std::optional<QString>& importErrorMessage() const { return importErrorMessage_; }
    void setImportErrorMessage(const std::optional<QString>& message);

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
    struct Records {
        PortablePreferences portable;
        MachinePreferences machine;
    };

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
    void flashSaved();
    void stampSave(bool stored);
    void showReverted(const std::optional<UnreadableCopy>& copy);
    void noteUncommitted();
    Records records() const;
    QCoro::Task<void> pullBeforePush(CancellationToken token, quint64 toggle);

    AppModel& model_;
    SettingsContext context_;
    SubscriptionBag subscriptions_;

    Bay bay_ = Bay::general;
    bool showingHelp_ = false;
    bool saved_ = false;
    qint64 saveGeneration_ = 0;
    bool importing_ = false;
    std::optional<PortablePreferences> pendingImportedPreferences_;
    bool confirmingImport_ = false;
    std::optional<SettingsDocument> exportedDocument_;
    std::optional<QString> importErrorMessage_;
    bool confirmingReset_ = false;
    std::optional<QString> loginItemError_;
    std::optional<QString> scrollTarget_;

    // The records as they were before the first write not yet committed.
    std::optional<Records> uncommittedFrom_;
    // Counts sync switch flips; a pull finishing after a later flip pushes nothing.
    quint64 syncToggles_ = 0;
    TaskHandle syncPull_;

    SettingsSidebar* sidebar_;
    BayHeader* header_ = nullptr;
    YardText* saveFailure_ = nullptr;
    YardText* reverted_ = nullptr;
    FadingScrollView* pageArea_ = nullptr;
    QVBoxLayout* pageColumn_ = nullptr;
    QWidget* page_ = nullptr;
    YardText* bandDescription_ = nullptr;
    QAbstractButton* guideButton_ = nullptr;
    QPointer<PellucinePageGuide> guide_;
    QPointer<QPropertyAnimation> scrollAnimation_;
};

}  // namespace pellucine
