#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>

#include "base/SubscriptionBag.h"
#include "settings/ExcludableApplications.h"
#include "settings/SelectableButton.h"

class QSlider;
class QVBoxLayout;

namespace pellucine {

class HotkeyField;
class KeyHint;
class Readout;
class SettingsView;
class SwitchRow;
class YardCard;
class YardSelect;
class YardText;

// The Switcher page: the Command-Tab gesture, preview width, which windows show, pictures,
// window search with its hotkey, and the apps left out of previews. It keeps nothing of its own:
// every control shows the model's records and writes them through the settings view.
class SwitcherPage final : public QWidget {
    Q_OBJECT

  public:
    static constexpr int chipWidth = 88;
    static constexpr int selectWidth = 240;

    // One width preset: filled while the width is exactly its own.
    class PresetChip;

    static QString keepReadyHint(bool keepReady);
    static QString privacyHint();
    static QString conflictText(const QString& holder);

    explicit SwitcherPage(SettingsView& view, QWidget* parent = nullptr);
    ~SwitcherPage() override;

    // Every control shows the model's records again.
    void refresh();

    QSlider* widthSlider() const { return slider_; }
    Readout* widthReadout() const { return widthReadout_; }
    YardText* widthWord() const { return widthWord_; }
    const QList<PresetChip*>& presetChips() const { return chips_; }
    const QList<SwitchRow*>& switches() const { return switches_; }
    SwitchRow* keepReadyRow() const { return keepReady_; }
    HotkeyField* hotkeyField() const { return hotkey_; }
    // The card of the switcher's keys: titled with the binding in effect.
    YardCard* keysCard() const { return keysCard_; }
    KeyHint* keysHint() const { return keysHint_; }
    QWidget* conflictLine() const { return conflict_; }
    YardText* conflictLabel() const { return conflictText_; }
    YardSelect* excludeSelect() const { return select_; }
    // The labels of the excluded rows, in order; empty when "Every app shows previews." shows.
    QStringList excludedRows() const;
    YardText* emptyExclusionsText() const { return emptyExclusions_; }

    // What choosing an option of the select does.
    void chooseApplication(const QString& identifier);
    void showPreviewsAgain(const QString& identifier);
    QString applicationDisplayName(const QString& identifier) const;
    ExcludableApplications::Own ownApplication() const;

  private:
    QWidget* commandTabCard();
    QWidget* sizeCard();
    QWidget* windowsCard();
    QWidget* picturesCard();
    QWidget* searchCard();
    QWidget* exclusionsCard();
    SwitchRow* addSwitch(SwitchRow* row);
    void refreshExclusions();
    void widthStepped(int step);

    SettingsView& view_;
    // Where Dock previews sit, as the cards name it: "your taskbar", "the Dock bar", "the Dock".
    const QString dockPlace_;
    SubscriptionBag subscriptions_;
    QList<SwitchRow*> switches_;
    QSlider* slider_ = nullptr;
    Readout* widthReadout_ = nullptr;
    YardText* widthWord_ = nullptr;
    QList<PresetChip*> chips_;
    SwitchRow* keepReady_ = nullptr;
    HotkeyField* hotkey_ = nullptr;
    YardCard* keysCard_ = nullptr;
    KeyHint* keysHint_ = nullptr;
    QWidget* conflict_ = nullptr;
    YardText* conflictText_ = nullptr;
    YardSelect* select_ = nullptr;
    QVBoxLayout* exclusions_ = nullptr;
    YardText* emptyExclusions_ = nullptr;
    // The identifiers the excluded rows show; they are rebuilt only when these change.
    std::optional<QStringList> shownExclusions_;
    QList<QWidget*> exclusionRows_;
};

class SwitcherPage::PresetChip final : public SelectableButton {
    Q_OBJECT

  public:
    static constexpr int verticalPadding = 7;
    static constexpr qreal tracking = 1.2;
    static constexpr qreal borderWidth = 1.5;

    PresetChip(const QString& title, double width, QWidget* parent = nullptr);

    double presetWidth() const { return width_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    static QFont labelFont();

    double width_;
};

}  // namespace pellucine
