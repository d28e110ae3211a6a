// The history reader on arbitrary bytes: it must end, keep its result consistent, and leave the grid
// exactly as performing every grid operation in file order would.
#include "engine/tables.h"
#include "history/historyreader.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool sameGrid(const omvex::CellGrid &a, const omvex::CellGrid &b)
{
    if (a.rowCount() != b.rowCount() || a.activeRow() != b.activeRow() || a.activeColumn() != b.activeColumn())
        return false;
    for (int row = 1; row <= a.rowCount(); ++row) {
        for (int column = 1; column <= a.columnCount(); ++column) {
            const bool empty = a.isEmpty(column, row);
            if (empty != b.isEmpty(column, row) || (!empty && a.text(column, row) != b.text(column, row)))
                return false;
        }
    }
    return true;
}

bool hasLongDigitRun(std::string_view content)
{
    int run = 0;
    for (const char c : content) {
        run = c >= '0' && c <= '9' ? run + 1 : 0;
        if (run >= 4)
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view content(reinterpret_cast<const char *>(data), size);
    omvex::PredictionTables tables;
    const omvex::HistoryReadResult result = omvex::readDrawHistory(content, tables.history);

    check(result.opened);
    check(result.storedRows >= 0);
    check(tables.history.rowCount() <= omvex::kMaxDrawNumber);
    if (result.complete) {
        check(result.stopLine == 0 && result.stopField == 0 && result.reason.empty() && result.code.empty());
    } else {
        check(result.stopLine >= 1 && result.stopField >= 1 && result.stopField <= 8 && !result.reason.empty());
        check(!result.code.empty() && !result.message.isEmpty());
    }
    // The grid keeps room for no more texts than its table has cells.
    check(tables.history.textSlotCount()
          <= static_cast<std::size_t>(std::max(tables.history.rowCount(), 1000) * tables.history.columnCount()));

    // Performed one operation at a time, a few jumps between high and low draw numbers already cost
    // millions of cell operations; inputs with draw numbers below 1000 exercise the same lowerings
    // and raisings at a speed that lets the fuzzer explore.
    if (size <= 1024 && !hasLongDigitRun(content)) {
        omvex::PredictionTables plain;
        const omvex::HistoryReadResult direct =
            omvex::readDrawHistory(content, plain.history, omvex::HistoryApply::Direct);
        check(sameGrid(tables.history, plain.history));
        check(direct.storedRows == result.storedRows && direct.complete == result.complete);
        check(direct.stopLine == result.stopLine && direct.stopField == result.stopField);
    }
    return 0;
}
