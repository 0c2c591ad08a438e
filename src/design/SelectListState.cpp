#include "design/SelectListState.h"

#include <algorithm>
#include <cmath>

namespace pellucine {
namespace {

QString folded(QStringView text) {
    return text.toString().normalized(QString::NormalizationForm_C).toLower();
}

}  // namespace

SelectListState::SelectListState(const QStringList& titles, std::optional<qsizetype> selected) {
    titles_.reserve(titles.size());
    for (const QString& title : titles) {
        titles_.append(folded(title));
    }
    if (selected && *selected >= 0 && *selected < titles_.size()) {
        highlighted_ = static_cast<int>(*selected);
    }
}

SelectListState::Scroll SelectListState::moveHighlight(int step) {
    if (titles_.isEmpty()) {
        return Scroll::none;
    }
    const int last = static_cast<int>(titles_.size() - 1);
    highlighted_ = std::min(last, std::max(highlighted_ + step, 0));
    return Scroll::nearest;
}

SelectListState::Scroll SelectListState::home() {
    highlighted_ = 0;
    return Scroll::nearest;
}

SelectListState::Scroll SelectListState::end() {
    highlighted_ = std::max(static_cast<int>(titles_.size()) - 1, 0);
    return Scroll::nearest;
}

void SelectListState::hover(int row) {
    if (row >= 0 && row < titles_.size()) {
        highlighted_ = row;
    }
}

SelectListState::Scroll SelectListState::typeAhead(QStringView characters, ContinuousInstant now) {
    if (!typedAt_ || now - *typedAt_ > typeAheadPause) {
        typed_.clear();
    }
    typed_ += folded(characters);
    typedAt_ = now;
    auto found = std::find_if(titles_.cbegin(), titles_.cend(),
                              [this](const QString& title) { return title.startsWith(typed_); });
    if (found == titles_.cend()) {
        found = std::find_if(titles_.cbegin(), titles_.cend(),
                             [this](const QString& title) { return title.contains(typed_); });
    }
    if (found == titles_.cend()) {
        return Scroll::none;
    }
    highlighted_ = static_cast<int>(found - titles_.cbegin());
    return Scroll::centre;
}

std::optional<int> SelectListState::chosen() const {
    if (highlighted_ >= 0 && highlighted_ < titles_.size()) {
        return highlighted_;
    }
    return std::nullopt;
}

bool SelectListState::typesAhead(QStringView characters) {
    if (characters.isEmpty()) {
        return false;
    }
    for (const uint c : characters.toUcs4()) {
        const bool counts = QChar::isLetterOrNumber(c) || QChar::isMark(c) || QChar::isPunct(c) ||
                            QChar::category(c) == QChar::Separator_Space || c == u'\t';
        if (!counts) {
            return false;
        }
    }
    return true;
}

int SelectListState::listHeight(qsizetype count) {
    const qsizetype rows = std::max<qsizetype>(count, 1);
    return static_cast<int>(
        std::min<qsizetype>(rowHeight * rows + 2 * verticalPadding, maximumHeight));
}

int SelectListState::listWidth(qreal ideal, qreal minimumWidth) {
    return static_cast<int>(
        std::ceil(std::min<qreal>(maximumWidth, std::max(ideal, minimumWidth))));
}

int SelectListState::scrollOffset(Scroll how, int row, int offset, int viewport, qsizetype count) {
    const int content = static_cast<int>(rowHeight * count + 2 * verticalPadding);
    const int top = verticalPadding + rowHeight * row;
    const int bottom = top + rowHeight;
    int wanted = offset;
    switch (how) {
        case Scroll::none:
            return offset;
        case Scroll::centre:
            wanted = (top + bottom) / 2 - viewport / 2;
            break;
        case Scroll::nearest:
            if (top < offset) {
                wanted = top;
            } else if (bottom > offset + viewport) {
                wanted = bottom - viewport;
            }
            break;
    }
    return std::clamp(wanted, 0, std::max(0, content - viewport));
}

}  // namespace pellucine
