#include "analysis/stats.h"

#include <cmath>

namespace omvex::analysis {

namespace {

// Each draw holds a given number as a main number with chance 6/43 and as the bonus with chance
// 1/43 (by symmetry), independently of other draws: the counts are binomial.
void band(int draws, double p, double *expected, double *low, double *high)
{
    const double n = draws;
    *expected = n * p;
    const double sigma = std::sqrt(n * p * (1 - p));
    *low = *expected - 2 * sigma;
    *high = *expected + 2 * sigma;
}

} // namespace

HistoryStats historyStats(const CellGrid &history)
{
    HistoryStats stats;
    for (int row = 1; row <= history.rowCount(); ++row) {
        const std::optional<Draw> draw = drawAt(history, row);
        if (!draw) {
            for (int column = 1; column <= kPicks + 1; ++column) {
                if (!history.isEmpty(column, row)) {
                    ++stats.skippedRows;
                    break;
                }
            }
            continue;
        }
        ++stats.draws;
        for (const int number : draw->main)
            ++stats.numbers[static_cast<std::size_t>(number - 1)].main;
        ++stats.numbers[static_cast<std::size_t>(draw->bonus - 1)].bonus;
    }
    for (int number = 1; number <= kHighestNumber; ++number) {
        NumberStats &entry = stats.numbers[static_cast<std::size_t>(number - 1)];
        entry.number = number;
        band(stats.draws, static_cast<double>(kPicks) / kHighestNumber, &entry.expectedMain, &entry.low, &entry.high);
        band(stats.draws, 1.0 / kHighestNumber, &entry.expectedBonus, &entry.bonusLow, &entry.bonusHigh);
    }
    return stats;
}

} // namespace omvex::analysis
