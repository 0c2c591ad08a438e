#pragma once

#include <atomic>

#include "platform/linux/JpegImageCoding.h"

namespace pellucine {

// Real JPEG coding that a test can make fail and count. Safe from any thread.
class SimulatedImageCoding final : public ImageCoding {
  public:
    std::optional<QByteArray> encodeJpeg(const QImage& image, double quality) const override {
        ++encodeCount_;
        return failEncoding_ ? std::nullopt : real_.encodeJpeg(image, quality);
    }
    std::optional<QImage> decodeJpeg(const QByteArray& data) const override {
        ++decodeCount_;
        return failDecoding_ ? std::nullopt : real_.decodeJpeg(data);
    }

    void setEncodingFails(bool fails) { failEncoding_ = fails; }
    void setDecodingFails(bool fails) { failDecoding_ = fails; }
    int encodeCount() const { return encodeCount_; }
    int decodeCount() const { return decodeCount_; }

  private:
    JpegImageCoding real_;
    std::atomic<bool> failEncoding_{false};
    std::atomic<bool> failDecoding_{false};
    mutable std::atomic<int> encodeCount_{0};
    mutable std::atomic<int> decodeCount_{0};
};

}  // namespace pellucine
