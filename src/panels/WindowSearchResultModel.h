#pragma once

#include <QAbstractListModel>
#include <QList>

#include "panels/WindowSearch.h"

namespace pellucine {

// The ranked results as rows of a list view, one per window, identified by window id.
class WindowSearchResultModel final : public QAbstractListModel {
    Q_OBJECT

  public:
    // The window id of a row.
    static constexpr int windowIDRole = Qt::UserRole;

    explicit WindowSearchResultModel(QObject* parent = nullptr);

    void setResults(QList<WindowSearch::Result> results);
    const QList<WindowSearch::Result>& results() const { return results_; }
    const WindowSearch::Result& result(int row) const { return results_[row]; }
    // The row of the window, or -1.
    int rowOf(quint32 windowID) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    // The displayed title, the row's accessibility label and the window id.
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    QList<WindowSearch::Result> results_;
};

}  // namespace pellucine
