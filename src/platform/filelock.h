#pragma once

#include <QString>

#include <chrono>
#include <cstdint>

namespace omvex::platform {

// An exclusive lock (flock) that writers of one file take, so that two of them never interleave.
// The lock lives on a file of its own that holds no data: created when missing, never deleted
// (deleting it would let a late writer lock a new file while an earlier one still holds the old).
// Programs that do not take the lock, such as a text editor, are not kept out by it.
class FileLock {
public:
    enum class State : std::uint8_t {
        Unlocked,
        Locked,
        Busy,   // another writer holds it
        Failed, // the lock file could not be opened; error() says why
    };

    explicit FileLock(QString lockPath);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    // One attempt, never waiting: what a window must do, so that its event loop never blocks.
    State tryLock();
    // Attempts until the lock is had or wait has passed.
    State lockWithin(std::chrono::milliseconds wait);
    void unlock();

    State state() const { return m_state; }
    int error() const { return m_error; }
    const QString &path() const { return m_path; }

private:
    bool open();

    QString m_path;
    int m_fd = -1;
    int m_error = 0;
    State m_state = State::Unlocked;
};

// flock(LOCK_EX) on a descriptor the caller owns, attempted until wait has passed (zero: once).
// False with errno EWOULDBLOCK when another holder kept it.
bool lockDescriptor(int fd, std::chrono::milliseconds wait);

} // namespace omvex::platform
