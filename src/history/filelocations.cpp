#include "history/filelocations.h"

#include <QDir>
#include <QFileInfo>

#include <array>

namespace omvex {

QString joinPath(const QString &folder, const QString &name)
{
    if (folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
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
    const QStringList folders = searchPath.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QLatin1StringView candidate : kCandidates) {
        for (const QString &folder : folders) {
            // An empty or relative entry would mean the working directory, where anyone could have
            // left a program of that name.
            if (!QDir::isAbsolutePath(folder))
                continue;
            const QString path = joinPath(folder, candidate);
            const QFileInfo info(path);
            if (info.isFile() && info.isExecutable())
                return path;
        }
    }
    return {};
}

} // namespace omvex
