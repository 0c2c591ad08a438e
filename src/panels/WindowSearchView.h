#pragma once

#include <QLineEdit>
#include <QListView>
#include <QStringList>
#include <QWidget>
#include <functional>

#include "core/WindowDescriptor.h"
#include "panels/WindowSearchRowDelegate.h"

class QHBoxLayout;
class QLabel;

namespace pellucine {

class WindowSearchResultModel;
class WindowSearchState;
class YardText;

// The content of the window-search panel: the search field with the counter, the ranked rows
// (eight at most in view, a chip telling how many more are below) or a line saying why there
// are none, and a footer of key hints. It draws from the state and changes it only through the
// field: every change of the query moves the selection to the best result. A click on a row
// commits that window.
class WindowSearchView final : public QWidget {
    Q_OBJECT

  public:
    static constexpr int searchRowHeight = 62;
    static constexpr int topRuleSlot = 2;
    static constexpr qreal topRuleHeight = 1.5;
    static constexpr int bottomRuleHeight = 1;
    static constexpr int footerHeight = 36;
    static constexpr int visibleRows = 8;
    static constexpr int horizontalPadding = 20;
    static constexpr qreal borderWidth = 1.5;
    // Everything but the rows: 62 + 2 + 1 + 36.
    static constexpr int chromeHeight =
        searchRowHeight + topRuleSlot + bottomRuleHeight + footerHeight;

    struct Callbacks {
        std::function<void(const WindowDescriptor&)> onCommit;
        // After the query text changed.
        std::function<void()> onQueryChange;
    };

    WindowSearchView(WindowSearchState& state, Callbacks callbacks,
                     const ApplicationIconProviding* icons, QWidget* parent = nullptr);
    ~WindowSearchView() override;

    QLineEdit* field() const { return field_; }
    QListView* list() const { return list_; }
    const WindowSearchResultModel& model() const { return *model_; }
    QString counterText() const;
    // The line shown instead of rows; empty while rows are shown.
    QString emptyText() const;
    // The chip's text while it is shown, else empty.
    QString chipText() const;
    // The chip's frame in the view while it is shown, else empty.
    QRect chipFrame() const;
    // Each footer group's accessible name, in order.
    QStringList footerGroups() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

  private:
    class Chip;
    class Line;
    class Frame;

    QWidget* makeSearchRow();
    QWidget* makeFooter();
    void restyleField();
    void queryChanged();
    void resultsChanged();
    void selectionChanged();
    void updateTexts();
    void updateHotkey();
    void placeOverlays();

    WindowSearchState& state_;
    Callbacks callbacks_;
    WindowSearchResultModel* model_;
    QLineEdit* field_ = nullptr;
    YardText* counter_ = nullptr;
    QListView* list_ = nullptr;
    Line* empty_ = nullptr;
    Chip* chip_ = nullptr;
    Frame* frame_ = nullptr;
    QWidget* hotkeyGroup_ = nullptr;
    QHBoxLayout* hotkeyCaps_ = nullptr;
    QList<QWidget*> footerGroups_;
};

}  // namespace pellucine
