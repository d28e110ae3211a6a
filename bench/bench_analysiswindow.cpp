#include "analysis/backtest.h"
#include "ui/analysis/analysiswindow.h"
#include "ui/analysis/backtesttab.h"
#include "ui/analysis/patternstab.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include "qtbenchmarkmain.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using Tab = omvex::ui::AnalysisWindow::Tab;

const QString kHistoryPath = QStringLiteral(OMVEX_TEST_DATA_DIR "/history-2058.txt");
const omvex::Settings kLevel3{omvex::Level::Matsu, omvex::Pattern::Sample, omvex::Kako::Half};
constexpr std::uint64_t kSeed = 2058;

// A window over the 2058-draw history whose backtest tab starts at Level 3 with a fixed seed.
std::unique_ptr<omvex::ui::AnalysisWindow> makeWindow()
{
    omvex::ui::AnalysisProviders providers;
    providers.kakoFilePath = kHistoryPath;
    providers.settings = [] { return kLevel3; };
    return std::make_unique<omvex::ui::AnalysisWindow>(providers);
}

omvex::ui::BacktestTab &backtestTab(omvex::ui::AnalysisWindow &window)
{
    return *static_cast<omvex::ui::BacktestTab *>(window.tab(Tab::Backtest));
}

// showTab(Backtest) reads the history and presets the settings, then the seed is typed and
// "実行" pressed, as a user does it.
void openAndStart(omvex::ui::AnalysisWindow &window)
{
    window.showTab(Tab::Backtest);
    window.tab(Tab::Backtest)->findChild<QLineEdit *>(QStringLiteral("seed"))->setText(QString::number(kSeed));
    window.tab(Tab::Backtest)->findChild<QPushButton *>(QStringLiteral("run"))->click();
}

template <typename Done>
void spinUntil(Done done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// From showTab(Backtest) and the click on "実行" to the progress bar's first move on the UI thread.
void BM_WindowBacktestFirstProgress(benchmark::State &state)
{
    for (auto _ : state) {
        auto window = makeWindow();
        auto *bar = window->tab(Tab::Backtest)->findChild<QProgressBar *>(QStringLiteral("progress"));
        bool moved = false;
        QObject::connect(bar, &QProgressBar::valueChanged, bar, [&](int value) { moved = moved || value >= 1; });
        QElapsedTimer clock;
        clock.start();
        openAndStart(*window);
        spinUntil([&] { return moved; });
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) * 1e-9);
        window->shutdown();
    }
}

// The whole Level 3 backtest through the window (open, start, result shown) beside the same run
// as one library call; the window's result is checked against the library's first.
void BM_WindowBacktestLevel3(benchmark::State &state)
{
    const omvex::CellGrid history = omvex::ui::readHistorySnapshot(kHistoryPath).grid;
    const omvex::analysis::BacktestResult expected = omvex::analysis::runBacktest(history, kLevel3, kSeed, std::nullopt);
    for (auto _ : state) {
        auto window = makeWindow();
        bool ended = false;
        QObject::connect(&backtestTab(*window), &omvex::ui::BacktestTab::runEnded, window.get(), [&] { ended = true; });
        QElapsedTimer clock;
        clock.start();
        openAndStart(*window);
        spinUntil([&] { return ended; });
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) * 1e-9);
        const auto &shown = backtestTab(*window).result();
        if (!shown || shown->tally.counts != expected.tally.counts || shown->tally.matches != expected.tally.matches) {
            state.SkipWithError("the window's backtest differs from the library's");
            return;
        }
    }
}

void BM_LibraryBacktestLevel3(benchmark::State &state)
{
    const omvex::CellGrid history = omvex::ui::readHistorySnapshot(kHistoryPath).grid;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        const omvex::analysis::BacktestResult result = omvex::analysis::runBacktest(history, kLevel3, kSeed, std::nullopt);
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) * 1e-9);
        benchmark::DoNotOptimize(result.tally.counts.data());
    }
}

// A new "傾向" tab given the 2058-draw history, to its first paint: the report, the tables filled and
// the tab drawn. The library's report alone runs beside it (BM_LibraryPatternReport).
void BM_PatternsTabFirstPaint(benchmark::State &state)
{
    const omvex::ui::HistorySnapshot history = omvex::ui::readHistorySnapshot(kHistoryPath);
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        omvex::ui::PatternsTab tab;
        tab.resize(1000, 700);
        tab.showHistory(history);
        const QPixmap painted = tab.grab();
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) * 1e-9);
        if (tab.report().draws != 2058 || painted.isNull()) {
            state.SkipWithError("the tab did not count the 2058 draws");
            return;
        }
    }
}

void BM_LibraryPatternReport(benchmark::State &state)
{
    const omvex::CellGrid history = omvex::ui::readHistorySnapshot(kHistoryPath).grid;
    for (auto _ : state) {
        const omvex::analysis::PatternReport report = omvex::analysis::patternReport(history);
        benchmark::DoNotOptimize(report.pairs.outside);
    }
}

// How long a zero-delay timer waits on the UI thread: idle (arg 0) and while a Level 3 backtest
// runs (arg 1). Each iteration is one timer; the median across them is the figure to read.
void BM_QueuedEventLatency(benchmark::State &state)
{
    const bool duringBacktest = state.range(0) == 1;
    auto window = makeWindow();
    if (duringBacktest)
        openAndStart(*window);
    std::vector<double> waits;
    for (auto _ : state) {
        if (duringBacktest && !backtestTab(*window).isRunning())
            openAndStart(*window);
        bool fired = false;
        QElapsedTimer clock;
        clock.start();
        QTimer::singleShot(0, window.get(), [&] { fired = true; });
        spinUntil([&] { return fired; });
        const double seconds = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
        state.SetIterationTime(seconds);
        waits.push_back(seconds);
    }
    window->shutdown();
    std::sort(waits.begin(), waits.end());
    if (!waits.empty())
        state.counters["max_us"] = waits.back() * 1e6;
}

} // namespace

BENCHMARK(BM_WindowBacktestFirstProgress)
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(7)->ReportAggregatesOnly(true);
BENCHMARK(BM_WindowBacktestLevel3)
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_LibraryBacktestLevel3)
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PatternsTabFirstPaint)
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(15)->ReportAggregatesOnly(true);
BENCHMARK(BM_LibraryPatternReport)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_QueuedEventLatency)
    ->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(500)->Repetitions(5)
    ->ReportAggregatesOnly(true);

int main(int argc, char **argv)
{
    return omvex::bench::runWithApplication(argc, argv);
}
