#pragma once

#include <QImage>
#include <QList>
#include <QPointer>
#include <QWidget>

#include "panels/GlanceCallbacks.h"
#include "panels/WindowCommands.h"

namespace pellucine {

class ControlButton;
class GlanceMenu;

// One window in a glance, as a tile or a compact row: a click selects it, the pointer entering
// and leaving drives the peek, a secondary click opens its window menu, and with window
// controls three buttons act on it. It holds no state of its own beyond what it draws; the
// content view sets that anew whenever the model changes. One accessible button whose named
// actions are the window menu's main entries; its buttons are not separate elements.
class WindowItem : public QWidget {
    Q_OBJECT

  public:
    // What the item draws.
    struct State {
        WindowDescriptor window;
        QImage picture;
        QImage icon;
        bool isPrivate = false;
        // Where the window is ("Minimized", "Hidden", …), also when it is plainly on screen.
        QString location;
        // Its application did not answer a close: the location says so, wherever it is.
        bool unanswered = false;
    };

    const State& state() const { return state_; }
    void setState(State state);
    bool isCompactRow() const { return compactRow_; }
    // Whether the location is drawn: not for a window plainly on screen that answers.
    bool showsLocation() const;
    bool showsControls() const { return !controls_.isEmpty(); }
    QList<ControlButton*> controls() const { return controls_; }

    // Accessibility: the label, value, hint, and the named actions with their effect.
    QString accessibleLabel() const { return state_.window.displayLabel(); }
    QString accessibleValue() const { return state_.location; }
    static QString accessibleHint() { return QStringLiteral("Focus this window"); }
    QStringList accessibleActionNames() const;
    // The default action (an empty name) selects the window; an unknown name does nothing.
    void performAccessibleAction(const QString& name);

    // Opens the window menu at `globalPosition`; it sends through the callbacks, for the window
    // the item shows when an entry is chosen.
    void openMenu(const QPoint& globalPosition);
    void closeMenu();

  protected:
    WindowItem(State state, GlanceCallbacks callbacks, bool showsControls, bool compactRow,
               QWidget* parent);

    // Places the control buttons after a resize.
    virtual void layoutControls() = 0;

    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void updateControls();

    State state_;
    GlanceCallbacks callbacks_;
    bool compactRow_;
    bool pressed_ = false;
    QList<ControlButton*> controls_;
    QPointer<GlanceMenu> menu_;
};

}  // namespace pellucine
