#include "platform/SwitcherBinding.h"

#include <QStringList>

#include "base/KeyNames.h"

namespace pellucine {

namespace {

QStringList heldNames(quint64 hold) {
    QStringList names;
    if ((hold & KeyModifiers::command) != 0) {
        names.append(KeyNames::super);
    }
    if ((hold & KeyModifiers::control) != 0) {
        names.append(KeyNames::control);
    }
    if ((hold & KeyModifiers::option) != 0) {
        names.append(KeyNames::alt);
    }
    if ((hold & KeyModifiers::shift) != 0) {
        names.append(KeyNames::shift);
    }
    return names;
}

QString capsOf(const QStringList& names) {
    QString caps;
    for (const QString& name : names) {
        caps += QLatin1Char('{') + name + QLatin1Char('}');
    }
    return caps;
}

}  // namespace

QList<SwitcherBinding> SwitcherBinding::preferred() {
    return {{KeyModifiers::command}, {KeyModifiers::command | KeyModifiers::control}};
}

std::optional<SwitcherBinding> SwitcherBinding::next(const QList<SwitcherBinding>& refused) {
    for (const SwitcherBinding& binding : preferred()) {
        if (!refused.contains(binding)) {
            return binding;
        }
    }
    return std::nullopt;
}

QList<SwitcherBinding::Combination> SwitcherBinding::combinations() const {
    return {
        {tabKey, hold, false}, {tabKey, hold | KeyModifiers::shift, true}, {graveKey, hold, true}};
}

QStringList SwitcherBinding::keyNames() const {
    return heldNames(hold) << KeyNames::tab;
}

QString SwitcherBinding::heldCaps() const {
    return capsOf(heldNames(hold));
}

QString SwitcherBinding::caps() const {
    return capsOf(keyNames());
}

QString SwitcherBinding::name() const {
    return keyNames().join(QLatin1Char('+'));
}

bool SwitcherBinding::isFallback() const {
    return *this != preferred().first();
}

QString SwitcherBinding::notice(const std::optional<SwitcherBinding>& binding) {
    if (!binding) {
        return QStringLiteral(
            "The application switcher is off: another program holds its keys or the Super key.");
    }
    if (!binding->isFallback()) {
        return {};
    }
    return preferred().first().name() +
           QStringLiteral(
               " is taken by another program, such as the window manager: the "
               "application switcher opens on ") +
           binding->name() + QStringLiteral(" instead.");
}

}  // namespace pellucine
