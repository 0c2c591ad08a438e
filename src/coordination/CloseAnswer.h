#pragma once

#include <QList>
#include <QSet>

#include "platform/WindowListEntry.h"

namespace pellucine {

// How an application answers a close sent to some of its windows, read from the system window
// list: it closed them, it put a window of its own on screen (a "Save changes?" prompt), or it
// has not answered yet. Pure.
struct CloseAnswer {
    enum class Outcome { waiting, closed, prompted };

    // What was asked: the application, the windows to close, and every window of it that was on
    // screen when the close was sent.
    struct Request {
        qint32 processIdentifier = 0;
        QSet<quint32> closing;
        QSet<quint32> shownBefore;
    };

    // The application's windows on screen now, from the window list.
    static QSet<quint32> shownWindows(qint32 processIdentifier,
                                      const QList<WindowListEntry>& entries);
    // A window of the application on screen that was not before is its answer, whatever became
    // of the closing ones; else the close is answered once none of them is listed any more.
    static Outcome judge(const Request& request, const QList<WindowListEntry>& entries);
};

}  // namespace pellucine
