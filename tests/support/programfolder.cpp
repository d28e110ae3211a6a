#include "support/programfolder.h"

#include <QDir>
#include <QFile>

namespace omvex::test {

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray content = file.readAll();
    if (content.isNull())
        content = QByteArray("");
    return content;
}

QByteArray historyRecords(int first, int last)
{
    QByteArray text;
    for (int draw = first; draw <= last; ++draw) {
        text += QByteArray::number(draw);
        for (int i = 0; i < 7; ++i)
            text += ',' + QByteArray::number((draw * 7 + i * 5) % 43 + 1);
        text += '\n';
    }
    return text;
}

ProgramFolder::ProgramFolder()
    : m_path(m_root.filePath(QStringLiteral("prog")))
{
    m_isValid = m_root.isValid() && QDir().mkpath(m_path);
}

QString ProgramFolder::filePath(const QString &name) const
{
    return QDir(m_path).filePath(name);
}

QString ProgramFolder::besidePath(const QString &name) const
{
    const QString path = m_root.filePath(name);
    QDir().mkpath(path);
    return path;
}

QString ProgramFolder::editorSearchPath(bool withEditor) const
{
    if (!withEditor)
        return besidePath(QStringLiteral("no-editor"));
    const QString folder = besidePath(QStringLiteral("bin"));
    const QString editor = QDir(folder).filePath(QStringLiteral("xdg-open"));
    if (!QFile::exists(editor)) {
        writeFile(editor, "#!/bin/sh\nexit 0\n");
        QFile::setPermissions(editor, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    return folder;
}

} // namespace omvex::test
