#include "import/resultimport.h"
#include "platform/filelock.h"
#include "support/atonce.h"

#include "importtestsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>


namespace omvex {
namespace {

using namespace importtest;

mode_t modeOf(const QString &path)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode : 0;
}

// Each row sets the folder up (kako.txt "1,...", a previous backup "old backup"), plans the import
// of draw 2, does something between the plan and the write, and checks what is left.
TEST(ResultImport, writeImport_writesBothFilesOrNeither)
{
    const QByteArray kako = "1,1,2,3,4,5,6,7\n";
    const QByteArray imported = kako + "2,1,2,3,4,5,6,8\n";
    const QByteArray edited = "1,1,2,3,4,5,6,7\n9,1,2,3,4,5,6,7\n";
    const QByteArray sameSize = "1,1,2,3,4,5,6,9\n";
    const auto none = [](Folder &) {};
    const struct {
        const char *name;
        std::function<void(Folder &)> before; // before the plan
        std::function<void(Folder &)> between; // between the plan and the write
        ImportOutcome outcome;
        const char *code;
        QByteArray kakoAfter;
        QByteArray backupAfter; // read through the name kako.txt.bak
        mode_t backupMode;      // 0: not checked
    } rows[] = {
        {"written", none, none, ImportOutcome::Written, "", imported, kako, S_IFREG | 0644},
        {"editedAfterPlan_refused", none, [&](Folder &f) { writeFile(f.kako, edited); }, ImportOutcome::Refused,
         "changed", edited, "old backup\n", 0},
        // Same size and, set back, the same time: only the content tells.
        {"editedKeepingSizeAndTime_refused", none,
         [&](Folder &f) {
             struct stat status {};
             ::stat(QFile::encodeName(f.kako).constData(), &status);
             writeFile(f.kako, sameSize);
             const timespec times[2] = {status.st_atim, status.st_mtim};
             ::utimensat(AT_FDCWD, QFile::encodeName(f.kako).constData(), times, 0);
         },
         ImportOutcome::Refused, "changed", sameSize, "old backup\n", 0},
        {"readOnlyKako_backupKept",
         [](Folder &f) { ::chmod(QFile::encodeName(f.kako).constData(), 0444); }, none,
         ImportOutcome::WriteFailed, "read-only", kako, "old backup\n", 0},
        {"backupLinkToAnotherFile_linkReplaced",
         [](Folder &f) {
             writeFile(f.dir.filePath(QStringLiteral("precious")), "precious\n");
             QFile::remove(f.backup);
             QFile::link(QStringLiteral("precious"), f.backup);
         },
         none, ImportOutcome::Written, "", imported, kako, S_IFREG | 0644},
        {"backupLinkToKako_backupKept",
         [](Folder &f) {
             QFile::remove(f.backup);
             QFile::link(QStringLiteral("kako.txt"), f.backup);
         },
         none, ImportOutcome::Written, "", imported, kako, S_IFREG | 0644},
        {"privateKako_privateBackup",
         [](Folder &f) {
             QFile::remove(f.backup);
             ::chmod(QFile::encodeName(f.kako).constData(), 0600);
         },
         none, ImportOutcome::Written, "", imported, kako, S_IFREG | 0600},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        ::umask(022);
        Folder folder("2,1,2,3,4,5,6,8\n", kako);
        writeFile(folder.backup, "old backup\n");
        row.before(folder);
        const ImportPlan plan = planImport(folder.source, folder.kako, false);
        ASSERT_TRUE(plan.changesKako());
        row.between(folder);
        const ImportWriteResult written = writeImport(plan);
        EXPECT_EQ(written.outcome, row.outcome);
        EXPECT_EQ(written.code.toStdString(), row.code);
        if (written.outcome != ImportOutcome::Written) {
            // What the user is shown: why, and never the draws the write would have given.
            const QString summary = importSummaryText(plan, &written);
            EXPECT_TRUE(summary.contains(written.message)) << summary.toStdString();
            EXPECT_FALSE(summary.contains(QStringLiteral("kako.txt: 2回分"))) << summary.toStdString();
        }
        EXPECT_EQ(readFile(folder.kako), row.kakoAfter);
        EXPECT_EQ(readFile(folder.backup), row.backupAfter);
        if (row.backupMode != 0) {
            EXPECT_EQ(modeOf(folder.backup), row.backupMode);
        }
        if (QFileInfo::exists(folder.dir.filePath(QStringLiteral("precious")))) {
            EXPECT_EQ(readFile(folder.dir.filePath(QStringLiteral("precious"))), "precious\n");
        }
        const QStringList left = QDir(folder.dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("kako.txt."));
        EXPECT_TRUE(left.filter(QRegularExpression(QStringLiteral("^\\.kako"))).isEmpty()) << left.join(u' ').toStdString();
    }
}

// Two imports started together into one folder, each adding its own draw: whichever says it wrote
// must find its draw in kako.txt afterwards.
TEST(ResultImport, writeImport_twoAtOnce_loseNoDrawTheyReportWritten)
{
    for (int trial = 0; trial < 20; ++trial) {
        Folder folder("2,1,2,3,4,5,6,8\n", "1,1,2,3,4,5,6,7\n");
        const QString other = folder.dir.filePath(QStringLiteral("other.csv"));
        writeFile(other, "3,1,2,3,4,5,6,9\n");
        const QString sources[] = {folder.source, other};
        const std::vector<int> statuses = test::runAtOnce(2, [&](int index) {
            const ImportWriteResult written = writeImport(planImport(sources[index], folder.kako, false));
            return static_cast<int>(written.outcome);
        });
        const QByteArray after = readFile(folder.kako);
        const QByteArray lines[] = {"2,1,2,3,4,5,6,8\n", "3,1,2,3,4,5,6,9\n"};
        for (int index = 0; index < 2; ++index) {
            if (statuses[static_cast<std::size_t>(index)] == static_cast<int>(ImportOutcome::Written)) {
                EXPECT_TRUE(after.contains(lines[index])) << "trial " << trial << ":\n" << after.toStdString();
            }
        }
    }
}

// A window tries the lock once: another import holding it refuses both the plan and the write at
// once, and nothing changes.
TEST(ResultImport, lockHeldElsewhere_refusesAsBusyWithoutWaiting)
{
    Folder folder("2,1,2,3,4,5,6,8\n", "1,1,2,3,4,5,6,7\n");
    const ImportPlan planned = planImport(folder.source, folder.kako, false, LockWait::Once);
    ASSERT_TRUE(planned.changesKako());
    platform::FileLock other(kakoLockPath(folder.kako));
    ASSERT_EQ(other.tryLock(), platform::FileLock::State::Locked);

    EXPECT_EQ(codesOf(planImport(folder.source, folder.kako, false, LockWait::Once)), "busy@0");
    const ImportWriteResult written = writeImport(planned, LockWait::Once);
    EXPECT_EQ(written.outcome, ImportOutcome::Refused);
    EXPECT_EQ(written.code, QStringLiteral("busy"));
    EXPECT_EQ(written.message, QStringLiteral("ほかの取込が実行中です"));
    EXPECT_EQ(readFile(folder.kako), "1,1,2,3,4,5,6,7\n");
    EXPECT_EQ(readFile(folder.backup), "<missing>");
}

TEST(ResultImport, importSummaryText_saysWhatWasReadAndWhatKakoHolds)
{
    Folder folder("3,1,2,3,4,5,6,8\n2,1,2,3,4,5,6,7\n1,1,2,3,4,5,6,9\n", "1,1,2,3,4,5,6,7\n2,1,2,3,4,5,6,7\n");
    const ImportPlan plan = planImport(folder.source, folder.kako, true);
    const ImportWriteResult written = writeImport(plan);
    ASSERT_EQ(written.outcome, ImportOutcome::Written);
    const QString summary = importSummaryText(plan, &written);
    for (const QString &part : {QStringLiteral("3回分（追加 1、変更なし 1、置き換え 1）"), QStringLiteral("置き換える回: 第1回"),
                                QStringLiteral("kako.txt: 3回分（第1回〜第3回）"), folder.backup})
        EXPECT_TRUE(summary.contains(part)) << summary.toStdString() << "\nlacks " << part.toStdString();
}

} // namespace
} // namespace omvex
