#include "platform/fileproblem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace omvex::platform::detail {

namespace {

const Problem kMissingFolder{QStringLiteral("missing-folder"), QStringLiteral("ファイルを置くフォルダがありません")};
const Problem kDiskFull{QStringLiteral("disk-full"),
                        QStringLiteral("ディスクの空き容量か書き込める大きさの上限が足りません")};
const Problem kWriteFailed{QStringLiteral("write-failed"), QStringLiteral("書き込みに失敗しました")};

} // namespace

Status failure(const QString &path, const Problem &problem)
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

Problem readOnlyProblem()
{
    return {QStringLiteral("read-only"), QStringLiteral("読み取り専用のファイルなので書き換えません")};
}

Problem notRegularProblem()
{
    return {QStringLiteral("not-regular"), QStringLiteral("通常のファイルではありません")};
}

Problem noPermissionProblem()
{
    return {QStringLiteral("no-permission"), QStringLiteral("アクセスする権限がありません")};
}

Problem fromErrno(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return kDiskFull;
    case EACCES:
    case EPERM:
        return noPermissionProblem();
    case EROFS:
        return {QStringLiteral("read-only"), QStringLiteral("読み取り専用の場所にあります")};
    default:
        return kWriteFailed;
    }
}

std::optional<Problem> checkWritable(const QString &path, bool followLinks, QString &target)
{
    QFileInfo info(path);
    target = path;
    if (followLinks && info.isSymLink()) {
        // Followed link by link, so that a target that does not exist yet is still found.
        int depth = 0;
        while (info.isSymLink()) {
            if (++depth > 40)
                return Problem{QStringLiteral("link-loop"), QStringLiteral("シンボリックリンクが循環しています")};
            info.setFile(info.symLinkTarget());
        }
        target = info.filePath();
    }
    if (!QFileInfo(info.absolutePath()).isDir())
        return kMissingFolder;
    struct stat status {};
    if (::lstat(encoded(target).constData(), &status) != 0)
        return std::nullopt; // a new file
    if (S_ISLNK(status.st_mode))
        return std::nullopt; // only when links are not followed: the link itself is replaced
    if (!S_ISREG(status.st_mode))
        return notRegularProblem();
    // By the mode bits, not access(): for root access() always says yes.
    if (hasNoWriteBit(status))
        return readOnlyProblem();
    if (::access(encoded(target).constData(), W_OK) != 0)
        return noPermissionProblem();
    return std::nullopt;
}

Problem problemOf(const QString &path, QFileDevice::FileError error)
{
    const QFileInfo info(path);
    if (!QFileInfo(info.absolutePath()).isDir())
        return kMissingFolder;
    if (info.exists() && !info.isFile())
        return notRegularProblem();
    switch (error) {
    case QFileDevice::NoError:
        break;
    case QFileDevice::OpenError:
        if (!info.exists())
            return {QStringLiteral("file-missing"), QStringLiteral("ファイルがありません")};
        if (::access(encoded(path).constData(), R_OK) != 0)
            return noPermissionProblem();
        return {QStringLiteral("cannot-open"), QStringLiteral("ファイルを開けませんでした")};
    case QFileDevice::PermissionsError: {
        struct stat status {};
        if (::stat(encoded(path).constData(), &status) == 0 && hasNoWriteBit(status))
            return readOnlyProblem();
        return noPermissionProblem();
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

void syncFolderOf(const QString &path)
{
    const int fd = ::open(encoded(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace omvex::platform::detail
