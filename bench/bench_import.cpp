#include "import/drawentry.h"
#include "import/resultimport.h"
#include "platform/filelock.h"

#include <QDate>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QByteArray historyBytes()
{
    QFile file(QStringLiteral(OMVEX_TEST_DATA_DIR "/history-2058.txt"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The real 2058 draws as a published twenty-column file: header, newest first, dates, zero-padded
// numbers and quoted amounts with thousands separators.
QByteArray twentyColumnFile(const QByteArray &history, bool shiftJis)
{
    QString text = QStringLiteral("開催回,日付,第1数字,第2数字,第3数字,第4数字,第5数字,第6数字,BONUS数字,1等口数,1等賞金,"
                                  "2等口数,2等賞金,3等口数,3等賞金,4等口数,4等賞金,5等口数,5等賞金,キャリーオーバー\r\n");
    QStringList lines;
    for (const QByteArray &line : history.split('\n')) {
        const QList<QByteArray> fields = line.split(',');
        if (fields.size() != 8)
            continue;
        QString row = QStringLiteral("第%1回,%2").arg(QString::fromLatin1(fields[0]),
                                                      QDate(2000, 10, 5).addDays(7 * fields[0].toInt()).toString(u"yyyy/MM/dd"));
        for (int k = 1; k < 8; ++k)
            row += QStringLiteral(",%1").arg(fields[k].toInt(), 2, 10, QLatin1Char('0'));
        lines.prepend(row + QStringLiteral(",1,\"123,456,700\",5,\"9,876,500\",180,\"612,300\",9000,\"9,100\",150000,\"1,000\",\"0\"\r\n"));
    }
    text += lines.join(QString());
    if (!shiftJis)
        return text.toUtf8();
    QStringEncoder encoder("Shift_JIS");
    return encoder(text);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Arguments: source encoding (0 UTF-8, 1 Shift-JIS) and kako.txt (0 none, 1 the same 2058 draws).
void BM_PlanImport(benchmark::State &state)
{
    const QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("results.csv"));
    const QString kako = dir.filePath(QStringLiteral("kako.txt"));
    const QByteArray history = historyBytes();
    if (!dir.isValid() || !writeFile(source, twentyColumnFile(history, state.range(0) == 1))
        || (state.range(1) == 1 && !writeFile(kako, history))) {
        state.SkipWithError("cannot prepare the files");
        return;
    }
    const omvex::ImportPlan check = omvex::planImport(source, kako, false);
    const bool full = state.range(1) == 1;
    if (check.isRefused() || check.read != 2058 || check.format != QLatin1String("dated")
        || check.added != (full ? 0 : 2058) || check.unchanged != (full ? 2058 : 0)) {
        state.SkipWithError("the plan is not what the file holds");
        return;
    }
    for (auto _ : state) {
        omvex::ImportPlan plan = omvex::planImport(source, kako, false);
        benchmark::DoNotOptimize(plan);
    }
}

// The twenty-column Shift-JIS file of 2,130 draws (72 invented after the real 2058) planned and written onto the 2058-draw kako.txt, which is put back before each run.
void BM_ImportOnto2058(benchmark::State &state)
{
    const QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("results.csv"));
    const QString kako = dir.filePath(QStringLiteral("kako.txt"));
    const QByteArray history = historyBytes();
    QByteArray later;
    for (int draw = 2059; draw <= 2130; ++draw) {
        later += QByteArray::number(draw);
        for (int k = 0; k < 7; ++k)
            later += ',' + QByteArray::number((draw * 5 + k * 6) % 43 + 1);
        later += '\n';
    }
    if (!dir.isValid() || !writeFile(source, twentyColumnFile(history + later, true)) || !writeFile(kako, history)) {
        state.SkipWithError("cannot prepare the files");
        return;
    }
    const omvex::ImportPlan check = omvex::planImport(source, kako, false);
    if (check.isRefused() || check.added != 72 || check.unchanged != 2058) {
        state.SkipWithError("the plan is not what the file holds");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        writeFile(kako, history);
        state.ResumeTiming();
        const omvex::ImportWriteResult written = omvex::writeImport(omvex::planImport(source, kako, false));
        if (written.outcome != omvex::ImportOutcome::Written)
            state.SkipWithError("not written");
    }
}

// What "結果の入力" OK does: one typed draw planned and written onto the 2058-draw kako.txt.
void BM_AddEnteredDraw(benchmark::State &state)
{
    const QTemporaryDir dir;
    const QString kako = dir.filePath(QStringLiteral("kako.txt"));
    const QByteArray history = historyBytes();
    const omvex::EnteredDraw entered{QStringLiteral("２０５９"), {"1", "2", "3", "4", "5", "６"}, QStringLiteral("7")};
    for (auto _ : state) {
        state.PauseTiming();
        writeFile(kako, history);
        state.ResumeTiming();
        if (!omvex::addEnteredDraw(kako, entered, false).isWritten())
            state.SkipWithError("not written");
    }
}

// What the writers' lock and the final check add to an import: taking and releasing the lock, and
// holding the 2058-draw kako.txt against the plan (status, then the SHA-256 of the file read again).
void BM_LockAndFinalCheck(benchmark::State &state)
{
    const QTemporaryDir dir;
    const QString kako = dir.filePath(QStringLiteral("kako.txt"));
    const QByteArray history = historyBytes();
    if (!dir.isValid() || !writeFile(kako, history)) {
        state.SkipWithError("cannot prepare the files");
        return;
    }
    const omvex::KakoSnapshot planned = omvex::snapshotKako(kako, history);
    for (auto _ : state) {
        omvex::platform::FileLock lock(omvex::kakoLockPath(kako));
        if (omvex::lockKako(lock, omvex::LockWait::Once)) {
            state.SkipWithError("the lock is busy");
            return;
        }
        QFile file(kako);
        const bool same = file.open(QIODevice::ReadOnly) && omvex::snapshotKako(kako, file.readAll()).sha256 == planned.sha256;
        if (!same) {
            state.SkipWithError("the check differs");
            return;
        }
    }
}

} // namespace

BENCHMARK(BM_LockAndFinalCheck)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlanImport)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportOnto2058)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddEnteredDraw)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
