#pragma once

#include <QApplication>
#include <QMessageBox>
#include <utility>

#include "design/OpenFailureNotice.h"

namespace pellucine::testing {

// The "Nothing Opened" notices on screen now.
inline QList<QMessageBox*> openFailureNotices() {
    QList<QMessageBox*> shown;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == OpenFailureNotice::objectName && widget->isVisible()) {
            shown << qobject_cast<QMessageBox*>(widget);
        }
    }
    return shown;
}

// The text and the copyable text of every notice on screen, which are closed.
inline QList<std::pair<QString, QString>> takeOpenFailureNotices() {
    QList<std::pair<QString, QString>> texts;
    for (QMessageBox* box : openFailureNotices()) {
        texts.append({box->text(), box->informativeText()});
        box->close();
    }
    QApplication::processEvents();
    return texts;
}

}  // namespace pellucine::testing
