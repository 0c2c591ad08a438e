#include "core/WindowCandidateIndex.h"

#include <cmath>

namespace pellucine {

namespace {

// Wider than twice the tolerance, so the frames that can agree with a position lie in the
// cells of its neighbourhood.
constexpr double cellSize = 8.0;
// Cell coordinates stay within 31 bits each.
constexpr double cellLimit = 1 << 30;

}  // namespace

bool WindowCandidateIndex::framesAgree(const GlobalRect& a, const GlobalRect& b) {
    const GlobalRect sa = a.standardized();
    const GlobalRect sb = b.standardized();
    return std::abs(sa.x - sb.x) <= tolerance && std::abs(sa.y - sb.y) <= tolerance &&
           std::abs(sa.width - sb.width) <= tolerance &&
           std::abs(sa.height - sb.height) <= tolerance;
}

std::optional<qint64> WindowCandidateIndex::cellCoordinate(double v) {
    const double c = std::floor(v / cellSize);
    if (!std::isfinite(c) || std::abs(c) >= cellLimit) {
        return std::nullopt;
    }
    return static_cast<qint64>(c);
}

quint64 WindowCandidateIndex::cellKey(qint64 cx, qint64 cy) {
    return (static_cast<quint64>(cx) << 32) ^ (static_cast<quint64>(cy) & 0xFFFFFFFFu);
}

WindowCandidateIndex::WindowCandidateIndex(std::vector<Candidate> candidates)
    : candidates_(std::move(candidates)), taken_(candidates_.size(), false) {
    for (std::size_t i = 0; i < candidates_.size(); ++i) {
        const GlobalRect f = candidates_[i].frame.standardized();
        Owner& owner = owners_[candidates_[i].ownerPID];
        const auto cx = cellCoordinate(f.x);
        const auto cy = cellCoordinate(f.y);
        if (cx && cy) {
            owner.cells[cellKey(*cx, *cy)].members.push_back(i);
        } else {
            owner.unfiled.push_back(i);
        }
    }
}

std::optional<WindowCandidateIndex::Candidate> WindowCandidateIndex::take(qint32 ownerPID,
                                                                          const GlobalRect& frame) {
    const auto ownerIt = owners_.find(ownerPID);
    if (ownerIt == owners_.end()) {
        return std::nullopt;
    }
    Owner& owner = ownerIt->second;
    std::optional<std::size_t> best;
    // Members of a cell are front-most first: the first one that agrees is the cell's best.
    const auto searchCell = [&](Cell& cell) {
        while (cell.head < cell.members.size() && taken_[cell.members[cell.head]]) {
            ++cell.head;
        }
        for (std::size_t k = cell.head; k < cell.members.size(); ++k) {
            const std::size_t i = cell.members[k];
            if (best && i > *best) {
                return;
            }
            if (!taken_[i] && framesAgree(candidates_[i].frame, frame)) {
                best = i;
                return;
            }
        }
    };

    // The neighbourhood is taken a point wider than the tolerance, clear of rounding.
    const GlobalRect f = frame.standardized();
    const double reach = tolerance + 1;
    const auto x0 = cellCoordinate(f.x - reach);
    const auto x1 = cellCoordinate(f.x + reach);
    const auto y0 = cellCoordinate(f.y - reach);
    const auto y1 = cellCoordinate(f.y + reach);
    if (x0 && x1 && y0 && y1) {
        for (qint64 cx = *x0; cx <= *x1; ++cx) {
            for (qint64 cy = *y0; cy <= *y1; ++cy) {
                const auto cellIt = owner.cells.find(cellKey(cx, cy));
                if (cellIt != owner.cells.end()) {
                    searchCell(cellIt->second);
                }
            }
        }
    } else if (std::isfinite(f.x) && std::isfinite(f.y)) {
        // Far out: some agreeing frames may be filed, others not.
        for (auto& entry : owner.cells) {
            searchCell(entry.second);
        }
    }
    for (const std::size_t i : owner.unfiled) {
        if (!taken_[i] && (!best || i < *best) && framesAgree(candidates_[i].frame, frame)) {
            best = i;
        }
    }
    if (!best) {
        return std::nullopt;
    }
    taken_[*best] = true;
    return candidates_[*best];
}

}  // namespace pellucine
