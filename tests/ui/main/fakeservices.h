#pragma once

#include "platform/services.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <vector>

namespace omvex::test {

struct ShownMessage {
    QString title;
    QString text;
};

class RecordingMessageBox final : public platform::MessageBox {
public:
    void show(const QString &title, const QString &text) override { shown.push_back({title, text}); }
    std::vector<ShownMessage> shown;
};

class RecordingProcessStarter final : public platform::ProcessStarter {
public:
    bool startDetached(const QString &program, const QStringList &arguments, QString *error) override
    {
        programs.append(program);
        argumentLists.append(arguments);
        if (!succeeds && error)
            *error = QStringLiteral("no such program");
        return succeeds;
    }
    bool succeeds = true;
    QStringList programs;
    QList<QStringList> argumentLists;
};

class RecordingHelpViewer final : public platform::HelpViewer {
public:
    void open(const QString &helpFilePath) override { opened.append(helpFilePath); }
    QStringList opened;
};

// Writes a file, creating nothing else; returns whether it worked.
inline bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size();
}

// "draw,n1..n6,bonus" records for draws first..last with numbers that stay within 1..43.
inline QByteArray historyRecords(int first, int last)
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

// A folder that holds an executable of the name the editor search tries first.
inline QString makeEditorFolder(const QTemporaryDir &dir)
{
    const QString folder = dir.filePath(QStringLiteral("bin"));
    QDir().mkpath(folder);
    const QString editor = folder + QStringLiteral("/xdg-open");
    writeFile(editor, "#!/bin/sh\nexit 0\n");
    QFile::setPermissions(editor, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return folder;
}

} // namespace omvex::test
