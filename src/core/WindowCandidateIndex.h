#pragma once

#include <QtGlobal>
#include <optional>
#include <unordered_map>
#include <vector>

#include "base/Rect.h"

namespace pellucine {

// The window-list entries that can be paired with accessibility windows, indexed by owner and
// by position so that pairing a window looks at the few entries near it instead of all of
// them. An entry is handed out at most once.
class WindowCandidateIndex {
  public:
    // The largest difference, in each of minimum x, minimum y, width and height, at which two
    // frames still describe the same window.
    static constexpr double tolerance = 3.0;

    struct Candidate {
        quint32 id = 0;
        qint32 ownerPID = 0;
        GlobalRect frame;
        bool isOnScreen = false;
        // Position in the whole window list.
        qint64 zOrder = 0;
    };

    // Candidates in window-list order, front first.
    explicit WindowCandidateIndex(std::vector<Candidate> candidates);

    std::size_t size() const { return candidates_.size(); }

    // The front-most candidate of the owner not handed out yet whose frame agrees with `frame`
    // within the tolerance; it is handed out.
    std::optional<Candidate> take(qint32 ownerPID, const GlobalRect& frame);

    static bool framesAgree(const GlobalRect& a, const GlobalRect& b);

  private:
    struct Cell {
        std::vector<std::size_t> members;  // ascending, so front-most first
        std::size_t head = 0;              // members before it are all taken
    };
    struct Owner {
        std::unordered_map<quint64, Cell> cells;
        // Candidates whose position is too far out or not finite to file in a cell.
        std::vector<std::size_t> unfiled;
    };

    static std::optional<qint64> cellCoordinate(double v);
    static quint64 cellKey(qint64 cx, qint64 cy);

    std::vector<Candidate> candidates_;
    std::vector<bool> taken_;
    std::unordered_map<qint32, Owner> owners_;
};

}  // namespace pellucine
