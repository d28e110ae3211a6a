#include "analysis/backtest.h"

#include "engine/predictpass.h"
#include "engine/random.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
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

int usableDrawCount(const CellGrid &history)
{
    int draws = 0;
    for (int row = 1; row <= history.rowCount(); ++row)
        draws += usableDrawAt(history, row) ? 1 : 0;
    return draws;
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

int backtestWorkers(std::optional<int> wanted)
{
    // hardware_concurrency() may say 0 when it cannot tell.
    const int cores = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    return std::clamp(wanted.value_or(cores), 1, cores);
}

namespace {

PredictionTables tablesForWorker(CellGrid history)
{
    PredictionTables tables;
    resetTablesForStartUp(tables);
    tables.history = std::move(history);
    // A copy keeps the observer of the grid it was copied from, which may be a view on another
    // thread; the run's cuts must not reach it.
    tables.history.setObserver(nullptr);
    return tables;
}

// The draws of one run shared among its workers. Worker w takes the draws w, w + n, w + 2n, ...
// counted from the last one backwards: interleaved, every worker gets the same mix of long and short
// histories, so all end together and the draws done grow evenly.
class SharedRun {
public:
    SharedRun(const std::vector<Draw> &draws, BacktestResult &result, const Settings &settings, std::uint64_t seed,
              std::stop_token cancel, const PassRunner &runner, int workers)
        : m_draws(draws), m_result(result), m_settings(settings), m_seed(seed), m_cancel(std::move(cancel)),
          m_runner(runner), m_workers(workers)
    {
    }

    // Runs worker `worker` over tables; after each draw, report (if any) is told. False when the run
    // was stopped or another worker failed.
    bool work(PredictionTables &tables, int worker, const std::function<void()> &report)
    {
        const auto count = static_cast<std::ptrdiff_t>(m_draws.size());
        for (std::ptrdiff_t i = count - 1 - worker; i >= 0; i -= m_workers) {
            const Draw &draw = m_draws[static_cast<std::size_t>(i)];
            // Going backwards, lowering the row count is the whole cut: rows below k stay as loaded.
            tables.history.setRowCount(draw.number - 1);
            BacktestDraw &outcome = m_result.draws[static_cast<std::size_t>(i)];
            outcome.draw = draw.number;
            for (int pass = 0; pass < 2; ++pass) {
                if (m_cancel.stop_requested() || m_failed.load(std::memory_order_relaxed))
                    return false;
                const std::uint64_t passSeed = backtestSeed(m_seed, draw.number, pass);
                const auto line = m_runner ? m_runner(tables, pass, m_settings, passSeed)
                                           : predictPass(tables, pass, m_settings, passSeed);
                outcome.lines[static_cast<std::size_t>(pass)] = line;
                outcome.scores[static_cast<std::size_t>(pass)] = scoreLine(line, draw);
            }
            m_done.fetch_add(1, std::memory_order_relaxed);
            if (report)
                report();
        }
        return true;
    }

    // For the threads beside the caller's: a failure ends every worker and is passed on by rethrow().
    void workGuarded(PredictionTables &tables, int worker)
    {
        try {
            work(tables, worker, {});
        } catch (...) {
            fail(std::current_exception());
        }
    }

    void fail(std::exception_ptr error)
    {
        const std::lock_guard lock(m_errorMutex);
        if (!m_error)
            m_error = std::move(error);
        m_failed.store(true, std::memory_order_relaxed);
    }

    void rethrow()
    {
        if (m_error)
            std::rethrow_exception(m_error);
    }

    int done() const { return m_done.load(std::memory_order_relaxed); }

private:
    const std::vector<Draw> &m_draws;
    BacktestResult &m_result;
    const Settings &m_settings;
    std::uint64_t m_seed;
    std::stop_token m_cancel;
    const PassRunner &m_runner;
    int m_workers;
    std::atomic<int> m_done{0};
    std::atomic<bool> m_failed{false};
    std::mutex m_errorMutex;
    std::exception_ptr m_error;
};

} // namespace

BacktestResult runBacktest(PredictionTables &tables, const Settings &settings, std::uint64_t seed,
                           std::optional<int> last, const ProgressReport &progress, std::stop_token cancel,
                           const PassRunner &runner, int workers)
{
    BacktestResult result;
    const std::vector<Draw> draws = backtestDraws(tables.history, last, &result.skippedRows);
    result.draws.resize(draws.size());
    const int total = static_cast<int>(draws.size());
    const int threads = std::clamp(workers, 1, std::max(1, total));
    SharedRun run(draws, result, settings, seed, cancel, runner, threads);

    // The other workers' tables are made before the caller's grid is cut.
    std::vector<PredictionTables> otherTables;
    otherTables.reserve(static_cast<std::size_t>(threads - 1));
    for (int worker = 1; worker < threads; ++worker)
        otherTables.push_back(tablesForWorker(tables.history));

    int reported = 0;
    const auto report = [&] {
        const int done = run.done();
        if (progress && done > reported)
            progress(reported = done, total);
    };
    {
        std::vector<std::jthread> others;
        others.reserve(otherTables.size());
        for (int worker = 1; worker < threads; ++worker)
            others.emplace_back([&run, &otherTables, worker] {
                run.workGuarded(otherTables[static_cast<std::size_t>(worker - 1)], worker);
            });
        // The caller's thread is worker 0 and tells the progress of all of them.
        try {
            run.work(tables, 0, report);
        } catch (...) {
            run.fail(std::current_exception());
        }
    } // joins the other workers
    run.rethrow();
    // A stop that came after the last draw was done leaves the result whole.
    if (run.done() < total) {
        BacktestResult stopped;
        stopped.skippedRows = result.skippedRows;
        stopped.cancelled = true;
        return stopped;
    }
    report();
    for (const BacktestDraw &outcome : result.draws) {
        for (const LineScore &score : outcome.scores)
            result.tally.add(score);
    }
    return result;
}

BacktestResult runBacktest(CellGrid history, const Settings &settings, std::uint64_t seed,
                           std::optional<int> last, const ProgressReport &progress, std::stop_token cancel,
                           int workers)
{
    PredictionTables tables = tablesForWorker(std::move(history));
    return runBacktest(tables, settings, seed, last, progress, std::move(cancel), {}, workers);
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
