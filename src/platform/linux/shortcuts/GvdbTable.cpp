#include "platform/linux/shortcuts/GvdbTable.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <vector>

namespace pellucine {

namespace {

constexpr quint32 signature0 = 0x72615647;  // "GVar"
constexpr quint32 signature1 = 0x746e6169;  // "iant"
constexpr quint32 noParent = 0xffffffff;
constexpr qsizetype itemSize = 24;
// Deeper parent chains than any real database holds are taken as broken.
constexpr int maxKeyDepth = 64;

quint32 word(const QByteArray& bytes, qsizetype at) {
    quint32 value = 0;
    std::memcpy(&value, bytes.constData() + at, sizeof value);
    return qFromLittleEndian(value);
}

bool fixedSize(char type) {
    return type != 0 && std::strchr("bynqiuxthd", type) != nullptr;
}

// The width of each framing offset in a container of `size` bytes.
qsizetype offsetWidth(qsizetype size) {
    if (size <= 0xff) {
        return 1;
    }
    if (size <= 0xffff) {
        return 2;
    }
    return size <= 0xffffffffLL ? 4 : 8;
}

quint64 offsetAt(const QByteArray& data, qsizetype at, qsizetype width) {
    quint64 value = 0;
    for (qsizetype i = width - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<quint8>(data.at(at + i));
    }
    return value;
}

qsizetype typeLengthAt(QByteArrayView type, qsizetype at, int depth) {
    if (at >= type.size() || depth > 64) {
        return 0;
    }
    const char c = type.at(at);
    if (fixedSize(c) || c == 's' || c == 'o' || c == 'g' || c == 'v') {
        return 1;
    }
    if (c == 'a' || c == 'm') {
        const qsizetype inner = typeLengthAt(type, at + 1, depth + 1);
        return inner == 0 ? 0 : inner + 1;
    }
    if (c == '(' || c == '{') {
        const char close = c == '(' ? ')' : '}';
        qsizetype length = 1;
        int members = 0;
        while (at + length < type.size() && type.at(at + length) != close) {
            const qsizetype member = typeLengthAt(type, at + length, depth + 1);
            if (member == 0) {
                return 0;
            }
            length += member;
            ++members;
        }
        if (at + length >= type.size() || (c == '{' && members != 2)) {
            return 0;
        }
        return length + 1;
    }
    return 0;
}

}  // namespace

std::optional<GvdbTable> GvdbTable::parse(const QByteArray& file) {
    if (file.size() < 24 || word(file, 0) != signature0 || word(file, 4) != signature1 ||
        word(file, 8) != 0) {
        return std::nullopt;
    }
    const quint32 start = word(file, 16);
    const quint32 end = word(file, 20);
    if (start > end || end > static_cast<quint64>(file.size())) {
        return std::nullopt;
    }
    return GvdbTable(file, start, end);
}

GvdbTable::GvdbTable(QByteArray file, quint32 start, quint32 end) : file_(std::move(file)) {
    const qsizetype size = qsizetype(end) - qsizetype(start);
    if (size < 8) {
        return;
    }
    const qsizetype bloomWords = word(file_, start) & ((1u << 27) - 1);
    const qsizetype buckets = word(file_, start + 4);
    const qsizetype itemsAt = 8 + 4 * bloomWords + 4 * buckets;
    if (bloomWords > size || buckets > size || itemsAt > size) {
        return;
    }
    const qsizetype count = (size - itemsAt) / itemSize;
    struct Raw {
        quint32 parent;
        QByteArray name;
        Item item;
    };
    std::vector<Raw> raw;
    raw.reserve(std::size_t(count));
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype at = start + itemsAt + i * itemSize;
        const quint32 keyStart = word(file_, at + 8);
        quint16 keySize = 0;
        std::memcpy(&keySize, file_.constData() + at + 12, sizeof keySize);
        keySize = qFromLittleEndian(keySize);
        Raw r{word(file_, at + 4),
              {},
              {file_.at(at + 14), word(file_, at + 16), word(file_, at + 20)}};
        if (quint64(keyStart) + keySize <= quint64(file_.size())) {
            r.name = file_.mid(keyStart, keySize);
        } else {
            r.item.type = 0;
        }
        raw.push_back(std::move(r));
    }
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i].item.type == 0) {
            continue;
        }
        // The key is the names along the parent chain, outermost first.
        QByteArray key = raw[i].name;
        quint32 parent = raw[i].parent;
        int depth = 0;
        for (; parent != noParent && depth < maxKeyDepth; ++depth) {
            if (parent >= raw.size() || raw[parent].item.type == 0) {
                break;
            }
            key.prepend(raw[parent].name);
            parent = raw[parent].parent;
        }
        if (parent == noParent) {
            items_.insert(QString::fromUtf8(key), raw[i].item);
        }
    }
}

std::optional<GVariantBytes> GvdbTable::value(const QString& key) const {
    const auto it = items_.constFind(key);
    if (it == items_.cend() || it->type != 'v' || it->start > it->end ||
        it->end > quint64(file_.size())) {
        return std::nullopt;
    }
    return GVariantReader::unwrapVariant(file_.mid(it->start, it->end - it->start));
}

std::optional<GvdbTable> GvdbTable::table(const QString& key) const {
    const auto it = items_.constFind(key);
    if (it == items_.cend() || it->type != 'H' || it->start > it->end ||
        it->end > quint64(file_.size())) {
        return std::nullopt;
    }
    return GvdbTable(file_, it->start, it->end);
}

QStringList GvdbTable::keys() const {
    QStringList out = items_.keys();
    out.sort();
    return out;
}

qsizetype GVariantReader::typeLength(QByteArrayView type) {
    return typeLengthAt(type, 0, 0);
}

std::optional<GVariantBytes> GVariantReader::unwrapVariant(const QByteArray& data) {
    const qsizetype separator = data.lastIndexOf('\0');
    if (separator < 0) {
        return std::nullopt;
    }
    const QByteArray type = data.mid(separator + 1);
    if (type.isEmpty() || typeLength(type) != type.size()) {
        return std::nullopt;
    }
    return GVariantBytes{type, data.left(separator)};
}

std::optional<QString> GVariantReader::string(const QByteArray& data) {
    if (data.isEmpty() || data.back() != '\0' || data.indexOf('\0') != data.size() - 1) {
        return std::nullopt;
    }
    return QString::fromUtf8(data.constData(), data.size() - 1);
}

std::optional<QStringList> GVariantReader::stringArray(const QByteArray& data) {
    if (data.isEmpty()) {
        return QStringList();
    }
    const qsizetype width = offsetWidth(data.size());
    if (data.size() < width) {
        return std::nullopt;
    }
    const quint64 tableStart = offsetAt(data, data.size() - width, width);
    if (tableStart > quint64(data.size()) || (data.size() - qsizetype(tableStart)) % width != 0) {
        return std::nullopt;
    }
    const qsizetype count = (data.size() - qsizetype(tableStart)) / width;
    QStringList out;
    quint64 begin = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const quint64 end = offsetAt(data, qsizetype(tableStart) + i * width, width);
        if (end < begin || end > tableStart) {
            return std::nullopt;
        }
        const auto text = string(data.mid(qsizetype(begin), qsizetype(end - begin)));
        if (!text) {
            return std::nullopt;
        }
        out << *text;
        begin = end;
    }
    return out;
}

std::optional<GVariantBytes> GVariantReader::firstMember(const GVariantBytes& tuple) {
    if (tuple.type.size() < 3 || tuple.type.front() != '(' ||
        typeLength(tuple.type) != tuple.type.size()) {
        return std::nullopt;
    }
    const qsizetype length = typeLength(QByteArrayView(tuple.type).sliced(1));
    const QByteArray type = tuple.type.mid(1, length);
    if (length == 0 || (length == 1 && fixedSize(type.front()))) {
        return std::nullopt;
    }
    if (tuple.type.at(1 + length) == ')') {
        // The only member: it fills the tuple.
        return GVariantBytes{type, tuple.data};
    }
    // Members after it: its end is the tuple's first framing offset, the last bytes of all.
    const qsizetype width = offsetWidth(tuple.data.size());
    if (tuple.data.size() < width) {
        return std::nullopt;
    }
    const quint64 end = offsetAt(tuple.data, tuple.data.size() - width, width);
    if (end > quint64(tuple.data.size() - width)) {
        return std::nullopt;
    }
    return GVariantBytes{type, tuple.data.left(qsizetype(end))};
}

}  // namespace pellucine
