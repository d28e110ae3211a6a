#pragma once

#include "platform/problem.h"

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <functional>
#include <optional>

#include <sys/types.h>

// Writing the user's files so that a failure never costs what was there: a replacement goes through
// a temporary file that is synced before it takes the old one's place, an append is cut back when it
// fails, and every failure says in Japanese which file and why.
namespace omvex::platform {

// A write's Status names the file. Its codes: "read-only", "not-regular", "no-permission",
// "missing-folder", "disk-full", "write-failed", "cannot-open", "cannot-replace", "link-loop",
// "busy", "too-large".
using omvex::Status;

// Writes the content of a replacement to out. Every byte written to out reaches the file or the
// write fails; a failure it returns is passed on, and the old file is kept. target is the file being
// replaced (symbolic links followed unless told otherwise; it may not exist yet).
using ContentProducer = std::function<Status(const QString &target, QIODevice &out)>;

// How a replacement treats the name it replaces.
struct StageOptions {
    // false: the name itself is replaced, and a symbolic link standing there is replaced by the new
    // file instead of being written through. A backup is made this way, so that a link placed under
    // its name can neither redirect the write nor point the backup at the file it backs up.
    bool followLinks = true;
    // The new file's permission bits; by default those of the file it replaces (a new file gets
    // what the user's umask allows).
    std::optional<mode_t> mode;
};

class StagedFile;

// Replaces the file at path with content atomically: a temporary file in the same folder, written
// to the last byte (a write cut short by a full disk is a failure, never a shorter file), synced to
// disk and then renamed over the old one. On any failure the old file stays byte for byte, the
// temporary is removed, and the result says why. An existing file keeps its permission bits, owner
// and group (owner and group as far as the user may set them). A file whose mode has no write bit at
// all is never replaced, whoever runs the program: the user made it read-only to keep it. Only a new
// file or an existing regular file is written; symbolic links are followed to their final target,
// which is the file that gets replaced.
Status replaceFile(const QString &path, const QByteArray &content);

// replaceFile for content made piece by piece, typically from the old file.
Status replaceFileFrom(const QString &path, const ContentProducer &produce);

// Why path cannot be replaced (read-only, not a regular file, the folder or the file not writable),
// judged before any byte is written; ok when it can.
Status checkReplaceable(const QString &path, const StageOptions &options = {});

// The first half of a replacement: checks, writes and syncs the temporary file into staged, whose
// commit() then puts it in place. Several files can so be made ready before any of them replaces
// its old one.
Status stageFile(const QString &path, const ContentProducer &produce, StagedFile &staged,
                          const StageOptions &options = {});
Status stageFile(const QString &path, const QByteArray &content, StagedFile &staged,
                          const StageOptions &options = {});

// A replacement written and synced to disk but not yet in place. Dropped without commit(), it
// removes its temporary file.
class StagedFile {
public:
    StagedFile() = default;
    StagedFile(StagedFile &&other) noexcept;
    StagedFile &operator=(StagedFile &&other) noexcept;
    StagedFile(const StagedFile &) = delete;
    StagedFile &operator=(const StagedFile &) = delete;
    ~StagedFile() { discard(); }

    bool isStaged() const { return !m_temporary.isEmpty(); }
    // Renames the temporary over the target and syncs the folder; on failure the temporary is removed
    // and the old file stays.
    Status commit();
    void discard();

private:
    friend Status stageFile(const QString &, const ContentProducer &, StagedFile &, const StageOptions &);
    QString m_path;      // as the caller named it, for messages
    QString m_target;    // what the rename replaces
    QString m_temporary; // empty unless staged
};

// Appends content to path in one write (first a "\n" when the file is non-empty and does not end
// with a line end), then syncs it to disk; on failure the file is cut back to its old size. The file
// is opened (created when missing) for appending and locked on that same descriptor, so that writers
// running at once each add their lines whole; headerWhenNew goes before content when the locked file
// is empty. A file that would grow beyond maxBytes (when not negative) is left as it is
// ("too-large").
Status appendToFile(const QString &path, const QByteArray &content, const QByteArray &headerWhenNew = {},
                             qint64 maxBytes = -1);

// Japanese words for why the file at path could not be read or written, from the error the file
// device reported and a few checks of the file itself (missing, its folder missing, not a regular
// file, no permission, read-only). Never the system's English error text.
QString fileProblemText(const QString &path, QFileDevice::FileError error);

} // namespace omvex::platform
