#pragma once

#include <QString>
#include <functional>

#include "base/SubscriptionBag.h"
#include "core/Permission.h"
#include "design/YardAccessible.h"
#include "settings/CardFrame.h"

namespace pellucine {

class PermissionService;
class SymbolIcon;
class YardButton;
class YardText;

// One permission in the welcome window: a status icon, the title with the state's word, what
// the permission is for, and the buttons that move it forward. It follows the service's state
// of its kind and the kinds already asked for. The card is one accessibility group.
class PermissionRow : public CardFrame, public AccessibleElement {
    Q_OBJECT

  public:
    using Describe = std::function<QString(PermissionState)>;

    static constexpr int spacing = 14;
    static constexpr int iconSide = 28;
    static constexpr int textSpacing = 4;
    static constexpr int titleSpacing = 8;
    static constexpr qreal wordTracking = 1.3;
    static constexpr int actionWidth = 196;
    static constexpr int relaunchLabelWidth = 170;
    static constexpr int relaunchSpacing = 6;

    struct Status {
        QString symbol;
        Ink ink;
        // As written; drawn upper-cased.
        QString word;
    };
    static Status status(PermissionState state);

    // The one button of a missing permission: asks the system first, then opens its settings.
    static QString actionTitle(bool requested);
    static QString openSettingsTitle();
    static QString relaunchTitle();

    PermissionRow(PermissionService& service, PermissionKind kind, const QString& title,
                  Describe describe, QWidget* parent = nullptr);

    PermissionKind kind() const { return kind_; }
    PermissionState state() const { return state_; }

    SymbolIcon* icon() const { return icon_; }
    YardText* statusWord() const { return word_; }
    YardText* description() const { return description_; }
    YardButton* actionButton() const { return action_; }
    YardButton* openSettingsButton() const { return openSettings_; }
    YardButton* relaunchButton() const { return relaunch_; }

    // The single button's tap: whether the kind was asked for is read now, not when drawn.
    void permissionAction();

    QAccessible::Role accessibleRole() const override { return QAccessible::Grouping; }

  private:
    bool wasRequested() const;
    void refresh();

    PermissionService& service_;
    PermissionKind kind_;
    Describe describe_;
    PermissionState state_ = PermissionState::notDetermined;
    SymbolIcon* icon_;
    YardText* word_;
    YardText* description_;
    YardButton* action_;
    YardButton* openSettings_;
    YardButton* relaunch_;
    QWidget* actions_;
    SubscriptionBag subscriptions_;
};

}  // namespace pellucine
