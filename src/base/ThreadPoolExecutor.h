#pragma once

#include <QObject>
#include <QThreadPool>

#include "base/BackgroundExecutor.h"

namespace pellucine {

// The program's executor: a thread pool of its own; completions are delivered by queued
// invocation on the thread that created the executor (the main thread).
class ThreadPoolExecutor final : public QObject, public BackgroundExecutor {
    Q_OBJECT

  public:
    // maxThreads <= 0 keeps the pool's default (one thread per core).
    explicit ThreadPoolExecutor(int maxThreads = 0, QObject* parent = nullptr);
    // Waits for the jobs already running; completions not yet delivered are dropped.
    ~ThreadPoolExecutor() override;

    void execute(std::function<void()> job, std::function<void()> done) override;

    // How long a worker with nothing to do waits for more before it ends: soon after the last
    // job, so that at rest no worker is left to wake and end later.
    static constexpr int idleWorkerExpiryMs = 5000;

  private:
    QThreadPool pool_;
};

}  // namespace pellucine
