#include "import/resultimport.h"
#include "history/historyload.h"
#include "history/historystatus.h"
#include "history/historyreader.h"
#include "import/importmerge.h"

#include "engine/tables.h"
#include "platform/filelock.h"
#include "platform/safewrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>
#include <string_view>

namespace omvex {

namespace {

constexpr int kListedReplacements = 10;

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The file's bytes, or why they cannot be had. A device or a pipe under the name could deliver
// bytes forever, and a file beyond the bound is no result file.
std::optional<QString> readBounded(const QString &path, QByteArray &bytes)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return QStringLiteral("通常のファイルではありません");
    if (info.size() > kMaxImportFileBytes)
        return QStringLiteral("大きすぎます（%1 MB まで）").arg(kMaxImportFileBytes / (1024 * 1024));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return platform::fileProblemText(path, file.error());
    bytes = file.read(kMaxImportFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return platform::fileProblemText(path, file.error());
    if (bytes.size() > kMaxImportFileBytes)
        return QStringLiteral("大きすぎます（%1 MB まで）").arg(kMaxImportFileBytes / (1024 * 1024));
    return std::nullopt;
}

// The history exactly as a prediction would get it: the history grid's own column formats.
CellGrid emptyHistory()
{
    PredictionTables tables;
    resetGridForStartUp(tables.history, false);
    return tables.history;
}

// Rewriting kako.txt keeps only what the reader stored; anything it did not store would be lost.
void checkKako(const HistoryLoad &kako, ImportErrorList &errors)
{
    const HistoryReadResult &read = kako.read;
    if (!read.complete) {
        errors.add(0, "kako",
                   QStringLiteral("kako.txt は%1行目で読み込みが止まる（%2）ため、書き直すとそれより後が失われます。"
                                  "先に kako.txt を直してください")
                       .arg(read.stopLine)
                       .arg(readStopReason(read)));
        return;
    }
    for (const HistoryWarning &warning : kako.warnings) {
        if (warning.code == "order") {
            errors.add(0, "kako",
                       QStringLiteral("kako.txt の%1行目から回号が減っているため、書き直すと記録が失われます。新しい順の"
                                      "結果ファイルなら、先に「取込...」（ツールでは --convert）で kako.txt を変換してください")
                           .arg(warning.line));
        } else if (warning.code == "after-end") {
            errors.add(0, "kako",
                       QStringLiteral("kako.txt の%1行目から後は読まれていないため、書き直すとその行が失われます。"
                                      "先に kako.txt を直してください")
                           .arg(warning.line));
        }
    }
}

QString formatName(const QString &format)
{
    if (format == QLatin1String("kako"))
        return QStringLiteral("過去データ形式");
    if (format == QLatin1String("dated"))
        return QStringLiteral("抽選日つき結果形式");
    return QStringLiteral("形式不明");
}

QString heldText(const HeldDraws &held)
{
    if (held.count == 0)
        return QStringLiteral("なし");
    return QStringLiteral("%1回分（第%2回〜第%3回）").arg(held.count).arg(held.first).arg(held.last);
}

int errorCount(const ImportPlan &plan)
{
    int count = plan.moreErrors;
    for (const ImportError &error : plan.errors)
        count += error.count;
    return count;
}

// Lines of the file that gave no draw: every problem with a line but a conflict, which is about a
// draw that was read.
int refusedLineCount(const ImportPlan &plan)
{
    int count = 0;
    for (const ImportError &error : plan.errors) {
        if (error.line > 0 && error.code != "conflict")
            count += error.count;
    }
    return count;
}

} // namespace

HistoryLoad loadKako(const QString &path, CellGrid &grid, HistoryHash hash)
{
    return loadHistory(path, grid, {nullptr, resultFileDraws, hash});
}

HistoryLoad loadKako(const QString &path, const QByteArray &content, CellGrid &grid, RowListener *listener)
{
    return loadHistory(path, std::string_view(content.constData(), static_cast<std::size_t>(content.size())), grid,
                       {listener, resultFileDraws});
}

ImportPlan planImport(const QString &sourcePath, const QString &kakoPath, bool replace, LockWait wait)
{
    QByteArray source;
    if (const std::optional<QString> problem = readBounded(sourcePath, source)) {
        ResultFile unread;
        unread.errors.add(0, "unreadable", QStringLiteral("%1 を読めません: %2").arg(shown(sourcePath), *problem));
        return planImportDraws(std::move(unread), sourcePath, kakoPath, replace, wait);
    }
    return planImportData(source, sourcePath, kakoPath, replace, wait);
}

ImportPlan planImportData(const QByteArray &bytes, const QString &label, const QString &kakoPath, bool replace,
                          LockWait wait)
{
    if (bytes.size() > kMaxImportFileBytes) {
        ResultFile tooLarge;
        tooLarge.errors.add(0, "unreadable",
                            QStringLiteral("%1 を読めません: 大きすぎます（%2 MB まで）").arg(shown(label)).arg(kMaxImportFileBytes / (1024 * 1024)));
        return planImportDraws(std::move(tooLarge), label, kakoPath, replace, wait);
    }
    ResultFile file = readResultFile(bytes);
    if (file.draws.empty() && file.errors.isEmpty())
        file.errors.add(0, "unreadable", QStringLiteral("%1 には取り込める回がありません").arg(shown(label)));
    return planImportDraws(std::move(file), label, kakoPath, replace, wait);
}

ImportPlan planImportDraws(ResultFile file, const QString &label, const QString &kakoPath, bool replace, LockWait wait)
{
    ImportPlan plan;
    plan.sourcePath = label;
    plan.kakoPath = kakoPath;
    plan.replace = replace;
    plan.format = file.format;
    plan.encoding = file.encoding;
    plan.byHeader = file.byHeader;
    ImportErrorList errors = std::move(file.errors);
    const std::vector<SourceDraw> draws = std::move(file.draws);

    CellGrid history = emptyHistory();
    DrawHistory rows;
    KakoRows kept;
    // Read under the writers' lock, so that the plan never sees a kako.txt half way through another
    // import's renames.
    // No kako.txt named (a plan onto an empty history): nothing to read, so nothing to lock.
    platform::FileLock lock(kakoPath.isEmpty() ? QString() : kakoLockPath(kakoPath));
    const std::optional<ImportError> lockProblem = kakoPath.isEmpty() ? std::nullopt : lockKako(lock, wait);
    if (lockProblem && lockProblem->code == "busy") {
        errors.add(0, "busy", lockProblem->message);
    } else if (!kakoPath.isEmpty() && QFileInfo::exists(kakoPath)) {
        // A lock file that cannot be made (a folder the user may not write) does not stop the plan:
        // the write checks the folder first and says why it cannot write.
        if (const std::optional<QString> problem = readBounded(kakoPath, plan.previousContent)) {
            errors.add(0, "kako", QStringLiteral("%1 を読めません: %2").arg(shown(kakoPath), *problem));
        } else {
            plan.kako = snapshotKako(kakoPath, plan.previousContent);
            // The same reading as a prediction's, on the same bytes that the backup will keep; it
            // notes where each row's record lies, so that rows the import leaves keep their bytes.
            kept.content = std::string_view(plan.previousContent.constData(),
                                            static_cast<std::size_t>(plan.previousContent.size()));
            RowSpans spans;
            HistoryLoad kako = loadKako(kakoPath, plan.previousContent, history, &spans);
            kept.spans = spans.take();
            checkKako(kako, errors);
            rows = std::move(kako.draws);
        }
    }
    lock.unlock();

    ImportMerge merge = mergeDraws(history, rows, draws, replace, errors, &kept);
    plan.read = static_cast<int>(draws.size());
    plan.added = merge.added;
    plan.unchanged = merge.unchanged;
    plan.replaced = std::move(merge.replaced);
    plan.conflicting = plan.read - plan.added - plan.unchanged - static_cast<int>(plan.replaced.size());
    plan.errors = errors.errors();
    plan.moreErrors = errors.moreCount();
    if (plan.isRefused() || (plan.added == 0 && plan.replaced.empty())) {
        plan.held = rows.held();
    } else {
        plan.held = merge.held;
        plan.content = std::move(merge.content);
    }
    return plan;
}

QString importSummaryText(const ImportPlan &plan, const ImportWriteResult *written)
{
    QStringList lines;
    lines << QStringLiteral("取込元: %1").arg(shown(plan.sourcePath));
    if (!plan.encoding.isEmpty())
        lines << QStringLiteral("形式: %1（%2%3）")
                     .arg(formatName(plan.format), plan.encoding, plan.byHeader ? QStringLiteral("、列は見出しから") : QString());
    QString counts = QStringLiteral("追加 %1、変更なし %2、置き換え %3").arg(plan.added).arg(plan.unchanged).arg(plan.replaced.size());
    if (plan.conflicting > 0)
        counts += QStringLiteral("、kako.txt と違う %1").arg(plan.conflicting);
    lines << QStringLiteral("読み込んだ回: %1回分（%2）").arg(plan.read).arg(counts);
    if (const int refusedLines = refusedLineCount(plan); refusedLines > 0)
        lines << QStringLiteral("読めなかった行: %1行").arg(refusedLines);
    if (!plan.replaced.empty()) {
        QStringList draws;
        for (std::size_t i = 0; i < plan.replaced.size() && i < kListedReplacements; ++i)
            draws << QStringLiteral("第%1回").arg(plan.replaced[i]);
        if (plan.replaced.size() > kListedReplacements)
            draws << QStringLiteral("ほか%1回").arg(plan.replaced.size() - kListedReplacements);
        lines << QStringLiteral("置き換える回: %1").arg(draws.join(QStringLiteral("、")));
    }
    if (plan.isRefused() && plan.conflicting > 0)
        lines << QStringLiteral("kako.txt と違う回をこのファイルの数字にするには、置き換えを指定してください（「取込」では"
                                "「置き換える」、ツールでは --replace）");
    if (plan.isRefused()) {
        lines << QStringLiteral("エラーが%1件あるため取り込めません。kako.txt は変えていません。最初のエラー: %2")
                     .arg(errorCount(plan))
                     .arg(importErrorText(plan.errors.front()));
    } else if (!plan.changesKako()) {
        lines << QStringLiteral("新しい回がないため、kako.txt は変えていません");
    }
    // A write that failed or was refused after the plan ("busy", "changed") left kako.txt as it was,
    // not as the plan would have it.
    const bool notWritten = written && (written->outcome == ImportOutcome::WriteFailed
                                        || (written->outcome == ImportOutcome::Refused && !plan.isRefused()));
    if (!notWritten)
        lines << QStringLiteral("kako.txt: %1").arg(heldText(plan.held));
    if (written && !written->backupPath.isEmpty())
        lines << QStringLiteral("バックアップ: %1").arg(shown(written->backupPath));
    if (notWritten && !written->message.isEmpty())
        lines << written->message;
    return lines.join(u'\n');
}

QStringList importErrorTexts(const ImportPlan &plan)
{
    QStringList texts;
    for (const ImportError &error : plan.errors)
        texts << importErrorText(error);
    if (plan.moreErrors > 0)
        texts << QStringLiteral("ほかに%1件のエラーがあります").arg(plan.moreErrors);
    return texts;
}

} // namespace omvex
