#include "platform/x11/XSettingsData.h"

#include <QtEndian>

namespace pellucine {

namespace {

class Reader {
  public:
    explicit Reader(const QByteArray& data) : data_(data) {}

    bool setOrder(quint8 order) {
        bigEndian_ = order == 1;
        return order <= 1;
    }
    std::optional<quint8> byte() {
        if (!has(1)) {
            return std::nullopt;
        }
        return static_cast<quint8>(data_[at_++]);
    }
    std::optional<quint32> card(qsizetype size) {
        if (!has(size)) {
            return std::nullopt;
        }
        const auto* p = reinterpret_cast<const uchar*>(data_.constData() + at_);
        at_ += size;
        if (size == 2) {
            return bigEndian_ ? qFromBigEndian<quint16>(p) : qFromLittleEndian<quint16>(p);
        }
        return bigEndian_ ? qFromBigEndian<quint32>(p) : qFromLittleEndian<quint32>(p);
    }
    // `length` bytes, then the padding to the next multiple of four.
    std::optional<QByteArray> padded(quint32 length) {
        const qsizetype total = (static_cast<qsizetype>(length) + 3) / 4 * 4;
        if (!has(total)) {
            return std::nullopt;
        }
        QByteArray bytes = data_.mid(at_, length);
        at_ += total;
        return bytes;
    }
    bool skip(qsizetype size) {
        if (!has(size)) {
            return false;
        }
        at_ += size;
        return true;
    }

  private:
    bool has(qsizetype size) const { return size >= 0 && data_.size() - at_ >= size; }

    const QByteArray& data_;
    qsizetype at_ = 0;
    bool bigEndian_ = false;
};

enum SettingType : quint8 { integerSetting = 0, stringSetting = 1, colorSetting = 2 };

}  // namespace

std::optional<QHash<QString, QString>> readXSettingsStrings(const QByteArray& data) {
    Reader reader(data);
    const auto order = reader.byte();
    if (!order || !reader.setOrder(*order) || !reader.skip(3) || !reader.card(4)) {
        return std::nullopt;
    }
    const auto count = reader.card(4);
    if (!count) {
        return std::nullopt;
    }
    QHash<QString, QString> strings;
    for (quint32 i = 0; i < *count; ++i) {
        const auto type = reader.byte();
        if (!type || !reader.skip(1)) {
            return std::nullopt;
        }
        const auto nameLength = reader.card(2);
        const auto name = nameLength ? reader.padded(*nameLength) : std::nullopt;
        if (!name || !reader.card(4)) {
            return std::nullopt;
        }
        switch (*type) {
            case integerSetting:
                if (!reader.skip(4)) {
                    return std::nullopt;
                }
                break;
            case colorSetting:
                if (!reader.skip(8)) {
                    return std::nullopt;
                }
                break;
            case stringSetting: {
                const auto length = reader.card(4);
                const auto value = length ? reader.padded(*length) : std::nullopt;
                if (!value) {
                    return std::nullopt;
                }
                strings.insert(QString::fromUtf8(*name), QString::fromUtf8(*value));
                break;
            }
            default:
                return std::nullopt;
        }
    }
    return strings;
}

}  // namespace pellucine
