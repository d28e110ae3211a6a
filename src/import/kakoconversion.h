#pragma once

// A kako.txt that is itself a results file (a header line, or the newest draw first), rewritten as
// the history reader wants it: every draw once, oldest first. The original keeps its dates and
// prize columns, so it stays beside it as kako.txt.orig, which no import overwrites.

#include "import/resultimport.h"

#include <QString>

namespace omvex {

// Whether kako.txt reads as a results file with no problem but not as a history: what a
// conversion is for. False for a missing or unreadable file.
bool isKakoResultsFile(const QString &kakoPath);

// kako.txt read as a results file and planned onto an empty history; refused when it has problems.
ImportPlan planConversion(const QString &kakoPath, LockWait wait = LockWait::Retry);

// Keeps the original as kako.txt.orig (refusing when a different one is there already), then
// writes the plan as an import does.
ImportWriteResult writeConversion(const ImportPlan &plan, LockWait wait = LockWait::Retry);

QString conversionOrigPath(const QString &kakoPath);

} // namespace omvex
