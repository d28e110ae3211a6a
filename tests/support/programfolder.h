#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace omvex::test {

// Writes a file whole, replacing what was there; returns whether it worked.
bool writeFile(const QString &path, const QByteArray &content);

// A file's bytes; a null array when it cannot be read, so "no file" and "empty file" differ.
QByteArray readFile(const QString &path);

// "draw,n1..n6,bonus" records for draws first..last with numbers that stay within 1..43.
QByteArray historyRecords(int first, int last);

// A program folder of its own inside a fresh temporary folder, with room beside it for other
// folders (a working folder elsewhere, the folders of an editor search).
class ProgramFolder {
public:
    ProgramFolder();

    bool isValid() const { return m_isValid; }
    const QString &path() const { return m_path; }
    QString filePath(const QString &name) const;
    QString kakoPath() const { return filePath(QStringLiteral("kako.txt")); }
    QString iniPath() const { return filePath(QStringLiteral("omvex.ini")); }
    QString helpPath() const { return filePath(QStringLiteral("omvex.hlp")); }

    // A folder beside the program folder, created on first use.
    QString besidePath(const QString &name) const;
    // A PATH-style search list for the editor: with an editor, one folder holding an executable of
    // the name the search tries first; without, one folder holding nothing.
    QString editorSearchPath(bool withEditor) const;

private:
    QTemporaryDir m_root;
    QString m_path;
    bool m_isValid = false;
};

} // namespace omvex::test
