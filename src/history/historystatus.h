#pragma once

#include "history/draws.h"
#include "history/drawhistory.h"
#include "history/historywarnings.h"

#include <QString>

#include <vector>

namespace omvex {

// Why the reader stopped before the end, in Japanese ("回号が数字ではありません"); empty when it
// did not stop early.
QString readStopReason(const HistoryReadResult &read);

// The one-line status after a load: how many draws the history holds and which, and the first
// problem by line, if any ("過去データ: 2058回分（第1回〜第2058回）").
QString historyStatusText(const DrawHistory &draws, const HistoryReadResult &read,
                          const std::vector<HistoryWarning> &warnings);

} // namespace omvex
