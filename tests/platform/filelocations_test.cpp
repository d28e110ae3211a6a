#include "platform/filelocations.h"
#include "platform/outsideprograms.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace omvex {
namespace {

TEST(FileLocations, joinPath_addsOneSlash)
{
    const struct {
        const char *folder;
        const char *expected;
    } rows[] = {
        {"/", "/omvex.ini"},
        {"/opt/omvex", "/opt/omvex/omvex.ini"},
        {"/opt/omvex/", "/opt/omvex/omvex.ini"},
        {"/home/a b/omvex", "/home/a b/omvex/omvex.ini"},
        {"", "/omvex.ini"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(joinPath(QString::fromUtf8(row.folder), QStringLiteral("omvex.ini")), QString::fromUtf8(row.expected))
            << row.folder;
}

TEST(FileLocations, locateFiles_putsAllThreeInTheProgramFolder)
{
    const FileLocations root = locateFiles(QStringLiteral("/"));
    EXPECT_EQ(root.HelpFilePath, QStringLiteral("/omvex.hlp"));
    EXPECT_EQ(root.IniFilePath, QStringLiteral("/omvex.ini"));
    EXPECT_EQ(root.KakoFilePath, QStringLiteral("/kako.txt"));
    const FileLocations sub = locateFiles(QStringLiteral("/opt/omvex"));
    EXPECT_EQ(sub.HelpFilePath, QStringLiteral("/opt/omvex/omvex.hlp"));
    EXPECT_EQ(sub.IniFilePath, QStringLiteral("/opt/omvex/omvex.ini"));
    EXPECT_EQ(sub.KakoFilePath, QStringLiteral("/opt/omvex/kako.txt"));
}

void makeFile(const QString &path, const QByteArray &content, bool executable)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(content);
    file.close();
    QFileDevice::Permissions permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (executable)
        permissions |= QFileDevice::ExeOwner;
    ASSERT_TRUE(QFile::setPermissions(path, permissions));
}

TEST(FileLocations, findTextEditor_takesTheFirstCandidateFoundOnThePath)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString a = dir.filePath(QStringLiteral("a"));
    const QString b = dir.filePath(QStringLiteral("b"));
    const QString c = dir.filePath(QStringLiteral("c"));
    for (const QString &folder : {a, b, c})
        ASSERT_TRUE(QDir().mkpath(folder));
    makeFile(a + QStringLiteral("/gedit"), "#!/bin/sh\n", true);
    makeFile(b + QStringLiteral("/xdg-open"), "#!/bin/sh\n", true);
    makeFile(b + QStringLiteral("/kate"), "#!/bin/sh\n", false);
    ASSERT_TRUE(QDir().mkpath(c + QStringLiteral("/mousepad")));
    makeFile(c + QStringLiteral("/geany"), "#!/bin/sh\n", true);

    const struct {
        const char *name;
        QString searchPath;
        QString expected;
    } rows[] = {
        {"xdgOpenBeforeEditorsInEarlierFolders", a + ':' + b, b + QStringLiteral("/xdg-open")},
        {"firstEditorOfTheList", a + ':' + c, a + QStringLiteral("/gedit")},
        {"notExecutableAndFoldersSkipped", c, c + QStringLiteral("/geany")},
        {"trailingSlashInEntry", c + QStringLiteral("/"), c + QStringLiteral("/geany")},
        {"emptyEntriesSkipped", QStringLiteral("::") + c + QStringLiteral(":"), c + QStringLiteral("/geany")},
        {"relativeEntryNeverSearched", QDir(QDir::currentPath()).relativeFilePath(a), QString()},
        {"nothingFound_empty", dir.filePath(QStringLiteral("none")), QString()},
        {"emptyPath_empty", QString(), QString()},
    };
    // The program's own PATH holds an editor: a search with no usable folder must not fall back to it.
    const QByteArray programPath = qgetenv("PATH");
    qputenv("PATH", b.toLocal8Bit());
    for (const auto &row : rows)
        EXPECT_EQ(findTextEditor(row.searchPath), row.expected) << row.name;
    qputenv("PATH", programPath);
}

// Records the program and arguments instead of starting anything.
class RecordingStarter final : public platform::ProcessStarter {
public:
    bool startDetached(const QString &program, const QStringList &arguments, QString *error) override
    {
        ++starts;
        lastProgram = program;
        lastArguments = arguments;
        if (!succeed && error)
            *error = QStringLiteral("refused by the test");
        return succeed;
    }
    bool succeed = true;
    int starts = 0;
    QString lastProgram;
    QStringList lastArguments;
};

TEST(OpenHistoryInEditor, createsAMissingFileButNeverOverwrites)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString kako = dir.filePath(QStringLiteral("kako.txt"));
    RecordingStarter starter;

    ASSERT_TRUE(openHistoryInEditor(QStringLiteral("/usr/bin/editor"), kako, starter).ok);
    EXPECT_TRUE(QFile::exists(kako));
    EXPECT_EQ(QFileInfo(kako).size(), 0);
    EXPECT_EQ(starter.lastProgram, QStringLiteral("/usr/bin/editor"));
    EXPECT_EQ(starter.lastArguments, QStringList{kako});

    makeFile(kako, "1,2,3,4,5,6,7,8\n", false);
    ASSERT_TRUE(openHistoryInEditor(QStringLiteral("/usr/bin/editor"), kako, starter).ok);
    QFile file(kako);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("1,2,3,4,5,6,7,8\n"));
    EXPECT_EQ(starter.starts, 2);
}

TEST(OpenHistoryInEditor, failures_giveAMessageAndStartNothingMore)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString kako = dir.filePath(QStringLiteral("kako.txt"));

    RecordingStarter none;
    const EditorStartResult noEditor = openHistoryInEditor(QString(), kako, none);
    EXPECT_FALSE(noEditor.ok);
    EXPECT_FALSE(noEditor.error.isEmpty());
    EXPECT_EQ(none.starts, 0);

    RecordingStarter refusing;
    refusing.succeed = false;
    const EditorStartResult refused = openHistoryInEditor(QStringLiteral("/usr/bin/editor"), kako, refusing);
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.error.startsWith(QStringLiteral("テキストエディタを起動できませんでした: /usr/bin/editor")))
        << refused.error.toStdString();
    EXPECT_TRUE(refused.error.contains(QStringLiteral("refused by the test")));

    RecordingStarter unused;
    const QString noFolder = dir.filePath(QStringLiteral("missing/kako.txt"));
    const EditorStartResult uncreatable = openHistoryInEditor(QStringLiteral("/usr/bin/editor"), noFolder, unused);
    EXPECT_FALSE(uncreatable.ok);
    EXPECT_TRUE(uncreatable.error.contains(noFolder));
    EXPECT_EQ(unused.starts, 0);
}

TEST(OpenHistoryInEditor, realStart_passesAPathWithSpacesAsOneArgument)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("my programs/omvex; echo x"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString kako = folder + QStringLiteral("/kako.txt");
    const QString record = dir.filePath(QStringLiteral("arguments.txt"));
    const QString editor = dir.filePath(QStringLiteral("fake editor"));
    // One argument per line; written under another name and renamed, so the poll never sees half a file.
    makeFile(editor,
             QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '%1.part'\nmv '%1.part' '%1'\n")
                 .arg(record)
                 .toUtf8(),
             true);

    platform::DetachedProcessStarter starter;
    const EditorStartResult result = openHistoryInEditor(editor, kako, starter);
    ASSERT_TRUE(result.ok) << result.error.toStdString();

    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(record) && timer.elapsed() < 10000)
        QThread::msleep(20);
    QFile file(record);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "the fake editor did not run";
    EXPECT_EQ(QString::fromUtf8(file.readAll()), kako + QLatin1Char('\n'));
}

TEST(OpenHistoryInEditor, missingEditorProgram_reportsTheProgram)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("no editor here"));
    platform::DetachedProcessStarter starter;
    const EditorStartResult result = openHistoryInEditor(missing, dir.filePath(QStringLiteral("kako.txt")), starter);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains(missing)) << result.error.toStdString();
}

} // namespace
} // namespace omvex
