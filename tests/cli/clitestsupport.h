#pragma once

#include "cli/tool.h"
#include "support/programfolder.h"

#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace omvex::cli::test {

using omvex::test::readFile;

// A file the test cannot set up ends the test, rather than let it check a folder it did not make.
inline void writeFile(const QString &path, const QByteArray &content)
{
    if (!omvex::test::writeFile(path, content))
        throw std::runtime_error("cannot write " + path.toStdString());
}

inline QByteArray sharedHistory()
{
    return readFile(QStringLiteral(OMVEX_TEST_DATA_DIR "/history-2058.txt"));
}

// The object of a tool's JSON output; an empty object when the text is not JSON.
inline QJsonObject jsonOf(const std::string &text)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

// jsonOf for output that must be one valid document: a parse error fails the test.
inline QJsonObject parseJson(const std::string &text)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << " in " << text;
    return document.object();
}

inline std::vector<int> numbersOf(const QJsonArray &array)
{
    std::vector<int> numbers;
    for (const QJsonValue &value : array)
        numbers.push_back(value.toInt());
    return numbers;
}

struct RunOutput {
    int status = -1;
    std::string out;
    std::string err;
};

// One invocation in this process, with the given folder as the program's own.
inline RunOutput runTool(const QString &folder, const QStringList &arguments, const std::string &input = {})
{
    Environment environment;
    environment.programFolder = folder;
    std::istringstream in(input);
    environment.input = &in;
    std::ostringstream out;
    std::ostringstream err;
    RunOutput result;
    result.status = runArguments(arguments, environment, out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

} // namespace omvex::cli::test
