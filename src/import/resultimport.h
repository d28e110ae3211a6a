#pragma once

#include "history/draws.h"
#include "history/historyload.h"
#include "import/resultfile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace omvex::platform {
class FileLock;
}

namespace omvex {

// Result files and kako.txt larger than this are refused unread: 2,058 draws with twenty columns
// take about 200 KB, so this is far beyond any real file, and still bounds the memory used.
inline constexpr qint64 kMaxImportFileBytes = 64 * 1024 * 1024;

// What an import came to. The tool gives NothingNew and Written exit code 0, Refused 1, WriteFailed 3.
enum class ImportOutcome : std::uint8_t { Written, NothingNew, Refused, WriteFailed };

// How a writer of kako.txt waits for another one to finish. The tool retries for kKakoLockRetry; a
// window tries once, so that its event loop never waits on another program.
enum class LockWait : std::uint8_t { Once, Retry };
inline constexpr std::chrono::milliseconds kKakoLockRetry{3000};

// kako.txt as an import planned from it, so that the write can tell whether it changed since.
struct KakoSnapshot {
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedSeconds = 0;
    qint64 modifiedNanoseconds = 0;
    QByteArray sha256; // of the bytes read
};

// Everything an import will do, worked out before anything is written, so that the window can show
// it and ask first.
struct ImportPlan {
    QString sourcePath; // or the label of bytes planned from memory
    QString kakoPath;
    bool replace = false;

    QString format;   // "kako" or "dated"; empty when the file held no draw
    QString encoding; // "UTF-8", "Shift-JIS", "UTF-16LE" or "UTF-16BE"; empty when the file could not be read
    bool byHeader = false; // the columns were found by their names
    // Different draws in the file (one given twice counts once) = added + unchanged + replaced + conflicting.
    int read = 0;
    int added = 0;
    int unchanged = 0;
    int conflicting = 0; // held by kako.txt with other numbers, and not replaced
    std::vector<int> replaced; // draw numbers whose numbers the file replaces, ascending
    HeldDraws held;            // what kako.txt holds after the import: as it is now when nothing is written

    std::vector<ImportError> errors; // the first 100 by line; any error refuses the import
    int moreErrors = 0;

    KakoSnapshot kako;
    QByteArray previousContent; // kako.txt as it was read for this plan
    QByteArray content;         // kako.txt after the import; empty unless it changes

    bool isRefused() const { return !errors.empty(); }
    bool changesKako() const { return !isRefused() && !content.isEmpty(); }
};

// Reads and checks the result file at sourcePath and merges it into the history that kako.txt at
// kakoPath gives the reader. replace lets the file's numbers win over different ones in kako.txt.
// Writes nothing. kako.txt is read under the writers' lock (see writeImport); when another writer
// holds it, the plan is refused with the error "busy".
ImportPlan planImport(const QString &sourcePath, const QString &kakoPath, bool replace,
                      LockWait wait = LockWait::Retry);

// The same for a results file already in memory (standard input, a download, a typed draw); label
// names it where the file's path would stand.
ImportPlan planImportData(const QByteArray &bytes, const QString &label, const QString &kakoPath, bool replace,
                          LockWait wait = LockWait::Retry);

// The same for draws already read (readResultFile): label stands for them in the summary. An error
// already in file refuses the plan like one found in a results file.
ImportPlan planImportDraws(ResultFile file, const QString &label, const QString &kakoPath, bool replace,
                           LockWait wait = LockWait::Retry);

// kako.txt read as the window and the tool read it: the history load, with the results-file reader
// asked whether a first line that stopped the reading is the heading of a results file.
HistoryLoad loadKako(const QString &path, CellGrid &grid, HistoryHash hash = HistoryHash::Compute);
// The same for kako.txt's bytes, already read; listener (if any) is told of each row.
HistoryLoad loadKako(const QString &path, const QByteArray &content, CellGrid &grid, RowListener *listener = nullptr);

struct ImportWriteResult {
    ImportOutcome outcome = ImportOutcome::NothingNew;
    QString backupPath; // where the previous kako.txt was kept; empty when none was made
    QString code;       // stable English reason when nothing was written ("busy", "changed", "lock" or the file layer's code)
    QString message;    // Japanese, when nothing was written
};

// The one way kako.txt is rewritten, whatever brought the draws (a results file, a draw typed in, a
// download): carries out a plan, writing nothing when it is refused or adds nothing. Otherwise,
// holding the lock "kako.txt.lock" beside kako.txt (wait says how long to wait for it; another
// writer holding it refuses with code "busy"):
//   1. checks that kako.txt, its folder and the name kako.txt.bak can be written (code of the file
//      layer, WriteFailed), so that a refused write changes nothing, the backup included;
//   2. writes the new backup (kako.txt as planned from, with kako.txt's permission bits) and the new
//      kako.txt to temporary files and syncs both;
//   3. compares kako.txt with what the plan was made from (size, time, SHA-256): an edit saved in
//      the meantime, which takes no lock, refuses the write (code "changed") and is kept;
//   4. renames the backup over the name kako.txt.bak (never through a link standing there), then
//      the new kako.txt over the old.
// Refused outcomes ("busy", "changed") change no file; WriteFailed ones leave kako.txt as it was.
ImportWriteResult writeImport(const ImportPlan &plan, LockWait wait = LockWait::Retry);

// "kako.txt.lock" beside kako.txt: created when missing, never deleted, holds no data.
QString kakoLockPath(const QString &kakoPath);
// Takes the writers' lock as wait says; otherwise the error to report ("busy" or "lock").
std::optional<ImportError> lockKako(platform::FileLock &lock, LockWait wait);
// What the plan remembers of kako.txt at kakoPath, whose bytes were read as content.
KakoSnapshot snapshotKako(const QString &kakoPath, const QByteArray &content);

// A few lines for people: what was read, what changes, what kako.txt holds, where the backup is.
QString importSummaryText(const ImportPlan &plan, const ImportWriteResult *written = nullptr);

// One line per kept error ("12行目: 本数字3の「44」は…", "2〜1198行目: …（1197件）"), then how many
// more there were.
QStringList importErrorTexts(const ImportPlan &plan);

} // namespace omvex
