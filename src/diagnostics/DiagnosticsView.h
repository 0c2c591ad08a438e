#pragma once

#include <QList>
#include <QWidget>
#include <functional>
#include <optional>

#include "base/SubscriptionBag.h"
#include "core/FlightRecorder.h"

class QVBoxLayout;

namespace pellucine {

class DiagnosticsService;
class FadingScrollView;
class PaneLink;
class SavePanel;
class YardButton;
class YardText;

// The diagnostics page: the two permission states, the screens and the newest events of the
// log in readable form, with a refresh and the support-file save. The list is read when the
// page is shown and on "Refresh"; the permission cells follow the model. Escape closes the
// window in front. Main thread.
class DiagnosticsView : public QWidget {
    Q_OBJECT

  public:
    static constexpr QLatin1String windowTitle{"PELLUCINE Diagnostics"};
    static constexpr int minimumWidth = 680;
    static constexpr int minimumHeight = 460;
    static constexpr int sidePadding = 24;
    static constexpr int verticalPadding = 18;
    static constexpr int columnSpacing = 16;

    struct Context {
        DiagnosticsService& diagnostics;
        SavePanel& savePanel;
        // Shows the welcome window at its permissions step; none while the program's delegate
        // is not running.
        std::function<void()> showPermissions;
    };

    // One cell of the status strip: an upper-case label over the value and, for a permission
    // that is missing, a "Fix…" link.
    class StatusCell;

    explicit DiagnosticsView(Context context, QWidget* parent = nullptr);
    ~DiagnosticsView() override;

    // Waits for the event log, then reads its newest rows.
    void refresh();
    // Waits for the event log, builds the support file and asks where to save it.
    void saveSupportFile();
    // Closes the window in front, then shows the permissions step.
    void fixPermissions();
    // Closes the window in front, as its close button does.
    static void closeWindow();

    const QList<ReadableDiagnosticEvent>& entries() const { return entries_; }

    // Accessibility, Screen Recording, Displays, Shown Below.
    QList<StatusCell*> cells() const { return cells_; }
    static QString cellValue(const StatusCell* cell);
    static PaneLink* cellFixLink(const StatusCell* cell);
    YardButton* refreshButton() const { return refresh_; }
    YardButton* saveButton() const { return save_; }
    YardText* emptyText() const { return empty_; }
    // The reason the last save failed; hidden otherwise.
    YardText* failureText() const { return failure_; }
    // One child per entry, in the order of `entries`.
    QWidget* eventList() const { return list_; }
    FadingScrollView* scrollView() const { return scroll_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* buildHeader();
    QWidget* buildStatusStrip();
    QWidget* buildEventSection();
    void showPermissionStates();
    void showDisplayCount();
    void showEntries();
    void showSaveResult(const std::optional<QString>& failure);

    Context context_;
    QList<ReadableDiagnosticEvent> entries_;
    QList<StatusCell*> cells_;
    YardButton* refresh_ = nullptr;
    YardButton* save_ = nullptr;
    YardText* failure_ = nullptr;
    YardText* empty_ = nullptr;
    FadingScrollView* scroll_ = nullptr;
    QWidget* list_ = nullptr;
    QVBoxLayout* rows_ = nullptr;
    SubscriptionBag subscriptions_;
};

}  // namespace pellucine
