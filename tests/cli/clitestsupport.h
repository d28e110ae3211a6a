#pragma once

#include "cli/tool.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <sstream>
#include <string>

namespace omvex::cli::test {

inline void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + path.toStdString());
    file.write(content);
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

inline QByteArray sharedHistory()
{
    return readFile(QStringLiteral(OMVEX_TEST_DATA_DIR "/history-2058.txt"));
}

struct RunOutput {
    int status = -1;
    std::string out;
    std::string err;
};

// One invocation in this process, with the given folder as the program's own.
inline RunOutput runTool(const QString &folder, const QStringList &arguments)
{
    Environment environment;
    environment.programFolder = folder;
    std::ostringstream out;
    std::ostringstream err;
    RunOutput result;
    result.status = runArguments(arguments, environment, out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

} // namespace omvex::cli::test
