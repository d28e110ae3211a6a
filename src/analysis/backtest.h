#pragma once

#include "analysis/chance.h"
#include "engine/settings.h"
#include "engine/tables.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <vector>

namespace omvex::analysis {

// The seed of one pass of one draw, mixed from the run's seed so that a backtest is reproducible
// and no two of its passes share a random stream.
std::uint64_t backtestSeed(std::uint64_t seed, int draw, int pass);

// What a backtest does with the tables for one pass; predictPass unless a test needs to look in.
using PassRunner = std::function<std::array<int, kPicks>(PredictionTables &tables, int pass,
                                                         const Settings &settings, std::uint64_t seed)>;
// Told after each draw: draws done so far and draws in all.
using ProgressReport = std::function<void(int done, int total)>;

struct BacktestDraw {
    int draw = 0;
    std::array<std::array<int, kPicks>, 2> lines{};
    std::array<LineScore, 2> scores{};
};

struct BacktestResult {
    std::vector<BacktestDraw> draws; // ascending draw numbers
    int skippedRows = 0;             // rows holding something that is not a valid draw
    TierTally tally;
    // Stopped on request: draws and tally are then empty, so nobody can show a part of a run as
    // if it were the whole.
    bool cancelled = false;
};

// Seeds drawn for runs the user did not seed stay below 2^53, so that any JSON reader gets back
// the exact value and the run can be repeated with --seed.
inline constexpr std::uint64_t kLargestFreshSeed = (std::uint64_t{1} << 53) - 1;
std::uint64_t freshSeed();

// The draws a backtest predicts: every row that holds a valid draw and has a valid draw in an
// earlier row, or only the last `last` of them. Ascending.
std::vector<Draw> backtestDraws(const CellGrid &history, std::optional<int> last, int *skippedRows = nullptr);

// Walk-forward backtest over the history already loaded into tables.history: for each chosen
// draw k the history grid holds rows 1..k-1 only, both passes run, and each proposal is scored
// against draw k. The draws are taken from the last backwards, so cutting the grid is all it
// takes and no row is ever copied back; the history grid is left cut when this returns.
// A stop requested through cancel is seen between passes.
BacktestResult runBacktest(PredictionTables &tables, const Settings &settings, std::uint64_t seed,
                           std::optional<int> last, const ProgressReport &progress = {},
                           std::stop_token cancel = {}, const PassRunner &runner = {});

// The same over tables of its own, set up as at start-up and holding the given copy of a history
// grid: it shares nothing with the caller, so it may run on any thread while the caller's grids
// change.
BacktestResult runBacktest(CellGrid history, const Settings &settings, std::uint64_t seed,
                           std::optional<int> last, const ProgressReport &progress = {},
                           std::stop_token cancel = {});

// One line scored against every valid draw of the history.
struct TicketResult {
    std::array<int, kPicks> ticket{};
    TierTally tally;
    int skippedRows = 0;
    // The best result over all draws (tier first, then main matches, then the bonus), the first
    // draw that reached it and how many draws did.
    std::optional<LineScore> best;
    int bestDraw = 0;
    int bestCount = 0;
};

TicketResult checkTicket(const CellGrid &history, const std::array<int, kPicks> &ticket);

// A ticket's tally beside chance. A line may have been picked from the very draws it is checked
// against, so a result outside the range carries a word on that.
ChanceComparison compareTicketWithChance(const TierTally &tally);

} // namespace omvex::analysis
