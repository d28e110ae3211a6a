#pragma once

#include "history/draws.h"
#include "history/historyload.h"
#include "history/resultfile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace omvex {

// Result files and kako.txt larger than this are refused unread: 2,058 draws with twenty columns
// take about 200 KB, so this is far beyond any real file, and still bounds the memory used.
inline constexpr qint64 kMaxImportFileBytes = 64 * 1024 * 1024;

// What an import came to. The tool gives NothingNew and Written exit code 0, Refused 1, WriteFailed 3.
enum class ImportOutcome : std::uint8_t { Written, NothingNew, Refused, WriteFailed };

// Everything an import will do, worked out before anything is written, so that the window can show
// it and ask first.
struct ImportPlan {
    QString sourcePath;
    QString kakoPath;
    bool replace = false;

    QString format;   // "kako" or "dated"; empty when the file held no draw
    QString encoding; // "UTF-8" or "Shift-JIS"; empty when the file could not be read
    int read = 0;     // different draws in the file (one given twice counts once) = added + unchanged + replaced
    int added = 0;
    int unchanged = 0;
    std::vector<int> replaced; // draw numbers whose numbers the file replaces, ascending
    HeldDraws held;            // what kako.txt holds after the import: as it is now when nothing is written

    std::vector<ImportError> errors; // the first 100 by line; any error refuses the import
    int moreErrors = 0;

    bool kakoExisted = false;
    bool kakoRead = false;      // previousContent holds what kako.txt held
    QByteArray previousContent; // kako.txt as it was read for this plan
    QByteArray content;         // kako.txt after the import; empty unless it changes

    bool isRefused() const { return !errors.empty(); }
    bool changesKako() const { return !isRefused() && !content.isEmpty(); }
};

// Reads and checks the result file at sourcePath and merges it into the history that kako.txt at
// kakoPath gives the reader. replace lets the file's numbers win over different ones in kako.txt.
// Writes nothing.
// kako.txt read as the window and the tool read it: the history load, with the results-file reader
// asked whether a first line that stopped the reading is the heading of a results file.
HistoryLoad loadKako(const QString &path, CellGrid &grid);
// The same for kako.txt's bytes, already read.
HistoryLoad loadKako(const QString &path, const QByteArray &content, CellGrid &grid);

ImportPlan planImport(const QString &sourcePath, const QString &kakoPath, bool replace);

struct ImportWriteResult {
    ImportOutcome outcome = ImportOutcome::NothingNew;
    QString backupPath; // where the previous kako.txt was kept; empty when none was made
    QString code;       // stable English reason when the write failed ("changed" or the file layer's code)
    QString message;    // Japanese, when nothing was written
};

// Carries out a plan: nothing when it is refused or adds nothing; otherwise the previous kako.txt
// goes to kako.txt.bak and the new content replaces kako.txt, each atomically. A kako.txt that
// changed since the plan was made is left alone.
ImportWriteResult writeImport(const ImportPlan &plan);

// A few lines for people: what was read, what changes, what kako.txt holds, where the backup is.
QString importSummaryText(const ImportPlan &plan, const ImportWriteResult *written = nullptr);

// One line per kept error ("12行目: 本数字3の「44」は…"), then how many more there were.
QStringList importErrorTexts(const ImportPlan &plan);

} // namespace omvex
