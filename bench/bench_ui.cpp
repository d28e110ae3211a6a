#include "ui/main/omvex.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include "qtbenchmarkmain.h"

#include <benchmark/benchmark.h>

#include <set>

namespace {

class SilentMessageBox final : public omvex::platform::MessageBox {
public:
    void show(const QString &, const QString &) override {}
};

class NoProcesses final : public omvex::platform::ProcessStarter {
public:
    bool startDetached(const QString &, const QStringList &, QString *) override { return false; }
};

class NoHelp final : public omvex::platform::HelpViewer {
public:
    void open(const QString &) override {}
};

bool isProposal(const QWidget &window, int pass)
{
    std::set<int> numbers;
    for (int i = 1; i <= 6; ++i) {
        const auto *label = window.findChild<QLabel *>(QStringLiteral("Label%1(%2)").arg(pass + 1).arg(i));
        const int number = label ? label->text().toInt() : 0;
        if (number < 1 || number > 43)
            return false;
        numbers.insert(number);
    }
    return numbers.size() == 6;
}

// "予想開始" from click to the second row of numbers, without its two one-second pauses:
// reloading the 2058-draw history, two Level 3 runs that count every line, and the window
// taking in the grids, with the window shown. Argument 1: the proposals are appended to the record
// (the default), 0: recording is off.
void BM_PredictionSequence(benchmark::State &state)
{
    QTemporaryDir dir;
    QFile ini(dir.filePath(QStringLiteral("omvex.ini")));
    const QByteArray record = state.range(0) != 0 ? "[Kiroku]\nRecord=1\n" : "[Kiroku]\nRecord=0\n";
    if (!QFile::copy(QStringLiteral(OMVEX_TEST_DATA_DIR "/history-2058.txt"), dir.filePath(QStringLiteral("kako.txt")))
        || !ini.open(QIODevice::WriteOnly) || ini.write(record) != record.size() || !ini.flush()) {
        state.SkipWithError("cannot prepare the program folder");
        return;
    }
    SilentMessageBox messages;
    NoProcesses processes;
    NoHelp help;
    omvex::ui::AppState app;
    omvex::ui::OmvexServices services;
    services.messages = &messages;
    services.processes = &processes;
    services.help = &help;
    services.programFolder = dir.path();
    services.editorSearchPath = dir.path();
    services.pauseLength = std::chrono::milliseconds(0);
    services.endProgram = [] {};
    omvex::ui::Omvex window(app, services);
    app.settings = {omvex::Level::Matsu, omvex::Pattern::All, omvex::Kako::Random};
    window.show();
    QCoreApplication::processEvents();

    QAction *start = window.findChild<QAction *>(QStringLiteral("Y_Start"));
    const QLabel *lastNumber = window.findChild<QLabel *>(QStringLiteral("Label2(6)"));
    if (start == nullptr || lastNumber == nullptr) {
        state.SkipWithError("the window has no start command or no number labels");
        return;
    }
    start->trigger();
    if (!isProposal(window, 0) || !isProposal(window, 1) || window.tables().history.rowCount() != 2058
        || window.tables().lines[1].rowCount() != 2400) {
        state.SkipWithError("the sequence did not propose two rows of numbers from the whole history");
        return;
    }
    for (auto _ : state) {
        start->trigger();
        benchmark::DoNotOptimize(lastNumber->text());
    }
}

} // namespace

BENCHMARK(BM_PredictionSequence)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

int main(int argc, char **argv)
{
    return omvex::bench::runWithApplication(argc, argv);
}
