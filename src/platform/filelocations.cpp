#include "platform/filelocations.h"

#include <QDir>
#include <QStandardPaths>

#include <array>

namespace omvex {

QString joinPath(const QString &folder, const QString &name)
{
    // An empty folder would be the working directory to QDir; the program folder is never that.
    return QDir(folder.isEmpty() ? QStringLiteral("/") : folder).filePath(name);
}

FileLocations locateFiles(const QString &programFolder)
{
    FileLocations locations;
    locations.HelpFilePath = joinPath(programFolder, QStringLiteral("omvex.hlp"));
    locations.IniFilePath = joinPath(programFolder, QStringLiteral("omvex.ini"));
    locations.KakoFilePath = joinPath(programFolder, QStringLiteral("kako.txt"));
    return locations;
}

QString findTextEditor(const QString &searchPath)
{
    // xdg-open first: it opens the file in the editor the user chose for text files.
    static const std::array<QLatin1StringView, 10> kCandidates{
        QLatin1StringView("xdg-open"), QLatin1StringView("gnome-text-editor"), QLatin1StringView("gedit"),
        QLatin1StringView("kate"),     QLatin1StringView("kwrite"),            QLatin1StringView("mousepad"),
        QLatin1StringView("pluma"),    QLatin1StringView("xed"),               QLatin1StringView("featherpad"),
        QLatin1StringView("geany"),
    };
    QStringList folders;
    for (const QString &folder : searchPath.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        // An empty or relative entry would mean the working directory, where anyone could have left
        // a program of that name.
        if (QDir::isAbsolutePath(folder))
            folders.append(folder);
    }
    // Given no folders, the search would fall back to the program's own PATH.
    if (folders.isEmpty())
        return {};
    for (const QLatin1StringView candidate : kCandidates) {
        const QString editorPath = QStandardPaths::findExecutable(candidate, folders);
        if (!editorPath.isEmpty())
            return editorPath;
    }
    return {};
}

} // namespace omvex
