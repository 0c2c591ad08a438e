// The preview half of AppModel: loading, capturing, decoding, warming and preloading pictures.

#include <QPointer>
#include <algorithm>
#include <chrono>

#include "base/BackgroundWork.h"
#include "base/Error.h"
#include "base/Spawn.h"
#include "base/TaskGroup.h"
#include "coordination/AppModel.h"

namespace pellucine {

namespace {

QString errorTypeOf(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        return errorTypeName(error);
    } catch (...) {
        return QStringLiteral("unknown");
    }
}

QString count(qsizetype n) {
    return QString::number(n);
}

}  // namespace

qint64 AppModel::millisecondsSince(ContinuousInstant start) const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(now() - start).count();
}

void AppModel::publish(quint32 window, const QImage& image) {
    previewImages_.modify([&](PreviewImages& images) { images.insert(window, image); });
}

void AppModel::resetPreviews() {
    previewImages_.set({});
    picturesDue_.clear();
    if (!portablePreferences_.value().keepPreviewsReady) {
        previewCache_.removeAll();
    }
    previewService_.invalidateContent();
}

void AppModel::hidePrivatePreviews() {
    const PreviewChoice choice = previewChoice();
    QSet<quint32> hidden;
    const auto collect = [&](const QList<WindowDescriptor>& windows) {
        for (const WindowDescriptor& window : windows) {
            if (choice.isPrivate(window)) {
                hidden.insert(window.id);
            }
        }
    };
    for (const ApplicationDescriptor& application : applications_.value()) {
        collect(application.windows);
    }
    collect(switcherSelection_.value().windows);
    if (hidden.isEmpty()) {
        return;
    }
    const PreviewImages& published = previewImages_.value();
    if (std::any_of(hidden.begin(), hidden.end(),
                    [&](quint32 window) { return published.contains(window); })) {
        previewImages_.modify([&](PreviewImages& images) {
            for (const quint32 window : hidden) {
                images.remove(window);
            }
        });
    }
    QSet<quint32> keeping;
    for (const auto& entry : previewCache_.entries()) {
        if (!hidden.contains(entry.first)) {
            keeping.insert(entry.first);
        }
    }
    previewCache_.prune(keeping);
}

// ---- Loading ----------------------------------------------------------------------------------

bool AppModel::pictureOutsized(const WindowDescriptor& window) const {
    const auto taken = pictureSizes_.constFind(window.id);
    return taken != pictureSizes_.cend() && !(*taken == window.frame.standardized().size());
}

AppModel::PublishedPicture AppModel::publishedPictureState(const WindowDescriptor& window) const {
    if (picturesDue_.contains(window.id) || pictureOutsized(window)) {
        return PublishedPicture::old;
    }
    const PreviewCache::Entry* entry = previewCache_.entry(window.id);
    if (entry == nullptr) {
        return PublishedPicture::current;
    }
    if (now() - entry->createdAt > seconds(refreshAgeSeconds)) {
        return PublishedPicture::old;
    }
    const QImage shown = previewImages_.value().value(window.id);
    return entry->hot && entry->hot->cacheKey() != shown.cacheKey() ? PublishedPicture::superseded
                                                                    : PublishedPicture::current;
}

bool AppModel::needsPictures(const QList<WindowDescriptor>& windows) const {
    const PreviewImages& published = previewImages_.value();
    return std::any_of(windows.begin(), windows.end(), [&](const WindowDescriptor& w) {
        if (!published.contains(w.id)) {
            return w.isOnScreen || previewCache_.entry(w.id) != nullptr;
        }
        return w.isOnScreen && publishedPictureState(w) != PublishedPicture::current;
    });
}

void AppModel::publishFreshPictures(const QList<WindowDescriptor>& windows) {
    const PreviewChoice choice = previewChoice();
    QList<std::pair<quint32, QImage>> fresh;
    for (const WindowDescriptor& window : windows) {
        if (!window.isOnScreen || choice.isPrivate(window) ||
            previewImages_.value().contains(window.id)) {
            continue;
        }
        if (std::optional<QImage> image = previewCache_.freshImage(window.id, now())) {
            fresh.append({window.id, std::move(*image)});
        }
    }
    if (fresh.isEmpty()) {
        return;
    }
    previewImages_.modify([&](PreviewImages& images) {
        for (const auto& [window, image] : fresh) {
            images.insert(window, image);
        }
    });
}

QCoro::Task<void> AppModel::loadPreviews(CancellationToken token, QList<WindowDescriptor> windows) {
    const QPointer<AppModel> self(this);
    const ContinuousInstant start = now();
    const qint64 generation = previewSessionGeneration_;
    int loaded = 0;
    int cached = 0;
    int lastSeen = 0;
    const PreviewChoice choice = previewChoice();

    // Windows of password managers, whatever the switch says now: it may be turned on while
    // the load runs.
    QSet<quint32> sensitive;
    QSet<quint32> shown;
    for (const WindowDescriptor& window : windows) {
        if (PreviewChoice{true, choice.osMajorVersion}.isPrivate(window)) {
            sensitive.insert(window.id);
        }
        if (!choice.isPrivate(window)) {
            shown.insert(window.id);
        }
    }
    const auto mayPublish = [&](quint32 window) {
        return !token.isCancelled() && generation == previewSessionGeneration_ &&
               !(sensitive.contains(window) &&
                 portablePreferences_.value().keepPasswordManagersPrivate);
    };

    const PreviewImages& published = previewImages_.value();
    if (std::any_of(published.keyBegin(), published.keyEnd(),
                    [&](quint32 window) { return !shown.contains(window); })) {
        previewImages_.modify([&](PreviewImages& images) {
            images.removeIf([&](const auto& item) { return !shown.contains(item.key()); });
        });
    }

    QList<WindowDescriptor> decodeList;
    QList<WindowDescriptor> captureList;
    QList<WindowDescriptor> refreshList;
    for (const WindowDescriptor& window : windows) {
        if (!shown.contains(window.id)) {
            continue;
        }
        if (previewImages_.value().contains(window.id)) {
            ++loaded;
            ++cached;
            // Shown by an earlier load, perhaps one cancelled before its refresh pass: still
            // taken again once old, and replaced by a newer picture taken meanwhile.
            if (window.isOnScreen) {
                switch (publishedPictureState(window)) {
                    case PublishedPicture::current:
                        break;
                    case PublishedPicture::superseded:
                        publish(window.id, *previewCache_.entry(window.id)->hot);
                        break;
                    case PublishedPicture::old:
                        refreshList.append(window);
                        break;
                }
            }
            continue;
        }
        if (window.isOnScreen) {
            if (std::optional<QImage> fresh = previewCache_.freshImage(window.id, now())) {
                publish(window.id, *fresh);
                ++loaded;
                ++cached;
                if (now() - previewCache_.entry(window.id)->createdAt >
                        seconds(refreshAgeSeconds) ||
                    pictureOutsized(window)) {
                    refreshList.append(window);
                }
                continue;
            }
        }
        if (std::optional<QImage> old = previewCache_.cachedImage(window.id)) {
            publish(window.id, *old);
            ++loaded;
            ++lastSeen;
            if (window.isOnScreen) {
                refreshList.append(window);
            }
            continue;
        }
        const PreviewCache::Entry* entry = previewCache_.entry(window.id);
        if (entry != nullptr && entry->compressed) {
            decodeList.append(window);
            if (window.isOnScreen) {
                refreshList.append(window);
            }
        } else if (window.isOnScreen) {
            captureList.append(window);
        }
    }

    if (!decodeList.isEmpty()) {
        const QList<DecodedPreview> decoded = co_await restoreCopies(token, decodeList);
        if (!self) {
            co_return;
        }
        for (const DecodedPreview& preview : decoded) {
            if (mayPublish(preview.windowID) &&
                !previewImages_.value().contains(preview.windowID)) {
                publish(preview.windowID, *preview.image);
                ++loaded;
                ++lastSeen;
            }
        }
    }

    co_await capturePreviews(
        token, captureList, generation, CaptureGroup::load(), [&](const CapturedPreview& result) {
            if (generation != previewSessionGeneration_) {
                return;
            }
            if (const QImage* image = result.image()) {
                if (mayPublish(result.windowID)) {
                    publish(result.windowID, *image);
                    picturesDue_.remove(result.windowID);
                    ++loaded;
                }
            } else {
                events_.record(QStringLiteral("preview-capture-failed"),
                               {{QStringLiteral("errorType"), errorTypeOf(result.error())}});
            }
        });
    if (!self) {
        co_return;
    }
    if (!refreshList.isEmpty() && !token.isCancelled()) {
        co_await capturePreviews(token, refreshList, generation, CaptureGroup::refresh(),
                                 [&](const CapturedPreview& result) {
                                     const QImage* image = result.image();
                                     if (image != nullptr && mayPublish(result.windowID)) {
                                         publish(result.windowID, *image);
                                         picturesDue_.remove(result.windowID);
                                     }
                                 });
        if (!self) {
            co_return;
        }
    }

    const auto offscreen = std::count_if(windows.begin(), windows.end(),
                                         [](const WindowDescriptor& w) { return !w.isOnScreen; });
    events_.record(QStringLiteral("previews-loaded"),
                   {{QStringLiteral("requestedCount"), count(windows.size())},
                    {QStringLiteral("loadedCount"), count(loaded)},
                    {QStringLiteral("cachedCount"), count(cached)},
                    {QStringLiteral("lastSeenCount"), count(lastSeen)},
                    {QStringLiteral("offscreenCount"), count(offscreen)},
                    {QStringLiteral("durationMilliseconds"), count(millisecondsSince(start))}});
}

QCoro::Task<QList<DecodedPreview>> AppModel::restoreCopies(CancellationToken token,
                                                           QList<WindowDescriptor> windows) {
    QList<PreviewCopy> copies;
    for (const WindowDescriptor& window : windows) {
        const PreviewCache::Entry* entry = previewCache_.entry(window.id);
        if (entry != nullptr && entry->compressed) {
            copies.append({window.id, entry->capture, *entry->compressed});
        }
    }
    QList<DecodedPreview> decoded;
    if (copies.isEmpty() || token.isCancelled()) {
        co_return decoded;
    }
    const QPointer<AppModel> self(this);
    decoded = co_await decodePreviews(token, copies);
    if (self) {
        for (const DecodedPreview& preview : decoded) {
            previewCache_.restoreDecodedImage(preview.windowID, preview.capture, *preview.image);
        }
    }
    co_return decoded;
}

// ---- Capturing --------------------------------------------------------------------------------

QCoro::Task<QImage> AppModel::previewImage(CancellationToken, WindowDescriptor window,  // NOLINT
                                           qint64 generation, bool forceCapture,
                                           bool keepLateResult) {
    if (!forceCapture) {
        if (std::optional<QImage> fresh = previewCache_.freshImage(window.id, now())) {
            QImage image = std::move(*fresh);
            co_return image;
        }
    }
    const SharedTask<QImage> task = captureTask(window);
    const QPointer<AppModel> self(this);
    QImage image = co_await task;
    if (!self || (!keepLateResult && generation != previewSessionGeneration_)) {
        throw CancellationError();
    }
    co_return image;
}

SharedTask<QImage> AppModel::captureTask(const WindowDescriptor& window) {
    if (const auto running = previewTasks_.find(window.id); running != previewTasks_.end()) {
        return running->second;
    }
    const double width = portablePreferences_.value().previewWidth;
    pictureSizes_.insert(window.id, window.frame.standardized().size());
    SharedTask<QImage> task =
        spawn(scheduler_, guarded(this, &AppModel::captureWindow, window, width));
    previewTasks_.emplace(window.id, task);
    return task;
}

QCoro::Task<QImage> AppModel::captureWindow(CancellationToken token, WindowDescriptor window,
                                            double width) {
    const QPointer<AppModel> self(this);
    PreviewServicing& service = previewService_;
    std::optional<QImage> image;
    std::exception_ptr failure;
    try {
        image = co_await service.capture(window, width);
    } catch (...) {
        failure = std::current_exception();
    }
    if (self) {
        captureFinished(token, window, image);
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    QImage result = std::move(*image);
    co_return result;
}

void AppModel::captureFinished(const CancellationToken& token, const WindowDescriptor& window,
                               const std::optional<QImage>& image) {
    // Only this capture's own entry goes: a newer capture of the window may have replaced it.
    if (const auto entry = previewTasks_.find(window.id);
        entry != previewTasks_.end() && entry->second.token() == token) {
        previewTasks_.erase(entry);
    }
    if (image && !previewChoice().isPrivate(window)) {
        previewCache_.store(*image, window.id, now());
    }
}

QCoro::Task<CapturedPreview> AppModel::capturePreview(CancellationToken token,
                                                      WindowDescriptor window, qint64 generation,
                                                      bool forceCapture, bool keepLateResult) {
    CapturedPreview preview{window.id, {}};
    try {
        preview.result = co_await previewImage(std::move(token), window, generation, forceCapture,
                                               keepLateResult);
    } catch (...) {
        preview.result = std::current_exception();
    }
    co_return preview;
}

QCoro::Task<void> AppModel::capturePreviews(CancellationToken token,
                                            QList<WindowDescriptor> windows, qint64 generation,
                                            CaptureGroup group, CaptureHandler onResult) {
    if (windows.isEmpty()) {
        co_return;
    }
    const QPointer<AppModel> self(this);
    TaskGroup<CapturedPreview> captures(scheduler_, group.maxConcurrent, token);
    for (const WindowDescriptor& window : windows) {
        captures.add(guarded(this, &AppModel::capturePreview, window, generation,
                             group.forceCapture, group.keepLateResult));
    }
    while (true) {
        std::optional<CapturedPreview> result;
        try {
            result = co_await captures.next();
        } catch (const CancellationError&) {
            // A child that found the model gone.
            continue;
        }
        if (!result || !self) {
            co_return;
        }
        onResult(*result);
    }
}

// ---- Decoding ---------------------------------------------------------------------------------

QCoro::Task<QList<DecodedPreview>> AppModel::decodePreviews(CancellationToken token,
                                                            QList<PreviewCopy> copies) {
    QList<DecodedPreview> decoded;
    TaskGroup<DecodedPreview> decoding(scheduler_, static_cast<int>(copies.size()), token);
    for (const PreviewCopy& copy : copies) {
        decoding.add(guarded(this, &AppModel::decodeCopy, copy));
    }
    while (true) {
        std::optional<DecodedPreview> result;
        try {
            result = co_await decoding.next();
        } catch (const CancellationError&) {
            continue;
        }
        if (!result) {
            break;
        }
        if (result->image) {
            decoded.append(std::move(*result));
        }
    }
    co_return decoded;
}

QCoro::Task<DecodedPreview> AppModel::decodeCopy(CancellationToken, PreviewCopy copy) {  // NOLINT
    const ImageCoding* coding = &desktop_.imageCoding();
    auto work =
        runInBackground(executor_, [coding, data = copy.data] { return coding->decodeJpeg(data); });
    std::optional<QImage> image = co_await std::move(work);
    co_return DecodedPreview{copy.windowID, copy.capture, std::move(image)};
}

// ---- Warm-up and preload ----------------------------------------------------------------------

QCoro::Task<void> AppModel::warmAllPreviews(CancellationToken token) {
    QList<WindowDescriptor> onScreen;
    for (const ApplicationDescriptor& application : applications_.value()) {
        for (const WindowDescriptor& window : application.windows) {
            if (window.isOnScreen && onScreen.size() < previewCache_.capacity()) {
                onScreen.append(window);
            }
        }
    }
    co_await warmPreviews(std::move(token), std::move(onScreen), recentAgeSeconds);
}

QCoro::Task<void> AppModel::warmPreviews(CancellationToken token, QList<WindowDescriptor> windows,
                                         double maxAge) {
    if (!portablePreferences_.value().keepPreviewsReady) {
        co_return;
    }
    const QPointer<AppModel> self(this);
    const ContinuousInstant start = now();
    const qint64 generation = previewSessionGeneration_;
    const QList<WindowDescriptor> chosen =
        previewChoice().needingCapture(windows, previewCache_, now(), maxAge);
    if (chosen.isEmpty()) {
        co_return;
    }
    int warmed = 0;
    co_await capturePreviews(token, chosen, generation, CaptureGroup::warm(),
                             [&warmed](const CapturedPreview& result) {
                                 if (result.image() != nullptr) {
                                     ++warmed;
                                 }
                             });
    if (!self) {
        co_return;
    }
    events_.record(QStringLiteral("previews-warmed"),
                   {{QStringLiteral("requestedCount"), count(chosen.size())},
                    {QStringLiteral("warmedCount"), count(warmed)},
                    {QStringLiteral("durationMilliseconds"), count(millisecondsSince(start))}});
}

QCoro::Task<void> AppModel::preloadPreviews(CancellationToken token,
                                            QList<WindowDescriptor> windows) {
    const QPointer<AppModel> self(this);
    const ContinuousInstant start = now();
    const qint64 generation = previewSessionGeneration_;
    const PreviewChoice choice = previewChoice();

    // Nearest first, and no more than the hot tier holds: decoding further copies would only
    // push the pictures just decoded out again.
    QList<WindowDescriptor> candidates;
    int considered = 0;
    for (const WindowDescriptor& window : windows) {
        if (choice.isPrivate(window)) {
            continue;
        }
        if (++considered > previewCache_.hotCapacity()) {
            break;
        }
        if (!previewCache_.cachedImage(window.id)) {
            candidates.append(window);
        }
    }
    if (!candidates.isEmpty()) {
        co_await restoreCopies(token, candidates);
        if (!self) {
            co_return;
        }
    }

    const QList<WindowDescriptor> chosen =
        choice.needingCapture(windows, previewCache_, now(), recentAgeSeconds);
    int warmed = 0;
    co_await capturePreviews(
        token, chosen, generation, CaptureGroup::preload(), [&](const CapturedPreview& result) {
            if (generation != previewSessionGeneration_) {
                return;
            }
            if (result.image() != nullptr) {
                ++warmed;
            } else {
                events_.record(QStringLiteral("preview-preload-failed"),
                               {{QStringLiteral("errorType"), errorTypeOf(result.error())}});
            }
        });
    if (!self) {
        co_return;
    }
    events_.record(QStringLiteral("previews-preloaded"),
                   {{QStringLiteral("requestedCount"), count(windows.size())},
                    {QStringLiteral("warmedCount"), count(warmed)},
                    {QStringLiteral("durationMilliseconds"), count(millisecondsSince(start))}});
}

}  // namespace pellucine
