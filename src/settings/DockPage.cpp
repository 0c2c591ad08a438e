#include "settings/DockPage.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "coordination/AppModel.h"
#include "design/CardRule.h"
#include "design/NumberWell.h"
#include "design/PaneLink.h"
#include "design/SettingRow.h"
#include "design/Yard.h"
#include "design/YardCard.h"
#include "design/YardSelect.h"
#include "design/YardSelectList.h"
#include "design/YardText.h"
#include "platform/Desktop.h"
#include "settings/DockWording.h"
#include "settings/SettingsContext.h"
#include "settings/SettingsSaving.h"
#include "settings/SettingsView.h"
#include "settings/SwitchRow.h"

namespace pellucine {

QString DockPage::layoutTitle(DockPreviewStyle style) {
    switch (style) {
        case DockPreviewStyle::automatic:
            return QStringLiteral("Automatic");
        case DockPreviewStyle::thumbnails:
            return QStringLiteral("Thumbnails");
        case DockPreviewStyle::compact:
            return QStringLiteral("Compact List");
    }
    return {};
}

DockPage::DockPage(SettingsView& view, QWidget* parent) : QWidget(parent), view_(view) {
    const auto portable = [this] { return view_.model().portablePreferences().value(); };
    const DockWording dock = DockWording::of(view_.context().desktop.systemDock().kind());
    // The card's full width, whatever is shown: rows end at its trailing edge, their hints wrap
    // to it, and hiding the dependent rows moves nothing above them.
    setSizePolicy(Yard::fullWidthPolicy());
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(YardCard::bodySpacing);

    previews_ = new SwitchRow(
        QStringLiteral("Show previews when I point at a ") + dock.appNoun + QStringLiteral(" app"),
        std::nullopt, std::nullopt, [portable] { return portable().enableDockHoverPreviews; },
        [this](bool on) {
            view_.saving().commitPortable(
                [on](PortablePreferences& p) { p.enableDockHoverPreviews = on; });
        });
    column->addWidget(previews_);
    dockLine_ = new YardText(dock.inUse, Yard::hintFont(), &Yard::Palette::muted);
    column->addWidget(dockLine_);

    dependent_ = new QWidget;
    dependent_->setSizePolicy(Yard::fullWidthPolicy());
    auto* rows = new QVBoxLayout(dependent_);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(YardCard::bodySpacing);
    const PortablePreferences& current = view_.model().portablePreferences().value();
    delay_ = new NumberWell(current.dockHoverDelayMilliseconds,
                            {PortablePreferences::minimumDockHoverDelayMilliseconds,
                             PortablePreferences::maximumDockHoverDelayMilliseconds},
                            QStringLiteral("ms"), QStringLiteral("Dock hover delay"));
    connect(delay_, &NumberWell::commit, this, [this](qint64 delay) {
        view_.saving().commitPortable(
            [delay](PortablePreferences& p) { p.dockHoverDelayMilliseconds = delay; });
    });
    rows->addWidget(new CardRule);
    rows->addWidget(new SettingRow(QStringLiteral("Dock hover delay"),
                                   QStringLiteral("How long PELLUCINE waits after you point "
                                                  "at an app in ") +
                                       dock.place + QStringLiteral(", from 100 to 1000 ms."),
                                   std::nullopt, delay_));
    dependentSwitches_.append(new SwitchRow(
        QStringLiteral("Show window controls"),
        QStringLiteral("Minimize, full screen, and close on each preview, plus a menu for the "
                       "whole app."),
        std::nullopt, [portable] { return portable().showDockPreviewControls; },
        [this](bool on) {
            view_.saving().commitPortable(
                [on](PortablePreferences& p) { p.showDockPreviewControls = on; });
        }));
    dependentSwitches_.append(new SwitchRow(
        QStringLiteral("Skip apps with only one window"),
        QStringLiteral("Pointing at an app with one window shows nothing."), std::nullopt,
        [portable] { return portable().skipSingleWindowDockPreviews; },
        [this](bool on) {
            view_.saving().commitPortable(
                [on](PortablePreferences& p) { p.skipSingleWindowDockPreviews = on; });
        }));
    for (SwitchRow* row : dependentSwitches_) {
        rows->addWidget(new CardRule);
        rows->addWidget(row);
    }
    QList<SelectOption> options;
    for (const DockPreviewStyle style : allDockPreviewStyles) {
        options.append({rawValue(style), layoutTitle(style)});
    }
    layout_ = new YardSelect(QStringLiteral("Layout"), options, rawValue(current.dockPreviewStyle),
                             QStringLiteral("Choose…"), selectWidth);
    // Every choice commits, also the one already chosen.
    connect(layout_, &YardSelect::onSelect, this, [this](const QVariant& value) {
        if (const auto style = dockPreviewStyleFromRawValue(value.toString())) {
            view_.saving().commitPortable(
                [style](PortablePreferences& p) { p.dockPreviewStyle = *style; });
        }
    });
    rows->addWidget(new CardRule);
    rows->addWidget(new SettingRow(QStringLiteral("Layout"),
                                   QStringLiteral("Automatic switches to a compact list "
                                                  "once an app has eight windows open."),
                                   std::nullopt, layout_));
    column->addWidget(dependent_);

    column->addWidget(new CardRule);
    switcherLink_ = new PaneLink(QStringLiteral("Switcher"), Yard::hintFont(),
                                 [this] { view_.setBay(SettingsView::Bay::switcher); });
    column->addWidget(linkedSentence(QStringLiteral("Preview size, which windows show, the peek, "
                                                    "and apps left out are on"),
                                     switcherLink_, QStringLiteral("."), Yard::hintFont(), 4));

    const auto refreshing = [this](const auto&) { refresh(); };
    subscriptions_ += view_.model().portablePreferences().subscribe(refreshing);
    refresh();
}

DockPage::~DockPage() = default;

void DockPage::refresh() {
    const PortablePreferences& portable = view_.model().portablePreferences().value();
    previews_->refresh();
    dependent_->setVisible(portable.enableDockHoverPreviews);
    delay_->setValue(portable.dockHoverDelayMilliseconds);
    for (SwitchRow* row : dependentSwitches_) {
        row->refresh();
    }
    layout_->setSelection(rawValue(portable.dockPreviewStyle));
}

}  // namespace pellucine
