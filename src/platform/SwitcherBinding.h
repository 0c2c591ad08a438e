#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "platform/KeyModifiers.h"

namespace pellucine {

// The keys the program's own application switcher opens on: Tab pressed while `hold` is down
// steps forward, with Shift too or on ` it steps back, and letting Super go switches. `hold`
// always holds Super.
struct SwitcherBinding {
    // One grabbed combination.
    struct Combination {
        quint32 keyCode = 0;
        quint64 modifiers = 0;
        bool backward = false;

        friend bool operator==(const Combination&, const Combination&) = default;
    };

    static constexpr quint32 tabKey = 48;
    static constexpr quint32 graveKey = 50;

    quint64 hold = KeyModifiers::command;

    // Super+Tab, then Super+Ctrl+Tab, which the window managers that bind Super+Tab themselves
    // leave free.
    static QList<SwitcherBinding> preferred();
    // The first preferred binding that is not among those refused so far; none once every one
    // has been.
    static std::optional<SwitcherBinding> next(const QList<SwitcherBinding>& refused);

    // Forward, backward with Shift, backward on `.
    QList<Combination> combinations() const;
    // The keys of the forward combination in order: Super, Ctrl, Tab.
    QStringList keyNames() const;
    // The held caps as key hints write them: "{Super}{Ctrl}".
    QString heldCaps() const;
    // The caps of the forward combination: "{Super}{Ctrl}{Tab}".
    QString caps() const;
    // As a message names it: "Super+Ctrl+Tab".
    QString name() const;
    // Not the first preferred binding: the manager holds that one.
    bool isFallback() const;
    // What the user is told of the binding in effect: nothing for Super+Tab, why another one
    // for a fallback, that the switcher is off for none.
    static QString notice(const std::optional<SwitcherBinding>& binding);

    friend bool operator==(const SwitcherBinding&, const SwitcherBinding&) = default;
};

}  // namespace pellucine
