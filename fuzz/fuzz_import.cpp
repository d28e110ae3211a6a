// The result-file reader, the merge and the kako.txt warnings on arbitrary bytes: they must end,
// stay within their bounds and pass on only valid draws; and whatever the merge writes, the history
// reader must read back to the very draws and rows it was made from.
#include "engine/tables.h"
#include "history/historystatus.h"
#include "import/importmerge.h"
#include "import/resultfile.h"
#include "import/resultimport.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>

namespace {

using namespace omvex;

void check(bool condition)
{
    if (!condition)
        std::abort();
}

CellGrid emptyHistory()
{
    PredictionTables tables;
    resetGridForStartUp(tables.history, false);
    return tables.history;
}

void checkResultFile(const ResultFile &file)
{
    static const std::set<std::string> codes{"draw", "number", "repeated", "bonus", "date", "conflict"};
    static const std::set<std::string> kinds{"json", "html", "image", "archive", "binary"};
    static const std::set<QString> encodings{"UTF-8", "Shift-JIS", "UTF-16LE", "UTF-16BE"};
    check(file.draws.empty() || !file.format.isEmpty());
    const auto &errors = file.errors.errors();
    check(errors.size() <= ImportErrorList::kKept && (file.errors.moreCount() == 0 || errors.size() == ImportErrorList::kKept));
    // A file that is no results file is one problem and nothing else.
    if (!errors.empty() && errors.front().code == "not-results") {
        check(errors.size() == 1 && errors.front().line == 0 && kinds.count(errors.front().kind) == 1);
        check(file.draws.empty() && file.format.isEmpty());
        return;
    }
    check(encodings.count(file.encoding) == 1);
    for (std::size_t i = 0; i < errors.size(); ++i) {
        const ImportError &error = errors[i];
        check(error.line >= 1 && codes.count(error.code) == 1 && !error.message.isEmpty() && error.kind.empty());
        check(error.count >= 1 && error.lastLine >= error.line && (error.count == 1) == (error.lastLine == error.line));
        check(i == 0 || errors[i - 1].line <= error.line);
    }
    for (std::size_t i = 0; i < file.draws.size(); ++i) {
        const SourceDraw &draw = file.draws[i];
        check(isUsableDraw(draw.main, draw.bonus) && draw.draw >= 1 && draw.draw <= kMaxDrawNumber && draw.line >= 1);
        check(i == 0 || file.draws[i - 1].draw < draw.draw);
    }
}

void checkWarnings(const HistoryLoad &load)
{
    const std::vector<HistoryWarning> &warnings = load.warnings;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < warnings.size(); ++i) {
        check(seen.insert(warnings[i].code).second && warnings[i].line >= 0);
        check(!warnings[i].message.isEmpty() && !warnings[i].statusText.isEmpty());
        check(i == 0 || warnings[i - 1].line <= warnings[i].line);
    }
    check(!historyStatusText(load.draws, load.read, warnings).isEmpty());
}

// A cell of 255 characters may be what is left of a longer field, which no file can give back.
bool isCut(const std::string &text)
{
    return text.size() >= 255;
}

void checkMergeReadsBack(const CellGrid &history, const std::vector<SourceDraw> &draws)
{
    ImportErrorList errors;
    const ImportMerge merge = mergeDraws(history, DrawHistory::fromGrid(history), draws, true, errors);
    check(errors.isEmpty());
    check(merge.added + merge.unchanged + static_cast<int>(merge.replaced.size()) == static_cast<int>(draws.size()));

    CellGrid again = emptyHistory();
    const HistoryReadResult read =
        readDrawHistory(std::string_view(merge.content.constData(), static_cast<std::size_t>(merge.content.size())), again);
    check(read.complete && read.storedRows == merge.held.count);
    std::size_t next = 0;
    for (int row = 1; row <= std::max(history.rowCount(), again.rowCount()); ++row) {
        if (next < draws.size() && draws[next].draw == row) {
            // A draw kako.txt already holds stays in kako.txt's order of numbers: the same six as a set.
            const SourceDraw &draw = draws[next++];
            std::multiset<double> read;
            std::multiset<double> given;
            for (int k = 0; k < kPicks; ++k) {
                read.insert(again.number(k + 1, row));
                given.insert(draw.main[static_cast<std::size_t>(k)]);
            }
            check(read == given && again.number(kHistoryColumns, row) == draw.bonus);
            continue;
        }
        for (int column = 1; column <= kHistoryColumns; ++column) {
            const std::string before = history.text(column, row);
            check(isCut(before) || before == again.text(column, row));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const ResultFile file = readResultFile(bytes);
    checkResultFile(file);

    CellGrid history = emptyHistory();
    checkWarnings(loadKako(QStringLiteral("kako.txt"), bytes, history));

    checkMergeReadsBack(emptyHistory(), file.draws);
    checkMergeReadsBack(history, file.draws);
    return 0;
}
