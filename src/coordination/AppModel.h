#pragma once

#include <QCoro/QCoroTask>
#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QLocale>
#include <QObject>
#include <QSet>
#include <QTimeZone>
#include <exception>
#include <functional>
#include <optional>
#include <unordered_map>

#include "base/BackgroundExecutor.h"
#include "base/CancellationToken.h"
#include "base/Clock.h"
#include "base/EventRecording.h"
#include "base/Observable.h"
#include "base/Scheduler.h"
#include "base/SharedTask.h"
#include "base/SubscriptionBag.h"
#include "coordination/CapturedPreview.h"
#include "coordination/DecodedPreview.h"
#include "coordination/FocusStamps.h"
#include "coordination/PreviewChoice.h"
#include "coordination/SwitcherSelection.h"
#include "core/ApplicationDescriptor.h"
#include "core/PreviewCache.h"
#include "core/PreviewServicing.h"
#include "core/WindowServicing.h"
#include "platform/Desktop.h"
#include "preferences/LoginItemService.h"
#include "preferences/PermissionService.h"
#include "preferences/PreferenceStoring.h"
#include "preferences/PreferenceSyncing.h"
#include "preferences/RecordDating.h"
#include "preferences/SyncMerge.h"
#include "updates/UpdateController.h"

namespace pellucine {

// Window pictures by window number.
using PreviewImages = QHash<quint32, QImage>;

// The one observable state of the program and the owner of its long-lived services. Every
// published field announces each store to its subscribers after the value is stored. The
// asynchronous operations continue on the main thread after each wait and keep nothing of
// the model alive: once it is gone they end without touching it. Main thread only.
class AppModel final : public QObject {
    Q_OBJECT

  public:
    class SyncStatus {
      public:
        enum class Case { synced, failed, idle, syncing };

        SyncStatus() = default;
        // `tookRemote`: the sync replaced this computer's settings with another computer's.
        static SyncStatus synced(QDateTime at, bool tookRemote = false) {
            return {Case::synced, std::move(at), {}, tookRemote};
        }
        static SyncStatus failed(QString message) { return {Case::failed, {}, std::move(message)}; }
        static SyncStatus idle() { return {}; }
        static SyncStatus syncing() { return {Case::syncing, {}, {}}; }

        Case statusCase() const { return case_; }
        // The time of the success; invalid for the other cases.
        const QDateTime& date() const { return date_; }
        // The user-facing message of a failure; empty for the other cases.
        const QString& message() const { return message_; }
        // Whether a success took another computer's settings in place of this one's.
        bool tookRemote() const { return tookRemote_; }

        // What the settings page shows: "Synced " and the time in the locale's short style
        // (saying so when another computer's newer settings were taken), the failure's
        // message, nothing, or "Syncing…".
        QString text(const QLocale& locale = QLocale::system(),
                     const QTimeZone& zone = QTimeZone::systemTimeZone()) const;

        friend bool operator==(const SyncStatus&, const SyncStatus&) = default;

      private:
        SyncStatus(Case c, QDateTime date, QString message, bool tookRemote = false)
            : case_(c),
              date_(std::move(date)),
              message_(std::move(message)),
              tookRemote_(tookRemote) {}

        Case case_ = Case::idle;
        QDateTime date_;
        QString message_;
        bool tookRemote_ = false;
    };

    // What the model runs on besides its four services; all of it outlives the model.
    struct Platform {
        Desktop& desktop;
        Scheduler& scheduler;
        EventRecording& events;
        const WallClock& wallClock;
        // Decodes JPEG copies and makes them for the cache.
        BackgroundExecutor& executor;
        // Returns once every event recorded so far is written.
        std::function<void()> waitForEventLog;
        // What the update controller reads of the program and its process.
        UpdateEnvironment updates = UpdateEnvironment::ofProcess();
    };

    // How one capture group runs: how many captures at once, whether a fresh cached picture
    // is taken again, and whether a picture that arrives after its preview session ended is
    // still handed out.
    struct CaptureGroup {
        int maxConcurrent = 4;
        bool forceCapture = false;
        bool keepLateResult = false;

        static constexpr CaptureGroup load() { return {4, false, false}; }
        static constexpr CaptureGroup refresh() { return {4, true, false}; }
        static constexpr CaptureGroup warm() { return {2, true, true}; }
        static constexpr CaptureGroup preload() { return {4, false, false}; }
    };

    using CaptureHandler = std::function<void(const CapturedPreview&)>;

    static constexpr double cacheTimeToLiveSeconds = 1200;
    static constexpr int cacheCapacity = 150;
    static constexpr int cacheHotCapacity = 16;
    // A picture shown from the cache is taken again when it is older than this.
    static constexpr double refreshAgeSeconds = 2.0;
    // Pictures younger than this are not taken again by warmAllPreviews and preloadPreviews.
    static constexpr double recentAgeSeconds = 60;

    // What a published picture of a window on screen is beside the cache: the picture taken
    // last and young enough, an older one than the cache holds now, or older than
    // refreshAgeSeconds or taken while the window had another size.
    enum class PublishedPicture { current, superseded, old };

    // Creates the services the model owns, loads both preference records and installs the
    // memory-pressure source.
    AppModel(Platform platform, WindowServicing& windowService, PreviewServicing& previewService,
             PreferenceStoring& preferenceStore, PreferenceSyncing& syncService,
             QObject* parent = nullptr);
    ~AppModel() override;
    AppModel(const AppModel&) = delete;
    AppModel& operator=(const AppModel&) = delete;

    // Published fields.
    // The running applications with their windows, from the last refresh applied.
    Observable<QList<ApplicationDescriptor>>& applications() { return applications_; }
    Observable<PortablePreferences>& portablePreferences() { return portablePreferences_; }
    Observable<MachinePreferences>& machinePreferences() { return machinePreferences_; }
    // Why the window-search hotkey could not be registered; set by the coordinator.
    Observable<std::optional<QString>>& windowSearchHotkeyProblem() {
        return windowSearchHotkeyProblem_;
    }
    // The pictures the panel draws.
    Observable<PreviewImages>& previewImages() { return previewImages_; }
    Observable<SwitcherSelection>& switcherSelection() { return switcherSelection_; }
    // Windows sent a close from the glance that their application did not answer; emptied when
    // the glance ends.
    Observable<QSet<quint32>>& unansweredWindows() { return unansweredWindows_; }
    // The last user-facing failure; nothing here clears it.
    Observable<std::optional<QString>>& errorMessage() { return errorMessage_; }
    Observable<SyncStatus>& syncStatus() { return syncStatus_; }
    // The settings page the settings window is to show next.
    Observable<std::optional<QString>>& pendingSettingsBay() { return pendingSettingsBay_; }
    // Whether the last save of the records failed: set until a save of both succeeds.
    Observable<bool>& preferencesUnsaved() { return preferencesUnsaved_; }
    // Stored settings that could not be read at start, so that defaults replaced them, and
    // where they were kept aside; cleared once the user was told.
    Observable<std::optional<UnreadableCopy>>& settingsReverted() { return settingsReverted_; }

    // Services, fixed for the model's life.
    PermissionService& permissions() { return permissions_; }
    LoginItemService& loginItem() { return loginItem_; }
    WindowServicing& windowService() { return windowService_; }
    PreviewServicing& previewService() { return previewService_; }
    PreferenceStoring& preferenceStore() { return preferenceStore_; }
    PreferenceSyncing& syncService() { return syncService_; }
    PreviewCache& previewCache() { return previewCache_; }
    UpdateController& updates() { return updates_; }

    // The current preview session; pictures of an earlier one are no longer published.
    qint64 previewSessionGeneration() const { return previewSessionGeneration_; }
    // Starts the next preview session; callers then reset the previews.
    void advancePreviewSessionGeneration() { ++previewSessionGeneration_; }
    // After an action on the window was carried out: a new preview session in which every
    // picture stays shown (a window gone off screen keeps its last one) but the window's own
    // is taken again by the next load while it is on screen; a closed window's goes.
    void windowActedOn(const WindowAction& action, const WindowDescriptor& window);
    // Whether a capture of the window is running, and how many are.
    bool isCapturing(quint32 window) const { return previewTasks_.contains(window); }
    int runningCaptureCount() const { return static_cast<int>(previewTasks_.size()); }
    bool hasMemoryPressureSource() const { return memoryPressure_.isActive(); }
    // The password-manager rule with the current preferences.
    PreviewChoice previewChoice() const;

    // Lists the windows again through the window service. Never fails: a failure is shown
    // in errorMessage and recorded, and leaves the list and the cache as they were. When
    // refreshes overlap, a result older than the one already applied is dropped.
    QCoro::Task<void> refreshWindows();
    // True when the window service carried the action out; then a new preview session
    // begins. On failure the message goes to errorMessage.
    bool performWindowAction(WindowAction action, const WindowDescriptor& window);
    // After the records were changed: normalises the portable record and stamps it when its
    // settings differ from those last saved (so a save without a change does not make this
    // copy newer than an edit made elsewhere), saves both and, when sync is on, pushes the
    // portable record. A push never replaces a stored record that wins over it (SyncMerge):
    // that record is taken instead. Pushes run one at a time, in order; records saved while one
    // runs are coalesced into one push of the newest. Returns whether both were saved.
    bool applyPreferences();
    // Saves both records as they are: no new modification date, no push. Returns whether both
    // were saved.
    bool storePreferences();
    // Takes the synced record when it wins over the local one (SyncMerge, as `read` says), and
    // saves. Never fails; does nothing while sync is off.
    QCoro::Task<void> pullSyncedPreferences(SyncMerge::Read read = SyncMerge::Read::update);
    // Reads the synced record now and whenever the store says it changed, while sync is on;
    // reads asked for while one runs are coalesced into one more. Until the model goes.
    void followSyncedPreferences();
    // Returns once the pushes asked for so far have ended.
    QCoro::Task<void> pushesFinished();

    // Previews. Every operation belongs to the preview session current when it started.
    // Empties the published pictures, the cache too unless previews are kept ready, and
    // makes the capture service fetch a new list of windows.
    void resetPreviews();
    // Publishes pictures for the windows, in panel order: what is published or cached at once,
    // JPEG copies after decoding, the rest after capturing; pictures from the cache are then
    // taken again. A cancelled load starts no further captures and publishes nothing more.
    QCoro::Task<void> loadPreviews(CancellationToken token, QList<WindowDescriptor> windows);
    // Whether a load would show something new for the windows: a picture missing that the
    // cache or a capture can give, or one on screen that is no longer current.
    bool needsPictures(const QList<WindowDescriptor>& windows) const;
    // Publishes at once, in one change, the fresh decoded pictures the cache holds for the
    // windows on screen that are shown and not published yet, so that a panel about to show
    // them has them in its first frame. A load then counts them as cached.
    void publishFreshPictures(const QList<WindowDescriptor>& windows);
    // One window's picture: a fresh cached one unless forced, else the capture running for
    // it or a new one. Throws the capture's error, or CancellationError for a picture of an
    // ended session unless late results are kept.
    QCoro::Task<QImage> previewImage(CancellationToken token, WindowDescriptor window,
                                     qint64 generation, bool forceCapture, bool keepLateResult);
    // Pictures the windows with at most group.maxConcurrent in flight, started in list order,
    // and hands each result to onResult as it arrives. Once the token is cancelled no further
    // capture starts; the running ones are still handed out.
    QCoro::Task<void> capturePreviews(CancellationToken token, QList<WindowDescriptor> windows,
                                      qint64 generation, CaptureGroup group,
                                      CaptureHandler onResult);
    // Decodes the copies off the main thread, all at once; the pictures in the order they
    // finished, failures left out.
    QCoro::Task<QList<DecodedPreview>> decodePreviews(CancellationToken token,
                                                      QList<PreviewCopy> copies);

    // Warm-up and preload fill the cache only.
    // warmPreviews for the first `cacheCapacity` windows on screen, with a maximum age of 60 s.
    QCoro::Task<void> warmAllPreviews(CancellationToken token);
    // Captures the windows whose picture is missing or older than maxAge seconds, two at a
    // time; only while previews are kept ready.
    QCoro::Task<void> warmPreviews(CancellationToken token, QList<WindowDescriptor> windows,
                                   double maxAge);
    // Decodes the JPEG copies of the windows and captures those on screen whose picture is
    // missing or older than 60 s.
    QCoro::Task<void> preloadPreviews(CancellationToken token, QList<WindowDescriptor> windows);

    // Subscribes to the desktop's memory-pressure source.
    void startMemoryPressureMonitor();
    // Critical: empties the cache; a warning: drops the decoded pictures that JPEG copies can
    // rebuild. Published pictures stay.
    void handleMemoryPressure(bool critical);

  private:
    void applySnapshot(quint64 sequence, QList<ApplicationDescriptor> snapshot);
    void refreshFailed(quint64 sequence, const std::exception_ptr& failure);
    QCoro::Task<void> pushPreferences(CancellationToken token);
    void pushFinished(const std::exception_ptr& failure);
    // Whether `stored`, read before pushing `pushing`, wins over it.
    bool storedWins(const PortablePreferences& pushing, PortablePreferences stored);
    void pulled(std::optional<PortablePreferences> remote, SyncMerge::Read read);
    void syncedRecordChanged();
    QCoro::Task<void> followPulls(CancellationToken token);
    void syncFailed(const QString& event, const std::exception_ptr& failure);

    // The capture running for the window, or a new one.
    SharedTask<QImage> captureTask(const WindowDescriptor& window);
    QCoro::Task<QImage> captureWindow(CancellationToken token, WindowDescriptor window,
                                      double width);
    void captureFinished(const CancellationToken& token, const WindowDescriptor& window,
                         const std::optional<QImage>& image);
    QCoro::Task<CapturedPreview> capturePreview(CancellationToken token, WindowDescriptor window,
                                                qint64 generation, bool forceCapture,
                                                bool keepLateResult);
    QCoro::Task<DecodedPreview> decodeCopy(CancellationToken token, PreviewCopy copy);
    // Decodes the JPEG copies of the windows' cache entries (unless cancelled) and puts the
    // pictures back into entries still holding the same capture; returns the pictures.
    QCoro::Task<QList<DecodedPreview>> restoreCopies(CancellationToken token,
                                                     QList<WindowDescriptor> windows);
    void publish(quint32 window, const QImage& image);
    PublishedPicture publishedPictureState(const WindowDescriptor& window) const;
    // Whether the window's latest picture was taken while its frame had another size.
    bool pictureOutsized(const WindowDescriptor& window) const;
    // Takes down the published and cached pictures of the windows the password-manager rule
    // now hides.
    void hidePrivatePreviews();
    ContinuousInstant now() const { return scheduler_.clock().now(); }
    qint64 millisecondsSince(ContinuousInstant start) const;

    Desktop& desktop_;
    Scheduler& scheduler_;
    EventRecording& events_;
    const WallClock& wallClock_;
    BackgroundExecutor& executor_;

    Observable<QList<ApplicationDescriptor>> applications_;
    Observable<PortablePreferences> portablePreferences_;
    Observable<MachinePreferences> machinePreferences_;
    Observable<std::optional<QString>> windowSearchHotkeyProblem_;
    Observable<PreviewImages> previewImages_;
    Observable<SwitcherSelection> switcherSelection_;
    Observable<QSet<quint32>> unansweredWindows_;
    Observable<std::optional<QString>> errorMessage_;
    Observable<SyncStatus> syncStatus_;
    Observable<std::optional<QString>> pendingSettingsBay_;
    Observable<bool> preferencesUnsaved_{false};
    Observable<std::optional<UnreadableCopy>> settingsReverted_;

    PermissionService permissions_;
    LoginItemService loginItem_;
    PreviewCache previewCache_;
    UpdateController updates_;
    qint64 previewSessionGeneration_ = 0;
    // Windows whose shown picture an action has made out of date.
    QSet<quint32> picturesDue_;
    // The frame size each window had as its latest capture started.
    QHash<quint32, Size> pictureSizes_;
    // The capture running for each window; an entry is removed only by its own task.
    std::unordered_map<quint32, SharedTask<QImage>> previewTasks_;
    Subscription memoryPressure_;
    // Which windows the system still has.
    std::function<QSet<quint32>()> liveWindowIDs_;

    WindowServicing& windowService_;
    PreviewServicing& previewService_;
    PreferenceStoring& preferenceStore_;
    PreferenceSyncing& syncService_;

    // Refreshes started, and the latest one whose result was applied.
    quint64 refreshesStarted_ = 0;
    quint64 lastAppliedRefresh_ = 0;
    FocusStamps focusStamps_;
    // The newest record waiting for the push under way.
    std::optional<PortablePreferences> pendingPush_;
    // Dates of pulled records that lie far ahead, as first read.
    RecordDating pulledDates_;
    TaskHandle pushTask_;
    // The portable record as last saved or taken; a save that changes nothing keeps its date.
    PortablePreferences committedPortable_;
    Subscription syncWatch_;
    TaskHandle followTask_;
    bool pullAgain_ = false;
    SubscriptionBag subscriptions_;
};

}  // namespace pellucine
