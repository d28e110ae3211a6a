#include "import/kakoconversion.h"

#include "engine/tables.h"
#include "import/resultimport.h"
#include "platform/filelock.h"
#include "platform/safewrite.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>
#include <string_view>

namespace omvex {

namespace {

std::optional<QByteArray> readAll(const QString &path)
{
    if (!QFileInfo(path).isFile() || QFileInfo(path).size() > kMaxImportFileBytes)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.read(kMaxImportFileBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxImportFileBytes)
        return std::nullopt;
    return bytes;
}

} // namespace

QString conversionOrigPath(const QString &kakoPath)
{
    return kakoPath + QStringLiteral(".orig");
}

bool isKakoResultsFile(const QString &kakoPath)
{
    const std::optional<QByteArray> bytes = readAll(kakoPath);
    if (!bytes)
        return false;
    PredictionTables tables;
    resetGridForStartUp(tables.history, false);
    const std::vector<HistoryWarning> warnings = loadKako(kakoPath, *bytes, tables.history).warnings;
    const bool looksLikeOne = std::any_of(warnings.begin(), warnings.end(), [](const HistoryWarning &warning) {
        return warning.code == "header" || warning.code == "order";
    });
    if (!looksLikeOne)
        return false;
    const ResultFile file = readResultFile(*bytes);
    return file.errors.isEmpty() && !file.draws.empty();
}

ImportPlan planConversion(const QString &kakoPath, LockWait wait)
{
    // Read under the writers' lock, as any plan is.
    platform::FileLock lock(kakoLockPath(kakoPath));
    if (const std::optional<ImportError> problem = lockKako(lock, wait); problem && problem->code == "busy") {
        ImportPlan plan = planImportDraws({}, kakoPath, QString(), false, wait);
        plan.errors = {*problem};
        return plan;
    }
    const std::optional<QByteArray> bytes = readAll(kakoPath);
    lock.unlock();
    if (!bytes) {
        ImportPlan plan = planImportDraws({}, kakoPath, QString(), false, wait);
        plan.errors = {ImportError{{0, "kako", QStringLiteral("%1 を読めません").arg(kakoPath)}, 0, 1, {}, {}}};
        return plan;
    }
    // Planned onto no file at all, so that every draw is written; then the plan is bound to
    // kako.txt as it was read, which the write checks is still there unchanged.
    ImportPlan plan = planImportDraws(readResultFile(*bytes), kakoPath, QString(), false, wait);
    plan.kakoPath = kakoPath;
    plan.kako = snapshotKako(kakoPath, *bytes);
    plan.previousContent = *bytes;
    return plan;
}

ImportWriteResult writeConversion(const ImportPlan &plan, LockWait wait)
{
    if (plan.isRefused() || !plan.changesKako())
        return writeImport(plan, wait);
    const QString origPath = conversionOrigPath(plan.kakoPath);
    if (QFileInfo::exists(origPath)) {
        const std::optional<QByteArray> orig = readAll(origPath);
        if (!orig || *orig != plan.previousContent)
            return {ImportOutcome::WriteFailed, {}, QStringLiteral("orig-exists"),
                    QStringLiteral("%1 が既にあり、kako.txt と内容が違うため変換しません。別の名前に変えてからもう一度"
                                   "変換してください")
                        .arg(origPath)};
    } else if (const Status kept = platform::replaceFile(origPath, plan.previousContent); !kept.ok) {
        return {ImportOutcome::WriteFailed, {}, kept.code,
                QStringLiteral("元のファイルを残せないため、kako.txt は変えていません。") + kept.message};
    }
    return writeImport(plan, wait);
}

} // namespace omvex
