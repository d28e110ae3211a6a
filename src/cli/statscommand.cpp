#include "cli/commands.h"

#include "analysis/stats.h"
#include "cli/jsonwriter.h"
#include "cli/terminaltext.h"
#include "ui/charts/chart.h"

#include <QFileInfo>

#include <ostream>

namespace omvex::cli {

using namespace analysis;

namespace {

// Only a new file or a regular one may become the chart: a FIFO would hold the tool until some
// reader came, and a device or folder must never be replaced by a picture. Symbolic links count as
// what they finally point to. Checked before anything is drawn, so that nothing is left half done.
QString chartTargetProblem(const QString &path)
{
    const QFileInfo target(path); // follows links, as the writing will
    if (!target.exists() || target.isFile())
        return QString();
    const QString what = target.isDir() ? QStringLiteral("フォルダです")
                                        : QStringLiteral("通常のファイルではありません（FIFO やデバイスなど）");
    return QStringLiteral("グラフを書けません: %1 は%2").arg(path, what);
}

void writeJson(const HistoryStats &stats, std::optional<int> last, const QString &chart, const Settings &settings,
               const HistoryLoad &history, std::ostream &out)
{
    JsonWriter json(out);
    json.beginObject();
    writeProvenance(json, settings, std::nullopt, history);
    json.key("stats").beginObject();
    json.key("draws").integer(stats.draws);
    json.key("last");
    if (last)
        json.integer(*last);
    else
        json.null();
    json.key("skipped_rows").integer(stats.skippedRows);
    json.key("chart");
    if (!chart.isEmpty())
        json.string(chart);
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
    json.key("expected_outside").number(stats.expectedMainOutside);
    json.key("expected_bonus_outside").number(stats.expectedBonusOutside);
    json.endObject();
    json.endObject();
    json.finish();
}

std::string rangeText(double low, double high)
{
    return fixedText(low, 0) + "〜" + fixedText(high, 0);
}

void writeText(const HistoryStats &stats, const QString &chart, std::ostream &out)
{
    const NumberStats &first = stats.numbers.front();
    out << "過去 " << stats.draws << " 回の出現回数。偶然なら各数字は本数字で " << fixedText(first.expectedMain, 1)
        << " 回（95%の範囲: " << rangeText(first.low, first.high) << "）、ボーナスで "
        << fixedText(first.expectedBonus, 1) << " 回（" << rangeText(first.bonusLow, first.bonusHigh) << "）。\n";
    if (stats.skippedRows > 0)
        out << "正しい当せん数字でない行 " << stats.skippedRows << " 行は数えていません。\n";
    out << padLeft("数字", 4) << padLeft("本数字", 8) << "   " << padLeft("ボーナス", 8) << '\n';
    int outside = 0;
    int bonusOutside = 0;
    for (const NumberStats &entry : stats.numbers) {
        const bool mainOut = stats.draws > 0 && entry.mainOutside();
        const bool bonusOut = stats.draws > 0 && entry.bonusOutside();
        outside += mainOut ? 1 : 0;
        bonusOutside += bonusOut ? 1 : 0;
        out << padLeft(std::to_string(entry.number), 4) << padLeft(std::to_string(entry.main), 8)
            << (mainOut ? (entry.main > entry.high ? " ▲" : " ▼") : "  ") << ' '
            << padLeft(std::to_string(entry.bonus), 8)
            << (bonusOut ? (entry.bonus > entry.bonusHigh ? " ▲" : " ▼") : "") << '\n';
    }
    out << "▲ は偶然の 95%の範囲より多い、▼ は少ない数字です。範囲外は本数字で " << outside
        << " 個（偶然でも平均 " << fixedText(stats.expectedMainOutside, 1) << " 個）、ボーナスで " << bonusOutside
        << " 個（偶然でも平均 " << fixedText(stats.expectedBonusOutside, 1)
        << " 個）。範囲外だからといって、出やすい数字・出にくい数字とは言えません。\n";
    if (!chart.isEmpty())
        out << "グラフ: " << escapeControls(chart).toStdString() << '\n';
}

} // namespace

int runStatsCommand(const Options &options, const Settings &settings, const PredictionTables &tables,
                    const HistoryLoad &history, std::ostream &out, std::ostream &err)
{
    if (!hasUsableDraws(history, 1, "--stats", err))
        return kExitHistory;
    if (!options.chartPath.isEmpty()) {
        if (const QString problem = chartTargetProblem(options.chartPath); !problem.isEmpty()) {
            writeErrorLine(err, problem);
            return kExitWriteFailed;
        }
    }
    noteHistory(history, err);
    const HistoryStats stats = historyStats(tables.history, options.last);
    int status = kExitOk;
    QString chart; // the written chart's full path
    if (!options.chartPath.isEmpty()) {
        QString error;
        if (charts::saveStatsChart(stats, options.chartPath, &error)) {
            chart = QFileInfo(options.chartPath).absoluteFilePath();
        } else {
            writeErrorLine(err, error);
            status = kExitWriteFailed;
        }
    }
    if (options.json)
        writeJson(stats, options.last, chart, settings, history, out);
    else
        writeText(stats, chart, out);
    return status;
}

} // namespace omvex::cli
