#pragma once

#include <QList>
#include <QSize>
#include <QString>

class QWidget;

namespace pellucine::testing {

// One thing wrong with a laid-out window: which widget, and what.
struct LayoutFault {
    QString path;
    QString problem;
};

// The widget's place in its window: the class and object name of each ancestor down to it,
// with its index among its siblings where it has no name ("SettingsWindow/QScrollArea[0]/…").
QString widgetPath(const QWidget& widget);

// Looks at every visible widget of `window` as it is laid out now. A fault is a text cut short
// (a label or button narrower or lower than its text needs, height-for-width included), a text
// drawn elided where the widget does not ask for eliding (`Yard::allowsEliding`), two
// visible siblings that overlap (unless one takes no clicks: a fade or placeholder drawn over the
// other), a widget reaching outside its window (or, inside a scroll area,
// outside the scrolled content), or a window larger than `screen`.
QList<LayoutFault> checkLayout(const QWidget& window, QSize screen);

}  // namespace pellucine::testing
