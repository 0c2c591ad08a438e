#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <limits>

#include "platform/linux/JpegImageCoding.h"

namespace pellucine {
namespace {

QByteArray writtenByQt(const QImage& image, const char* format) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return data;
}

void expectNear(QColor actual, QColor expected) {
    EXPECT_NEAR(actual.red(), expected.red(), 6);
    EXPECT_NEAR(actual.green(), expected.green(), 6);
    EXPECT_NEAR(actual.blue(), expected.blue(), 6);
}

TEST(JpegImageCodingTest, CopiesRoundTripAndAreOrdinaryJpeg) {
    const JpegImageCoding coding;
    QImage image(121, 80, QImage::Format_RGB32);
    image.fill(QColor(30, 160, 90));
    const auto low = coding.encodeJpeg(image, 0.2);
    const auto high = coding.encodeJpeg(image, 1.0);
    ASSERT_TRUE(low && high);
    EXPECT_LT(low->size(), high->size());
    const auto back = coding.decodeJpeg(*high);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->size(), image.size());
    expectNear(back->pixelColor(60, 40), QColor(30, 160, 90));

    // Other JPEG readers read the copies, and copies from other writers decode.
    QBuffer buffer;
    buffer.setData(*high);
    buffer.open(QIODevice::ReadOnly);
    EXPECT_EQ(QImageReader(&buffer, "jpeg").read().size(), image.size());
    const auto fromQt = coding.decodeJpeg(writtenByQt(image, "jpeg"));
    ASSERT_TRUE(fromQt.has_value());
    expectNear(fromQt->pixelColor(60, 40), QColor(30, 160, 90));
}

TEST(JpegImageCodingTest, GreyAndTransparentPicturesComeOutInColourOverBlack) {
    const JpegImageCoding coding;
    QImage grey(40, 30, QImage::Format_Grayscale8);
    grey.fill(QColor(128, 128, 128));
    const auto greyBack = coding.decodeJpeg(writtenByQt(grey, "jpeg"));
    ASSERT_TRUE(greyBack.has_value());
    EXPECT_EQ(greyBack->format(), QImage::Format_RGB32);
    expectNear(greyBack->pixelColor(20, 15), QColor(128, 128, 128));

    QImage clear(40, 30, QImage::Format_ARGB32_Premultiplied);
    clear.fill(Qt::transparent);
    const auto clearBack = coding.decodeJpeg(*coding.encodeJpeg(clear, 0.82));
    ASSERT_TRUE(clearBack.has_value());
    expectNear(clearBack->pixelColor(20, 15), Qt::black);
}

TEST(JpegImageCodingTest, WhatIsNotAWholeJpegDecodesToNothing) {
    const JpegImageCoding coding;
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QByteArray copy = *coding.encodeJpeg(image, 0.82);
    EXPECT_FALSE(coding.decodeJpeg(QByteArray()).has_value());
    EXPECT_FALSE(coding.decodeJpeg(writtenByQt(image, "png")).has_value());
    EXPECT_FALSE(coding.decodeJpeg(copy.left(20)).has_value());
    // Cut short after the headers: not read in part.
    EXPECT_FALSE(coding.decodeJpeg(copy.left(copy.size() * 2 / 3)).has_value());
    EXPECT_FALSE(coding.decodeJpeg(QByteArray(4096, '\xFF')).has_value());
    EXPECT_FALSE(coding.encodeJpeg(QImage(), 0.82).has_value());
    EXPECT_FALSE(coding.encodeJpeg(image, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(
        coding.encodeJpeg(QImage(JpegImageCoding::maximumSide + 1, 1, QImage::Format_RGB32), 0.82));
}

}  // namespace
}  // namespace pellucine
