#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <memory>
#include <optional>

#include "core/WindowDescriptor.h"

namespace pellucine {

// Ranking of windows for a typed query: tokens are matched against each window's title and, when
// not found there, its application name, ignoring case, diacritics and character width, with
// bonuses for matches at word starts. Positions count user-perceived characters (grapheme
// clusters), not UTF-16 units.
namespace WindowSearch {

// A half-open range of character positions, counted from 0.
struct CharacterRange {
    qsizetype start = 0;
    qsizetype end = 0;

    friend bool operator==(const CharacterRange&, const CharacterRange&) = default;
};

// Where a window is; its raw value is its display label.
enum class Location { onScreen, minimized, fullScreen, hidden, otherSpace };

QString rawValue(Location location);
// No location for a text that is none of the raw values.
std::optional<Location> locationFromRawValue(QStringView raw);

struct Candidate {
    WindowDescriptor window;
    Location location = Location::onScreen;
    // Place of the window's application in the order of recent use, 0 for the most recent.
    qint64 applicationRecency = 0;

    friend bool operator==(const Candidate&, const Candidate&) = default;
};

struct Result {
    Candidate candidate;
    // For each token found in the displayed title, in token order, where it matched.
    QList<CharacterRange> titleMatches;
    // The same for tokens found only in the application name.
    QList<CharacterRange> applicationMatches;
    qint64 score = 0;

    friend bool operator==(const Result&, const Result&) = default;
};

struct Match {
    CharacterRange range;
    // 60 at the start, 30 after a character that is neither letter nor number, else 0.
    int bonus = 0;

    friend bool operator==(const Match&, const Match&) = default;
};

inline constexpr qint64 titleMatchScore = 100;
inline constexpr qint64 applicationMatchScore = 40;

// The title searched and shown: the window's title, or "Untitled window" when it is empty.
QString displayTitle(const WindowDescriptor& window);

// The text folded one character at a time; it has exactly as many characters as the input.
// A character whose fold would join the next one stays as it was.
QString normalize(const QString& text);

// The occurrence of token in text (both already folded) with the largest bonus, the earliest
// among equal bonuses. Characters are equal when canonically equivalent.
std::optional<Match> match(const QString& token, const QString& text);

// The candidates searched with their folded texts prepared once; ranking a query against an
// index folds only the query. Copies share the prepared data.
class Index {
  public:
    Index();
    explicit Index(QList<Candidate> candidates);

    const QList<Candidate>& candidates() const;

    // The results for the query, best first: every candidate (score −recency) when the query
    // has no tokens; otherwise the candidates holding every token, scored 100 + bonus per token
    // in the title and 40 + bonus / 2 per token found only in the application name, less the
    // recency. Ties go to the later last focus (none counts as earliest), then the lower id.
    QList<Result> rank(QStringView query) const;

  private:
    struct Data;
    std::shared_ptr<const Data> data_;
};

// Prepares the candidates and ranks them: Index(candidates).rank(query).
QList<Result> rank(const QString& query, const QList<Candidate>& candidates);

}  // namespace WindowSearch

}  // namespace pellucine
