#include "import/resultimport.h"

#include "platform/filelock.h"
#include "platform/safewrite.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <optional>

#include <sys/stat.h>

namespace omvex {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

ImportWriteResult failed(QString code, QString message, QString backupPath = {})
{
    return {ImportOutcome::WriteFailed, std::move(backupPath), std::move(code), std::move(message)};
}

std::optional<struct stat> statOf(const QString &path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return status;
}

// kako.txt as it is now, held against what the plan was made from: an editor may have saved it
// while the summary was open, or another program written it without taking the lock.
bool isAsPlanned(const ImportPlan &plan)
{
    const std::optional<struct stat> now = statOf(plan.kakoPath);
    if (now.has_value() != plan.kako.exists)
        return false;
    if (!now)
        return true;
    if (now->st_size != plan.kako.size || now->st_mtim.tv_sec != plan.kako.modifiedSeconds
        || now->st_mtim.tv_nsec != plan.kako.modifiedNanoseconds)
        return false;
    // Size and time can stay the same across an edit made within one tick of a coarse clock; the
    // content cannot.
    QFile file(plan.kakoPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file) || file.error() != QFileDevice::NoError)
        return false;
    return hash.result() == plan.kako.sha256;
}

} // namespace

QString kakoLockPath(const QString &kakoPath)
{
    return kakoPath + QStringLiteral(".lock");
}

std::optional<ImportError> lockKako(platform::FileLock &lock, LockWait wait)
{
    const platform::FileLock::State state =
        wait == LockWait::Once ? lock.tryLock() : lock.lockWithin(kKakoLockRetry);
    switch (state) {
    case platform::FileLock::State::Locked:
        return std::nullopt;
    case platform::FileLock::State::Busy:
        return ImportError{{0, "busy", QStringLiteral("ほかの取込が実行中です")}};
    case platform::FileLock::State::Unlocked:
    case platform::FileLock::State::Failed:
        break;
    }
    return ImportError{{0, "lock",
                       QStringLiteral("%1: 取込の排他に使うファイルを開けません（%2）")
                           .arg(shown(lock.path()), platform::fileProblemText(lock.path(), QFileDevice::OpenError))}};
}

KakoSnapshot snapshotKako(const QString &kakoPath, const QByteArray &content)
{
    KakoSnapshot snapshot;
    const std::optional<struct stat> status = statOf(kakoPath);
    snapshot.exists = status.has_value();
    if (status) {
        snapshot.size = status->st_size;
        snapshot.modifiedSeconds = status->st_mtim.tv_sec;
        snapshot.modifiedNanoseconds = status->st_mtim.tv_nsec;
    }
    snapshot.sha256 = QCryptographicHash::hash(content, QCryptographicHash::Sha256);
    return snapshot;
}

ImportWriteResult writeImport(const ImportPlan &plan, LockWait wait)
{
    if (plan.isRefused())
        return {ImportOutcome::Refused, {}, QStringLiteral("refused"), QStringLiteral("取り込めないため、kako.txt は変えていません")};
    if (!plan.changesKako())
        return {ImportOutcome::NothingNew, {}, {}, QStringLiteral("新しい回がないため、kako.txt は変えていません")};

    // Everything is checked before anything is written, so that a refused write leaves even the
    // backup as it was. The backup replaces its name, never what a link there points to, and is as
    // private as the history it keeps.
    const QString backupPath = plan.kako.exists ? plan.kakoPath + QStringLiteral(".bak") : QString();
    platform::StageOptions backupOptions;
    backupOptions.followLinks = false;
    if (plan.kako.exists) {
        if (const std::optional<struct stat> kako = statOf(plan.kakoPath))
            backupOptions.mode = kako->st_mode & 07777;
    }
    if (const Status checked = platform::checkReplaceable(plan.kakoPath); !checked.ok)
        return failed(checked.code, QStringLiteral("kako.txt は元のままです。") + checked.message);
    const QString keptBackupText = QStringLiteral("バックアップを作れないため、kako.txt は変えていません。");
    if (plan.kako.exists) {
        if (const Status checked = platform::checkReplaceable(backupPath, backupOptions); !checked.ok)
            return failed(checked.code, keptBackupText + checked.message);
    }

    // Held from here to the last rename: no other import plans from or writes kako.txt meanwhile.
    platform::FileLock lock(kakoLockPath(plan.kakoPath));
    if (const std::optional<ImportError> problem = lockKako(lock, wait)) {
        if (problem->code == "busy")
            return {ImportOutcome::Refused, {}, QStringLiteral("busy"), problem->message};
        return failed(QString::fromStdString(problem->code), problem->message);
    }

    // Both files are written and synced before either takes its place: a full disk or a crash
    // part way leaves the old pair.
    platform::StagedFile backup;
    if (plan.kako.exists) {
        const Status staged = platform::stageFile(backupPath, plan.previousContent, backup, backupOptions);
        if (!staged.ok)
            return failed(staged.code, keptBackupText + staged.message);
    }
    platform::StagedFile kako;
    if (const Status staged = platform::stageFile(plan.kakoPath, plan.content, kako); !staged.ok)
        return failed(staged.code, QStringLiteral("kako.txt は元のままです。") + staged.message);

    if (!isAsPlanned(plan))
        return {ImportOutcome::Refused, {}, QStringLiteral("changed"),
                QStringLiteral("%1 が確認の後に変わったため、書き込みませんでした。もう一度取り込んでください")
                    .arg(shown(plan.kakoPath))};

    // The backup first: once kako.txt is replaced, the backup must already hold what it replaced.
    if (backup.isStaged()) {
        if (const Status committed = backup.commit(); !committed.ok)
            return failed(committed.code, keptBackupText + committed.message);
    }
    if (const Status committed = kako.commit(); !committed.ok)
        return failed(committed.code, QStringLiteral("kako.txt は元のままです。") + committed.message, backupPath);
    return {ImportOutcome::Written, backupPath, {}, {}};
}

} // namespace omvex
