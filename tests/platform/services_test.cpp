#include "platform/services.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace omvex::platform {
namespace {

TEST(ProgramFolder, withoutApplicationObject_isTheExecutablesFolder)
{
    const QString folder = programFolder();
    EXPECT_FALSE(folder.endsWith(QLatin1Char('/')));
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/platform_test")).isExecutable()) << folder.toStdString();
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
