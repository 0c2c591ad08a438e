#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "platform/linux/shortcuts/GvdbTable.h"

namespace pellucine {

// The key bindings a GSettings desktop (GNOME, Cinnamon, MATE) keeps: the schemas' defaults
// from compiled schema files, the user's own values from the dconf database, and the names the
// schema sources give them.
class GSettingsKeyBindings final {
  public:
    GSettingsKeyBindings() = delete;

    // One setting holding key combinations in GTK's form, and what the desktop calls it.
    struct Binding {
        QString name;
        QStringList accelerators;

        friend bool operator==(const Binding&, const Binding&) = default;
    };

    // Every key of a compiled schema (`schema`, from gschemas.compiled) whose type is a string
    // or a list of strings, sorted by key: the value the user's database holds at the schema's
    // path when it holds one of that type, else the schema's default. Named by `summaries`, or
    // the key made words ("switch-applications" is "Switch applications"); keys whose summary
    // marks them deprecated are left out.
    static QList<Binding> read(const GvdbTable& schema, const std::optional<GvdbTable>& user,
                               const QHash<QString, QString>& summaries);
    // Shortcuts the user made, named by the user: for each folder of the database, its "name"
    // and "binding" (a string or a list of strings). Folders without both are left out.
    static QList<Binding> readCustom(const GvdbTable& user, const QStringList& folders);
    // A list of strings at a key of the user's database; empty when absent or of another type.
    static QStringList userStrings(const GvdbTable& user, const QString& key);
    // The summaries of one schema's keys in a schema source file (.gschema.xml); nothing for
    // text that is not such a file.
    static QHash<QString, QString> summaries(const QByteArray& schemaXml, const QString& schemaId);
};

}  // namespace pellucine
