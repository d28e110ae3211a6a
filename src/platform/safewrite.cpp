#include "platform/safewrite.h"
#include "platform/filelock.h"
#include "platform/fileproblem.h"

#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace omvex::platform {

using namespace detail;

namespace {

// How long an append waits for another writer of the same file: that one holds the lock only for
// the time one write and one sync take.
constexpr std::chrono::milliseconds kAppendLockWait{3000};

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

Status appendToFile(const QString &path, const QByteArray &content, const QByteArray &headerWhenNew,
                             qint64 maxBytes)
{
    QString target;
    if (const std::optional<Problem> problem = checkWritable(path, true, target))
        return failure(path, *problem);

    // Created and appended through one descriptor, and locked on it: writers that start together on
    // a missing file all append to the one file, and only the first finds it empty.
    const int fd = ::open(encoded(target).constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return failure(path, fromErrno(errno));
    const auto fail = [&](const Problem &problem) {
        ::close(fd);
        return failure(path, problem);
    };
    if (!lockDescriptor(fd, kAppendLockWait)) {
        if (errno == EWOULDBLOCK)
            return fail({QStringLiteral("busy"), QStringLiteral("ほかの書き込みが終わりません")});
        return fail(fromErrno(errno));
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return fail(fromErrno(errno));
    if (!S_ISREG(status.st_mode))
        return fail(notRegularProblem());
    const off_t oldSize = status.st_size;

    QByteArray bytes;
    if (oldSize == 0) {
        bytes = headerWhenNew;
    } else {
        char last = 0;
        if (::pread(fd, &last, 1, oldSize - 1) != 1)
            return fail({QStringLiteral("read-failed"), QStringLiteral("読み込みの途中でエラーが起きました")});
        if (last != '\n' && last != '\r')
            bytes.append('\n');
    }
    bytes.append(content);
    if (maxBytes >= 0 && oldSize + bytes.size() > maxBytes)
        return fail({QStringLiteral("too-large"),
                     QStringLiteral("これ以上書き足すと読み込める大きさ（%1 MB）を超えるため、書き足しません")
                         .arg(maxBytes / (1024 * 1024))});
    if (!writeAll(fd, bytes.constData(), bytes.size()) || ::fsync(fd) != 0) {
        const Problem problem = fromErrno(errno);
        // The old lines stay as they were; a half-written line would be read as a broken record.
        if (::ftruncate(fd, oldSize) == 0)
            ::fsync(fd);
        return fail(problem);
    }
    if (oldSize == 0)
        syncFolderOf(target);
    if (::close(fd) != 0)
        return failure(path, fromErrno(errno));
    return {};
}

} // namespace omvex::platform
