#include "core/PreviewCache.h"

#include <QPointer>
#include <algorithm>
#include <memory>
#include <vector>

namespace pellucine {

namespace {

// (lastUsed, window) pairs order by use, then by window number, so ties break the same way
// every time.
using UseKey = std::pair<ContinuousInstant, quint32>;

}  // namespace

PreviewCache::PreviewCache(ImageCoding& coding, BackgroundExecutor& executor,
                           const ContinuousClock& clock, double timeToLiveSeconds, int capacity,
                           int hotCapacity, QObject* parent)
    : QObject(parent),
      coding_(coding),
      executor_(executor),
      clock_(clock),
      timeToLive_(timeToLiveSeconds),
      capacity_(std::max(capacity, 0)),
      hotCapacity_(std::max(hotCapacity, 0)) {}

void PreviewCache::store(QImage image, quint32 window, ContinuousInstant capturedAt) {
    const quint64 capture = nextCapture_++;
    entries_.insert_or_assign(window, Entry{image, std::nullopt, capturedAt, capturedAt, capture});
    trimToCapacity();
    trimHotTier();

    auto copy = std::make_shared<std::optional<QByteArray>>();
    ImageCoding* coding = &coding_;
    executor_.execute(
        [copy, coding, image = std::move(image)] {
            *copy = coding->encodeJpeg(image, jpegQuality);
        },
        [self = QPointer<PreviewCache>(this), window, capture, copy] {
            if (self) {
                self->attachCopy(window, capture, std::move(*copy));
            }
        });
}

void PreviewCache::attachCopy(quint32 window, quint64 capture, std::optional<QByteArray> copy) {
    const auto it = entries_.find(window);
    if (!copy || it == entries_.end() || it->second.capture != capture) {
        return;
    }
    it->second.compressed = std::move(copy);
    trimHotTier();
}

std::optional<QImage> PreviewCache::freshImage(quint32 window, ContinuousInstant now) {
    const auto it = entries_.find(window);
    if (it == entries_.end()) {
        return std::nullopt;
    }
    Entry& e = it->second;
    if (now - e.createdAt > seconds(timeToLive_) || !e.hot) {
        return std::nullopt;
    }
    e.lastUsed = now;
    return e.hot;
}

std::optional<QImage> PreviewCache::cachedImage(quint32 window) {
    const auto it = entries_.find(window);
    if (it == entries_.end() || !it->second.hot) {
        return std::nullopt;
    }
    it->second.lastUsed = clock_.now();
    return it->second.hot;
}

void PreviewCache::prune(const QSet<quint32>& keeping) {
    std::erase_if(entries_, [&keeping](const auto& e) { return !keeping.contains(e.first); });
}

void PreviewCache::trimToCapacity() {
    const auto count = static_cast<std::ptrdiff_t>(entries_.size());
    if (count <= capacity_) {
        return;
    }
    std::vector<UseKey> byUse;
    byUse.reserve(entries_.size());
    for (const auto& [window, e] : entries_) {
        byUse.emplace_back(e.lastUsed, window);
    }
    const std::ptrdiff_t excess = count - capacity_;
    std::partial_sort(byUse.begin(), byUse.begin() + excess, byUse.end());
    for (std::ptrdiff_t i = 0; i < excess; ++i) {
        entries_.erase(byUse[static_cast<std::size_t>(i)].second);
    }
}

void PreviewCache::trimHotTier() {
    int hot = 0;
    std::vector<UseKey> candidates;
    for (const auto& [window, e] : entries_) {
        if (e.hot) {
            ++hot;
            if (e.compressed) {
                candidates.emplace_back(e.lastUsed, window);
            }
        }
    }
    if (hot <= hotCapacity_ || candidates.empty()) {
        return;
    }
    const auto dropped = std::min(static_cast<std::ptrdiff_t>(hot - hotCapacity_),
                                  static_cast<std::ptrdiff_t>(candidates.size()));
    std::partial_sort(candidates.begin(), candidates.begin() + dropped, candidates.end());
    for (std::ptrdiff_t i = 0; i < dropped; ++i) {
        entries_.at(candidates[static_cast<std::size_t>(i)].second).hot.reset();
    }
}

void PreviewCache::dropHotImages() {
    for (auto& [window, e] : entries_) {
        if (e.compressed) {
            e.hot.reset();
        }
    }
}

void PreviewCache::removeAll() {
    entries_.clear();
}

int PreviewCache::hotImageCount() const {
    return static_cast<int>(std::count_if(entries_.begin(), entries_.end(),
                                          [](const auto& e) { return e.second.hot.has_value(); }));
}

const PreviewCache::Entry* PreviewCache::entry(quint32 window) const {
    const auto it = entries_.find(window);
    return it == entries_.end() ? nullptr : &it->second;
}

void PreviewCache::restoreDecodedImage(quint32 window, quint64 capture, QImage image) {
    const auto it = entries_.find(window);
    if (it == entries_.end() || it->second.capture != capture || image.isNull()) {
        return;
    }
    it->second.hot = std::move(image);
    it->second.lastUsed = clock_.now();
    trimHotTier();
}

std::optional<QByteArray> PreviewCache::compressImage(const QImage& image) const {
    return coding_.encodeJpeg(image, jpegQuality);
}

std::optional<QImage> PreviewCache::decodeImage(const QByteArray& data) const {
    return coding_.decodeJpeg(data);
}

}  // namespace pellucine
