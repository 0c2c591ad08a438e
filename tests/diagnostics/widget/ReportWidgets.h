#pragma once

#include <QAbstractButton>
#include <QCoreApplication>
#include <QLabel>
#include <QStringList>

#include "../ReportBench.h"
#include "diagnostics/ReportWindow.h"

namespace pellucine::testing {

// The shown button titled `title`, or null.
inline QAbstractButton* button(QWidget* root, const QString& title) {
    for (QAbstractButton* candidate : root->findChildren<QAbstractButton*>()) {
        if (candidate->text() == title && candidate->isVisible()) {
            return candidate;
        }
    }
    return nullptr;
}

// Every shown text below `root`, one a line.
inline QString shownText(QWidget* root) {
    QStringList texts;
    for (const QLabel* label : root->findChildren<QLabel*>()) {
        if (label->isVisible()) {
            texts.append(label->text());
        }
    }
    return texts.join(u'\n');
}

// A button's shortcut clicks it after a short press: waits for that to hide `window`.
inline bool closes(QWidget* window) {
    return runUntil([window] { return !window->isVisible(); });
}

// Deletes the report window and every replaced one handed to deleteLater.
inline void discardReportWindows() {
    delete ReportProblem::currentWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace pellucine::testing
