#pragma once

#include "platform/problem.h"
#include "platform/services.h"

#include <QString>

namespace omvex {


// Opens the history file in the text editor: creates an empty kakoFilePath first when it does not
// exist (never overwriting), then starts notepadPath with kakoFilePath as its one argument.
Status openHistoryInEditor(const QString &notepadPath, const QString &kakoFilePath,
                                      platform::ProcessStarter &starter);

} // namespace omvex
