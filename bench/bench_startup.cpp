// How long the program takes from a cold process to its first shown window, beside a bare Qt window
// showing a line of Japanese (bare_window.cpp), on the offscreen platform and under Xvfb in one run.
// Every start is a new process; the programs start in turn, round after round, so that the
// machine's load falls on all of them alike. Each program writes its checkpoints (see
// ui/common/startuptrace.h) and ends after its first paint; for each platform one table gives the
// median wall time of each checkpoint since the process was started, another the median CPU time the
// process had used by then, each followed by every program's ratio to the first. "exposed" is the
// first shown event, "painted" the moment after the window has drawn itself.
//
//   bench_startup [--rounds N] [--platform offscreen|xcb]... [name=program]...
//
// Without programs: the bare window, then omvex as built. Each program runs from a folder of its
// own that holds the published history as kako.txt, as the program folder of a new user does.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace {

struct Program {
    QString name;
    QString path; // the copy in its own program folder
};

// One checkpoint of one start: milliseconds since the process was started, and of CPU time the
// process had used by then. The CPU time hardly changes with the machine's load, the wall time
// does, and only the wall time counts what the display server does for the program.
struct Checkpoint {
    QString name;
    double wall;
    double cpu;
};
using Trace = std::vector<Checkpoint>;

long long steadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void fail(const QString &text)
{
    std::fprintf(stderr, "bench_startup: %s\n", qPrintable(text));
    std::exit(2);
}

// A virtual display of its own, numbered by the server itself, so that no running display is used.
class VirtualDisplay {
public:
    bool start()
    {
        m_server.setProgram(QStringLiteral("Xvfb"));
        m_server.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                               QStringLiteral("0"), QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                               QStringLiteral("tcp")});
        m_server.setStandardErrorFile(QProcess::nullDevice());
        m_server.start();
        if (!m_server.waitForStarted(5000))
            return false;
        while (!m_server.canReadLine()) {
            if (!m_server.waitForReadyRead(10000))
                return false;
        }
        m_display = QStringLiteral(":") + QString::fromLatin1(m_server.readLine().trimmed());
        return true;
    }
    ~VirtualDisplay()
    {
        if (m_server.state() == QProcess::NotRunning)
            return;
        m_server.terminate();
        if (!m_server.waitForFinished(5000))
            m_server.kill();
        m_server.waitForFinished(5000);
    }
    const QString &display() const { return m_display; }

private:
    QProcess m_server;
    QString m_display;
};

std::optional<Trace> startOnce(const Program &program, const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProgram(program.path);
    process.setStandardOutputFile(QProcess::nullDevice());
    const long long started = steadyNanoseconds();
    process.start();
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(5000);
        return std::nullopt;
    }
    Trace trace;
    for (const QByteArray &line : process.readAllStandardError().split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(' ');
        if (fields.size() != 4 || fields[0] != "omvex-startup-trace")
            continue;
        trace.push_back({QString::fromLatin1(fields[1]), static_cast<double>(fields[2].toLongLong() - started) / 1e6,
                         static_cast<double>(fields[3].toLongLong()) / 1e6});
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 || trace.empty()
        || trace.back().name != QLatin1String("painted"))
        return std::nullopt;
    return trace;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void report(const QString &platform, const std::vector<Program> &programs, const std::vector<std::vector<Trace>> &runs,
            double Checkpoint::*measure, const char *what)
{
    QStringList checkpoints;
    std::vector<std::map<QString, double>> medians(programs.size());
    for (std::size_t p = 0; p < programs.size(); ++p) {
        std::map<QString, std::vector<double>> times;
        for (const Trace &trace : runs[p]) {
            for (const Checkpoint &checkpoint : trace) {
                times[checkpoint.name].push_back(checkpoint.*measure);
                if (!checkpoints.contains(checkpoint.name))
                    checkpoints.append(checkpoint.name);
            }
        }
        for (const auto &[name, values] : times)
            medians[p][name] = median(values);
    }
    // In the order the last program that reaches a checkpoint reaches it.
    const auto when = [&](const QString &checkpoint) {
        for (std::size_t p = programs.size(); p-- > 0;) {
            const auto found = medians[p].find(checkpoint);
            if (found != medians[p].end())
                return found->second;
        }
        return 0.0;
    };
    std::stable_sort(checkpoints.begin(), checkpoints.end(),
                     [&](const QString &a, const QString &b) { return when(a) < when(b); });

    std::printf("\n%s, %s: median ms (%zu starts each)\n", qPrintable(platform), what, runs.front().size());
    std::printf("%-14s", "checkpoint");
    for (const Program &program : programs)
        std::printf("%12s", qPrintable(program.name));
    std::printf("\n");
    for (const QString &checkpoint : checkpoints) {
        std::printf("%-14s", qPrintable(checkpoint));
        for (const auto &times : medians) {
            const auto found = times.find(checkpoint);
            if (found == times.end())
                std::printf("%12s", "-");
            else
                std::printf("%12.1f", found->second);
        }
        std::printf("\n");
    }
    for (std::size_t p = 1; p < programs.size(); ++p) {
        std::printf("%s / %s: exposed %.2fx, painted %.2fx\n", qPrintable(programs[p].name),
                    qPrintable(programs[0].name), medians[p]["exposed"] / medians[0]["exposed"],
                    medians[p]["painted"] / medians[0]["painted"]);
    }
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    int rounds = 11;
    int settleMilliseconds = 150;
    std::vector<QString> platforms;
    std::vector<std::pair<QString, QString>> named;
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--rounds") && i + 1 < arguments.size()) {
            rounds = arguments[++i].toInt();
            if (rounds < 1)
                fail(QStringLiteral("--rounds takes a whole number of at least 1"));
        } else if (argument == QLatin1String("--platform") && i + 1 < arguments.size()) {
            platforms.push_back(arguments[++i]);
        } else if (argument.contains(QLatin1Char('='))) {
            named.emplace_back(argument.section(QLatin1Char('='), 0, 0), argument.section(QLatin1Char('='), 1));
        } else {
            fail(QStringLiteral("usage: bench_startup [--rounds N] [--platform offscreen|xcb]... [name=program]..."));
        }
    }
    if (platforms.empty())
        platforms = {QStringLiteral("offscreen"), QStringLiteral("xcb")};
    if (named.empty())
        named = {{QStringLiteral("bare"), QStringLiteral(OMVEX_BARE_WINDOW)}, {QStringLiteral("omvex"),
                                                                               QStringLiteral(OMVEX_PROGRAM)}};

    QTemporaryDir folders;
    std::vector<Program> programs;
    for (const auto &[name, path] : named) {
        const QString folder = folders.filePath(QString::number(programs.size()));
        const QString copy = QDir(folder).filePath(QFileInfo(path).fileName());
        if (!QDir().mkpath(folder) || !QFile::copy(path, copy)
            || !QFile::copy(QStringLiteral(OMVEX_SOURCE_DIR "/data/kako.txt"), QDir(folder).filePath("kako.txt")))
            fail(QStringLiteral("cannot copy %1 into a program folder of its own").arg(path));
        programs.push_back({name, copy});
    }

    std::unique_ptr<VirtualDisplay> xvfb;
    QProcessEnvironment base = QProcessEnvironment::systemEnvironment();
    base.insert(QStringLiteral("OMVEX_STARTUP_TRACE"), QStringLiteral("1"));
    base.remove(QStringLiteral("WAYLAND_DISPLAY"));
    std::vector<QProcessEnvironment> environments;
    for (const QString &platform : platforms) {
        QProcessEnvironment environment = base;
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        if (platform == QLatin1String("xcb")) {
            if (!xvfb) {
                xvfb = std::make_unique<VirtualDisplay>();
                if (!xvfb->start())
                    fail(QStringLiteral("cannot start Xvfb (package xvfb)"));
            }
            environment.insert(QStringLiteral("DISPLAY"), xvfb->display());
        }
        environments.push_back(environment);
    }

    // runs[platform][program]: one trace per round. One round first that is not counted, so that
    // every program starts from files already in the page cache.
    std::vector<std::vector<std::vector<Trace>>> runs(platforms.size(), std::vector<std::vector<Trace>>(programs.size()));
    for (int round = 0; round <= rounds; ++round) {
        for (std::size_t f = 0; f < platforms.size(); ++f) {
            // Every other round in the reverse order: a program that starts right after another
            // finds more of what they share already in memory.
            for (std::size_t turn = 0; turn < programs.size(); ++turn) {
                const std::size_t p = round % 2 == 0 ? turn : programs.size() - 1 - turn;
                // The display server tidies up after the start before at its own pace; a start
                // that came right after another would pay for it.
                QThread::msleep(settleMilliseconds);
                const std::optional<Trace> trace = startOnce(programs[p], environments[f]);
                if (!trace)
                    fail(QStringLiteral("%1 on %2 did not reach its first paint").arg(programs[p].name, platforms[f]));
                if (round > 0)
                    runs[f][p].push_back(*trace);
            }
        }
    }
    for (std::size_t f = 0; f < platforms.size(); ++f) {
        report(platforms[f], programs, runs[f], &Checkpoint::wall, "wall time since the process was started");
        report(platforms[f], programs, runs[f], &Checkpoint::cpu, "CPU time of the process");
    }
    return 0;
}
