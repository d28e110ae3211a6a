// Reading and saving the user's files when they are far larger than the program ever makes them: a
// settings file padded with 20 MB of blank lines, and a history file of 20 MB that rewrites the same
// cells over and over. Peak memory is measured outside, one benchmark at a time under
// /usr/bin/time -v, which is why the files are made in small pieces rather than built in memory.
#include "engine/tables.h"
#include "history/drawhistory.h"
#include "platform/privateprofile.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <string>

namespace {

constexpr qint64 kBigFileBytes = 20 * 1024 * 1024;

// repeat written until the file holds size bytes, then tail.
QString makeFile(const QTemporaryDir &dir, const QString &name, const std::string &repeat, qint64 size,
                 const std::string &tail = {})
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    std::string block;
    while (block.size() < 1024 * 1024)
        block += repeat;
    for (qint64 written = 0; written < size;) {
        const qint64 piece = std::min<qint64>(static_cast<qint64>(block.size()), size - written);
        file.write(block.data(), piece);
        written += piece;
    }
    file.write(tail.data(), static_cast<qint64>(tail.size()));
    return path;
}

const std::string kSettings = "[OmvexINI]\nLevel=2\nPattern=1\nKako=3\n";

// What the settings store did for its three values: the whole file in memory, then three look-ups.
void BM_SettingsWholeFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = makeFile(dir, QStringLiteral("omvex.ini"), "\n", kBigFileBytes, kSettings);
    for (auto _ : state) {
        const std::string content = omvex::platform::readProfileFile(path).value_or(std::string());
        std::uint32_t sum = 0;
        for (const char *key : {"Level", "Pattern", "Kako"})
            sum += omvex::platform::profileInt(content, "OmvexINI", key, 0);
        if (sum != 6)
            state.SkipWithError("the settings did not read back");
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_SettingsWholeFile)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

// What the settings store reads now: the three values in one pass that stops once they are found.
void BM_SettingsStreamed(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = makeFile(dir, QStringLiteral("omvex.ini"), "\n", kBigFileBytes, kSettings);
    for (auto _ : state) {
        std::uint32_t sum = 0;
        for (const auto &value : omvex::platform::readProfileStrings(path, "OmvexINI", {"Level", "Pattern", "Kako"}))
            sum += value ? omvex::platform::profileIntFromValue(*value) : 0;
        if (sum != 6)
            state.SkipWithError("the settings did not read back");
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_SettingsStreamed)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

void BM_SettingsSave(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = makeFile(dir, QStringLiteral("omvex.ini"), "\n", kBigFileBytes, kSettings);
    int round = 0;
    for (auto _ : state) {
        const std::string level = std::to_string(++round % 4);
        if (!omvex::platform::writeProfileStrings(path, "OmvexINI", {{"Level", level}, {"Pattern", "0"}, {"Kako", "1"}}))
            state.SkipWithError("the save failed");
    }
}
BENCHMARK(BM_SettingsSave)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

// Every other record switches the same seven cells between text and numbers.
void BM_HistoryRewritingCells(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path =
        makeFile(dir, QStringLiteral("kako.txt"), "1,a,a,a,a,a,a,a\n1,1,1,1,1,1,1,1\n", kBigFileBytes);
    for (auto _ : state) {
        omvex::PredictionTables tables;
        omvex::resetTablesForStartUp(tables);
        const omvex::HistoryReadResult result = omvex::loadDrawHistory(path, tables.history);
        if (!result.complete)
            state.SkipWithError("the history did not read to its end");
    }
}
BENCHMARK(BM_HistoryRewritingCells)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

// The largest table there is, every cell a text of 27 letters (20 MB): what the grid itself must hold.
void BM_HistoryFullTableOfTexts(benchmark::State &state)
{
    QTemporaryDir dir;
    std::string texts;
    for (int column = 1; column <= 7; ++column)
        texts += ",abcdefghijklmnopqrstuvwxyz" + std::to_string(column);
    texts += "\n";
    const QString path = dir.filePath(QStringLiteral("kako.txt"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return;
        for (int draw = 1; draw <= omvex::kMaxDrawNumber; ++draw) {
            const std::string line = std::to_string(draw) + texts;
            file.write(line.data(), static_cast<qint64>(line.size()));
        }
    }
    for (auto _ : state) {
        omvex::PredictionTables tables;
        omvex::resetTablesForStartUp(tables);
        const omvex::HistoryReadResult result = omvex::loadDrawHistory(path, tables.history);
        if (tables.history.rowCount() != omvex::kMaxDrawNumber)
            state.SkipWithError("the table did not reach its largest size");
        benchmark::DoNotOptimize(result.storedRows);
    }
}
BENCHMARK(BM_HistoryFullTableOfTexts)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3)->ReportAggregatesOnly(true);

void BM_HistoryReal(benchmark::State &state)
{
    const QString path = QStringLiteral(OMVEX_TEST_DATA_DIR "/history-2058.txt");
    for (auto _ : state) {
        omvex::PredictionTables tables;
        omvex::resetTablesForStartUp(tables);
        const omvex::HistoryReadResult result = omvex::loadDrawHistory(path, tables.history);
        if (result.storedRows != 2058)
            state.SkipWithError("the real history did not load");
    }
}
BENCHMARK(BM_HistoryReal)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
