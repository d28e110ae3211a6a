#pragma once

#include <QString>
#include <QStringList>

namespace omvex {

// The full paths of the program's three files, all in the program folder.
struct FileLocations {
    QString HelpFilePath;
    QString IniFilePath;
    QString KakoFilePath;
};

// folder + "/" + name, or folder + name when the folder already ends in "/".
QString joinPath(const QString &folder, const QString &name);

FileLocations locateFiles(const QString &programFolder);

// The program that opens a text file for the user: the first of xdg-open and a list of common
// graphical editors found in the folders of searchPath (a PATH-style, colon-separated list).
// Empty when none is found.
QString findTextEditor(const QString &searchPath);

} // namespace omvex
