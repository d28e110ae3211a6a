#include "platform/services.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace omvex::platform {
namespace {

TEST(ProgramFolder, withoutApplicationObject_isTheExecutablesFolder)
{
    QString error;
    const std::optional<QString> folder = programFolder(&error);
    ASSERT_TRUE(folder) << error.toStdString();
    EXPECT_FALSE(folder->endsWith(QLatin1Char('/')));
    EXPECT_TRUE(QFileInfo(*folder + QStringLiteral("/platform_test")).isExecutable()) << folder->toStdString();
}

TEST(IsValidUtf8, acceptsWellFormedTextOnly)
{
    const struct {
        const char *name;
        QByteArray bytes;
        bool valid;
    } rows[] = {
        {"empty", "", true},
        {"ascii", "/opt/omvex", true},
        {"japanese", "/home/\xE3\x83\xA6\xE3\x83\xBC\xE3\x82\xB6", true},
        {"fourBytes", "\xF0\x9F\x8E\xB2", true},
        {"highestCodePoint", "\xF4\x8F\xBF\xBF", true},
        {"latin1Byte", "caf\xE9", false},
        {"loneContinuation", "\x80", false},
        {"cutSequence", "x\xE3\x83", false},
        {"overlongSlash", "\xC0\xAF", false},
        {"overlongThreeBytes", "\xE0\x80\xAF", false},
        {"surrogate", "\xED\xA0\x80", false},
        {"aboveHighest", "\xF4\x90\x80\x80", false},
        {"missingContinuation", "\xE3\x41\x41", false},
    };
    for (const auto &row : rows)
        EXPECT_EQ(isValidUtf8(row.bytes), row.valid) << row.name;
}

// Runs a copy of the probe from a folder named by raw bytes and returns what it printed.
std::string runProbeIn(const QByteArray &folder)
{
    const QByteArray copy = folder + "/probe";
    if (::mkdir(folder.constData(), 0700) != 0)
        return "cannot make the folder";
    QFile source(QStringLiteral(OMVEX_PROBE_PATH));
    if (!source.open(QIODevice::ReadOnly))
        return "cannot read the probe";
    const QByteArray program = source.readAll();
    const int fd = ::open(copy.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0700);
    if (fd < 0 || ::write(fd, program.constData(), static_cast<std::size_t>(program.size())) != program.size())
        return "cannot copy the probe";
    ::close(fd);

    int channel[2];
    if (::pipe(channel) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(channel[1], STDOUT_FILENO);
        ::execl(copy.constData(), copy.constData(), static_cast<char *>(nullptr));
        ::_exit(127);
    }
    ::close(channel[1]);
    std::string output;
    char buffer[512];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<std::size_t>(got));
    ::close(channel[0]);
    ::waitpid(child, nullptr, 0);
    // QTemporaryDir cannot remove what it cannot name.
    ::unlink(copy.constData());
    ::rmdir(folder.constData());
    return output;
}

TEST(ProgramFolder, folderNameNotUtf8_isRefusedWithoutAStandIn)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray base = QFile::encodeName(dir.path());
    const struct {
        const char *name;
        QByteArray folder;
        bool found;
    } rows[] = {
        {"japaneseName", base + "/\xE3\x82\xAA\xE3\x83\xA0 omvex", true},
        {"latin1Name", base + "/caf\xE9", false},
        {"cutSequence", base + "/x\xE3\x83", false},
    };
    for (const auto &row : rows) {
        const std::string output = runProbeIn(row.folder);
        if (row.found) {
            EXPECT_EQ(output, "ok " + row.folder.toStdString()) << row.name;
        } else {
            EXPECT_EQ(output.rfind("error ", 0), 0U) << row.name << ": " << output;
            EXPECT_NE(output.find("UTF-8 として正しくない"), std::string::npos) << row.name << ": " << output;
        }
    }
}

TEST(DetachedProcessStarter, programsThatCannotStart_reportAnError)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString notExecutable = dir.filePath(QStringLiteral("editor"));
    QFile file(notExecutable);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();

    const struct {
        const char *name;
        QString program;
    } rows[] = {
        {"emptyProgram", QString()},
        {"missingProgram", dir.filePath(QStringLiteral("no such editor"))},
        {"notExecutable", notExecutable},
    };
    for (const auto &row : rows) {
        DetachedProcessStarter starter;
        QString error;
        EXPECT_FALSE(starter.startDetached(row.program, {QStringLiteral("x")}, &error)) << row.name;
        EXPECT_FALSE(error.isEmpty()) << row.name;
    }
}

} // namespace
} // namespace omvex::platform
