#include "settings/SwitcherPage.h"

#include <QPainter>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "coordination/AppModel.h"
#include "design/CardRule.h"
#include "design/KeyHint.h"
#include "design/Readout.h"
#include "design/RowText.h"
#include "design/SettingRow.h"
#include "design/Yard.h"
#include "design/YardButton.h"
#include "design/YardCard.h"
#include "design/YardSelect.h"
#include "design/YardSelectList.h"
#include "design/YardText.h"
#include "platform/Desktop.h"
#include "settings/ControlRow.h"
#include "settings/DockWording.h"
#include "settings/ExcludableApplications.h"
#include "settings/HotkeyField.h"
#include "settings/PreviewWidth.h"
#include "settings/SettingsSaving.h"
#include "settings/SettingsView.h"
#include "settings/SwitchRow.h"

namespace pellucine {

namespace {

// The first password managers the privacy rule knows, as the hint names them.
const QStringList passwordManagerNames{QStringLiteral("1Password"), QStringLiteral("KeePassXC"),
                                       QStringLiteral("Bitwarden")};

// The slider's filled part and handle in the body ink. The wheel moves it only while it has
// the focus; otherwise the wheel goes on to the page, which scrolls.
class WidthSlider final : public QSlider {
  public:
    WidthSlider() : QSlider(Qt::Horizontal) {
        setRange(0, PreviewWidth::stepCount);
        setSingleStep(1);
        setPageStep(1);
        setAccessibleName(QStringLiteral("Window preview width"));
        // A wheel passing over it never takes the focus.
        setFocusPolicy(Qt::StrongFocus);
        restyle();
    }

  protected:
    bool event(QEvent* event) override {
        if (Yard::restyles(event)) {
            restyle();
        }
        return QSlider::event(event);
    }

    void wheelEvent(QWheelEvent* event) override {
        if (!hasFocus()) {
            event->ignore();
            return;
        }
        QSlider::wheelEvent(event);
    }

  private:
    void restyle() {
        QPalette palette = this->palette();
        palette.setColor(QPalette::Highlight, Yard::palette(this).fore);
        setPalette(palette);
    }
};

}  // namespace

QString SwitcherPage::keepReadyHint(bool keepReady) {
    return keepReady ? QStringLiteral(
                           "Each window's last picture stays in memory, so it shows at "
                           "once. Never written to disk.")
                     : QStringLiteral(
                           "Pictures are taken only while a preview shows, and nothing "
                           "is kept after it closes.");
}

QString SwitcherPage::privacyHint() {
    return QStringLiteral("Listed, never photographed: ") +
           passwordManagerNames.mid(0, 3).join(QStringLiteral(", ")) +
           QStringLiteral(", and others.");
}

QString SwitcherPage::conflictText(const QString& holder) {
    return QStringLiteral("Also held by ") + holder +
           QStringLiteral(". Pick another combination, or change it there.");
}

SwitcherPage::SwitcherPage(SettingsView& view, QWidget* parent)
    : QWidget(parent),
      view_(view),
      dockPlace_(DockWording::of(view.context().desktop.systemDock().kind()).place) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(SettingsView::pageSpacing);
    column->addWidget(commandTabCard());
    column->addWidget(sizeCard());
    column->addWidget(windowsCard());
    column->addWidget(picturesCard());
    column->addWidget(searchCard());
    column->addWidget(exclusionsCard());

    AppModel& model = view_.model();
    const auto refreshing = [this](const auto&) { refresh(); };
    subscriptions_ += model.portablePreferences().subscribe(refreshing);
    subscriptions_ += model.machinePreferences().subscribe(refreshing);
    subscriptions_ += model.windowSearchHotkeyProblem().subscribe(refreshing);
    // Apps that start or quit change what can be left out.
    subscriptions_ += view_.context().desktop.workspace().subscribe(refreshing);
    refresh();
}

SwitcherPage::~SwitcherPage() = default;

SwitchRow* SwitcherPage::addSwitch(SwitchRow* row) {
    switches_.append(row);
    return row;
}

QWidget* SwitcherPage::commandTabCard() {
    const std::optional<SwitcherBinding> binding =
        view_.context().desktop.systemSwitcher().binding();
    const SwitcherBinding shown = binding.value_or(SwitcherBinding{});
    const QString notice = SwitcherBinding::notice(binding);
    auto* card = new YardCard(shown.name(),
                              notice.isEmpty() ? std::nullopt : std::optional<QString>(notice));
    keysCard_ = card;
    keysHint_ = new KeyHint(QStringLiteral("Hold ") + shown.heldCaps() +
                                QStringLiteral(" and press {Tab}: the highlighted app's windows "
                                               "appear above the switcher strip, and "
                                               "{Shift}{Tab} moves back."),
                            Yard::bodyFont(), false);
    card->addWidget(keysHint_);
    card->addWidget(new CardRule);
    card->addWidget(
        new SettingRow(QStringLiteral("Pick a window"), std::nullopt,
                       QStringLiteral("Keep holding {Super} and click its preview. Let go "
                                      "without clicking and the app switches as usual."),
                       nullptr));
    return card;
}

QWidget* SwitcherPage::sizeCard() {
    auto* card =
        new YardCard(QStringLiteral("Preview Size"),
                     QStringLiteral("For the switcher strip and %1. Previews only get narrower "
                                    "to fit above the strip.")
                         .arg(dockPlace_));
    auto* readouts = new ControlRow(12);
    widthReadout_ = new Readout(QString(), false);
    readouts->add(widthReadout_);
    widthWord_ = new YardText(QString(), Yard::tracked(Yard::kickerFont(), 1.4),
                              &Yard::Palette::accentType, false);
    readouts->add(widthWord_);
    card->addWidget(new SettingRow(QStringLiteral("Window preview width"), readouts));

    slider_ = new WidthSlider;
    connect(slider_, &QSlider::valueChanged, this, &SwitcherPage::widthStepped);
    // A drag is written at every step and committed once, when it ends.
    connect(slider_, &QSlider::sliderReleased, this, [this] { view_.saving().markSaved(); });
    card->addWidget(slider_);

    auto* chips = new QWidget;
    auto* row = new QHBoxLayout(chips);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    for (const PreviewWidth::Preset& preset : PreviewWidth::presets()) {
        auto* chip = new PresetChip(preset.title, preset.width);
        connect(chip, &QAbstractButton::clicked, this, [this, width = preset.width] {
            view_.saving().commitPortable(
                [width](PortablePreferences& p) { p.previewWidth = width; });
        });
        chips_.append(chip);
        row->addWidget(chip);
    }
    row->addStretch(1);
    card->addWidget(chips);
    return card;
}

void SwitcherPage::widthStepped(int step) {
    const double width = PreviewWidth::widthAtStep(step);
    view_.saving().editPortable([width](PortablePreferences& p) { p.previewWidth = width; });
    // Keys and clicks on the track move it without a drag: each such change is its own commit.
    if (!slider_->isSliderDown()) {
        view_.saving().markSaved();
    }
}

QWidget* SwitcherPage::windowsCard() {
    auto* card = new YardCard(QStringLiteral("Windows To Include"),
                              QStringLiteral("For the switcher strip and %1.").arg(dockPlace_));
    using Field = bool PortablePreferences::*;
    const QList<std::pair<QString, Field>> rows{
        {QStringLiteral("Minimized windows"), &PortablePreferences::includeMinimizedWindows},
        {QStringLiteral("Windows from other desktops (workspaces)"),
         &PortablePreferences::includeWindowsFromOtherSpaces},
        {QStringLiteral("Windows from other displays"),
         &PortablePreferences::includeWindowsFromOtherDisplays},
    };
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (i > 0) {
            card->addWidget(new CardRule);
        }
        const Field field = rows[i].second;
        card->addWidget(addSwitch(new SwitchRow(
            rows[i].first, std::nullopt, std::nullopt,
            [this, field] { return view_.model().portablePreferences().value().*field; },
            [this, field](bool on) {
                view_.saving().commitPortable(
                    [field, on](PortablePreferences& p) { p.*field = on; });
            })));
    }
    return card;
}

QWidget* SwitcherPage::picturesCard() {
    auto* card = new YardCard(QStringLiteral("Pictures"));
    const auto portable = [this] { return view_.model().portablePreferences().value(); };
    card->addWidget(addSwitch(new SwitchRow(
        QStringLiteral("Show a full-size peek while hovering a preview"),
        QStringLiteral("Rest the pointer on a preview for half a second."), std::nullopt,
        [portable] { return portable().enableFullSizeHoverPeek; },
        [this](bool on) {
            view_.saving().commitPortable(
                [on](PortablePreferences& p) { p.enableFullSizeHoverPeek = on; });
        })));
    card->addWidget(new CardRule);
    keepReady_ = addSwitch(new SwitchRow(
        QStringLiteral("Keep recent previews ready"), keepReadyHint(true), std::nullopt,
        [portable] { return portable().keepPreviewsReady; },
        [this](bool on) {
            view_.saving().editPortable([on](PortablePreferences& p) { p.keepPreviewsReady = on; });
            AppModel& model = view_.model();
            if (!model.portablePreferences().value().keepPreviewsReady) {
                model.previewCache().removeAll();
            }
            view_.saving().markSaved();
        }));
    card->addWidget(keepReady_);
    card->addWidget(new CardRule);
    card->addWidget(addSwitch(new SwitchRow(
        QStringLiteral("Keep password managers private"), privacyHint(), std::nullopt,
        [portable] { return portable().keepPasswordManagersPrivate; },
        [this](bool on) {
            view_.saving().commitPortable(
                [on](PortablePreferences& p) { p.keepPasswordManagersPrivate = on; });
        })));
    return card;
}

QWidget* SwitcherPage::searchCard() {
    const std::optional<SwitcherBinding> switcherKeys =
        view_.context().desktop.systemSwitcher().binding();
    auto* card = new YardCard(
        QStringLiteral("Window Search"),
        QStringLiteral("Lists every open window. Type part of a title or app name, then Return."));
    card->addWidget(addSwitch(new SwitchRow(
        QStringLiteral("Window search"), std::nullopt,
        switcherKeys ? QStringLiteral("Opens from the hotkey below, from {F} while ") +
                           switcherKeys->caps() + QStringLiteral(" is up, and from the tray menu.")
                     : QStringLiteral("Opens from the hotkey below and from the tray menu."),
        [this] { return view_.model().machinePreferences().value().windowSearchEnabled; },
        [this](bool on) {
            view_.saving().commitMachine(
                [on](MachinePreferences& m) { m.windowSearchEnabled = on; });
        })));
    card->addWidget(new CardRule);
    hotkey_ = new HotkeyField(view_.model().machinePreferences().value().windowSearchHotkey,
                              view_.context().hotkeyKeyboard);
    hotkey_->setLayoutKeyboard(&view_.context().desktop.keyboardState());
    connect(hotkey_, &HotkeyField::onChange, this, [this](const KeyCombo& combo) {
        view_.saving().commitMachine([combo](MachinePreferences& m) {
            m.windowSearchHotkey = {combo.keyCode,
                                    combo.modifiers & HotkeyField::recordedModifiers};
        });
    });
    card->addWidget(new SettingRow(QStringLiteral("Hotkey"), hotkey_));

    conflict_ = new QWidget;
    auto* line = new QHBoxLayout(conflict_);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(6);
    line->addStretch(1);
    line->addWidget(new SymbolMark(QStringLiteral("exclamationmark.triangle.fill"),
                                   Yard::hintFont(), &Yard::Palette::accentType),
                    0, Qt::AlignTop);
    conflictText_ = new YardText(QString(), Yard::hintFont(), &Yard::Palette::accentType);
    conflictText_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    line->addWidget(conflictText_);
    card->addWidget(conflict_);
    return card;
}

QWidget* SwitcherPage::exclusionsCard() {
    auto* card =
        new YardCard(QStringLiteral("Apps Without Previews"),
                     QStringLiteral("No pictures for these in the switcher strip or %1. They "
                                    "still switch as usual.")
                         .arg(dockPlace_));
    select_ = new YardSelect(QStringLiteral("Leave an app out"), {}, QVariant(),
                             QStringLiteral("Choose a running app…"), selectWidth);
    connect(select_, &YardSelect::onSelect, this,
            [this](const QVariant& value) { chooseApplication(value.toString()); });
    card->addWidget(new SettingRow(
        QStringLiteral("Leave an app out"),
        QStringLiteral("Only apps that are running right now are listed. Type to find one."),
        std::nullopt, select_));
    // The card's width: the rules span it, the empty line wraps to it and each row's button
    // stands at its trailing edge.
    auto* rows = new QWidget;
    rows->setSizePolicy(Yard::fullWidthPolicy());
    exclusions_ = new QVBoxLayout(rows);
    exclusions_->setContentsMargins(0, 0, 0, 0);
    exclusions_->setSpacing(YardCard::bodySpacing);
    card->addWidget(rows);
    return card;
}

void SwitcherPage::refresh() {
    AppModel& model = view_.model();
    const PortablePreferences& portable = model.portablePreferences().value();
    const MachinePreferences& machine = model.machinePreferences().value();
    for (SwitchRow* row : switches_) {
        row->refresh();
    }
    keepReady_->text()->setHint(keepReadyHint(portable.keepPreviewsReady));

    {
        const QSignalBlocker quiet(slider_);
        slider_->setValue(PreviewWidth::sliderStep(portable.previewWidth));
    }
    widthReadout_->setText(PreviewWidth::readout(portable.previewWidth));
    widthWord_->setText(PreviewWidth::word(portable.previewWidth));
    const std::optional<int> preset = PreviewWidth::selectedPreset(portable.previewWidth);
    for (qsizetype i = 0; i < chips_.size(); ++i) {
        chips_[i]->setSelected(preset == i);
    }

    hotkey_->setCombo(machine.windowSearchHotkey);
    hotkey_->setEnabled(machine.windowSearchEnabled);
    const std::optional<QString>& problem = model.windowSearchHotkeyProblem().value();
    conflict_->setVisible(machine.windowSearchEnabled && problem.has_value());
    conflictText_->setText(conflictText(problem.value_or(QString())));

    QList<SelectOption> options;
    for (const RunningApplication& application : ExcludableApplications::list(
             view_.context().desktop.workspace().runningApplications(), ownApplication(),
             portable.excludedDockAppBundleIdentifiers)) {
        options.append({*application.bundleIdentifier, ExcludableApplications::title(application)});
    }
    select_->setOptions(options);
    refreshExclusions();
}

void SwitcherPage::refreshExclusions() {
    const QStringList& excluded =
        view_.model().portablePreferences().value().excludedDockAppBundleIdentifiers;
    if (shownExclusions_ == excluded) {
        return;
    }
    shownExclusions_ = excluded;
    // A row may be the one whose button is being pressed: it goes once the press is over.
    for (QWidget* row : exclusionRows_) {
        exclusions_->removeWidget(row);
        row->hide();
        row->deleteLater();
    }
    exclusionRows_.clear();
    emptyExclusions_ = nullptr;
    const auto add = [this](QWidget* row) {
        exclusionRows_.append(row);
        exclusions_->addWidget(row);
    };
    if (excluded.isEmpty()) {
        add(new CardRule);
        emptyExclusions_ = new YardText(QStringLiteral("Every app shows previews."),
                                        Yard::hintFont(), &Yard::Palette::muted);
        add(emptyExclusions_);
        return;
    }
    for (const QString& identifier : excluded) {
        add(new CardRule);
        auto* again =
            new YardButton(QStringLiteral("Show Previews Again"), YardButton::Kind::secondary);
        connect(again, &QAbstractButton::clicked, this,
                [this, identifier] { showPreviewsAgain(identifier); });
        auto* row = new SettingRow(applicationDisplayName(identifier), again);
        row->setObjectName(identifier);
        add(row);
    }
}

QStringList SwitcherPage::excludedRows() const {
    QStringList labels;
    for (QWidget* row : exclusionRows_) {
        if (auto* setting = qobject_cast<SettingRow*>(row)) {
            labels.append(setting->text()->label()->text());
        }
    }
    return labels;
}

void SwitcherPage::chooseApplication(const QString& identifier) {
    AppModel& model = view_.model();
    const QList<RunningApplication> excludable = ExcludableApplications::list(
        view_.context().desktop.workspace().runningApplications(), ownApplication(),
        model.portablePreferences().value().excludedDockAppBundleIdentifiers);
    for (const RunningApplication& application : excludable) {
        if (application.bundleIdentifier == identifier) {
            const QString chosen = *application.bundleIdentifier;
            view_.saving().commitPortable([&chosen](PortablePreferences& p) {
                p.excludedDockAppBundleIdentifiers.append(chosen);
                p.normalize();
            });
            return;
        }
    }
}

void SwitcherPage::showPreviewsAgain(const QString& identifier) {
    view_.saving().commitPortable([&identifier](PortablePreferences& p) {
        p.excludedDockAppBundleIdentifiers.removeAll(identifier);
    });
}

ExcludableApplications::Own SwitcherPage::ownApplication() const {
    return {view_.context().ownApplicationIdentifier,
            view_.context().desktop.process().processIdentifier()};
}

QString SwitcherPage::applicationDisplayName(const QString& identifier) const {
    const auto& names = view_.context().applicationName;
    return names ? names(identifier).value_or(identifier) : identifier;
}

// ---- PresetChip ------------------------------------------------------------------------------

SwitcherPage::PresetChip::PresetChip(const QString& title, double width, QWidget* parent)
    : SelectableButton(title, parent), width_(width) {
    setAccessibleName(title + QStringLiteral(" preview width"));
}

QFont SwitcherPage::PresetChip::labelFont() {
    QFont font = Yard::tracked(Yard::kickerFont(), tracking);
    font.setCapitalization(QFont::AllUppercase);
    return font;
}

QSize SwitcherPage::PresetChip::sizeHint() const {
    return {chipWidth, QFontMetrics(labelFont()).height() + 2 * verticalPadding};
}

void SwitcherPage::PresetChip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const Yard::Palette& palette = Yard::palette(this);
    const QRectF frame = rect();
    if (isSelected()) {
        painter.fillRect(frame, palette.fore);
    }
    Yard::strokeInside(painter, frame, palette.fore, borderWidth);
    painter.setFont(labelFont());
    painter.setPen(isSelected() ? palette.ground : palette.fore);
    painter.drawText(frame, Qt::AlignCenter, text());
    if (hasFocus()) {
        painter.setPen(QPen(palette.accentType, 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(2, 2, -3, -3));
    }
}

}  // namespace pellucine
