#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace pellucine {

// One value of a GVariant database: its type string and its serialised bytes.
struct GVariantBytes {
    QByteArray type;
    QByteArray data;

    friend bool operator==(const GVariantBytes&, const GVariantBytes&) = default;
};

// A hash table of a GVariant database file, the format of the dconf databases and of compiled
// GSettings schemas: keys (made whole through their parents) to values or nested tables. Only
// little-endian files are read; anything out of bounds or malformed reads as absent.
class GvdbTable final {
  public:
    // The file's root table, or nothing when it is no such file.
    static std::optional<GvdbTable> parse(const QByteArray& file);

    // The value under the key, unwrapped from its variant.
    std::optional<GVariantBytes> value(const QString& key) const;
    // The nested table under the key.
    std::optional<GvdbTable> table(const QString& key) const;
    // Every key, sorted.
    QStringList keys() const;

  private:
    struct Item {
        char type = 0;
        quint32 start = 0;
        quint32 end = 0;
    };

    GvdbTable(QByteArray file, quint32 start, quint32 end);

    QByteArray file_;
    QHash<QString, Item> items_;
};

// Reading serialised GVariant values, for the few types settings hold.
class GVariantReader final {
  public:
    GVariantReader() = delete;

    // The value inside a variant ("v"): the bytes before its last NUL, typed by the rest.
    static std::optional<GVariantBytes> unwrapVariant(const QByteArray& data);
    // "s": the text without its closing NUL.
    static std::optional<QString> string(const QByteArray& data);
    // "as".
    static std::optional<QStringList> stringArray(const QByteArray& data);
    // The first member of a tuple whose first member is variable in size ("s", "as", ...).
    static std::optional<GVariantBytes> firstMember(const GVariantBytes& tuple);
    // The length of the one complete type that starts `type`, 0 when none does.
    static qsizetype typeLength(QByteArrayView type);
};

}  // namespace pellucine
