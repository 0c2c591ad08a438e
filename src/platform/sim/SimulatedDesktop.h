#pragma once

#include <QHash>
#include <QMap>
#include <QStringList>
#include <map>
#include <set>
#include <unordered_map>
#include <variant>
#include <vector>

#include "base/Scheduler.h"
#include "platform/Desktop.h"
#include "platform/NoticeList.h"
#include "platform/sim/SimulatedAppearance.h"
#include "platform/sim/SimulatedCloud.h"
#include "platform/sim/SimulatedDisplay.h"
#include "platform/sim/SimulatedDockRequests.h"
#include "platform/sim/SimulatedElement.h"
#include "platform/sim/SimulatedGlobalHotkeys.h"
#include "platform/sim/SimulatedImageCoding.h"
#include "platform/sim/SimulatedKeyboard.h"
#include "platform/sim/SimulatedKeyboardShortcutSettings.h"
#include "platform/sim/SimulatedLoginItems.h"
#include "platform/sim/SimulatedMemoryPressure.h"
#include "platform/sim/SimulatedPermissions.h"
#include "platform/sim/SimulatedPointer.h"
#include "platform/sim/SimulatedPrivateCapture.h"
#include "platform/sim/SimulatedScreenCapture.h"
#include "platform/sim/SimulatedSession.h"
#include "platform/sim/SimulatedSystemSwitcher.h"
#include "platform/sim/SimulatedTreeElement.h"
#include "platform/sim/SimulatedWindow.h"

namespace pellucine {

// The whole port in memory, for tests: applications with windows and accessibility elements,
// element trees that applications publish (the Dock and its switcher strip), the window list,
// screens, observers, workspace notices, window pictures and private capture. The driver functions
// change the desktop as a user or another application would, and the port's requests change it as
// the program does; either way the matching notifications are delivered through the scheduler.
// Every request is logged so that tests can check what the program asked for and in which
// order. Failures are injected per application or per attribute.
class SimulatedDesktop final : public Desktop,
                               public Accessibility,
                               public SystemWindowList,
                               public Workspace,
                               public ScreenLayout,
                               public ProcessEnvironment {
  public:
    explicit SimulatedDesktop(Scheduler& scheduler);
    ~SimulatedDesktop() override;
    SimulatedDesktop(const SimulatedDesktop&) = delete;
    SimulatedDesktop& operator=(const SimulatedDesktop&) = delete;

    // Desktop.
    Accessibility& accessibility() override { return *this; }
    SystemWindowList& windowList() override { return *this; }
    Workspace& workspace() override { return *this; }
    ScreenLayout& screenLayout() override { return *this; }
    ProcessEnvironment& process() override { return *this; }
    ScreenCapture& screenCapture() override { return *capture_; }
    ImageCoding& imageCoding() override { return imageCoding_; }
    PrivateCaptureLoading& privateCapture() override { return *privateCapture_; }
    SystemPermissions& permissions() override { return permissions_; }
    LoginItems& loginItems() override { return loginItems_; }
    CloudAccount& cloudAccount() override { return cloud_; }
    UrlOpener& urlOpener() override { return session_; }
    ApplicationLifecycle& applicationLifecycle() override { return session_; }
    MemoryPressure& memoryPressure() override { return memoryPressure_; }
    DesktopAppearance& appearance() override { return appearance_; }
    GlobalHotkeys& globalHotkeys() override { return hotkeys_; }
    KeyboardShortcutSettings& keyboardShortcuts() override { return shortcuts_; }
    KeyEventSource& keyEvents() override { return keyboard_; }
    PointerEventSource& pointerEvents() override { return pointer_; }
    KeyboardState& keyboardState() override { return keyboard_; }
    SystemSwitcher& systemSwitcher() override { return switcher_; }
    SystemDock& systemDock() override { return dockRequests_; }

    // Accessibility.
    bool isProcessTrusted() const override { return permissions_.isAccessibilityTrusted(); }
    ElementRef applicationElement(qint32 processIdentifier) override;
    void setGlobalMessagingTimeout(Duration timeout) override { globalTimeout_ = timeout; }
    std::optional<Duration> globalMessagingTimeout() const { return globalTimeout_; }
    std::unique_ptr<AccessibilityObserver> createObserver(
        qint32 processIdentifier, AccessibilityObserver::Callback callback) override;

    // SystemWindowList.
    QList<WindowListEntry> windows(const WindowListOptions& options) const override;

    // Workspace.
    QList<RunningApplication> runningApplications() const override;
    std::optional<RunningApplication> runningApplication(qint32 processIdentifier) const override;
    bool activate(qint32 processIdentifier, ActivationOptions options) override;
    bool hide(qint32 processIdentifier) override;
    bool unhide(qint32 processIdentifier) override;
    bool terminate(qint32 processIdentifier) override;
    Subscription subscribe(std::function<void(const WorkspaceNotice&)> handler) override;

    // ScreenLayout.
    QList<Screen> screens() const override;
    quint32 mainDisplayIdentifier() const override;
    GlobalRect displayBounds(quint32 displayIdentifier) const override;

    // ProcessEnvironment.
    qint32 processIdentifier() const override { return ownPID_; }
    int operatingSystemMajorVersion() const override { return osMajorVersion_; }
    QString operatingSystemVersionString() const override { return osVersionString_; }

    // Driver: the program and the system.
    void setOwnProcessIdentifier(qint32 pid) { ownPID_ = pid; }
    void setOperatingSystemMajorVersion(int version) { osMajorVersion_ = version; }
    void setOperatingSystemVersionString(QString text) { osVersionString_ = std::move(text); }
    void setTrusted(bool trusted) {
        permissions_.setAccessibility(trusted ? SimulatedPermission::granted
                                              : SimulatedPermission::denied);
    }
    // The first display is the main one (the global origin is its top-left corner); screens
    // are reported in this order. The default is one 1440 x 900 display numbered 1 with a
    // 25-point menu bar.
    void setDisplays(QList<SimulatedDisplay> displays);

    // Driver: applications. Added ones go to the end of the workspace's order.
    void addApplication(RunningApplication application);
    // The application quits: its windows and elements go away.
    void removeApplication(qint32 pid);
    // Requests to the application's elements time out.
    void setApplicationUnresponsive(qint32 pid, bool unresponsive);
    // A read of one attribute of the application's element fails.
    void failApplicationAttribute(qint32 pid, const QString& name, AccessibilityStatus status);
    void setObserverCreationFails(qint32 pid, bool fails);
    // Elements of the application cannot tell their process.
    void setProcessIdentifierUnreadable(qint32 pid, bool unreadable);

    // Driver: element trees that applications publish besides their windows. An element goes
    // under the application (after its windows among its children) or under another published
    // element, after the children already there; later siblings lie above earlier ones for hit
    // testing. Returns the element's id.
    quint64 addTreeElement(qint32 pid, std::optional<quint64> parent, SimulatedTreeElement element);
    // Removes the element and everything below it.
    void removeTreeElement(quint64 id);
    // A present value sets the attribute, none makes it read "no value".
    void setTreeElementAttribute(quint64 id, const QString& name,
                                 std::optional<AccessibilityValue> value);
    void setTreeElementFrame(quint64 id, std::optional<GlobalRect> frame);
    void failTreeElementAttribute(quint64 id, const QString& name, AccessibilityStatus status);
    // A handle on a published element.
    ElementRef treeElement(quint64 id);
    bool hasTreeElement(quint64 id) const { return treeElements_.contains(id); }

    // Driver: pictures, image coding and private capture.
    SimulatedScreenCapture& simulatedCapture() { return *capture_; }
    // The system services, each with its own driver functions. Pictures can be taken while
    // the screen-capture permission is not denied.
    SimulatedPermissions& simulatedPermissions() { return permissions_; }
    const SimulatedPermissions& simulatedPermissions() const { return permissions_; }
    SimulatedLoginItems& simulatedLoginItems() { return loginItems_; }
    SimulatedCloud& simulatedCloud() { return cloud_; }
    // Links opened, and the program's own process started and ended.
    SimulatedSession& simulatedSession() { return session_; }
    SimulatedMemoryPressure& simulatedMemoryPressure() { return memoryPressure_; }
    SimulatedAppearance& simulatedAppearance() { return appearance_; }
    SimulatedGlobalHotkeys& simulatedHotkeys() { return hotkeys_; }
    SimulatedKeyboardShortcutSettings& simulatedShortcuts() { return shortcuts_; }
    // The keyboard and pointer a user works, and the switcher strip's dismissals.
    SimulatedKeyboard& simulatedKeyboard() { return keyboard_; }
    SimulatedPointer& simulatedPointer() { return pointer_; }
    SimulatedSystemSwitcher& simulatedSwitcher() { return switcher_; }
    // What the program asked of the Dock.
    SimulatedDockRequests& simulatedDockRequests() { return dockRequests_; }
    SimulatedImageCoding& simulatedImageCoding() { return imageCoding_; }
    SimulatedPrivateCapture& simulatedPrivateCapture() { return *privateCapture_; }

    // Driver: windows. A new window opens in front of every other; returns its number.
    quint32 addWindow(SimulatedWindow window);
    void removeWindow(quint32 number);
    void moveWindow(quint32 number, GlobalPoint origin);
    void resizeWindow(quint32 number, Size size);
    void setWindowMinimized(quint32 number, bool minimized);
    void setWindowFullScreen(quint32 number, bool fullScreen);
    void retitleWindow(quint32 number, const QString& title);
    // Raises the window, activates its application and reports the new focused window.
    void focusWindow(quint32 number);
    void setWindowListBounds(quint32 number, std::optional<GlobalRect> bounds);
    void setWindowListed(quint32 number, bool listed);
    // Replaces what an attribute of the window's element reads: a value, or no value.
    void overrideWindowAttribute(quint32 number, const QString& name,
                                 std::optional<AccessibilityValue> value);
    void failWindowAttribute(quint32 number, const QString& name, AccessibilityStatus status);
    // An entry of the window list that belongs to no simulated window, placed in front of
    // every other or behind.
    void addWindowListEntry(WindowListEntry entry, bool inFront = true);

    // Inspection.
    const SimulatedWindow* window(quint32 number) const;
    // Front to back, windows only.
    QList<quint32> stackingOrder() const;
    // Every write, action, activation, hide, unhide and termination asked through the port, as
    // "window 12: AXMinimized := false", "window 12: AXRaise",
    // "window 12 close button: AXPress", "application 100: activate all windows".
    const QStringList& requests() const { return requests_; }
    void clearRequests() { requests_.clear(); }
    // Every messaging time-out set on a handle: "application 100: 0.25 s", "window 12: 0.75 s".
    const QStringList& timeoutsSet() const { return timeoutsSet_; }
    // Time the program would have waited on requests that timed out.
    Duration stalledTime() const { return stalled_; }
    int observerCount() const;

  private:
    friend class SimulatedElement;
    friend class SimulatedObserver;

    struct Application {
        RunningApplication info;
        std::vector<quint32> windows;  // the element's window order, front first
        bool unresponsive = false;
        bool observerFails = false;
        bool pidUnreadable = false;
        QHash<QString, AccessibilityStatus> failedAttributes;
        std::vector<quint64> treeRoots;
    };
    struct TreeElement {
        qint32 pid = 0;
        std::optional<quint64> parent;
        std::vector<quint64> children;
        SimulatedTreeElement state;
        QHash<QString, AccessibilityStatus> failedAttributes;
    };
    struct Window {
        SimulatedWindow state;
        QHash<QString, std::optional<AccessibilityValue>> overrides;
        QHash<QString, AccessibilityStatus> failedAttributes;
    };
    struct ObserverState {
        qint32 pid = 0;
        AccessibilityObserver::Callback callback;
        bool started = false;
        std::set<std::pair<SimulatedElementKey, QString>> registrations;
    };
    using StackItem = std::variant<quint32, WindowListEntry>;

    // Element requests.
    AttributeResult readAttribute(const SimulatedElement& element, QStringView name);
    AccessibilityStatus writeAttribute(const SimulatedElement& element, QStringView name,
                                       const AccessibilityValue& value);
    AccessibilityStatus performAction(const SimulatedElement& element, QStringView name);
    AttributeResult elementAt(const SimulatedElement& element, GlobalPoint point);
    std::optional<qint32> processIdentifierOf(const SimulatedElementKey& key) const;
    void noteTimeout(const SimulatedElementKey& key, Duration timeout);
    // Failure of a request before it reaches the element: no trust, a gone element, a hung
    // application (counted as stalled time).
    std::optional<AccessibilityStatus> requestFailure(const SimulatedElement& element);
    AttributeResult readApplicationAttribute(const Application& app, QStringView name);
    AttributeResult readWindowAttribute(const Window& window, QStringView name);
    AttributeResult readTreeAttribute(const TreeElement& element, QStringView name);
    ElementList treeElements(qint32 pid, const std::vector<quint64>& ids);
    // The deepest published element at the point, searched from the front.
    std::optional<quint64> treeElementAt(const std::vector<quint64>& ids, GlobalPoint point) const;

    // Observers.
    AccessibilityStatus addRegistration(ObserverState& state, const ElementRef& element,
                                        QStringView notification);
    void notify(const SimulatedElementKey& registeredOn, QStringView notification,
                const SimulatedElementKey& subject);
    void notifyWindow(quint32 number, QStringView notification);

    ElementRef makeElement(SimulatedElementKey key);
    // The first application with the pid.
    Application* application(qint32 pid);
    const Application* application(qint32 pid) const;
    void reindexApplications();
    Window& existingWindow(quint32 number);
    void raise(quint32 number);
    void destroyWindow(quint32 number);
    void log(const SimulatedElementKey& key, const QString& what);
    void postNotice(WorkspaceNotice notice);

    Scheduler& scheduler_;
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
    qint32 ownPID_ = 1;
    int osMajorVersion_ = 14;
    QString osVersionString_ = QStringLiteral("Simulated desktop 14.0");
    SimulatedPermissions permissions_;
    SimulatedLoginItems loginItems_;
    SimulatedCloud cloud_{scheduler_};
    SimulatedSession session_{scheduler_};
    SimulatedMemoryPressure memoryPressure_{scheduler_};
    SimulatedAppearance appearance_{scheduler_};
    SimulatedGlobalHotkeys hotkeys_;
    SimulatedKeyboardShortcutSettings shortcuts_;
    SimulatedKeyboard keyboard_{permissions_};
    SimulatedPointer pointer_;
    SimulatedSystemSwitcher switcher_;
    SimulatedDockRequests dockRequests_;
    std::optional<Duration> globalTimeout_;
    std::vector<Application> applications_;  // the workspace's order; pids may repeat
    std::unordered_map<qint32, std::size_t> firstByPID_;
    std::unordered_map<quint32, Window> windows_;
    std::vector<StackItem> stacking_;  // front to back
    quint32 nextWindowNumber_ = 100;
    std::unordered_map<quint64, TreeElement> treeElements_;
    quint64 nextTreeElement_ = 1;
    QList<SimulatedDisplay> displays_;
    std::vector<std::weak_ptr<ObserverState>> observers_;
    NoticeList<WorkspaceNotice> notices_;
    QStringList requests_;
    QStringList timeoutsSet_;
    Duration stalled_{0};
    std::unique_ptr<SimulatedScreenCapture> capture_;
    SimulatedImageCoding imageCoding_;
    std::unique_ptr<SimulatedPrivateCapture> privateCapture_;
};

}  // namespace pellucine
