#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <optional>

#include "base/Clock.h"
#include "diagnostics/ReportDelivery.h"
#include "platform/SwitcherBinding.h"
#include "platform/SystemDock.h"

namespace pellucine {

class AppModel;
class Bundle;
class DiagnosticsService;
class EventRecording;
class FileRevealing;
class PaneLink;
class SavePanel;
class UpdatesCard;
class UrlOpener;
class YardButton;
class YardText;

// The About page of the settings window: the product and its version, the updates card, the
// ways to get help (a problem report, the diagnostics window, the support file, a mail to
// support) and the folder of the program's own files. It keeps no state of its own. Main thread.
class AboutPage : public QWidget {
    Q_OBJECT

  public:
    static constexpr QLatin1String settingsWindowTitle{"PELLUCINE Settings"};
    static constexpr int cardSpacing = 16;

    struct Context {
        AppModel& model;
        // The bundle whose "CFBundleVersion" the version line shows.
        const Bundle& bundle;
        DiagnosticsService& diagnostics;
        SavePanel& savePanel;
        EventRecording& events;
        UrlOpener& urls;
        FileRevealing& files;
        const WallClock& clock;
        // The product's website; without one the maker's page for the product is linked.
        std::optional<QUrl> website;
        // The program's folder of its own files, and the home folder that is shown as "~".
        QString dataFolder;
        QString homeFolder;
        // The settings window's commit of a changed setting.
        std::function<void()> markSaved;
        // Shows the settings window's "Settings Transfer Failed" alert with this text.
        std::function<void(const QString&)> showTransferFailure;
        // Opens the problem-report window; none while the program's delegate is not running.
        std::function<void()> openReport;
        std::function<void()> showDiagnostics;
        // How this build's problem reports leave; the Support card says so.
        ReportProblem::Delivery reports;
        // The Dock previews sit on, as the product card names it.
        SystemDock::Kind dock = SystemDock::Kind::dockBar;
        // The keys the switcher strip opens on, as the product card names them; none: it is off.
        std::optional<SwitcherBinding> switcherKeys = SwitcherBinding{};
    };

    explicit AboutPage(Context context, QWidget* parent = nullptr);
    ~AboutPage() override;

    // Records "report-opened" and opens the report window; nothing without `openReport`.
    void reportProblem();
    void showDiagnostics();
    // Waits for the event log, builds the support file and asks where to save it: attached to
    // the settings window when that is in front, otherwise free-standing.
    void saveSupportFile();
    void emailSupport();
    // Makes the data folder when it is missing and shows it in the file manager.
    void showDataFolder();

    // The product card's line: previews above the strip, named by its keys, and `dockPlace`.
    static QString productNote(const std::optional<SwitcherBinding>& switcherKeys,
                               const QString& dockPlace);
    // "v", the version, " · build " and the bundle's "CFBundleVersion" ("dev" when it is not a
    // text).
    static QString versionLine(const QString& version, const Bundle& bundle);
    // `folder` with a leading `home` shown as "~".
    static QString shownLocation(const QString& folder, const QString& home);
    // The window a save panel attaches to: `active` when it is the settings window.
    static QWidget* sheetWindow(QWidget* active);
    static QUrl supportMailUrl(const QString& address);

    YardText* versionText() const { return version_; }
    UpdatesCard* updatesCard() const { return updates_; }
    PaneLink* reportLink() const { return report_; }
    PaneLink* diagnosticsLink() const { return diagnostics_; }
    YardButton* saveSupportFileButton() const { return saveSupportFile_; }
    YardButton* emailSupportButton() const { return emailSupport_; }
    YardText* locationText() const { return location_; }
    YardButton* showFolderButton() const { return showFolder_; }

  private:
    QWidget* buildProductCard();
    QWidget* buildSupportCard();
    QWidget* buildDataCard();

    Context context_;
    YardText* version_ = nullptr;
    UpdatesCard* updates_ = nullptr;
    PaneLink* report_ = nullptr;
    PaneLink* diagnostics_ = nullptr;
    YardButton* saveSupportFile_ = nullptr;
    YardButton* emailSupport_ = nullptr;
    YardText* location_ = nullptr;
    YardButton* showFolder_ = nullptr;
};

}  // namespace pellucine
