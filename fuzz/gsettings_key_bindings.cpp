// The user's dconf database and the compiled GSettings schemas, two GVariant database files any
// program of the session (or a package) may have written, read into the desktop's key bindings.
// The input is the database's length (two bytes, little-endian), the database, then the
// compiled schemas.
#include <algorithm>
#include <cstring>
#include <utility>

#include "FuzzSupport.h"
#include "platform/KeyModifiers.h"
#include "platform/linux/shortcuts/DesktopKeyBindings.h"
#include "platform/linux/shortcuts/GvdbTable.h"

using namespace pellucine;

namespace {

// Every value of the table and of the tables nested in it, as the readers take values.
void readAll(const GvdbTable& table, int depth) {
    for (const QString& key : table.keys()) {
        if (const auto value = table.value(key)) {
            FUZZ_CHECK(GVariantReader::typeLength(value->type) == value->type.size());
            GVariantReader::string(value->data);
            GVariantReader::stringArray(value->data);
            if (const auto first = GVariantReader::firstMember(*value)) {
                FUZZ_CHECK(first->data.size() <= value->data.size());
                GVariantReader::stringArray(first->data);
            }
        }
        if (const auto nested = table.table(key); nested && depth < 2) {
            readAll(*nested, depth + 1);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input = fuzz::bytesOf(data, size);
    const qsizetype split =
        input.size() < 2
            ? 0
            : std::min<qsizetype>(input.size() - 2, quint8(input[0]) | quint8(input[1]) << 8);
    const QByteArray user = input.mid(2, split);
    const QByteArray schemas = input.mid(2 + split);
    for (const QByteArray& file : {user, schemas}) {
        if (const auto table = GvdbTable::parse(file)) {
            readAll(*table, 0);
        }
    }

    static const QString root = fuzz::scratchFolder();
    fuzz::writeFile(root + QStringLiteral("/config/dconf/user"), user);
    fuzz::writeFile(root + QStringLiteral("/schemas/gschemas.compiled"), schemas);
    const DesktopBindingFolders folders{
        root + QStringLiteral("/config"), {}, {root + QStringLiteral("/schemas")}};
    for (const auto& [session, prefix] : {std::pair{DesktopSession::gnome, "GNOME: "},
                                          std::pair{DesktopSession::cinnamon, "Cinnamon: "},
                                          std::pair{DesktopSession::mate, "MATE: "}}) {
        for (const DesktopShortcut& shortcut : DesktopKeyBindings::read(session, folders)) {
            FUZZ_CHECK((shortcut.modifiers & ~KeyModifiers::all) == 0);
            FUZZ_CHECK(shortcut.owner.startsWith(QLatin1String(prefix)));
            FUZZ_CHECK(shortcut.owner.size() > qsizetype(std::strlen(prefix)));
        }
    }
    return 0;
}
