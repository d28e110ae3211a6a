#include "cli/predictcommand.h"

#include "analysis/backtest.h"
#include "analysis/chance.h"
#include "ui/charts/chart.h"
#include "cli/jsonwriter.h"
#include "analysis/stats.h"
#include "engine/predictpass.h"
#include "engine/random.h"
#include "engine/tables.h"
#include "history/drawhistory.h"
#include "history/filelocations.h"
#include "history/settingsstore.h"
#include "omvex/appinfo.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>

namespace omvex::cli {

using namespace analysis;
using namespace charts;

namespace {

const std::array<const char *, 2> kPassCaptions{"１回目", "２回目"};

// Seeds the tool picks itself stay below 2^53, so that any JSON reader gets back the exact
// value and can regenerate the run with --seed.
constexpr std::uint64_t kJsonSafeSeedMask = (std::uint64_t{1} << 53) - 1;

std::string utf8(const QString &text)
{
    return text.toStdString();
}

// Columns a text takes in a terminal: East Asian wide and full-width characters take two.
int displayWidth(const std::string &text)
{
    const QString wide = QString::fromStdString(text);
    int width = 0;
    for (const QChar ch : wide) {
        const char16_t c = ch.unicode();
        if (ch.isLowSurrogate())
            continue;
        const bool isHalfWidthKana = c >= 0xFF61 && c <= 0xFF9F;
        width += (c >= 0x1100 && !isHalfWidthKana && !(c >= 0x2010 && c <= 0x2027)) ? 2 : 1;
    }
    return width;
}

std::string padRight(const std::string &text, int columns)
{
    const int width = displayWidth(text);
    return width >= columns ? text : text + std::string(static_cast<std::size_t>(columns - width), ' ');
}

std::string padLeft(const std::string &text, int columns)
{
    const int width = displayWidth(text);
    return width >= columns ? text : std::string(static_cast<std::size_t>(columns - width), ' ') + text;
}

std::string fixedText(double value, int decimals)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

// 1234567.8 -> "1,234,567.8": the odds of the high tiers are only readable with separators.
std::string grouped(double value, int decimals)
{
    std::string text = fixedText(value, decimals);
    const std::size_t point = text.find('.');
    std::size_t end = point == std::string::npos ? text.size() : point;
    while (end > 3) {
        end -= 3;
        text.insert(end, ",");
    }
    return text;
}

std::string oddsText(const Fraction &probability)
{
    if (probability.numerator == 0)
        return "0";
    // Odds read best for rare tiers; a likely outcome reads best as a share.
    if (probability.value() >= 0.1)
        return fixedText(probability.value() * 100, 1) + "%";
    const double oneIn = static_cast<double>(probability.denominator) / static_cast<double>(probability.numerator);
    return "1/" + grouped(oneIn, std::fabs(oneIn - std::round(oneIn)) < 0.05 ? 0 : 1);
}

std::string settingsText(const Settings &settings)
{
    return "Level " + std::to_string(digit(settings.level)) + ", Pattern " + std::to_string(digit(settings.pattern))
        + ", Kako " + std::to_string(digit(settings.kako));
}

struct LoadedHistory {
    QString path;
    HistoryReadResult read;
    int rows = 0;
    std::string sha256; // hex of the file's bytes; empty when the file could not be read

    bool complete() const { return read.opened && read.complete; }
};

LoadedHistory loadHistory(const QString &path, CellGrid &grid)
{
    LoadedHistory history;
    history.path = path;
    history.read = loadDrawHistory(path, grid);
    history.rows = grid.rowCount();
    QFile file(path);
    if (history.read.opened && file.open(QIODevice::ReadOnly)) {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        if (hash.addData(&file))
            history.sha256 = hash.result().toHex().toStdString();
    }
    return history;
}

// Says on standard error when a prediction or analysis works from less than the whole file, so a
// script's output never silently rests on a truncated history.
void noteHistory(const LoadedHistory &history, std::ostream &err)
{
    if (!history.read.opened) {
        err << "注意: " << utf8(history.path) << " を開けません。過去データなしで続けます。\n";
    } else if (!history.read.complete) {
        err << "注意: " << utf8(history.path) << " は " << history.read.stopLine << " 行目の "
            << history.read.stopField << " 番目の項目で読み込みが止まりました（" << history.read.reason
            << "）。それまでの " << history.read.records << " 件で続けます。\n";
    }
}

void writeSettings(JsonWriter &json, const Settings &settings)
{
    json.beginObject();
    json.key("Level").string(std::to_string(digit(settings.level)));
    json.key("Pattern").string(std::to_string(digit(settings.pattern)));
    json.key("Kako").string(std::to_string(digit(settings.kako)));
    json.endObject();
}

// The keys every JSON output starts with, enough to regenerate and check the result later.
void writeProvenance(JsonWriter &json, const Settings &settings, std::optional<std::uint64_t> seed,
                     const LoadedHistory &history)
{
    json.key("version").string(kVersionText);
    json.key("settings");
    writeSettings(json, settings);
    json.key("seed");
    if (seed)
        json.unsignedInteger(*seed);
    else
        json.null();
    json.key("history").beginObject();
    json.key("path").string(history.path);
    json.key("sha256");
    if (history.sha256.empty())
        json.null();
    else
        json.string(history.sha256);
    json.key("opened").boolean(history.read.opened);
    json.key("draws").integer(history.read.records);
    json.key("rows").integer(history.rows);
    json.key("complete").boolean(history.complete());
    json.key("stop");
    if (history.complete()) {
        json.null();
    } else {
        json.beginObject();
        json.key("line").integer(history.read.stopLine);
        json.key("field").integer(history.read.stopField);
        json.key("reason").string(history.read.reason.empty() ? std::string("the file cannot be opened") : history.read.reason);
        json.endObject();
    }
    json.endObject();
}

void writeComparisonJson(JsonWriter &json, const ChanceComparison &comparison)
{
    json.key("mean_matches").number(comparison.meanMatches);
    json.key("expected_mean_matches").number(comparison.expectedMeanMatches);
    json.key("mean_low").number(comparison.meanLow);
    json.key("mean_high").number(comparison.meanHigh);
    json.key("tiers").beginArray();
    for (const TierComparison &row : comparison.tiers) {
        json.beginObject();
        json.key("tier").string(tierKey(row.tier));
        json.key("observed").integer(row.observed);
        json.key("probability").number(row.probability);
        json.key("expected").number(row.expected);
        json.key("low").integer(row.interval.low);
        json.key("high").integer(row.interval.high);
        json.key("outside").boolean(row.outside());
        json.endObject();
    }
    json.endArray();
    json.key("verdict").string(comparison.verdict);
}

void writeComparisonText(std::ostream &out, const ChanceComparison &comparison)
{
    out << padRight("等級", 22) << padLeft("実際", 8) << padLeft("偶然の期待値", 14) << padLeft("95%の範囲", 14)
        << "   " << "1行が当たる確率\n";
    for (const TierComparison &row : comparison.tiers) {
        const std::string range = std::to_string(row.interval.low) + "〜" + std::to_string(row.interval.high);
        out << padRight(tierCaption(row.tier), 22) << padLeft(std::to_string(row.observed), 8)
            << padLeft(fixedText(row.expected, 2), 14) << padLeft(range, 14) << "   "
            << oddsText(tierProbability(row.tier)) << (row.outside() ? "   ← 範囲外" : "") << '\n';
    }
    out << "平均一致数（1行あたりの本数字の一致）: " << fixedText(comparison.meanMatches, 3) << "（偶然なら "
        << fixedText(comparison.expectedMeanMatches, 3) << "、95%の範囲 " << fixedText(comparison.meanLow, 3) << "〜"
        << fixedText(comparison.meanHigh, 3) << "）\n";
    out << "判定: " << comparison.verdict << '\n';
}

void writeLine(std::ostream &out, const std::array<int, kPicks> &numbers)
{
    for (std::size_t i = 0; i < numbers.size(); ++i)
        out << (i ? " " : "") << numbers[i];
}

void writeLineJson(JsonWriter &json, const std::array<int, kPicks> &numbers)
{
    json.beginArray();
    for (const int n : numbers)
        json.integer(n);
    json.endArray();
}

int runCheck(const Options &options, const Settings &settings, const LoadedHistory &history, std::ostream &out)
{
    if (options.json) {
        JsonWriter json;
        json.beginObject();
        writeProvenance(json, settings, std::nullopt, history);
        json.endObject();
        out << json.text() << '\n';
    } else {
        out << "ファイル: " << utf8(history.path) << '\n';
        out << "記録数: " << history.read.records << '\n';
        out << "行数: " << history.rows << '\n';
        if (!history.read.opened)
            out << "結果: ファイルを開けません（" << history.read.reason << "）\n";
        else if (history.read.complete)
            out << "結果: 最後まで読みました\n";
        else
            out << "結果: " << history.read.stopLine << " 行目の " << history.read.stopField
                << " 番目の項目で止まりました（" << history.read.reason << "）\n";
        if (!history.sha256.empty())
            out << "SHA-256: " << history.sha256 << '\n';
    }
    return history.complete() ? kExitOk : kExitIncomplete;
}

struct PassOutcome {
    std::array<int, kPicks> numbers{};
    std::array<std::optional<int>, kScoreRows> scoreNumbers{};
    std::array<double, kScoreRows> points{};
};

int runPredict(const Options &options, const SettingsStore &store, Settings settings, PredictionTables &tables,
               const LoadedHistory &history, std::ostream &out, std::ostream &err)
{
    noteHistory(history, err);
    const std::uint64_t seed = options.seed.value_or(clockSeed() & kJsonSafeSeedMask);
    std::array<PassOutcome, 2> passes;
    for (int pass = 0; pass < 2; ++pass) {
        PassOutcome &outcome = passes[static_cast<std::size_t>(pass)];
        // Both passes' seeds follow from the one seed, so one number regenerates both.
        outcome.numbers = predictPass(tables, pass, settings, passSeed(seed, pass));
        const CellGrid &score = tables.scores[static_cast<std::size_t>(pass)];
        for (int row = 1; row <= kScoreRows; ++row) {
            if (!score.isEmpty(1, row))
                outcome.scoreNumbers[static_cast<std::size_t>(row - 1)] = static_cast<int>(score.number(1, row));
            outcome.points[static_cast<std::size_t>(row - 1)] = score.number(2, row);
        }
    }

    SaveResult saved;
    if (options.save) {
        saved = store.save(settings);
    }

    if (options.json) {
        JsonWriter json;
        json.beginObject();
        writeProvenance(json, settings, seed, history);
        json.key("passes").beginArray();
        for (std::size_t pass = 0; pass < passes.size(); ++pass) {
            json.beginObject();
            json.key("caption").string(kPassCaptions[pass]);
            json.key("numbers");
            writeLineJson(json, passes[pass].numbers);
            json.key("scores").beginArray();
            for (std::size_t row = 0; row < kScoreRows; ++row) {
                json.beginObject();
                json.key("number");
                if (passes[pass].scoreNumbers[row])
                    json.integer(*passes[pass].scoreNumbers[row]);
                else
                    json.null();
                json.key("points").fixed(passes[pass].points[row], 1);
                json.endObject();
            }
            json.endArray();
            json.endObject();
        }
        json.endArray();
        if (options.save) {
            json.key("saved").boolean(saved.ok);
        }
        json.endObject();
        out << json.text() << '\n';
    } else {
        for (std::size_t pass = 0; pass < passes.size(); ++pass) {
            out << kPassCaptions[pass] << ": ";
            writeLine(out, passes[pass].numbers);
            out << '\n';
        }
    }

    if (options.save) {
        if (!saved.ok) {
            err << utf8(saved.error) << '\n';
            return kExitWriteFailed;
        }
        (options.json ? err : out) << "設定を保存しました: " << utf8(store.path()) << "（" << settingsText(settings)
                                   << "）\n";
    }
    return kExitOk;
}

class ProgressBar {
public:
    explicit ProgressBar(std::ostream &err) : m_err(err) {}
    ~ProgressBar()
    {
        if (m_shown >= 0)
            m_err << "\r\033[K" << std::flush;
    }

    void show(int done, int total)
    {
        const int percent = total > 0 ? static_cast<int>(static_cast<long long>(done) * 100 / total) : 100;
        if (percent == m_shown)
            return;
        m_shown = percent;
        constexpr int kWidth = 30;
        const int filled = percent * kWidth / 100;
        m_err << "\rバックテスト [" << std::string(static_cast<std::size_t>(filled), '#')
              << std::string(static_cast<std::size_t>(kWidth - filled), '-') << "] " << percent << "% " << done << '/'
              << total << std::flush;
    }

private:
    std::ostream &m_err;
    int m_shown = -1;
};

int runBacktestCommand(const Options &options, const Environment &environment, const Settings &settings,
                       PredictionTables &tables, const LoadedHistory &history, std::ostream &out, std::ostream &err)
{
    noteHistory(history, err);
    const std::uint64_t seed = options.seed.value_or(clockSeed() & kJsonSafeSeedMask);
    BacktestResult result;
    {
        ProgressBar bar(err);
        ProgressReport progress;
        if (environment.progressOnTerminal)
            progress = [&bar](int done, int total) { bar.show(done, total); };
        result = runBacktest(tables, settings, seed, options.last, progress);
    }
    const ChanceComparison comparison = compareWithChance(result.tally);

    if (options.json) {
        JsonWriter json;
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
                json.key("numbers");
                writeLineJson(json, draw.lines[pass]);
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
        out << json.text() << '\n';
        return kExitOk;
    }

    out << "バックテスト: " << result.draws.size() << " 回 × 2 行 = " << result.tally.lines << " 行（"
        << settingsText(settings) << "、種 " << seed << "）\n";
    if (!result.draws.empty())
        out << "各回は、それより前の回だけを過去データにして予想しました（第 " << result.draws.front().draw
            << " 回〜第 " << result.draws.back().draw << " 回）。\n";
    if (result.skippedRows > 0)
        out << "正しい当せん数字でない行 " << result.skippedRows << " 行は数えていません。\n";
    writeComparisonText(out, comparison);
    return kExitOk;
}

int runTicketCommand(const Options &options, const Settings &settings, const PredictionTables &tables,
                     const LoadedHistory &history, std::ostream &out, std::ostream &err)
{
    noteHistory(history, err);
    const TicketResult result = checkTicket(tables.history, options.ticket);
    const ChanceComparison comparison = compareWithChance(result.tally);
    if (options.json) {
        JsonWriter json;
        json.beginObject();
        writeProvenance(json, settings, std::nullopt, history);
        json.key("ticket").beginObject();
        json.key("numbers");
        writeLineJson(json, result.ticket);
        json.key("draws").integer(result.tally.lines);
        json.key("lines").integer(result.tally.lines);
        json.key("skipped_rows").integer(result.skippedRows);
        json.key("best");
        if (result.best) {
            json.beginObject();
            json.key("draw").integer(result.bestDraw);
            json.key("tier").string(tierKey(result.best->tier));
            json.key("matches").integer(result.best->matches);
            json.key("bonus").boolean(result.best->bonus);
            json.key("count").integer(result.bestCount);
            json.endObject();
        } else {
            json.null();
        }
        writeComparisonJson(json, comparison);
        json.endObject();
        json.endObject();
        out << json.text() << '\n';
        return kExitOk;
    }
    out << "数字 ";
    writeLine(out, result.ticket);
    out << " を過去 " << result.tally.lines << " 回と照合しました。\n";
    if (result.skippedRows > 0)
        out << "正しい当せん数字でない行 " << result.skippedRows << " 行は数えていません。\n";
    if (result.best) {
        out << "最高: 第 " << result.bestDraw << " 回 " << tierCaption(result.best->tier) << "、本数字 "
            << result.best->matches << " 個一致" << (result.best->bonus ? "＋ボーナス" : "");
        if (result.bestCount > 1)
            out << "（同じ結果がほかに " << result.bestCount - 1 << " 回）";
        out << '\n';
    }
    writeComparisonText(out, comparison);
    return kExitOk;
}

int runStatsCommand(const Options &options, const Settings &settings, const PredictionTables &tables,
                    const LoadedHistory &history, std::ostream &out, std::ostream &err)
{
    noteHistory(history, err);
    const HistoryStats stats = historyStats(tables.history);
    int status = kExitOk;
    bool chartWritten = false;
    if (!options.chartPath.isEmpty()) {
        QString error;
        chartWritten = saveStatsChart(stats, options.chartPath, &error);
        if (!chartWritten) {
            err << utf8(error) << '\n';
            status = kExitWriteFailed;
        }
    }
    if (options.json) {
        JsonWriter json;
        json.beginObject();
        writeProvenance(json, settings, std::nullopt, history);
        json.key("stats").beginObject();
        json.key("draws").integer(stats.draws);
        json.key("skipped_rows").integer(stats.skippedRows);
        json.key("chart");
        if (chartWritten)
            json.string(QFileInfo(options.chartPath).absoluteFilePath());
        else
            json.null();
        json.key("numbers").beginArray();
        for (const NumberStats &entry : stats.numbers) {
            json.beginObject();
            json.key("number").integer(entry.number);
            json.key("main").integer(entry.main);
            json.key("bonus").integer(entry.bonus);
            json.key("expected_main").number(entry.expectedMain);
            json.key("low").number(entry.low);
            json.key("high").number(entry.high);
            json.key("outside").boolean(entry.mainOutside());
            json.key("expected_bonus").number(entry.expectedBonus);
            json.key("bonus_low").number(entry.bonusLow);
            json.key("bonus_high").number(entry.bonusHigh);
            json.key("bonus_outside").boolean(entry.bonusOutside());
            json.endObject();
        }
        json.endArray();
        json.endObject();
        json.endObject();
        out << json.text() << '\n';
        return status;
    }

    const NumberStats &first = stats.numbers.front();
    out << "過去 " << stats.draws << " 回の出現回数。偶然なら各数字は本数字で " << fixedText(first.expectedMain, 1)
        << " 回（±2σ: " << fixedText(first.low, 1) << "〜" << fixedText(first.high, 1) << "）、ボーナスで "
        << fixedText(first.expectedBonus, 1) << " 回（" << fixedText(first.bonusLow, 1) << "〜"
        << fixedText(first.bonusHigh, 1) << "）。\n";
    if (stats.skippedRows > 0)
        out << "正しい当せん数字でない行 " << stats.skippedRows << " 行は数えていません。\n";
    out << padLeft("数字", 4) << padLeft("本数字", 8) << "   " << padLeft("ボーナス", 8) << '\n';
    int outside = 0;
    for (const NumberStats &entry : stats.numbers) {
        const bool mainOut = stats.draws > 0 && entry.mainOutside();
        const bool bonusOut = stats.draws > 0 && entry.bonusOutside();
        outside += mainOut ? 1 : 0;
        out << padLeft(std::to_string(entry.number), 4) << padLeft(std::to_string(entry.main), 8)
            << (mainOut ? (entry.main > entry.high ? " ▲" : " ▼") : "  ") << ' '
            << padLeft(std::to_string(entry.bonus), 8) << (bonusOut ? (entry.bonus > entry.bonusHigh ? " ▲" : " ▼") : "")
            << '\n';
    }
    out << "▲ は偶然の範囲（期待値±2σ）より多い、▼ は少ない数字です。本数字で範囲外は " << outside
        << " 個。43 個の数字を比べれば、偶然でも 2 個ほどは範囲外になります。\n";
    if (chartWritten)
        out << "グラフ: " << utf8(QFileInfo(options.chartPath).absoluteFilePath()) << '\n';
    return status;
}

} // namespace

int runCommand(const Options &options, const Environment &environment, std::ostream &out, std::ostream &err)
{
    if (options.command == Command::Help) {
        out << utf8(helpText());
        return kExitOk;
    }
    const QString folder = options.folder.isEmpty() ? environment.programFolder : options.folder;
    if (!QFileInfo(folder).isDir()) {
        err << "フォルダがありません: " << utf8(folder) << '\n';
        return kExitUsage;
    }
    const FileLocations files = locateFiles(QFileInfo(folder).absoluteFilePath());
    const SettingsStore store(files.IniFilePath);
    Settings settings = store.read();
    if (options.level)
        settings.level = *options.level;
    if (options.pattern)
        settings.pattern = *options.pattern;
    if (options.kako)
        settings.kako = *options.kako;

    PredictionTables tables;
    resetTablesForStartUp(tables);
    const LoadedHistory history = loadHistory(files.KakoFilePath, tables.history);

    switch (options.command) {
    case Command::Check:
        return runCheck(options, settings, history, out);
    case Command::Backtest:
        return runBacktestCommand(options, environment, settings, tables, history, out, err);
    case Command::Ticket:
        return runTicketCommand(options, settings, tables, history, out, err);
    case Command::Stats:
        return runStatsCommand(options, settings, tables, history, out, err);
    case Command::Predict:
    case Command::Help:
        break;
    }
    return runPredict(options, store, settings, tables, history, out, err);
}

int runArguments(const QStringList &arguments, const Environment &environment, std::ostream &out, std::ostream &err)
{
    const ParseResult parsed = parseArguments(arguments);
    if (!parsed.ok()) {
        err << "omvex-predict: " << utf8(parsed.error) << '\n';
        return kExitUsage;
    }
    return runCommand(parsed.options, environment, out, err);
}

} // namespace omvex::cli
