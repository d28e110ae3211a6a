#include "platform/safewrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <optional>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace omvex::platform {

namespace {

struct Problem {
    QString code;
    QString words;
};

FileWriteResult failure(const QString &path, const Problem &problem)
{
    return {false, problem.code, QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), problem.words)};
}

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

bool hasNoWriteBit(const struct stat &status)
{
    return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

const Problem kReadOnly{QStringLiteral("read-only"), QStringLiteral("読み取り専用のファイルなので書き換えません")};
const Problem kNotRegular{QStringLiteral("not-regular"), QStringLiteral("通常のファイルではありません")};
const Problem kMissingFolder{QStringLiteral("missing-folder"), QStringLiteral("ファイルを置くフォルダがありません")};
const Problem kNoPermission{QStringLiteral("no-permission"), QStringLiteral("アクセスする権限がありません")};
const Problem kDiskFull{QStringLiteral("disk-full"),
                        QStringLiteral("ディスクの空き容量か書き込める大きさの上限が足りません")};
const Problem kWriteFailed{QStringLiteral("write-failed"), QStringLiteral("書き込みに失敗しました")};

Problem fromErrno(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return kDiskFull;
    case EACCES:
    case EPERM:
        return kNoPermission;
    case EROFS:
        return {QStringLiteral("read-only"), QStringLiteral("読み取り専用の場所にあります")};
    default:
        return kWriteFailed;
    }
}

// Why the file at path cannot be written, judged before any byte is written; the final target of
// any symbolic links goes to target.
std::optional<Problem> checkWritable(const QString &path, QString &target)
{
    QFileInfo info(path);
    target = path;
    if (info.isSymLink()) {
        // Followed link by link, so that a target that does not exist yet is still found.
        int depth = 0;
        while (info.isSymLink()) {
            if (++depth > 40)
                return Problem{QStringLiteral("link-loop"), QStringLiteral("シンボリックリンクが循環しています")};
            info.setFile(info.symLinkTarget());
        }
        target = info.filePath();
    }
    const QFileInfo folder(info.absolutePath());
    if (!folder.isDir())
        return kMissingFolder;
    struct stat status {};
    if (::stat(encoded(target).constData(), &status) != 0)
        return std::nullopt; // a new file
    if (!S_ISREG(status.st_mode))
        return kNotRegular;
    // By the mode bits, not access(): for root access() always says yes.
    if (hasNoWriteBit(status))
        return kReadOnly;
    return std::nullopt;
}

Problem problemOf(const QString &path, QFileDevice::FileError error)
{
    const QFileInfo info(path);
    if (!QFileInfo(info.absolutePath()).isDir())
        return kMissingFolder;
    if (info.exists() && !info.isFile())
        return kNotRegular;
    switch (error) {
    case QFileDevice::NoError:
        break;
    case QFileDevice::OpenError:
        if (!info.exists())
            return {QStringLiteral("file-missing"), QStringLiteral("ファイルがありません")};
        if (::access(encoded(path).constData(), R_OK) != 0)
            return kNoPermission;
        return {QStringLiteral("cannot-open"), QStringLiteral("ファイルを開けませんでした")};
    case QFileDevice::PermissionsError: {
        struct stat status {};
        if (::stat(encoded(path).constData(), &status) == 0 && hasNoWriteBit(status))
            return kReadOnly;
        return kNoPermission;
    }
    case QFileDevice::ReadError:
        return {QStringLiteral("read-failed"), QStringLiteral("読み込みの途中でエラーが起きました")};
    case QFileDevice::WriteError:
        return {QStringLiteral("write-failed"),
                QStringLiteral("書き込みに失敗しました（ディスクの空き容量が足りない可能性があります）")};
    case QFileDevice::ResourceError:
        return kDiskFull;
    case QFileDevice::RenameError:
        return {QStringLiteral("cannot-replace"), QStringLiteral("新しい内容で置き換えられませんでした")};
    default:
        break;
    }
    return {QStringLiteral("io-error"), QStringLiteral("ファイルの読み書きでエラーが起きました")};
}

// The folder entry must reach the disk too, or a crash right after the rename could bring back the
// old file or none at all.
void syncFolderOf(const QString &path)
{
    const int fd = ::open(encoded(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool writeAll(int fd, const char *data, qsizetype size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, static_cast<std::size_t>(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

} // namespace

QString fileProblemText(const QString &path, QFileDevice::FileError error)
{
    return problemOf(path, error).words;
}

FileWriteResult replaceFile(const QString &path, const QByteArray &content)
{
    QString target;
    if (const std::optional<Problem> problem = checkWritable(path, target))
        return failure(path, *problem);
    struct stat old {};
    const bool existed = ::stat(encoded(target).constData(), &old) == 0;
    if (::access(encoded(QFileInfo(target).absolutePath()).constData(), W_OK) != 0)
        return failure(path, {QStringLiteral("no-permission"), QStringLiteral("フォルダに書き込む権限がありません")});
    if (existed && ::access(encoded(target).constData(), W_OK) != 0)
        return failure(path, kNoPermission);

    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return failure(path, problemOf(target, file.error()));
    const auto fail = [&](const Problem &problem) {
        file.cancelWriting();
        return failure(path, problem);
    };
    if (file.write(content) != content.size() || !file.flush() || file.error() != QFileDevice::NoError)
        return fail(problemOf(target, file.error()));
    if (existed) {
        // The temporary belongs to whoever runs the program; the file it replaces may not. chown
        // before chmod: a change of owner may clear mode bits.
        if (::fchown(file.handle(), old.st_uid, old.st_gid) != 0)
            (void)::fchown(file.handle(), static_cast<uid_t>(-1), old.st_gid);
        if (::fchmod(file.handle(), old.st_mode & 07777) != 0)
            return fail(fromErrno(errno));
    }
    if (::fsync(file.handle()) != 0)
        return fail(fromErrno(errno));
    if (!file.commit())
        return failure(path, problemOf(target, file.error()));
    syncFolderOf(target);
    return {};
}

FileWriteResult appendToFile(const QString &path, const QByteArray &content, const QByteArray &headerWhenNew)
{
    QString target;
    if (const std::optional<Problem> problem = checkWritable(path, target))
        return failure(path, *problem);
    if (!QFileInfo::exists(target))
        return replaceFile(target, headerWhenNew + content);

    const int fd = ::open(encoded(target).constData(), O_RDWR | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return failure(path, fromErrno(errno));
    const auto fail = [&](const Problem &problem) {
        ::close(fd);
        return failure(path, problem);
    };
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return fail(fromErrno(errno));
    if (!S_ISREG(status.st_mode))
        return fail(kNotRegular);
    const off_t oldSize = status.st_size;

    QByteArray bytes;
    if (oldSize > 0) {
        char last = 0;
        if (::pread(fd, &last, 1, oldSize - 1) != 1)
            return fail({QStringLiteral("read-failed"), QStringLiteral("読み込みの途中でエラーが起きました")});
        if (last != '\n' && last != '\r')
            bytes.append('\n');
    }
    bytes.append(content);
    if (!writeAll(fd, bytes.constData(), bytes.size()) || ::fsync(fd) != 0) {
        const Problem problem = fromErrno(errno);
        // The old lines stay as they were; a half-written line would be read as a broken record.
        if (::ftruncate(fd, oldSize) == 0)
            ::fsync(fd);
        return fail(problem);
    }
    if (::close(fd) != 0)
        return failure(path, fromErrno(errno));
    return {};
}

} // namespace omvex::platform
