#include "platform/linux/SyncFolderRecordStore.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "base/AtomicFile.h"
#include "base/BackgroundWork.h"
#include "base/IsoDateTime.h"
#include "base/RegularFile.h"
#include "platform/linux/SyncFolderWatch.h"

namespace pellucine {

namespace {

namespace key {
constexpr QLatin1String recordType{"recordType"};
constexpr QLatin1String recordName{"recordName"};
constexpr QLatin1String changeTag{"changeTag"};
constexpr QLatin1String fields{"fields"};
constexpr QLatin1String bytes{"bytes"};
constexpr QLatin1String string{"string"};
constexpr QLatin1String date{"date"};
constexpr QLatin1String integer{"int"};
constexpr QLatin1String real{"double"};
}  // namespace key

// One plain file or folder name: no separators, nothing hidden, no parent references.
bool isPlainName(const QString& name) {
    return !name.isEmpty() && !name.startsWith(QLatin1Char('.')) &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(u'\0'));
}

CloudErrorCode codeForErrno(int code) {
    switch (code) {
        case ENOENT:
            return CloudErrorCode::unknownItem;
        case EACCES:
        case EPERM:
        case EROFS:
            return CloudErrorCode::permissionFailure;
        case ENOSPC:
        case EDQUOT:
            return CloudErrorCode::quotaExceeded;
        case ESTALE:
        case ETIMEDOUT:
        case ENOTCONN:
        case EHOSTDOWN:
        case EHOSTUNREACH:
        case ENETDOWN:
        case ENETUNREACH:
            return CloudErrorCode::networkFailure;
        default:
            return CloudErrorCode::internalError;
    }
}

[[noreturn]] void failWithErrno(int code, const QString& what, const QString& path) {
    throw CloudStoreError(codeForErrno(code),
                          QStringLiteral("Could not %1 “%2”: %3.")
                              .arg(what, path, QString::fromLocal8Bit(std::strerror(code))));
}

// The checks every operation starts with.
void checkLocation(const SyncFolderRecordStore::Location& location, const QString& recordName) {
    if (!location.syncFolder || location.syncFolder->isEmpty()) {
        throw CloudStoreError(CloudErrorCode::notAuthenticated,
                              QStringLiteral("No sync folder has been chosen."));
    }
    const QFileInfo folder(*location.syncFolder);
    if (!folder.isAbsolute() || !folder.isDir()) {
        throw CloudStoreError(
            CloudErrorCode::accountTemporarilyUnavailable,
            QStringLiteral("The sync folder “%1” isn’t available.").arg(*location.syncFolder));
    }
    if (!isPlainName(location.container)) {
        throw CloudStoreError(
            CloudErrorCode::badContainer,
            QStringLiteral("“%1” can’t name a container folder.").arg(location.container));
    }
    if (!isPlainName(recordName)) {
        throw CloudStoreError(CloudErrorCode::invalidArguments,
                              QStringLiteral("“%1” can’t name a record.").arg(recordName));
    }
}

// The container folder must be a folder of its own inside the chosen one: a link there (planted
// by anyone who shares the folder) would lead reads and writes anywhere. Missing is fine.
void checkContainerFolder(const QString& folder) {
    struct stat info {};
    if (::lstat(QFile::encodeName(folder).constData(), &info) != 0) {
        if (errno == ENOENT) {
            return;
        }
        failWithErrno(errno, QStringLiteral("read"), folder);
    }
    if (S_ISLNK(info.st_mode)) {
        throw CloudStoreError(CloudErrorCode::badContainer,
                              QStringLiteral("“%1” is a link. Settings are never read or written "
                                             "through a link inside the sync folder.")
                                  .arg(folder));
    }
    if (!S_ISDIR(info.st_mode)) {
        throw CloudStoreError(CloudErrorCode::badContainer,
                              QStringLiteral("“%1” isn’t a folder.").arg(folder));
    }
}

// The file's bytes, or none when there is no file. Whatever is not a plain record file (a link,
// a pipe, an oversized file) reads as no bytes: a record that cannot be understood.
std::optional<QByteArray> readRecordFile(const QString& path) {
    using Failure = RegularFileRead::Failure;
    RegularFileRead read =
        readRegularFile(path, SyncFolderRecordStore::recordSizeLimit, LinkToFile::refuse);
    switch (read.failure) {
        case Failure::none:
            return std::move(read.data);
        case Failure::missing:
            return std::nullopt;
        case Failure::notRegular:
        case Failure::tooLarge:
            return QByteArray();
        case Failure::unreadable:
            break;
    }
    failWithErrno(read.errorCode != 0 ? read.errorCode : EIO, QStringLiteral("read"), path);
}

QJsonObject encodeValue(const CloudFieldValue& value) {
    QJsonObject o;
    if (const auto* b = std::get_if<QByteArray>(&value)) {
        o.insert(key::bytes, QString::fromLatin1(b->toBase64()));
    } else if (const auto* s = std::get_if<QString>(&value)) {
        o.insert(key::string, *s);
    } else if (const auto* d = std::get_if<QDateTime>(&value)) {
        o.insert(key::date, formatIsoDateTimeWithMilliseconds(*d));
    } else if (const auto* i = std::get_if<std::int64_t>(&value)) {
        // As text: JSON numbers hold integers exactly only up to 2^53.
        o.insert(key::integer, QString::number(*i));
    } else if (const auto* r = std::get_if<double>(&value)) {
        o.insert(key::real, std::isfinite(*r) ? QJsonValue(*r) : QJsonValue());
    }
    return o;
}

std::optional<CloudFieldValue> decodeValue(const QJsonValue& json) {
    const QJsonObject o = json.toObject();
    if (o.size() != 1) {
        return std::nullopt;
    }
    const QString kind = o.begin().key();
    const QJsonValue v = o.begin().value();
    if (kind == key::bytes && v.isString()) {
        const auto decoded = QByteArray::fromBase64Encoding(
            v.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (decoded) {
            return CloudFieldValue(*decoded);
        }
    } else if (kind == key::string && v.isString()) {
        return CloudFieldValue(v.toString());
    } else if (kind == key::date && v.isString()) {
        if (const auto d = parseIsoDateTime(v.toString(), FractionalSeconds::optional)) {
            return CloudFieldValue(*d);
        }
    } else if (kind == key::integer && v.isString()) {
        bool ok = false;
        const qlonglong i = v.toString().toLongLong(&ok);
        if (ok) {
            return CloudFieldValue(std::int64_t(i));
        }
    } else if (kind == key::real && v.isDouble()) {
        return CloudFieldValue(v.toDouble());
    }
    return std::nullopt;
}

}  // namespace

QString SyncFolderRecordStore::Location::containerFolder() const {
    return syncFolder.value_or(QString()) + QLatin1Char('/') + container;
}

QString SyncFolderRecordStore::Location::recordPath(const QString& recordName) const {
    return containerFolder() + QLatin1Char('/') + recordName + QStringLiteral(".json");
}

SyncFolderRecordStore::SyncFolderRecordStore(FolderSource syncFolder, QString container,
                                             BackgroundExecutor& executor)
    : syncFolder_(std::move(syncFolder)), container_(std::move(container)), executor_(executor) {}

SyncFolderRecordStore::Location SyncFolderRecordStore::location() const {
    return {syncFolder_ ? syncFolder_() : std::nullopt, container_};
}

QByteArray SyncFolderRecordStore::encode(const CloudRecord& record) {
    QJsonObject fields;
    for (auto it = record.fields.cbegin(); it != record.fields.cend(); ++it) {
        fields.insert(it.key(), encodeValue(it.value()));
    }
    QJsonObject o;
    o.insert(key::recordType, record.recordType);
    o.insert(key::recordName, record.recordName);
    o.insert(key::changeTag, record.changeTag);
    o.insert(key::fields, fields);
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

CloudRecord SyncFolderRecordStore::decode(const QByteArray& data, const QString& recordName) {
    CloudRecord record;
    record.recordName = recordName;
    if (data.size() > recordSizeLimit) {
        return record;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    const QJsonObject o = document.object();
    if (error.error != QJsonParseError::NoError || !o.value(key::changeTag).isString() ||
        !o.value(key::fields).isObject()) {
        return record;
    }
    record.recordType = o.value(key::recordType).toString();
    record.changeTag = o.value(key::changeTag).toString();
    const QJsonObject fields = o.value(key::fields).toObject();
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        if (auto value = decodeValue(it.value())) {
            record.fields.insert(it.key(), std::move(*value));
        }
    }
    return record;
}

CloudRecord SyncFolderRecordStore::fetchNow(const Location& location, const QString& recordName) {
    checkLocation(location, recordName);
    checkContainerFolder(location.containerFolder());
    const QString path = location.recordPath(recordName);
    const std::optional<QByteArray> data = readRecordFile(path);
    if (!data) {
        throw CloudStoreError(CloudErrorCode::unknownItem,
                              QStringLiteral("There is no record “%1”.").arg(recordName));
    }
    return decode(*data, recordName);
}

CloudRecord SyncFolderRecordStore::saveNow(const Location& location, CloudRecord record) {
    checkLocation(location, record.recordName);
    const QString folder = location.containerFolder();
    checkContainerFolder(folder);
    if (::mkdir(QFile::encodeName(folder).constData(), 0777) != 0 && errno != EEXIST) {
        failWithErrno(errno, QStringLiteral("create"), folder);
    }
    // Checked again: a link may have taken the name since.
    checkContainerFolder(folder);
    const QString path = location.recordPath(record.recordName);
    const std::optional<QByteArray> current = readRecordFile(path);
    const QString storedTag = current ? decode(*current, record.recordName).changeTag : QString();
    if (record.changeTag != storedTag) {
        throw CloudStoreError(
            CloudErrorCode::serverRecordChanged,
            QStringLiteral("The record “%1” was changed elsewhere.").arg(record.recordName));
    }
    record.changeTag = QUuid::createUuid().toString(QUuid::WithoutBraces);
    // The new file replaces whatever has the name, a link included: nothing is written through
    // a link that someone sharing the folder planted.
    if (const auto code = replaceFileAtomically(path, encode(record))) {
        failWithErrno(*code, QStringLiteral("write"), path);
    }
    return record;
}

Subscription SyncFolderRecordStore::watch(const QString& recordName,
                                          std::function<void()> onChange) {
    auto watch = std::make_shared<SyncFolderWatch>(
        [source = syncFolder_, container = container_, recordName] {
            const Location at{source ? source() : std::nullopt, container};
            if (!at.syncFolder || !isPlainName(container) || !isPlainName(recordName)) {
                return QStringList();
            }
            return QStringList{*at.syncFolder, at.containerFolder(), at.recordPath(recordName)};
        },
        std::move(onChange));
    std::erase_if(watches_, [](const std::weak_ptr<SyncFolderWatch>& w) { return w.expired(); });
    watches_.push_back(watch);
    return Subscription(std::shared_ptr<void>(std::move(watch)));
}

void SyncFolderRecordStore::rearmWatches() {
    for (const std::weak_ptr<SyncFolderWatch>& weak : watches_) {
        if (const std::shared_ptr<SyncFolderWatch> watch = weak.lock()) {
            watch->rearm();
        }
    }
}

// The awaited work is bound to a local first: GCC 12 destroys temporaries of a co_await
// operand's full expression (here the function's captures) a second time on resumption.
QCoro::Task<CloudRecord> SyncFolderRecordStore::fetch(QString recordName) {
    rearmWatches();
    auto work = runInBackground(
        executor_, [location = location(), recordName] { return fetchNow(location, recordName); });
    co_return co_await std::move(work);
}

QCoro::Task<CloudRecord> SyncFolderRecordStore::save(CloudRecord record) {
    auto work = runInBackground(executor_, [location = location(), record = std::move(record)] {
        return saveNow(location, record);
    });
    co_return co_await std::move(work);
}

}  // namespace pellucine
