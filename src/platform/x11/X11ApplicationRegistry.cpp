#include "platform/x11/X11ApplicationRegistry.h"

#include <QFileInfo>
#include <algorithm>

namespace pellucine {

namespace {

std::optional<QString> nonEmpty(const QString& text) {
    if (text.isEmpty()) {
        return std::nullopt;
    }
    return text;
}

// "org.kde.okular.desktop" or "/usr/share/applications/org.kde.okular.desktop" name the id
// "org.kde.okular".
QString desktopIdFromHint(const QString& hint) {
    QString id = QFileInfo(hint).fileName();
    if (id.endsWith(QLatin1String(".desktop"))) {
        id.chop(QStringLiteral(".desktop").size());
    }
    return id;
}

const DesktopEntry* findEntry(const X11WindowInfo& window, const DesktopEntries& entries,
                              const std::optional<QString>& flatpakId) {
    for (const QString& id : {desktopIdFromHint(window.desktopFileHint), window.gtkApplicationId,
                              flatpakId.value_or(QString())}) {
        if (const DesktopEntry* entry = entries.byId(id)) {
            return entry;
        }
    }
    for (const QString& windowClass : {window.resourceClass, window.resourceName}) {
        if (const DesktopEntry* entry = entries.byWindowClass(windowClass)) {
            return entry;
        }
    }
    for (const QString& id : {window.resourceName, window.resourceClass}) {
        if (const DesktopEntry* entry = entries.byId(id)) {
            return entry;
        }
    }
    // A program that names no id of its own (GTK's without a session bus) still goes by the
    // last part of its reverse-DNS one: WM_CLASS "mousepad" for "org.xfce.mousepad".
    for (const QString& name : {window.resourceName, window.resourceClass}) {
        if (const DesktopEntry* entry = entries.byIdTail(name)) {
            return entry;
        }
    }
    return nullptr;
}

QStringList aliasesOf(const X11WindowInfo& window, const std::optional<QString>& flatpakId,
                      const std::optional<QString>& executablePath,
                      const std::optional<QString>& identifier) {
    QStringList aliases;
    for (const QString& name :
         {desktopIdFromHint(window.desktopFileHint), flatpakId.value_or(QString()),
          window.gtkApplicationId, window.resourceClass, window.resourceName,
          executablePath ? QFileInfo(*executablePath).fileName() : QString()}) {
        if (!name.isEmpty() && name != identifier && !aliases.contains(name)) {
            aliases.append(name);
        }
    }
    return aliases;
}

}  // namespace

X11ApplicationIdentity identifyApplication(const X11WindowInfo& window,
                                           const DesktopEntries& entries,
                                           const std::optional<QString>& flatpakId,
                                           const std::optional<QString>& executablePath) {
    X11ApplicationIdentity identity;
    const DesktopEntry* entry = findEntry(window, entries, flatpakId);
    if (entry != nullptr) {
        identity.identifier = entry->id;
        identity.name = entry->name;
        identity.location = QUrl::fromLocalFile(entry->path);
        identity.fromDesktopEntry = true;
        identity.icon = entry->icon;
        identity.aliases = aliasesOf(window, flatpakId, executablePath, identity.identifier);
        return identity;
    }
    for (const std::optional<QString>& candidate :
         {nonEmpty(desktopIdFromHint(window.desktopFileHint)), flatpakId,
          nonEmpty(window.gtkApplicationId), nonEmpty(window.resourceClass),
          nonEmpty(window.resourceName)}) {
        if (candidate && !candidate->isEmpty()) {
            identity.identifier = candidate;
            break;
        }
    }
    identity.name = nonEmpty(window.resourceClass);
    if (!identity.name) {
        identity.name = nonEmpty(window.resourceName);
    }
    // A class is a name for people, capitalised by convention; some set it as the lower-case
    // instance ("pellucine"), which would stand out in a menu.
    if (identity.name && identity.name->front().isLower()) {
        (*identity.name)[0] = identity.name->front().toUpper();
    }
    if (executablePath) {
        identity.location = QUrl::fromLocalFile(*executablePath);
    }
    identity.aliases = aliasesOf(window, flatpakId, executablePath, identity.identifier);
    return identity;
}

X11ActivationPolicy activationPolicyOf(const QList<const X11WindowInfo*>& windows) {
    X11ActivationPolicy policy = X11ActivationPolicy::prohibited;
    for (const X11WindowInfo* window : windows) {
        const bool applicationWindow =
            window->type == X11WindowType::normal || window->type == X11WindowType::dialog;
        if (applicationWindow && !window->skipsTaskbar) {
            return X11ActivationPolicy::regular;
        }
        if (applicationWindow || window->type == X11WindowType::utility ||
            window->type == X11WindowType::toolbar || window->type == X11WindowType::splash) {
            policy = X11ActivationPolicy::accessory;
        }
    }
    return policy;
}

X11ApplicationRegistry::X11ApplicationRegistry(DesktopEntries entries, ProcessInfo processes)
    : entries_(std::move(entries)), processes_(std::move(processes)) {}

QList<X11Application> X11ApplicationRegistry::applications(const X11DesktopSnapshot& snapshot) {
    // Clients in mapping order, then any the stacking list holds beyond it.
    QHash<xcb_window_t, const X11WindowInfo*> byWindow;
    byWindow.reserve(snapshot.windows.size());
    for (const X11WindowInfo& info : snapshot.windows) {
        byWindow.insert(info.window, &info);
    }
    QList<const X11WindowInfo*> byMapping;
    for (const xcb_window_t window : snapshot.mappingOrder) {
        if (const X11WindowInfo* info = byWindow.take(window)) {
            byMapping.append(info);
        }
    }
    for (const X11WindowInfo& info : snapshot.windows) {
        if (byWindow.contains(info.window)) {
            byMapping.append(&info);
        }
    }

    QList<qint32> pids;
    QHash<qint32, QList<const X11WindowInfo*>> windowsByPid;
    for (const X11WindowInfo* info : byMapping) {
        if (!info->pid || *info->pid < 1) {
            continue;
        }
        if (!windowsByPid.contains(*info->pid)) {
            pids.append(*info->pid);
        }
        windowsByPid[*info->pid].append(info);
    }

    // Each application's windows front to back.
    QHash<qint32, QList<xcb_window_t>> stackedByPid;
    for (const X11WindowInfo& info : snapshot.windows) {
        if (info.pid) {
            stackedByPid[*info.pid].append(info.window);
        }
    }

    QList<X11Application> result;
    for (const qint32 pid : pids) {
        QList<const X11WindowInfo*> owned = windowsByPid.value(pid);
        X11Application application;
        application.pid = pid;
        application.identity = identityOf(pid, owned);
        application.policy = activationPolicyOf(owned);
        application.isHidden = updateHidden(pid, owned);
        application.windows = stackedByPid.value(pid);
        application.isActive = application.windows.contains(snapshot.activeWindow);
        result.append(std::move(application));
    }

    // Forget what belongs to processes that no longer show a window.
    for (auto it = identities_.begin(); it != identities_.end();) {
        it = windowsByPid.contains(it.key()) ? std::next(it) : identities_.erase(it);
    }
    for (auto it = hidden_.begin(); it != hidden_.end();) {
        it = windowsByPid.contains(it.key()) ? std::next(it) : hidden_.erase(it);
    }
    return result;
}

const X11ApplicationIdentity& X11ApplicationRegistry::identityOf(
    qint32 pid, const QList<const X11WindowInfo*>& windows) {
    auto it = identities_.find(pid);
    if (it != identities_.end() &&
        (it->identity.fromDesktopEntry ||
         std::all_of(windows.begin(), windows.end(),
                     [&](const X11WindowInfo* w) { return it->windows.contains(w->window); }))) {
        return it->identity;
    }
    if (it == identities_.end()) {
        it = identities_.insert(pid, Decided{});
    }
    const std::optional<QString> flatpak = processes_.flatpakId(pid);
    const std::optional<QString> executable = processes_.executablePath(pid);
    // The first window that leads to a desktop entry decides; else the first window. Windows
    // that led to none before are not asked again.
    const bool undecided = it->windows.isEmpty();
    for (const X11WindowInfo* window : windows) {
        if (it->windows.contains(window->window)) {
            continue;
        }
        it->windows.insert(window->window);
        X11ApplicationIdentity candidate =
            identifyApplication(*window, entries_, flatpak, executable);
        const bool fromEntry = candidate.fromDesktopEntry;
        if ((undecided && window == windows.first()) || fromEntry) {
            it->identity = std::move(candidate);
        }
        if (fromEntry) {
            break;
        }
    }
    // Only windows still there can be asked about again.
    QSet<xcb_window_t> present;
    for (const X11WindowInfo* window : windows) {
        present.insert(window->window);
    }
    it->windows.intersect(present);
    return it->identity;
}

bool X11ApplicationRegistry::updateHidden(qint32 pid, const QList<const X11WindowInfo*>& windows) {
    const auto it = hidden_.find(pid);
    if (it == hidden_.end()) {
        return false;
    }
    const bool allMinimized = std::all_of(windows.begin(), windows.end(),
                                          [](const X11WindowInfo* w) { return w->isMinimized(); });
    if (allMinimized) {
        it->confirmed = true;
    } else if (it->confirmed) {
        // Shown again by other means than unhiding.
        hidden_.erase(it);
        return false;
    }
    return true;
}

void X11ApplicationRegistry::markHidden(qint32 pid, QList<xcb_window_t> minimizedByHiding) {
    hidden_.insert(pid, HiddenMark{false, std::move(minimizedByHiding)});
}

std::optional<QList<xcb_window_t>> X11ApplicationRegistry::unmarkHidden(qint32 pid) {
    const auto it = hidden_.find(pid);
    if (it == hidden_.end()) {
        return std::nullopt;
    }
    QList<xcb_window_t> windows = std::move(it->minimizedByHiding);
    hidden_.erase(it);
    return windows;
}

}  // namespace pellucine
