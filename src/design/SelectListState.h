#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "base/Clock.h"

namespace pellucine {

// The keyboard state of a select's list: the highlighted row, and the type-ahead buffer that
// finds a row by the start of its title (or, failing that, anywhere in it) while the keys come
// less than 0.7 s apart. Rows are indices into the titles.
class SelectListState {
  public:
    // How a change wants its row brought into view.
    enum class Scroll { none, nearest, centre };

    static constexpr int rowHeight = 29;
    static constexpr int verticalPadding = 4;
    static constexpr int maximumHeight = 320;
    static constexpr int maximumWidth = 360;
    static constexpr std::chrono::milliseconds typeAheadPause{700};

    // Highlights `selected` when it is a row, else the first row.
    SelectListState(const QStringList& titles, std::optional<qsizetype> selected);

    int highlighted() const { return highlighted_; }
    QString typed() const { return typed_; }
    qsizetype count() const { return titles_.size(); }

    // Moves the highlight `step` rows, stopping at the ends; nothing for an empty list.
    Scroll moveHighlight(int step);
    Scroll home();
    Scroll end();
    // The pointer resting on a row highlights it.
    void hover(int row);
    Scroll typeAhead(QStringView characters, ContinuousInstant now);
    // The row Return chooses: the highlighted one, when it is a row.
    std::optional<int> chosen() const;

    // Whether a key's text feeds the type-ahead: letters, marks, digits, spaces, tabs and
    // punctuation.
    static bool typesAhead(QStringView characters);
    // The list's height for `count` rows: the rows and their padding, at most 320.
    static int listHeight(qsizetype count);
    // The list's width for an ideal width: at least `minimumWidth` but never over 360, which
    // wins when the two disagree.
    static int listWidth(qreal ideal, qreal minimumWidth);
    // The scroll offset that shows `row` as `how` asks, from `offset` in a viewport `viewport`
    // high over content of `count` rows.
    static int scrollOffset(Scroll how, int row, int offset, int viewport, qsizetype count);

  private:
    QStringList titles_;  // folded for matching
    int highlighted_ = 0;
    QString typed_;
    std::optional<ContinuousInstant> typedAt_;
};

}  // namespace pellucine
