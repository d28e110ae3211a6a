#pragma once

#include "platform/safewrite.h"

#include <QFileDevice>
#include <QString>

#include <optional>

#include <sys/stat.h>

// The shared words of the file writers: why a file cannot be written, from an errno, a file
// device's error or the file itself.
namespace omvex::platform::detail {

struct Problem {
    QString code;
    QString words;
};

Status failure(const QString &path, const Problem &problem);
QByteArray encoded(const QString &path);
bool hasNoWriteBit(const struct stat &status);

Problem readOnlyProblem();
Problem notRegularProblem();
Problem noPermissionProblem();
Problem fromErrno(int error);
Problem problemOf(const QString &path, QFileDevice::FileError error);

// Why the file at path cannot be written, judged before any byte is written; the final target of
// any symbolic links goes to target (path itself when links are not followed).
std::optional<Problem> checkWritable(const QString &path, bool followLinks, QString &target);

// The folder entry must reach the disk too, or a crash right after a rename could bring back the
// old file or none at all.
void syncFolderOf(const QString &path);

} // namespace omvex::platform::detail
