#include <gtest/gtest.h>

#include <QImage>

#include "panels/FullSizePeekView.h"

namespace pellucine {
namespace {

WindowDescriptor untitled() {
    WindowDescriptor w;
    w.id = 5;
    w.applicationName = QStringLiteral("Mail");
    return w;
}

TEST(FullSizePeekViewTest, TheLongestHintThatFitsElseNone) {
    EXPECT_EQ(FullSizePeekView::hintFor(300, 300, 150), FullSizePeekView::longHint());
    EXPECT_EQ(FullSizePeekView::hintFor(299, 300, 150), FullSizePeekView::shortHint());
    EXPECT_EQ(FullSizePeekView::hintFor(150, 300, 150), FullSizePeekView::shortHint());
    EXPECT_EQ(FullSizePeekView::hintFor(149, 300, 150), std::nullopt);
    EXPECT_EQ(FullSizePeekView::hintFor(-20, 300, 150), std::nullopt);
}

TEST(FullSizePeekViewTest, NarrowHeadersGiveUpTheHintFirst) {
    QImage picture(600, 400, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    FullSizePeekView view(untitled(), picture, QSizeF(600, 400), QImage());
    EXPECT_EQ(view.title(), "Untitled window");
    EXPECT_FALSE(view.hasIcon());
    view.resize(624, 458);
    EXPECT_EQ(view.hint(), FullSizePeekView::longHint());
    // The picture sits under the 46-high header, 12 in from both sides.
    EXPECT_EQ(view.pictureRect(), QRectF(12, 46, 600, 400));
    view.resize(300, 458);
    EXPECT_EQ(view.hint(), FullSizePeekView::shortHint());
    view.resize(150, 458);
    EXPECT_EQ(view.hint(), std::nullopt);
}

}  // namespace
}  // namespace pellucine
