#pragma once

#include <QList>
#include <QWidget>

#include "platform/SwitcherBinding.h"
#include "settings/SelectableButton.h"
#include "settings/SettingsView.h"

namespace pellucine {

// The settings window's rail: the program's icon and name, one row per page in page order, and a
// footer naming the gesture the program serves. Pressing a row emits `chosen`; the window decides
// which row is current.
class SettingsSidebar final : public QWidget {
    Q_OBJECT

  public:
    static constexpr int width = 214;
    static constexpr int iconSize = 32;
    static constexpr int nameSize = 21;
    static constexpr qreal nameTracking = 1.1;
    static constexpr qreal rowTitleSize = 13.5;
    static constexpr qreal unselectedInkOpacity = 0.74;
    static constexpr qreal footerInkOpacity = 0.62;
    static constexpr qreal footerRuleOpacity = 0.18;

    // One page's row.
    class BayRow;

    // The legend shows `switcherKeys`, the keys the switcher strip opens on.
    explicit SettingsSidebar(const SwitcherBinding& switcherKeys = {}, QWidget* parent = nullptr);

    // Selects the bay's row; a row holding the focus hands it to the selected one.
    void setCurrent(SettingsView::Bay bay);
    SettingsView::Bay current() const { return current_; }
    BayRow* row(SettingsView::Bay bay) const;

    static QString legendCaption();
    static QString footerNote();

  signals:
    void chosen(pellucine::SettingsView::Bay bay);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QList<BayRow*> rows_;
    SettingsView::Bay current_ = SettingsView::Bay::general;
};

// Selected while its page is current.
class SettingsSidebar::BayRow final : public SelectableButton {
    Q_OBJECT

  public:
    static constexpr int horizontalPadding = 18;
    static constexpr int verticalPadding = 8;

    BayRow(SettingsView::Bay bay, QWidget* parent = nullptr);

    SettingsView::Bay bay() const { return bay_; }
    bool isCurrent() const { return isSelected(); }

    QSize sizeHint() const override;
    // The focus ring shows on the current row, and on another only when the keyboard moved the
    // focus there: the window getting active again draws none around a row left behind.
    bool showsFocus() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    QFont titleFont() const;

    SettingsView::Bay bay_;
    bool keyboardFocus_ = false;
};

}  // namespace pellucine
