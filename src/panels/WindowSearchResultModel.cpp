#include "panels/WindowSearchResultModel.h"

#include "panels/WindowSearchTexts.h"

namespace pellucine {

WindowSearchResultModel::WindowSearchResultModel(QObject* parent) : QAbstractListModel(parent) {}

void WindowSearchResultModel::setResults(QList<WindowSearch::Result> results) {
    beginResetModel();
    results_ = std::move(results);
    endResetModel();
}

int WindowSearchResultModel::rowOf(quint32 windowID) const {
    for (qsizetype i = 0; i < results_.size(); ++i) {
        if (results_[i].candidate.window.id == windowID) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int WindowSearchResultModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(results_.size());
}

QVariant WindowSearchResultModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= results_.size()) {
        return {};
    }
    const WindowSearch::Candidate& candidate = results_[index.row()].candidate;
    switch (role) {
        case Qt::DisplayRole:
            return WindowSearch::displayTitle(candidate.window);
        case Qt::AccessibleTextRole:
            return WindowSearchTexts::rowAccessibilityLabel(candidate);
        case windowIDRole:
            return candidate.window.id;
        default:
            return {};
    }
}

}  // namespace pellucine
