// The result-file reader, the merge and the kako.txt warnings on arbitrary bytes: they must end,
// stay within their bounds and pass on only valid draws; and whatever the merge writes, the history
// reader must read back to the very draws and rows it was made from.
#include "engine/tables.h"
#include "history/historystatus.h"
#include "history/importmerge.h"
#include "history/resultfile.h"
#include "history/resultimport.h"

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
    check(file.encoding == QLatin1String("UTF-8") || file.encoding == QLatin1String("Shift-JIS"));
    check(file.draws.empty() || !file.format.isEmpty());
    const auto &errors = file.errors.errors();
    check(errors.size() <= ImportErrorList::kKept && (file.errors.moreCount() == 0 || errors.size() == ImportErrorList::kKept));
    for (std::size_t i = 0; i < errors.size(); ++i) {
        check(errors[i].line >= 1 && codes.count(errors[i].code) == 1 && !errors[i].message.isEmpty());
        check(i == 0 || errors[i - 1].line <= errors[i].line);
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
    check(read.complete && read.records == merge.held.count);
    std::size_t next = 0;
    for (int row = 1; row <= std::max(history.rowCount(), again.rowCount()); ++row) {
        if (next < draws.size() && draws[next].draw == row) {
            const SourceDraw &draw = draws[next++];
            for (int k = 0; k < kPicks; ++k)
                check(again.number(k + 1, row) == draw.main[static_cast<std::size_t>(k)]);
            check(again.number(kHistoryColumns, row) == draw.bonus);
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
