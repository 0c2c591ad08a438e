#pragma once

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QSet>
#include <map>
#include <optional>

#include "base/BackgroundExecutor.h"
#include "base/Clock.h"
#include "platform/ImageCoding.h"

namespace pellucine {

// The window pictures taken so far, in memory only, by window number. Each picture is kept
// decoded (ready to draw) and, a moment after it is stored, as a JPEG copy made off the main
// thread. Only `hotCapacity` entries keep their decoded picture once their copy exists; the
// others are decoded again from the copy when needed. Ages are measured on the continuous
// clock, so changing the system date never makes an old picture fresh. Main thread only;
// records nothing.
class PreviewCache final : public QObject {
    Q_OBJECT

  public:
    static constexpr double defaultTimeToLiveSeconds = 1200;
    static constexpr int defaultCapacity = 150;
    static constexpr int defaultHotCapacity = 16;
    static constexpr double jpegQuality = 0.82;

    struct Entry {
        // The decoded picture; none once dropped to save memory.
        std::optional<QImage> hot;
        // The JPEG copy; none until it is made, and for good when that failed.
        std::optional<QByteArray> compressed;
        // When the picture was taken.
        ContinuousInstant createdAt;
        // When the picture was last stored or handed out; the least recently used go first.
        ContinuousInstant lastUsed;
        // Tells captures apart: a copy is attached only to the capture it was made from.
        quint64 capture = 0;

        bool isHot() const { return hot.has_value(); }
    };

    PreviewCache(ImageCoding& coding, BackgroundExecutor& executor, const ContinuousClock& clock,
                 double timeToLiveSeconds = defaultTimeToLiveSeconds,
                 int capacity = defaultCapacity, int hotCapacity = defaultHotCapacity,
                 QObject* parent = nullptr);

    double timeToLive() const { return timeToLive_; }
    int capacity() const { return capacity_; }
    int hotCapacity() const { return hotCapacity_; }

    // Adds or replaces the window's entry, evicts, trims the hot tier and starts the JPEG copy.
    void store(QImage image, quint32 window, ContinuousInstant capturedAt);
    // The decoded picture when it was taken at most timeToLive before `now`; a hit marks the
    // entry used at `now`.
    std::optional<QImage> freshImage(quint32 window, ContinuousInstant now);
    // The decoded picture whatever its age; a hit marks the entry used now.
    std::optional<QImage> cachedImage(quint32 window);
    // Removes every entry whose window is not in `keeping`.
    void prune(const QSet<quint32>& keeping);
    // Drops the decoded pictures of the least recently used entries that have a copy, until at
    // most hotCapacity entries hold one or no entry with a copy is left to drop.
    void trimHotTier();
    // Evicts the least recently used entries beyond capacity.
    void trimToCapacity();
    // Drops every decoded picture that a copy can rebuild (on a memory warning).
    void dropHotImages();
    // Removes every entry (on a critical memory event, or when the previews are reset).
    void removeAll();
    int hotImageCount() const;

    const std::map<quint32, Entry>& entries() const { return entries_; }
    const Entry* entry(quint32 window) const;
    // Puts a picture decoded from the entry's copy back, marks the entry used now and trims the
    // hot tier. Ignored when the window's entry is gone or holds another capture by now.
    void restoreDecodedImage(quint32 window, quint64 capture, QImage image);

    // The JPEG copy of a picture; none when it cannot be made. Safe off the main thread.
    std::optional<QByteArray> compressImage(const QImage& image) const;
    // A picture from a JPEG copy, decoded at once; none when it cannot be read.
    std::optional<QImage> decodeImage(const QByteArray& data) const;

  private:
    void attachCopy(quint32 window, quint64 capture, std::optional<QByteArray> copy);

    ImageCoding& coding_;
    BackgroundExecutor& executor_;
    const ContinuousClock& clock_;
    double timeToLive_;
    int capacity_;
    int hotCapacity_;
    std::map<quint32, Entry> entries_;
    quint64 nextCapture_ = 1;
};

}  // namespace pellucine
