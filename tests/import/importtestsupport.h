#pragma once

// What the import's tests share: encodings, files, and a folder with a results file and a kako.txt.

#include "import/resultimport.h"

#include <QByteArray>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace omvex::importtest {

inline QByteArray encoded(const char *encoding, const char *utf8)
{
    QStringEncoder encoder(encoding, QStringEncoder::Flag::WriteBom);
    return encoder(QString::fromUtf8(utf8));
}

inline QByteArray sjis(const char *utf8)
{
    QStringEncoder encoder("Shift_JIS");
    return encoder(QString::fromUtf8(utf8));
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A result file and, unless kako is "<missing>", a kako.txt in a folder of their own.
struct Folder {
    QTemporaryDir dir;
    QString source = dir.filePath(QStringLiteral("results.csv"));
    QString kako = dir.filePath(QStringLiteral("kako.txt"));
    QString backup = kako + QStringLiteral(".bak");

    Folder(const QByteArray &sourceBytes, const QByteArray &kakoBytes)
    {
        writeFile(source, sourceBytes);
        if (kakoBytes != "<missing>")
            writeFile(kako, kakoBytes);
    }
};

inline std::string codesOf(const ImportPlan &plan)
{
    std::string codes;
    for (const ImportError &error : plan.errors)
        codes += (codes.empty() ? "" : " ") + error.code + "@" + std::to_string(error.line);
    return codes;
}


} // namespace omvex::importtest
