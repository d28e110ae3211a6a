#pragma once

#include "platform/problem.h"
#include "engine/game.h"
#include "engine/settings.h"
#include "history/draws.h"
#include "platform/safewrite.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

// The proposal record "kiroku.txt": one line per proposal, appended after every prediction run so
// that the proposals can later be held against the draws they were meant for. The program only
// ever appends; the user may edit the file, so reading skips what it cannot read and says where.
namespace omvex::analysis {

inline constexpr char kRecordFileName[] = "kiroku.txt";
// The first line of a new file; lines starting with '#' are skipped when reading.
inline constexpr char kRecordHeader[] = "# time,draw,level,pattern,kako,pass,n1,n2,n3,n4,n5,n6\n";

// Reading refuses larger files: even decades of daily runs stay far below, and every entry read
// costs memory.
inline constexpr qint64 kMaxRecordBytes = 64LL * 1024 * 1024;
// Lines longer than this cannot be a proposal and are skipped without being split.
inline constexpr int kMaxRecordLineBytes = 256;
// Line warnings kept; one more warning counts the rest, so a file of garbage costs no memory.
inline constexpr int kMaxRecordWarnings = 100;

using Proposal = std::array<int, kPicks>;

struct RecordEntry {
    int line = 0;    // 1-based line of the file
    QDateTime time;  // with the offset it was written with
    int draw = 0;    // the draw the proposal is meant for
    Settings settings;
    int pass = 1;    // 1 or 2
    Proposal numbers{}; // ascending, distinct, 1..43
};

// code: "fields", "time", "draw", "settings", "pass", "numbers", "too-long", "more-skipped",
// "too-large", "not-regular", "cannot-read"; message names the line.
struct RecordWarning : Problem {};

struct RecordRead {
    QString path;
    bool exists = false;  // no file yet is no problem: nothing has been recorded
    bool readable = true; // false when the file exists but could not be read at all
    std::vector<RecordEntry> entries; // in file order
    std::vector<RecordWarning> warnings;
};

// "2026-12-07T18:30:05+09:00": always the offset as ±hh:mm, also for UTC.
QString recordTimeText(const QDateTime &time);

// The draw a proposal made now is meant for: one after the latest usable draw. Nothing when the
// history holds no usable draw: a proposal recorded for draw 1 would later be scored against the
// first draw ever held.
std::optional<int> nextDrawFor(const DrawHistory &history);

// What the window and the tool say when nothing is recorded for want of a history.
inline constexpr char kNoHistoryToRecord[] = "過去データがないため予想を記録しません";

// The lines of one run, pass 1 then pass 2, each ending in "\n"; the numbers in ascending order.
QByteArray formatRecord(const QDateTime &now, int draw, const Settings &settings,
                        const std::array<Proposal, 2> &proposals);

// Appends one run's lines in one write; a new or empty file gets the header first. On failure the
// file keeps its old bytes and the result says why in Japanese.
Status appendRecord(const QString &path, const QDateTime &now, int draw,
                                       const Settings &settings, const std::array<Proposal, 2> &proposals);

// The entries of a record file's content; never stops at a bad line.
RecordRead parseRecord(std::string_view content);

// The record file at path; a missing file gives no entries and no warning.
RecordRead readRecord(const QString &path);

// readRecord for a record of any size: hands each entry to take, the last line's first, and keeps
// none (the reading it returns has no entries). Memory stays within the file's size and a few
// bytes per entry.
RecordRead readRecordNewestFirst(const QString &path, const std::function<void(const RecordEntry &)> &take);

} // namespace omvex::analysis
