// The record reader on arbitrary bytes: it must end, keep only entries that are proposals, keep its
// warnings bounded, and read back exactly what the writer makes of every entry it accepted.
#include "analysis/journal.h"
#include "analysis/record.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool isProposal(const omvex::analysis::Proposal &numbers)
{
    return numbers.front() >= 1 && numbers.back() <= omvex::kHighestNumber
        && std::adjacent_find(numbers.begin(), numbers.end(), std::greater_equal<>()) == numbers.end();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace omvex::analysis;
    const RecordRead read = parseRecord(std::string_view(reinterpret_cast<const char *>(data), size));

    check(read.warnings.size() <= static_cast<std::size_t>(kMaxRecordWarnings) + 1);
    int lastLine = 0;
    QByteArray written;
    for (const RecordEntry &entry : read.entries) {
        check(entry.line > lastLine);
        lastLine = entry.line;
        check(entry.time.isValid() && entry.draw >= 1 && (entry.pass == 1 || entry.pass == 2));
        check(isProposal(entry.numbers));
        const QByteArray lines = formatRecord(entry.time, entry.draw, entry.settings, {entry.numbers, entry.numbers});
        written += entry.pass == 1 ? lines.left(lines.indexOf('\n') + 1) : lines.mid(lines.indexOf('\n') + 1);
    }
    for (const RecordWarning &warning : read.warnings)
        check(warning.line >= 0 && !warning.code.empty() && !warning.message.isEmpty());

    const RecordRead again = parseRecord(std::string_view(written.constData(), static_cast<std::size_t>(written.size())));
    check(again.warnings.empty() && again.entries.size() == read.entries.size());
    for (std::size_t i = 0; i < again.entries.size(); ++i) {
        const RecordEntry &a = read.entries[i];
        const RecordEntry &b = again.entries[i];
        check(b.line == static_cast<int>(i) + 1);
        check(a.time == b.time && a.time.offsetFromUtc() == b.time.offsetFromUtc());
        check(a.draw == b.draw && a.settings == b.settings && a.pass == b.pass && a.numbers == b.numbers);
    }

    omvex::CellGrid history(omvex::kHistoryColumns, 2);
    for (int column = 1; column <= omvex::kHistoryColumns; ++column)
        history.setNumber(column, 2, column);
    const Journal journal = scoreJournal(read, history);
    check(journal.scored + journal.pending + journal.missing == static_cast<int>(read.entries.size()));
    check(journal.comparison.has_value() == (journal.scored > 0));
    // Runs newest first; the lines of one run (the same time and draw) in the order written.
    for (std::size_t i = 1; i < journal.entries.size(); ++i) {
        const RecordEntry &x = journal.entries[i - 1].record;
        const RecordEntry &y = journal.entries[i].record;
        const bool sameRun = x.time == y.time && x.draw == y.draw;
        check(sameRun ? x.line < y.line : x.line > y.line);
    }
    return 0;
}
