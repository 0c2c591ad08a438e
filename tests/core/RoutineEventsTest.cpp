#include <gtest/gtest.h>

#include "core/RoutineEvents.h"
#include "support/QtPrinters.h"

namespace pellucine {
namespace {

QByteArray line(const QByteArray& event, int n, const QByteArray& more = {}) {
    return R"({"at":")" + QByteArray::number(n) + R"(","event":")" + event + '"' + more + '}';
}

TEST(RoutineEventsTest, EachRunOfScansFoldsIntoItsNewestLineOfEachName) {
    const QByteArray scan = "window-enumeration";
    const QByteArray listed = "windows-refreshed";
    struct Row {
        const char* name;
        QList<QByteArray> lines;
        QList<QByteArray> folded;
    };
    const Row rows[] = {
        {"alternating scans fold to one line of each, counted",
         {line(scan, 1), line(listed, 2), line(scan, 3), line(listed, 4), line(scan, 5),
          line(listed, 6)},
         {R"({"at":"5","event":"window-enumeration","times":"3"})",
          R"({"at":"6","event":"windows-refreshed","times":"3"})"}},
        {"other events end a run and stay in place",
         {line(scan, 1), line(scan, 2), line("launch", 3), line(scan, 4), line("quit", 5)},
         {R"({"at":"2","event":"window-enumeration","times":"2"})", line("launch", 3),
          line(scan, 4), line("quit", 5)}},
        {"a lone scan is kept byte for byte",
         {line(scan, 1, R"(,"axWindowCount":"4")")},
         {line(scan, 1, R"(,"axWindowCount":"4")")}},
        {"an empty piece or an unreadable line ends a run",
         {line(scan, 1), "", line(scan, 2), "not json", line(scan, 3), ""},
         {line(scan, 1), "", line(scan, 2), "not json", line(scan, 3), ""}},
        {"a line only mentioning a scan is not one",
         {line(scan, 1), line("deep-link", 2, R"(,"reason":"windows-refreshed")"), line(scan, 3)},
         {line(scan, 1), line("deep-link", 2, R"(,"reason":"windows-refreshed")"), line(scan, 3)}},
        {"nothing stays nothing", {}, {}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(RoutineEvents::fold(row.lines), row.folded) << row.name;
    }
}

}  // namespace
}  // namespace pellucine
