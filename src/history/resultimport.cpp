#include "history/resultimport.h"
#include "history/historyload.h"
#include "history/historystatus.h"
#include "history/importmerge.h"

#include "engine/tables.h"
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
                                      "結果ファイルなら、kako.txt を別の名前に変えてから、そのファイルを取り込んでください")
                           .arg(warning.line));
        } else if (warning.code == "after-end") {
            errors.add(0, "kako",
                       QStringLiteral("kako.txt の%1行目から後は読まれていないため、書き直すとその行が失われます。"
                                      "先に kako.txt を直してください")
                           .arg(warning.line));
        }
    }
}

ImportWriteResult failed(QString code, QString message, QString backupPath = {})
{
    return {ImportOutcome::WriteFailed, std::move(backupPath), std::move(code), std::move(message)};
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

} // namespace

HistoryLoad loadKako(const QString &path, CellGrid &grid)
{
    return loadHistory(path, grid, {nullptr, resultFileDraws});
}

HistoryLoad loadKako(const QString &path, const QByteArray &content, CellGrid &grid)
{
    return loadHistory(path, std::string_view(content.constData(), static_cast<std::size_t>(content.size())), grid,
                       {nullptr, resultFileDraws});
}

ImportPlan planImport(const QString &sourcePath, const QString &kakoPath, bool replace)
{
    ImportPlan plan;
    plan.sourcePath = sourcePath;
    plan.kakoPath = kakoPath;
    plan.replace = replace;

    ImportErrorList errors;
    std::vector<SourceDraw> draws;
    QByteArray source;
    if (const std::optional<QString> problem = readBounded(sourcePath, source)) {
        errors.add(0, "unreadable", QStringLiteral("%1 を読めません: %2").arg(shown(sourcePath), *problem));
    } else {
        ResultFile file = readResultFile(source);
        source = QByteArray(); // the draws are all that is needed from here on
        plan.format = file.format;
        plan.encoding = file.encoding;
        errors = std::move(file.errors);
        draws = std::move(file.draws);
        if (draws.empty() && errors.isEmpty())
            errors.add(0, "unreadable", QStringLiteral("%1 には取り込める回がありません").arg(shown(sourcePath)));
    }

    CellGrid history = emptyHistory();
    DrawHistory rows;
    plan.kakoExisted = QFileInfo::exists(kakoPath);
    if (plan.kakoExisted) {
        if (const std::optional<QString> problem = readBounded(kakoPath, plan.previousContent)) {
            errors.add(0, "kako", QStringLiteral("%1 を読めません: %2").arg(shown(kakoPath), *problem));
        } else {
            // The same reader as a prediction's, on the same bytes that the backup will keep.
            plan.kakoRead = true;
            HistoryLoad kako = loadKako(kakoPath, plan.previousContent, history);
            checkKako(kako, errors);
            rows = std::move(kako.draws);
        }
    }

    ImportMerge merge = mergeDraws(history, rows, draws, replace, errors);
    plan.read = static_cast<int>(draws.size());
    plan.added = merge.added;
    plan.unchanged = merge.unchanged;
    plan.replaced = std::move(merge.replaced);
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

ImportWriteResult writeImport(const ImportPlan &plan)
{
    if (plan.isRefused())
        return {ImportOutcome::Refused, {}, QStringLiteral("refused"), QStringLiteral("取り込めないため、kako.txt は変えていません")};
    if (!plan.changesKako())
        return {ImportOutcome::NothingNew, {}, {}, QStringLiteral("新しい回がないため、kako.txt は変えていません")};

    // The window asks before writing; the user may have saved kako.txt in the editor meanwhile, and
    // writing the plan would throw that away.
    QByteArray now;
    const bool exists = QFileInfo::exists(plan.kakoPath);
    if (exists != plan.kakoExisted || (exists && (readBounded(plan.kakoPath, now) || now != plan.previousContent)))
        return failed(QStringLiteral("changed"),
                      QStringLiteral("%1 が確認の後に変わったため、書き込みませんでした。もう一度取り込んでください")
                          .arg(shown(plan.kakoPath)));

    QString backupPath;
    if (plan.kakoExisted) {
        backupPath = plan.kakoPath + QStringLiteral(".bak");
        const platform::FileWriteResult backup = platform::replaceFile(backupPath, plan.previousContent);
        if (!backup.ok)
            return failed(backup.code, QStringLiteral("バックアップを作れないため、kako.txt は変えていません。") + backup.message);
    }
    const platform::FileWriteResult written = platform::replaceFile(plan.kakoPath, plan.content);
    if (!written.ok)
        return failed(written.code, QStringLiteral("kako.txt は元のままです。") + written.message, backupPath);
    return {ImportOutcome::Written, backupPath, {}, {}};
}

QString importSummaryText(const ImportPlan &plan, const ImportWriteResult *written)
{
    QStringList lines;
    lines << QStringLiteral("取込元: %1").arg(shown(plan.sourcePath));
    if (!plan.encoding.isEmpty())
        lines << QStringLiteral("形式: %1（%2）").arg(formatName(plan.format), plan.encoding);
    lines << QStringLiteral("読み込んだ回: %1回分（追加 %2、変更なし %3、置き換え %4）")
                 .arg(plan.read)
                 .arg(plan.added)
                 .arg(plan.unchanged)
                 .arg(plan.replaced.size());
    if (!plan.replaced.empty()) {
        QStringList draws;
        for (std::size_t i = 0; i < plan.replaced.size() && i < kListedReplacements; ++i)
            draws << QStringLiteral("第%1回").arg(plan.replaced[i]);
        if (plan.replaced.size() > kListedReplacements)
            draws << QStringLiteral("ほか%1回").arg(plan.replaced.size() - kListedReplacements);
        lines << QStringLiteral("置き換える回: %1").arg(draws.join(QStringLiteral("、")));
    }
    if (plan.isRefused()) {
        lines << QStringLiteral("エラーが%1件あるため取り込めません。kako.txt は変えていません")
                     .arg(static_cast<int>(plan.errors.size()) + plan.moreErrors);
    } else if (!plan.changesKako()) {
        lines << QStringLiteral("新しい回がないため、kako.txt は変えていません");
    }
    if (!written || written->outcome != ImportOutcome::WriteFailed)
        lines << QStringLiteral("kako.txt: %1").arg(heldText(plan.held));
    if (written && !written->backupPath.isEmpty())
        lines << QStringLiteral("バックアップ: %1").arg(shown(written->backupPath));
    if (written && written->outcome == ImportOutcome::WriteFailed)
        lines << written->message;
    return lines.join(u'\n');
}

QStringList importErrorTexts(const ImportPlan &plan)
{
    QStringList texts;
    for (const ImportError &error : plan.errors)
        texts << (error.line > 0 ? QStringLiteral("%1行目: %2").arg(error.line).arg(error.message) : error.message);
    if (plan.moreErrors > 0)
        texts << QStringLiteral("ほかに%1件のエラーがあります").arg(plan.moreErrors);
    return texts;
}

} // namespace omvex
