#include "base/AtomicFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <array>
#include <cerrno>
#include <string_view>

#include "base/FileDescriptor.h"

namespace pellucine {

namespace {

// Temporary files are "." + the target's name + the marker + "<pid>-<random>".
constexpr QLatin1String temporaryMarker{".pellucine-tmp-"};
constexpr int randomLength = 8;
constexpr int creationAttempts = 16;
// Longer names are shortened in the temporary name, which must stay within NAME_MAX.
constexpr qsizetype longestNameBytes = 120;
constexpr qsizetype shortenedNameLength = 30;
constexpr int maximumLinkDepth = 40;

QString randomPart() {
    static constexpr std::string_view alphabet =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString text;
    text.reserve(randomLength);
    for (int i = 0; i < randomLength; ++i) {
        text += QLatin1Char(alphabet[QRandomGenerator::global()->bounded(int(alphabet.size()))]);
    }
    return text;
}

QString temporaryPath(const QString& folder, const QString& name) {
    const QString namePart =
        QFile::encodeName(name).size() > longestNameBytes ? name.left(shortenedNameLength) : name;
    return folder + QStringLiteral("/.") + namePart + temporaryMarker +
           QString::number(::getpid()) + QLatin1Char('-') + randomPart();
}

mode_t modeOf(QFileDevice::Permissions permissions) {
    static constexpr std::array<std::pair<QFileDevice::Permission, mode_t>, 9> bits{{
        {QFileDevice::ReadOwner, S_IRUSR},
        {QFileDevice::WriteOwner, S_IWUSR},
        {QFileDevice::ExeOwner, S_IXUSR},
        {QFileDevice::ReadGroup, S_IRGRP},
        {QFileDevice::WriteGroup, S_IWGRP},
        {QFileDevice::ExeGroup, S_IXGRP},
        {QFileDevice::ReadOther, S_IROTH},
        {QFileDevice::WriteOther, S_IWOTH},
        {QFileDevice::ExeOther, S_IXOTH},
    }};
    mode_t mode = 0;
    for (const auto& [permission, bit] : bits) {
        if (permissions.testFlag(permission)) {
            mode |= bit;
        }
    }
    return mode;
}

// The file a chain of links ends at: `path` itself when it is no link.
std::optional<QString> linkTarget(const QString& path) {
    QString current = path;
    for (int depth = 0; depth < maximumLinkDepth; ++depth) {
        const QFileInfo info(current);
        if (!info.isSymLink()) {
            return current;
        }
        current = info.symLinkTarget();
    }
    return std::nullopt;
}

// Makes the rename itself durable; file systems that cannot do this are no failure.
void syncFolder(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

bool isRunning(pid_t pid) {
    return pid == ::getpid() || ::kill(pid, 0) == 0 || errno == EPERM;
}

}  // namespace

std::optional<int> replaceFileAtomically(const QString& path, const QByteArray& content,
                                         std::optional<QFileDevice::Permissions> permissions,
                                         LinkAtPath link) {
    const std::optional<QString> target =
        link == LinkAtPath::replaceTarget ? linkTarget(path) : std::optional(path);
    if (!target) {
        return ELOOP;
    }
    const QFileInfo info(*target);
    const QString name = info.fileName();
    if (name.isEmpty()) {
        return EISDIR;
    }
    const QByteArray nativeTarget = QFile::encodeName(*target);

    mode_t mode = 0666;
    bool exactMode = false;
    struct stat existing {};
    if (permissions) {
        mode = modeOf(*permissions);
        exactMode = true;
    } else if (::lstat(nativeTarget.constData(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        mode = existing.st_mode & 07777;
        exactMode = true;
    }

    // O_EXCL never opens what is already there, a planted link included.
    int fd = -1;
    QByteArray temporary;
    for (int attempt = 0; fd < 0 && attempt < creationAttempts; ++attempt) {
        temporary = QFile::encodeName(temporaryPath(info.path(), name));
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                    mode);
        if (fd < 0 && errno != EEXIST) {
            return errno;
        }
    }
    if (fd < 0) {
        return EEXIST;
    }
    FileDescriptor file(fd);

    int failure = 0;
    if (exactMode && ::fchmod(file.get(), mode) != 0) {
        failure = errno;
    }
    if (failure == 0 && !file.writeAll(content)) {
        failure = errno;
    }
    // A full disk may only show when the data is flushed.
    if (failure == 0 && ::fsync(file.get()) != 0 && errno != EINVAL) {
        failure = errno;
    }
    if (const int closing = file.close(); failure == 0) {
        failure = closing;
    }
    if (failure == 0 && ::rename(temporary.constData(), nativeTarget.constData()) != 0) {
        failure = errno;
    }
    if (failure != 0) {
        ::unlink(temporary.constData());
        return failure;
    }
    syncFolder(info.path());
    return std::nullopt;
}

std::optional<QString> writeFileAtomically(const QString& path, const QByteArray& content,
                                           std::optional<QFileDevice::Permissions> permissions,
                                           LinkAtPath link) {
    if (const auto code = replaceFileAtomically(path, content, permissions, link)) {
        return qt_error_string(*code);
    }
    return std::nullopt;
}

int removeStaleTemporaryFiles(const QString& folder) {
    static const QRegularExpression temporaryName(
        QStringLiteral("^\\..+") + QRegularExpression::escape(temporaryMarker) +
        QStringLiteral("([0-9]{1,9})-[A-Za-z0-9]{%1}$").arg(randomLength));
    const QDir dir(folder);
    int removed = 0;
    for (const QString& name :
         dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        const QRegularExpressionMatch match = temporaryName.match(name);
        if (!match.hasMatch()) {
            continue;
        }
        const pid_t pid = match.captured(1).toInt();
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        struct stat info {};
        if (pid <= 0 || isRunning(pid) || ::lstat(path.constData(), &info) != 0 ||
            !S_ISREG(info.st_mode)) {
            continue;
        }
        if (::unlink(path.constData()) == 0) {
            ++removed;
        }
    }
    return removed;
}

}  // namespace pellucine
