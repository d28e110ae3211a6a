#include "cli/commands.h"
#include "settings/settingwords.h"

#include "analysis/backtest.h"
#include "cli/chancetable.h"
#include "cli/jsonwriter.h"
#include "cli/progressbar.h"
#include "cli/terminaltext.h"

#include <ostream>

namespace omvex::cli {

using namespace analysis;

namespace {

void writeJson(const BacktestResult &result, const ChanceComparison &comparison, const Options &options,
               const Settings &settings, std::uint64_t seed, const HistoryLoad &history, std::ostream &out)
{
    JsonWriter json(out);
    json.beginObject();
    writeProvenance(json, settings, seed, history);
    json.key("backtest").beginObject();
    json.key("draws").integer(static_cast<long long>(result.draws.size()));
    json.key("lines").integer(result.tally.lines);
    json.key("last");
    if (options.last)
        json.integer(*options.last);
    else
        json.null();
    json.key("skipped_rows").integer(result.skippedRows);
    writeComparisonJson(json, comparison);
    json.key("results").beginArray();
    for (const BacktestDraw &draw : result.draws) {
        json.beginObject();
        json.key("draw").integer(draw.draw);
        json.key("lines").beginArray();
        for (std::size_t pass = 0; pass < 2; ++pass) {
            json.beginObject();
            json.key("numbers").integers(draw.lines[pass]);
            json.key("matches").integer(draw.scores[pass].matches);
            json.key("bonus").boolean(draw.scores[pass].bonus);
            json.key("tier").string(tierKey(draw.scores[pass].tier));
            json.endObject();
        }
        json.endArray();
        json.endObject();
    }
    json.endArray();
    json.endObject();
    json.endObject();
    json.finish();
}

void writeText(const BacktestResult &result, const ChanceComparison &comparison, const Settings &settings,
               std::uint64_t seed, std::ostream &out)
{
    out << "バックテスト: " << result.draws.size() << " 回 × 2 行 = " << result.tally.lines << " 行（"
        << settingsText(settings) << "、種 " << seed << "）\n";
    if (!result.draws.empty())
        out << "各回は、それより前の回だけを過去データにして予想しました（第 " << result.draws.front().draw
            << " 回〜第 " << result.draws.back().draw << " 回）。\n";
    if (result.skippedRows > 0)
        out << "正しい当せん数字でない行 " << result.skippedRows << " 行は数えていません。\n";
    writeComparisonText(out, comparison);
}

} // namespace

int runBacktestCommand(const Options &options, const Environment &environment, const Settings &settings,
                       PredictionTables &tables, const HistoryLoad &history, std::ostream &out, std::ostream &err)
{
    // A prediction needs the draws before the one it is scored against.
    if (!hasUsableDraws(history, kBacktestMinimumDraws, "--backtest", err))
        return kExitHistory;
    noteHistory(history, err);
    const std::uint64_t seed = runSeed(options.seed);
    BacktestResult result;
    {
        // The bar goes away (and clears its line) before anything else is written.
        ProgressBar bar(err);
        ProgressReport progress;
        if (environment.progressOnTerminal)
            progress = [&bar](int done, int total) { bar.show(done, total); };
        result = runBacktest(tables, settings, seed, options.last, progress, {}, {}, backtestWorkers(options.jobs));
    }
    const ChanceComparison comparison = compareWithChance(result.tally);
    if (options.json)
        writeJson(result, comparison, options, settings, seed, history, out);
    else
        writeText(result, comparison, settings, seed, out);
    return kExitOk;
}

} // namespace omvex::cli
