#include "ui/common/translations.h"

#include <QCoreApplication>
#include <QTranslator>

namespace omvex::ui {

QTranslator *installQtTranslations(QObject *owner, const QString &folder)
{
    auto *translator = new QTranslator(owner);
    if (translator->load(QStringLiteral("qtbase_ja"), folder) && QCoreApplication::installTranslator(translator))
        return translator;
    delete translator;
    return nullptr;
}

} // namespace omvex::ui
