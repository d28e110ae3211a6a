#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// Writing the user's files so that a failure never costs what was there: a replacement goes through
// a temporary file that is synced before it takes the old one's place, an append is cut back when it
// fails, and every failure says in Japanese which file and why.
namespace omvex::platform {

struct FileWriteResult {
    bool ok = true;
    // Stable English when !ok: "read-only", "not-regular", "no-permission", "missing-folder",
    // "disk-full", "write-failed", "cannot-open", "cannot-replace", "link-loop".
    QString code;
    QString message; // Japanese, one line, names the file and says why, when !ok
};

// Replaces the file at path with content atomically: a temporary file in the same folder, written,
// flushed, checked, synced to disk and then renamed over the old one. On any failure the old file
// stays byte for byte, the temporary is removed, and the result says why. An existing file keeps its
// permission bits, owner and group (owner and group as far as the user may set them). A file whose
// mode has no write bit at all is never replaced, whoever runs the program: the user made it
// read-only to keep it. Only a new file or an existing regular file is written; symbolic links are
// followed to their final target, which is the file that gets replaced.
FileWriteResult replaceFile(const QString &path, const QByteArray &content);

// Appends content to path in one write (first a "\n" when the file is non-empty and does not end
// with a line end), then syncs it to disk; on failure the file is cut back to its old size. A file
// that does not exist is created with headerWhenNew before content.
FileWriteResult appendToFile(const QString &path, const QByteArray &content, const QByteArray &headerWhenNew = {});

// Japanese words for why the file at path could not be read or written, from the error the file
// device reported and a few checks of the file itself (missing, its folder missing, not a regular
// file, no permission, read-only). Never the system's English error text.
QString fileProblemText(const QString &path, QFileDevice::FileError error);

} // namespace omvex::platform
