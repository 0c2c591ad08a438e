#include "windows/catalogue/LayoutCheck.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QLabel>
#include <QWidget>

#include "design/Eliding.h"
#include "design/Readout.h"

namespace pellucine::testing {

namespace {

QString sizeText(QSize size) {
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

bool shown(const QWidget& widget, const QWidget& window) {
    return &widget == &window || widget.isVisibleTo(&window);
}

QList<const QWidget*> shownChildren(const QWidget& parent, const QWidget& window) {
    QList<const QWidget*> children;
    for (const QObject* object : parent.children()) {
        const auto* child = qobject_cast<const QWidget*>(object);
        if (child != nullptr && !child->isWindow() && shown(*child, window)) {
            children.append(child);
        }
    }
    return children;
}

// Drawn over its siblings on purpose (a fade, a focus ring, a placeholder): it takes no clicks.
bool decoration(const QWidget& widget) {
    return widget.testAttribute(Qt::WA_TransparentForMouseEvents);
}

// What the widget's text needs that its geometry does not give it; empty when it fits.
QString cutText(const QWidget& widget) {
    const QSize size = widget.size();
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        if (label->text().isEmpty()) {
            return {};
        }
        if (label->wordWrap()) {
            const int needed = label->heightForWidth(size.width());
            return needed > size.height()
                       ? QStringLiteral("text needs %1 px of height at width %2, has %3")
                             .arg(needed)
                             .arg(size.width())
                             .arg(size.height())
                       : QString();
        }
        const QSize needed = label->sizeHint();
        return needed.width() > size.width() || needed.height() > size.height()
                   ? QStringLiteral("text needs %1, has %2").arg(sizeText(needed), sizeText(size))
                   : QString();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        const QSize needed = button->sizeHint();
        if (!button->text().isEmpty() && needed.width() > size.width()) {
            return QStringLiteral("button text needs %1, has %2")
                .arg(sizeText(needed), sizeText(size));
        }
    }
    return {};
}

// Whether `shown` is `whole` cut short with one ellipsis, at its end, start or middle.
bool elidedForm(const QString& shown, const QString& whole) {
    static const QString ellipsis = QStringLiteral("…");
    const qsizetype at = shown.indexOf(ellipsis);
    if (at < 0 || shown == whole || shown.size() - ellipsis.size() >= whole.size()) {
        return false;
    }
    const QString before = shown.left(at);
    const QString after = shown.mid(at + ellipsis.size());
    return !(before.isEmpty() && after.isEmpty()) && whole.startsWith(before) &&
           whole.endsWith(after);
}

// The text the widget draws cut short, when it is one and the widget does not ask for that: a
// readout narrower than its text, or a label or button showing an elided form of the whole
// text it keeps as its tooltip or accessible name.
QString unaskedElision(const QWidget& widget) {
    if (Yard::allowsEliding(widget)) {
        return {};
    }
    const auto elided = [](const QString& shown, const QString& whole) {
        return QStringLiteral("text elided to \"%1\" of \"%2\", though eliding is not asked for")
            .arg(shown, whole);
    };
    if (const auto* readout = qobject_cast<const Readout*>(&widget)) {
        const QString shown = readout->shownText(widget.width());
        return shown == readout->text() ? QString() : elided(shown, readout->text());
    }
    QString shown;
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        shown = label->text();
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        shown = button->text();
    }
    for (const QString& whole : {widget.toolTip(), widget.accessibleName()}) {
        if (elidedForm(shown, whole)) {
            return elided(shown, whole);
        }
    }
    return {};
}

struct Walk {
    const QWidget& window;
    QList<LayoutFault>& faults;

    void fault(const QWidget& widget, const QString& problem) const {
        faults.append({widgetPath(widget), problem});
    }

    // `bounds`: where the widget must stay, in the window's coordinates.
    void visit(const QWidget& widget, const QRect& bounds) const {
        const QRect place(widget.mapTo(&window, QPoint(0, 0)), widget.size());
        if (&widget != &window && !bounds.contains(place)) {
            fault(widget, QStringLiteral("reaches outside (%1,%2 %3 within %4,%5 %6)")
                              .arg(place.x())
                              .arg(place.y())
                              .arg(sizeText(place.size()))
                              .arg(bounds.x())
                              .arg(bounds.y())
                              .arg(sizeText(bounds.size())));
        }
        if (const QString cut = cutText(widget); !cut.isEmpty()) {
            fault(widget, cut);
        }
        if (const QString elided = unaskedElision(widget); !elided.isEmpty()) {
            fault(widget, elided);
        }
        const QList<const QWidget*> children = shownChildren(widget, window);
        for (qsizetype i = 0; i < children.size(); ++i) {
            for (qsizetype j = i + 1; j < children.size(); ++j) {
                const QRect overlap = children[i]->geometry() & children[j]->geometry();
                if (!overlap.isEmpty() && !decoration(*children[i]) && !decoration(*children[j])) {
                    fault(*children[j],
                          QStringLiteral("overlaps %1 by %2")
                              .arg(widgetPath(*children[i]), sizeText(overlap.size())));
                }
            }
        }
        // What a scroll area scrolls may run past its viewport, not past itself.
        const auto* area = qobject_cast<const QAbstractScrollArea*>(widget.parentWidget());
        const bool scrolled = area != nullptr && &widget == area->viewport();
        for (const QWidget* child : children) {
            const QRect childBounds =
                scrolled ? QRect(child->mapTo(&window, QPoint(0, 0)), child->size()) : bounds;
            visit(*child, childBounds);
        }
    }
};

}  // namespace

QString widgetPath(const QWidget& widget) {
    QStringList parts;
    for (const QWidget* w = &widget; w != nullptr;
         w = w->isWindow() ? nullptr : w->parentWidget()) {
        QString part = QString::fromLatin1(w->metaObject()->className());
        if (!w->objectName().isEmpty()) {
            part += u'#' + w->objectName();
        } else if (const QWidget* parent = w->isWindow() ? nullptr : w->parentWidget()) {
            const auto siblings = parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
            part += QStringLiteral("[%1]").arg(siblings.indexOf(const_cast<QWidget*>(w)));
        }
        parts.prepend(part);
    }
    return parts.join(u'/');
}

QList<LayoutFault> checkLayout(const QWidget& window, QSize screen) {
    QList<LayoutFault> faults;
    if (window.width() > screen.width() || window.height() > screen.height()) {
        faults.append({widgetPath(window), QStringLiteral("window %1 is larger than the %2 screen")
                                               .arg(sizeText(window.size()), sizeText(screen))});
    }
    Walk{window, faults}.visit(window, window.rect());
    return faults;
}

}  // namespace pellucine::testing
