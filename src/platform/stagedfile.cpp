#include "platform/fileproblem.h"
#include "platform/safewrite.h"

#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace omvex::platform {

using namespace detail;

namespace {

// The temporary file as a device for the content's producer. Every write either puts all its
// bytes into the file or fails and keeps the errno: a disk that fills part way gives the system's
// write a short count and no error, which a plain file device passes on as a short count that is
// easily taken for success.
class TemporaryDevice final : public QIODevice {
public:
    explicit TemporaryDevice(int fd)
        : m_fd(fd)
    {
        QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    int failedErrno() const { return m_errno; }

protected:
    qint64 readData(char *, qint64) override { return -1; }

    qint64 writeData(const char *data, qint64 size) override
    {
        if (m_errno != 0)
            return -1;
        for (qint64 done = 0; done < size;) {
            const ssize_t written = ::write(m_fd, data + done, static_cast<std::size_t>(size - done));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                m_errno = written < 0 ? errno : EIO;
                setErrorString(QStringLiteral("write failed"));
                return -1;
            }
            done += written;
        }
        return size;
    }

private:
    int m_fd;
    int m_errno = 0;
};

// A new name beside target, so that the rename stays on one file system. Created with O_EXCL, so
// an existing file is never taken over, and with 0666 so that the umask decides a new file's mode.
int createTemporary(const QString &target, QString &temporary)
{
    const QFileInfo info(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = info.absolutePath() + QStringLiteral("/.") + info.fileName() + QLatin1Char('.')
            + QString::number(QRandomGenerator::global()->generate64() & 0xFFFFFFFFFFFFULL, 36);
        const int fd = ::open(encoded(temporary).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

StagedFile::StagedFile(StagedFile &&other) noexcept
    : m_path(std::move(other.m_path))
    , m_target(std::move(other.m_target))
    , m_temporary(std::exchange(other.m_temporary, QString()))
{
}

StagedFile &StagedFile::operator=(StagedFile &&other) noexcept
{
    if (this != &other) {
        discard();
        m_path = std::move(other.m_path);
        m_target = std::move(other.m_target);
        m_temporary = std::exchange(other.m_temporary, QString());
    }
    return *this;
}

void StagedFile::discard()
{
    if (!m_temporary.isEmpty())
        ::unlink(encoded(m_temporary).constData());
    m_temporary.clear();
}

Status StagedFile::commit()
{
    if (m_temporary.isEmpty())
        return failure(m_path, {QStringLiteral("cannot-replace"), QStringLiteral("新しい内容で置き換えられませんでした")});
    if (::rename(encoded(m_temporary).constData(), encoded(m_target).constData()) != 0) {
        const int error = errno;
        discard();
        return failure(m_path, error == EISDIR ? notRegularProblem() : fromErrno(error));
    }
    m_temporary.clear();
    syncFolderOf(m_target);
    return {};
}

Status checkReplaceable(const QString &path, const StageOptions &options)
{
    QString target;
    if (const std::optional<Problem> problem = checkWritable(path, options.followLinks, target))
        return failure(path, *problem);
    if (::access(encoded(QFileInfo(target).absolutePath()).constData(), W_OK) != 0)
        return failure(path, {QStringLiteral("no-permission"), QStringLiteral("フォルダに書き込む権限がありません")});
    return {};
}

Status stageFile(const QString &path, const ContentProducer &produce, StagedFile &staged,
                          const StageOptions &options)
{
    staged.discard();
    if (const Status checked = checkReplaceable(path, options); !checked.ok)
        return checked;
    QString target;
    (void)checkWritable(path, options.followLinks, target);
    struct stat old {};
    const bool existed = ::lstat(encoded(target).constData(), &old) == 0 && S_ISREG(old.st_mode);

    QString temporary;
    const int fd = createTemporary(target, temporary);
    if (fd < 0)
        return failure(path, fromErrno(errno));
    const auto fail = [&](const Problem &problem) {
        ::close(fd);
        ::unlink(encoded(temporary).constData());
        return failure(path, problem);
    };

    TemporaryDevice device(fd);
    if (const Status produced = produce(target, device); !produced.ok) {
        ::close(fd);
        ::unlink(encoded(temporary).constData());
        return produced;
    }
    if (device.failedErrno() != 0)
        return fail(fromErrno(device.failedErrno()));
    if (existed) {
        // The temporary belongs to whoever runs the program; the file it replaces may not. chown
        // before chmod: a change of owner may clear mode bits.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0)
            (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    if (options.mode || existed) {
        if (::fchmod(fd, options.mode.value_or(old.st_mode & 07777)) != 0)
            return fail(fromErrno(errno));
    }
    if (::fsync(fd) != 0)
        return fail(fromErrno(errno));
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(encoded(temporary).constData());
        return failure(path, fromErrno(error));
    }
    staged.m_path = path;
    staged.m_target = target;
    staged.m_temporary = temporary;
    return {};
}

Status stageFile(const QString &path, const QByteArray &content, StagedFile &staged,
                          const StageOptions &options)
{
    return stageFile(
        path,
        [&content](const QString &, QIODevice &out) {
            out.write(content);
            return Status{};
        },
        staged, options);
}

Status replaceFile(const QString &path, const QByteArray &content)
{
    StagedFile staged;
    const Status result = stageFile(path, content, staged);
    return result.ok ? staged.commit() : result;
}

Status replaceFileFrom(const QString &path, const ContentProducer &produce)
{
    StagedFile staged;
    const Status result = stageFile(path, produce, staged);
    return result.ok ? staged.commit() : result;
}

} // namespace omvex::platform
