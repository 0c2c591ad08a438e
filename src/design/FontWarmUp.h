#pragma once

#include <QFont>
#include <QList>
#include <functional>

#include "base/Scheduler.h"

namespace pellucine {

// Makes fonts ready ahead of their first use: after `delay`, a short sample of each font is
// drawn off screen, one font a turn of the event loop, so that the first panel drawn with them
// finds their engines and glyphs loaded and a key pressed meanwhile waits for one font at most.
// Dropping it cancels what is still to come. Main thread only.
class FontWarmUp {
  public:
    // Fonts made only when the delay is over: making a font of the bundled families registers
    // them, which is work for after the launch.
    class Later {
      public:
        explicit Later(std::function<QList<QFont>()> make) : make(std::move(make)) {}
        std::function<QList<QFont>()> make;
    };

    FontWarmUp(Scheduler& scheduler, Duration delay, QList<QFont> fonts);
    FontWarmUp(Scheduler& scheduler, Duration delay, Later fonts);
    FontWarmUp(const FontWarmUp&) = delete;
    FontWarmUp& operator=(const FontWarmUp&) = delete;

    // The fonts not drawn yet; none of those made later until they are made.
    qsizetype remaining() const { return fonts_.size(); }

  private:
    void step();

    Scheduler& scheduler_;
    QList<QFont> fonts_;
    std::function<QList<QFont>()> makeFonts_;
    ScopedWork next_;
};

}  // namespace pellucine
