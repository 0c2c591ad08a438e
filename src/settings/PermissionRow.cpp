#include "settings/PermissionRow.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "design/Yard.h"
#include "design/YardButton.h"
#include "design/YardText.h"
#include "preferences/PermissionService.h"
#include "settings/SymbolIcon.h"

namespace pellucine {
namespace {

Observable<PermissionState>& stateOf(PermissionService& service, PermissionKind kind) {
    return kind == PermissionKind::accessibility ? service.accessibility()
                                                 : service.screenRecording();
}

YardButton* secondaryButton(const QString& title, QWidget* parent) {
    auto* button = new YardButton(title, YardButton::Kind::secondary, parent);
    button->hide();
    return button;
}

}  // namespace

PermissionRow::Status PermissionRow::status(PermissionState state) {
    switch (state) {
        case PermissionState::granted:
            return {QStringLiteral("checkmark.circle.fill"), &Yard::Palette::fore,
                    QStringLiteral("Granted")};
        case PermissionState::denied:
            return {QStringLiteral("exclamationmark.circle"), &Yard::Palette::accentType,
                    QStringLiteral("Not granted")};
        case PermissionState::notDetermined:
            return {QStringLiteral("exclamationmark.circle"), &Yard::Palette::accentType,
                    QStringLiteral("Not checked")};
        case PermissionState::restartRequired:
            return {QStringLiteral("arrow.clockwise.circle.fill"), &Yard::Palette::accentType,
                    QStringLiteral("Turn on, then relaunch")};
    }
    return status(PermissionState::notDetermined);
}

QString PermissionRow::actionTitle(bool requested) {
    return requested ? openSettingsTitle() : QStringLiteral("Enable Access…");
}

QString PermissionRow::openSettingsTitle() {
    return QStringLiteral("Open Desktop Settings…");
}

QString PermissionRow::relaunchTitle() {
    return QStringLiteral("Relaunch PELLUCINE");
}

PermissionRow::PermissionRow(PermissionService& service, PermissionKind kind, const QString& title,
                             Describe describe, QWidget* parent)
    : CardFrame(Style{}, QBoxLayout::LeftToRight, spacing, parent),
      service_(service),
      kind_(kind),
      describe_(std::move(describe)),
      icon_(new SymbolIcon(QString(), SymbolIcon::title2, SymbolWeight::regular,
                           &Yard::Palette::accentType, QSize(iconSide, iconSide))),
      word_(new YardText(QString(), Yard::tracked(Yard::kickerFont(), wordTracking),
                         &Yard::Palette::accentType, false)),
      description_(new YardText(QString(), Yard::hintFont(), &Yard::Palette::muted)),
      action_(secondaryButton(QString(), this)),
      openSettings_(secondaryButton(openSettingsTitle(), this)),
      relaunch_(secondaryButton(relaunchTitle(), this)),
      actions_(new QWidget) {
    Yard::installAccessibility();
    setAccessibleName(title);

    auto* heading = new QHBoxLayout;
    heading->setSpacing(titleSpacing);
    heading->addWidget(new YardText(title, Yard::labelFont(), &Yard::Palette::fore, false), 0,
                       Qt::AlignVCenter);
    heading->addWidget(word_, 0, Qt::AlignVCenter);
    heading->addStretch(1);

    auto* text = new QVBoxLayout;
    text->setSpacing(textSpacing);
    text->addLayout(heading);
    text->addWidget(description_);
    text->addStretch(1);

    actions_->setFixedWidth(actionWidth);
    auto* stack = new QVBoxLayout(actions_);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(relaunchSpacing);
    for (YardButton* button : {action_, openSettings_, relaunch_}) {
        stack->addWidget(button, 0, Qt::AlignHCenter);
    }
    const int relaunchWidth = relaunchLabelWidth + 2 * YardButton::horizontalPadding;
    openSettings_->setFixedWidth(relaunchWidth);
    relaunch_->setFixedWidth(relaunchWidth);

    content()->addWidget(icon_, 0, Qt::AlignTop);
    content()->addLayout(text, 1);
    content()->addWidget(actions_, 0, Qt::AlignTop);

    connect(action_, &YardButton::clicked, this, &PermissionRow::permissionAction);
    connect(openSettings_, &YardButton::clicked, this, [this] { service_.openSettings(kind_); });
    connect(relaunch_, &YardButton::clicked, this, [this] { service_.relaunch(); });

    subscriptions_ +=
        stateOf(service_, kind_).subscribeDistinct([this](PermissionState) { refresh(); });
    subscriptions_ += service_.requested().subscribeDistinct(
        [this](const std::set<PermissionKind>&) { refresh(); });
    refresh();
}

bool PermissionRow::wasRequested() const {
    return service_.requested().value().contains(kind_);
}

void PermissionRow::permissionAction() {
    if (wasRequested()) {
        service_.openSettings(kind_);
    } else {
        service_.request(kind_);
    }
}

void PermissionRow::refresh() {
    state_ = stateOf(service_, kind_).value();
    const Status shown = status(state_);
    icon_->setSymbol(shown.symbol, shown.ink);
    word_->setText(shown.word.toUpper());
    word_->setInk(shown.ink);
    description_->setText(describe_ ? describe_(state_) : QString());

    const bool missing =
        state_ == PermissionState::denied || state_ == PermissionState::notDetermined;
    const bool restart = state_ == PermissionState::restartRequired;
    action_->setText(actionTitle(wasRequested()));
    action_->setVisible(missing);
    openSettings_->setVisible(restart);
    relaunch_->setVisible(restart);
    actions_->setVisible(missing || restart);
}

}  // namespace pellucine
