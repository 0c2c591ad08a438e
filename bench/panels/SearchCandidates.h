#pragma once

#include <QDateTime>
#include <QStringList>
#include <random>

#include "panels/WindowSearch.h"

namespace pellucine::bench {

using WindowSearch::Candidate;

// Windows as a busy desktop lists them: mostly ASCII titles, one in ten with accents, full-width
// letters or emoji, forty applications, half of the windows focused at some time.
inline QList<Candidate> makeCandidates(int count) {
    static const QStringList words{
        QStringLiteral("Quarterly"),  QStringLiteral("report"),
        QStringLiteral("Re:"),        QStringLiteral("draft"),
        QStringLiteral("main.cpp"),   QStringLiteral("README"),
        QStringLiteral("Inbox"),      QStringLiteral("manual"),
        QStringLiteral("budget"),     QStringLiteral("meeting"),
        QStringLiteral("notes"),      QStringLiteral("—"),
        QStringLiteral("preview"),    QStringLiteral("terminal"),
        QStringLiteral("index.html"), QStringLiteral("Pull request #4821"),
        QStringLiteral("design"),     QStringLiteral("review")};
    static const QStringList unusual{QStringLiteral("Café crème"), QStringLiteral("ＰＲＯＪＥＣＴ"),
                                     QStringLiteral("👍🏽 launch"), QStringLiteral("Straße"),
                                     QStringLiteral("Cafe\u0301 menu")};
    std::mt19937 random(20240611);
    QList<Candidate> candidates;
    candidates.reserve(count);
    for (int i = 0; i < count; ++i) {
        Candidate c;
        c.window.id = static_cast<quint32>(i + 1);
        const int app = static_cast<int>(random() % 40);
        c.window.applicationName =
            QStringLiteral("Application %1 %2")
                .arg(app)
                .arg(app % 3 == 0 ? QStringLiteral("Mail") : QStringLiteral("Editor"));
        QStringList title;
        const int length = 3 + static_cast<int>(random() % 6);
        for (int w = 0; w < length; ++w) {
            title << words[static_cast<qsizetype>(random() % words.size())];
        }
        if (random() % 10 == 0) {
            title << unusual[static_cast<qsizetype>(random() % unusual.size())];
        }
        c.window.title = title.join(QLatin1Char(' '));
        if (random() % 2 == 0) {
            c.window.lastFocusedAt =
                QDateTime::fromMSecsSinceEpoch(1'700'000'000'000 + random() % 1'000'000, Qt::UTC);
        }
        c.applicationRecency = app;
        candidates.append(c);
    }
    return candidates;
}

}  // namespace pellucine::bench
