#include "analysis/stats.h"

#include "analysis/chance.h"
#include "analysis/distributions.h"
#include "history/draws.h"

#include <algorithm>

#include <vector>

namespace omvex::analysis {

namespace {

// Each draw holds a given number as a main number with chance 6/43 and as the bonus with chance
// 1/43 (by symmetry), independently of other draws: the counts are binomial. Returns the chance of
// a count outside the range.
double band(int draws, double p, double *expected, double *low, double *high)
{
    *expected = draws * p;
    const CountInterval range = binomialInterval95(draws, p);
    *low = static_cast<double>(range.low);
    *high = static_cast<double>(range.high);
    return binomialOutsideChance(draws, p, range);
}

} // namespace

HistoryStats historyStats(const CellGrid &history, std::optional<int> last)
{
    HistoryStats stats;
    std::vector<Draw> draws;
    std::vector<int> drawRows;
    std::vector<int> skippedRows; // rows holding something that is not a valid draw
    for (int row = 1; row <= history.rowCount(); ++row) {
        if (std::optional<Draw> draw = usableDrawAt(history, row)) {
            draws.push_back(*draw);
            drawRows.push_back(row);
            continue;
        }
        for (int column = 1; column <= kPicks + 1; ++column) {
            if (!history.isEmpty(column, row)) {
                skippedRows.push_back(row);
                break;
            }
        }
    }
    // With a limit, only the stretch of the history that the counted draws span is looked at.
    std::size_t first = 0;
    int firstRow = 0;
    if (last && *last >= 0 && static_cast<std::size_t>(*last) < draws.size()) {
        first = draws.size() - static_cast<std::size_t>(*last);
        firstRow = first < drawRows.size() ? drawRows[first] : history.rowCount() + 1;
    }
    stats.skippedRows = static_cast<int>(
        std::count_if(skippedRows.begin(), skippedRows.end(), [&](int row) { return row > firstRow; }));
    for (std::size_t i = first; i < draws.size(); ++i) {
        ++stats.draws;
        for (const int number : draws[i].main)
            ++stats.numbers[static_cast<std::size_t>(number - 1)].main;
        ++stats.numbers[static_cast<std::size_t>(draws[i].bonus - 1)].bonus;
    }
    // Every number has the same range; it is worked out once.
    NumberStats shared;
    const double mainOutside = band(stats.draws, static_cast<double>(kPicks) / kHighestNumber, &shared.expectedMain,
                                    &shared.low, &shared.high);
    const double bonusOutside =
        band(stats.draws, 1.0 / kHighestNumber, &shared.expectedBonus, &shared.bonusLow, &shared.bonusHigh);
    for (int number = 1; number <= kHighestNumber; ++number) {
        NumberStats &entry = stats.numbers[static_cast<std::size_t>(number - 1)];
        entry.number = number;
        entry.expectedMain = shared.expectedMain;
        entry.low = shared.low;
        entry.high = shared.high;
        entry.expectedBonus = shared.expectedBonus;
        entry.bonusLow = shared.bonusLow;
        entry.bonusHigh = shared.bonusHigh;
    }
    stats.expectedMainOutside = kHighestNumber * mainOutside;
    stats.expectedBonusOutside = kHighestNumber * bonusOutside;
    return stats;
}

} // namespace omvex::analysis
