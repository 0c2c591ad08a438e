#include <gtest/gtest.h>

#include <QSet>

#include "settings/DockWording.h"

namespace pellucine {
namespace {

using Kind = SystemDock::Kind;

// Each Dock's noun, and whether pointing at it can show previews. Every kind's texts name only
// its own place; none names no place to point at and says what previews need instead.
TEST(DockWordingTest, EachKindNamesItsOwnPlaceOrWhatPreviewsNeed) {
    struct Row {
        const char* name;
        Kind kind;
        QString noun;
        bool canPoint;
    };
    const QList<Row> rows{
        {"the desktop's own Dock", Kind::systemDock, "Dock", true},
        {"a taskbar", Kind::taskbar, "taskbar", true},
        {"the Dock bar", Kind::dockBar, "Dock bar", true},
        {"none", Kind::none, "Dock", false},
    };
    const QStringList otherNouns{"taskbar", "Dock bar"};
    QSet<QString> headings;
    QSet<QString> lines;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const DockWording dock = DockWording::of(row.kind);
        EXPECT_EQ(dock.appNoun, row.noun);
        EXPECT_TRUE(dock.place.endsWith(u' ' + row.noun)) << dock.place.toStdString();
        EXPECT_EQ(dock.canPoint, row.canPoint);
        headings << dock.heading;
        lines << dock.inUse;
        if (!row.canPoint) {
            EXPECT_EQ(dock.inUse, DockWording::needs());
            EXPECT_EQ(dock.invitingOr(QStringLiteral("Point at it.")), DockWording::needs());
            continue;
        }
        EXPECT_EQ(dock.invitingOr(QStringLiteral("Point at it.")), QStringLiteral("Point at it."));
        EXPECT_TRUE(dock.inUse.contains(dock.place)) << dock.inUse.toStdString();
        EXPECT_TRUE(dock.heading.contains(row.noun, Qt::CaseInsensitive))
            << dock.heading.toStdString();
        for (const QString& other : otherNouns) {
            if (other != row.noun) {
                for (const QString& text : {dock.place, dock.heading, dock.inUse}) {
                    EXPECT_FALSE(text.contains(other)) << text.toStdString();
                }
            }
        }
    }
    // A mixed-up case would give two kinds one heading or one line.
    EXPECT_EQ(headings.size(), rows.size());
    EXPECT_EQ(lines.size(), rows.size());
    // What previews need names both places they can sit on.
    EXPECT_TRUE(DockWording::needs().contains(u"taskbar"));
    EXPECT_TRUE(DockWording::needs().contains(u"the Dock bar"));
}

}  // namespace
}  // namespace pellucine
