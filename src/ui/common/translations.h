#pragma once

#include <QLibraryInfo>
#include <QString>

class QObject;
class QTranslator;

namespace omvex::ui {

// Installs Qt's own Japanese texts (the standard context menus of grids, scroll bars and text
// views) from the folder, Qt's translations folder unless told otherwise. Returns the installed
// translator, owned by owner, or null when the folder has none; Qt's English texts then stay and
// nothing is reported, since they only name standard actions.
QTranslator *installQtTranslations(QObject *owner,
                                   const QString &folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath));

} // namespace omvex::ui
