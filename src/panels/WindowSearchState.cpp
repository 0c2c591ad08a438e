#include "panels/WindowSearchState.h"

#include <algorithm>

namespace pellucine {

namespace {

std::optional<quint32> firstID(const QList<WindowSearch::Result>& results) {
    if (results.isEmpty()) {
        return std::nullopt;
    }
    return results.first().candidate.window.id;
}

}  // namespace

WindowSearchState::WindowSearchState(QObject* parent) : QObject(parent) {}

void WindowSearchState::setQuery(const QString& query) {
    if (query == query_) {
        return;
    }
    query_ = query;
    refresh();
    emit queryChanged();
}

void WindowSearchState::setSelectedID(std::optional<quint32> id) {
    if (id != selectedID_) {
        selectedID_ = id;
        emit selectedIDChanged();
    }
}

void WindowSearchState::setTotalCount(qsizetype count) {
    if (count != totalCount_) {
        totalCount_ = count;
        emit totalCountChanged();
    }
}

void WindowSearchState::setHotkey(KeyCombo hotkey, std::optional<char32_t> keyCharacter) {
    if (hotkey != hotkey_ || keyCharacter != hotkeyCharacter_) {
        hotkey_ = hotkey;
        hotkeyCharacter_ = keyCharacter;
        emit hotkeyChanged();
    }
}

QStringList WindowSearchState::hotkeyCaps() const {
    return KeyCombo::keycapLabels(hotkey_.keyCode, hotkey_.modifiers, hotkeyCharacter_);
}

void WindowSearchState::advanceFocusToken() {
    ++focusToken_;
    emit focusTokenChanged();
}

void WindowSearchState::setCandidates(QList<WindowSearch::Candidate> candidates) {
    index_ = WindowSearch::Index(std::move(candidates));
}

void WindowSearchState::refresh() {
    results_ = index_.rank(query_);
    emit resultsChanged();
    if (indexOf(selectedID_) < 0) {
        setSelectedID(firstID(results_));
    }
}

void WindowSearchState::selectFirst() {
    setSelectedID(firstID(results_));
}

void WindowSearchState::moveSelection(int step) {
    if (results_.isEmpty()) {
        return;
    }
    const qsizetype current = std::max<qsizetype>(indexOf(selectedID_), 0);
    const qsizetype next = std::clamp<qsizetype>(current + step, 0, results_.size() - 1);
    setSelectedID(results_[next].candidate.window.id);
}

std::optional<WindowDescriptor> WindowSearchState::selectedWindow() const {
    const qsizetype at = indexOf(selectedID_);
    if (at < 0) {
        return std::nullopt;
    }
    return results_[at].candidate.window;
}

void WindowSearchState::reset() {
    index_ = WindowSearch::Index();
    const bool hadResults = !results_.isEmpty();
    results_.clear();
    if (hadResults) {
        emit resultsChanged();
    }
    setSelectedID(std::nullopt);
}

qsizetype WindowSearchState::indexOf(std::optional<quint32> id) const {
    if (!id) {
        return -1;
    }
    for (qsizetype i = 0; i < results_.size(); ++i) {
        if (results_[i].candidate.window.id == *id) {
            return i;
        }
    }
    return -1;
}

}  // namespace pellucine
