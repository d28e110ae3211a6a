#include "analysis/backtest.h"

#include "engine/predictpass.h"
#include "engine/random.h"

#include <algorithm>
#include <utility>

namespace omvex::analysis {

namespace {

bool rowHoldsAnything(const CellGrid &history, int row)
{
    for (int column = 1; column <= kHistoryColumns; ++column) {
        if (!history.isEmpty(column, row))
            return true;
    }
    return false;
}

// True when a is a better result than b.
bool isBetter(const LineScore &a, const LineScore &b)
{
    if (a.tier != b.tier)
        return static_cast<int>(a.tier) < static_cast<int>(b.tier);
    if (a.matches != b.matches)
        return a.matches > b.matches;
    return a.bonus && !b.bonus;
}

bool isSame(const LineScore &a, const LineScore &b)
{
    return a.tier == b.tier && a.matches == b.matches && a.bonus == b.bonus;
}

} // namespace

std::uint64_t backtestSeed(std::uint64_t seed, int draw, int pass)
{
    const auto stream = static_cast<std::uint64_t>(static_cast<std::uint32_t>(draw)) * 2
        + static_cast<std::uint64_t>(pass & 1);
    return splitMix64(seed ^ splitMix64(stream));
}

std::vector<Draw> backtestDraws(const CellGrid &history, std::optional<int> last, int *skippedRows)
{
    std::vector<Draw> draws;
    int skipped = 0;
    bool seenEarlier = false;
    for (int row = 1; row <= history.rowCount(); ++row) {
        const std::optional<Draw> draw = usableDrawAt(history, row);
        if (!draw) {
            if (rowHoldsAnything(history, row))
                ++skipped;
            continue;
        }
        if (seenEarlier)
            draws.push_back(*draw);
        seenEarlier = true;
    }
    if (last && *last >= 0 && static_cast<std::size_t>(*last) < draws.size())
        draws.erase(draws.begin(), draws.end() - *last);
    if (skippedRows)
        *skippedRows = skipped;
    return draws;
}

std::uint64_t freshSeed()
{
    return clockSeed() & kLargestFreshSeed;
}

BacktestResult runBacktest(PredictionTables &tables, const Settings &settings, std::uint64_t seed,
                           std::optional<int> last, const ProgressReport &progress, std::stop_token cancel,
                           const PassRunner &runner)
{
    BacktestResult result;
    const std::vector<Draw> draws = backtestDraws(tables.history, last, &result.skippedRows);
    result.draws.resize(draws.size());
    const int total = static_cast<int>(draws.size());
    int done = 0;
    for (std::size_t i = draws.size(); i-- > 0;) {
        const Draw &draw = draws[i];
        // Going backwards, lowering the row count is the whole cut: rows below k stay as loaded.
        tables.history.setRowCount(draw.number - 1);
        BacktestDraw &outcome = result.draws[i];
        outcome.draw = draw.number;
        for (int pass = 0; pass < 2; ++pass) {
            if (cancel.stop_requested()) {
                BacktestResult stopped;
                stopped.skippedRows = result.skippedRows;
                stopped.cancelled = true;
                return stopped;
            }
            const std::uint64_t passSeed = backtestSeed(seed, draw.number, pass);
            const auto line = runner ? runner(tables, pass, settings, passSeed)
                                     : predictPass(tables, pass, settings, passSeed);
            outcome.lines[static_cast<std::size_t>(pass)] = line;
            outcome.scores[static_cast<std::size_t>(pass)] = scoreLine(line, draw);
        }
        ++done;
        if (progress)
            progress(done, total);
    }
    for (const BacktestDraw &outcome : result.draws) {
        for (const LineScore &score : outcome.scores)
            result.tally.add(score);
    }
    return result;
}

BacktestResult runBacktest(CellGrid history, const Settings &settings, std::uint64_t seed,
                           std::optional<int> last, const ProgressReport &progress, std::stop_token cancel)
{
    PredictionTables tables;
    resetTablesForStartUp(tables);
    tables.history = std::move(history);
    // A copy keeps the observer of the grid it was copied from, which may be a view on another
    // thread; the run's cuts must not reach it.
    tables.history.setObserver(nullptr);
    return runBacktest(tables, settings, seed, last, progress, std::move(cancel));
}

TicketResult checkTicket(const CellGrid &history, const std::array<int, kPicks> &ticket)
{
    TicketResult result;
    result.ticket = ticket;
    for (int row = 1; row <= history.rowCount(); ++row) {
        const std::optional<Draw> draw = usableDrawAt(history, row);
        if (!draw) {
            if (rowHoldsAnything(history, row))
                ++result.skippedRows;
            continue;
        }
        const LineScore score = scoreLine(ticket, *draw);
        result.tally.add(score);
        if (!result.best || isBetter(score, *result.best)) {
            result.best = score;
            result.bestDraw = draw->number;
            result.bestCount = 1;
        } else if (isSame(score, *result.best)) {
            ++result.bestCount;
        }
    }
    return result;
}

ChanceComparison compareTicketWithChance(const TierTally &tally)
{
    ChanceComparison comparison = compareWithChance(tally);
    const bool anyOutside = std::any_of(comparison.tiers.begin(), comparison.tiers.end(),
                                        [](const TierComparison &row) { return row.outside(); })
        || comparison.meanMatches < comparison.meanLow || comparison.meanMatches > comparison.meanHigh;
    if (tally.lines > 0 && anyOutside)
        comparison.verdict += "過去の当せん数字を見てから選んだ数字なら、当たりが多くても偶然について何も示しません。";
    return comparison;
}

} // namespace omvex::analysis
