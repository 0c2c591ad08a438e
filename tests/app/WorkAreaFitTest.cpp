#include <gtest/gtest.h>

#include "app/WorkAreaFit.h"

namespace pellucine {
namespace {

TEST(WorkAreaFitTest, TheFrameIsCentredInsideTheWorkArea) {
    // openbox's decorations: a 22-high title bar, a border of 1 below and at the sides.
    const QMargins openbox(1, 22, 1, 1);
    struct Row {
        const char* name;
        QSize content;
        QMargins frame;
        QRect workArea;
        QRect expected;
    };
    const Row rows[] = {
        {"room to spare", {900, 680}, openbox, {0, 0, 1920, 1048}, {510, 194, 900, 680}},
        {"taller than a 768-high screen over a 72-high Dock bar",
         {900, 680},
         openbox,
         {0, 0, 1366, 696},
         {233, 22, 900, 673}},
        {"exactly as tall as the area with its frame",
         {720, 673},
         openbox,
         {0, 0, 1366, 696},
         {323, 22, 720, 673}},
        {"below a top panel", {720, 650}, openbox, {0, 30, 1366, 700}, {323, 65, 720, 650}},
        {"wider and taller than the area",
         {2000, 1200},
         openbox,
         {100, 50, 800, 600},
         {101, 72, 798, 577}},
        {"a second screen to the left",
         {500, 400},
         openbox,
         {-1280, 0, 1280, 800},
         {-890, 210, 500, 400}},
        {"frame not yet known", {900, 680}, {}, {0, 0, 1366, 696}, {233, 8, 900, 680}},
        {"an area smaller than the frame", {900, 680}, openbox, {0, 0, 1, 10}, {1, 22, 1, 1}},
    };
    for (const Row& row : rows) {
        const QRect placed = WorkAreaFit::place(row.content, row.frame, row.workArea);
        EXPECT_EQ(placed, row.expected) << row.name << ": " << placed.x() << "," << placed.y()
                                        << " " << placed.width() << "x" << placed.height();
    }
}

}  // namespace
}  // namespace pellucine
