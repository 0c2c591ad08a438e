#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <optional>

#include "panels/WindowSearch.h"
#include "preferences/KeyCombo.h"
#include "preferences/MachinePreferences.h"

namespace pellucine {

// The state of one window-search panel, shared by its controller and its view: the query, the
// ranked results, the selected result (by window id), the number of windows offered, the hotkey
// drawn in the footer and a token the view answers by focusing the search field. Each operation
// finishes its changes before announcing them. Main thread only.
class WindowSearchState final : public QObject {
    Q_OBJECT

  public:
    static constexpr KeyCombo defaultHotkey = MachinePreferences::defaultWindowSearchHotkey;

    explicit WindowSearchState(QObject* parent = nullptr);

    const QString& query() const { return query_; }
    // Stores the text; a different text ranks the candidates again.
    void setQuery(const QString& query);

    const QList<WindowSearch::Result>& results() const { return results_; }
    std::optional<quint32> selectedID() const { return selectedID_; }
    void setSelectedID(std::optional<quint32> id);

    qsizetype totalCount() const { return totalCount_; }
    void setTotalCount(qsizetype count);

    KeyCombo hotkey() const { return hotkey_; }
    // `keyCharacter`: what the layout in effect prints on the hotkey's key; none: its US name.
    void setHotkey(KeyCombo hotkey, std::optional<char32_t> keyCharacter = std::nullopt);
    // The hotkey's caps, its key named as the layout prints it.
    QStringList hotkeyCaps() const;

    int focusToken() const { return focusToken_; }
    void advanceFocusToken();

    // The windows offered to the search, prepared for ranking; not announced.
    const QList<WindowSearch::Candidate>& candidates() const { return index_.candidates(); }
    void setCandidates(QList<WindowSearch::Candidate> candidates);

    // Ranks the candidates for the query; the selection stays when its window is still listed,
    // else moves to the first result (none without results).
    void refresh();
    void selectFirst();
    // Moves the selection by `step` results, stopping at either end; an unknown or missing
    // selection counts as the first result. Nothing without results.
    void moveSelection(int step);
    // The selected result's window, if any.
    std::optional<WindowDescriptor> selectedWindow() const;
    // Drops the candidates, results and selection; the query, the count, the hotkey and the
    // focus token stay.
    void reset();

  signals:
    void queryChanged();
    void resultsChanged();
    void selectedIDChanged();
    void totalCountChanged();
    void hotkeyChanged();
    void focusTokenChanged();

  private:
    qsizetype indexOf(std::optional<quint32> id) const;

    QString query_;
    QList<WindowSearch::Result> results_;
    std::optional<quint32> selectedID_;
    qsizetype totalCount_ = 0;
    KeyCombo hotkey_ = defaultHotkey;
    std::optional<char32_t> hotkeyCharacter_;
    int focusToken_ = 0;
    WindowSearch::Index index_;
};

}  // namespace pellucine
