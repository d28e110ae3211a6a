#include "platform/filelock.h"

#include <QFile>

#include <cerrno>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace omvex::platform {

namespace {

// Short enough that a writer that just finished is noticed at once, long enough not to spin.
constexpr std::chrono::milliseconds kRetryPause{20};

} // namespace

bool lockDescriptor(int fd, std::chrono::milliseconds wait)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(kRetryPause);
    }
}

FileLock::FileLock(QString lockPath)
    : m_path(std::move(lockPath))
{
}

FileLock::~FileLock()
{
    unlock();
}

bool FileLock::open()
{
    if (m_fd >= 0)
        return true;
    const QByteArray name = QFile::encodeName(m_path);
    // O_NOFOLLOW: a link placed under the lock's name must not make the program create a file
    // elsewhere. A lock file the user may not write is still good for locking.
    m_fd = ::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (m_fd < 0 && (errno == EACCES || errno == EROFS))
        m_fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (m_fd < 0) {
        m_error = errno;
        m_state = State::Failed;
        return false;
    }
    return true;
}

FileLock::State FileLock::tryLock()
{
    return lockWithin(std::chrono::milliseconds(0));
}

FileLock::State FileLock::lockWithin(std::chrono::milliseconds wait)
{
    if (m_state == State::Locked)
        return m_state;
    if (!open())
        return m_state;
    if (lockDescriptor(m_fd, wait)) {
        m_state = State::Locked;
    } else {
        m_error = errno;
        m_state = m_error == EWOULDBLOCK ? State::Busy : State::Failed;
    }
    return m_state;
}

void FileLock::unlock()
{
    // Closing the descriptor releases the lock; the file stays for the next writer.
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (m_state == State::Locked)
        m_state = State::Unlocked;
}

} // namespace omvex::platform
