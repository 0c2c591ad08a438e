#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <functional>

namespace pellucine {

// Holds the links that arrive before launch has finished and hands them on, oldest first, when
// it has; later links are handed on at once. Main thread.
class DeepLinkQueue {
  public:
    // At most this many links wait for launch; later ones are dropped.
    static constexpr int maximumPending = 64;

    // `handle` answers whether it took the link.
    explicit DeepLinkQueue(std::function<bool(const QUrl&)> handle) : handle_(std::move(handle)) {}

    // Whether the link was taken or waits for launch: text that is not a valid link is dropped
    // without a trace, and so is a link beyond the waiting ones.
    bool receive(const QString& text);
    // Marks launch as finished and hands on what waited. Later calls hand on nothing more.
    void drain();

    bool launched() const { return launched_; }
    const QList<QUrl>& pending() const { return pending_; }

  private:
    std::function<bool(const QUrl&)> handle_;
    bool launched_ = false;
    QList<QUrl> pending_;
};

}  // namespace pellucine
