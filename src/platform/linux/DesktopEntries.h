#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace pellucine {

// One application entry of the desktop's menu (a .desktop file).
struct DesktopEntry {
    // The desktop-file id: the path below the applications folder, "/" made "-", without
    // ".desktop" ("org.gnome.Calculator", "kde-okular").
    QString id;
    QString name;
    QString startupWMClass;
    QString path;
    // An icon theme name or a file path; empty when the entry names none.
    QString icon;
};

// The application entries of the applications folders, looked up by id and by window class.
class DesktopEntries {
  public:
    DesktopEntries() = default;

    // Reads the folders in order of precedence: the first that holds an id wins, and a hidden
    // entry there hides the id in later folders too. Unreadable files are passed over.
    static DesktopEntries load(const QStringList& applicationFolders);
    // The user's and the system's applications folders (XDG_DATA_HOME, then XDG_DATA_DIRS).
    static QStringList standardFolders();
    // One entry parsed from the text of a .desktop file; none unless it is a visible
    // application with a name.
    static std::optional<DesktopEntry> parse(const QString& id, const QString& path,
                                             const QByteArray& text);

    // By id, exactly, else ignoring letter case.
    const DesktopEntry* byId(const QString& id) const;
    // By StartupWMClass, exactly.
    const DesktopEntry* byWindowClass(const QString& windowClass) const;
    // By the last part of a reverse-DNS id, ignoring letter case: "mousepad" finds
    // "org.xfce.mousepad". None when no id ends so, or more than one does.
    const DesktopEntry* byIdTail(const QString& name) const;
    qsizetype size() const { return entries_.size(); }

  private:
    void add(DesktopEntry entry);

    QHash<QString, DesktopEntry> entries_;
    QHash<QString, QString> idsByFoldedId_;
    QHash<QString, QString> idsByWindowClass_;
    // Empty where two ids share the tail.
    QHash<QString, QString> idsByFoldedTail_;
};

}  // namespace pellucine
