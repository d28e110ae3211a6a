#pragma once

#include "platform/services.h"

#include <QString>

namespace omvex {

struct EditorStartResult {
    bool ok = true;
    QString error; // for the user, in Japanese, naming the file or the program
};

// Opens the history file in the text editor: creates an empty kakoFilePath first when it does not
// exist (never overwriting), then starts notepadPath with kakoFilePath as its one argument.
EditorStartResult openHistoryInEditor(const QString &notepadPath, const QString &kakoFilePath,
                                      platform::ProcessStarter &starter);

} // namespace omvex
