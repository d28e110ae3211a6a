#include "history/outsideprograms.h"
#include "omvex/appinfo.h"
#include "ui/common/look.h"
#include "ui/common/translations.h"
#include "ui/main/appstate.h"
#include "ui/main/omvex.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {

bool isSet(const char *name)
{
    const char *value = std::getenv(name);
    return value && *value;
}

} // namespace

int main(int argc, char *argv[])
{
    // Without any display the toolkit would abort with a message about platform plugins; say
    // what is missing instead. QT_QPA_PLATFORM counts: it may name a platform that needs none.
    if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY") && !isSet("QT_QPA_PLATFORM")) {
        std::fputs("omvex needs a graphical display and none was found (DISPLAY and WAYLAND_DISPLAY are unset), "
                   "so start it from a desktop session or under a virtual display, for example: xvfb-run omvex\n",
                   stderr);
        return 2;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Omvex"));
    omvex::ui::registerFontSubstitutes();
    omvex::ui::installQtTranslations(&app);
    QApplication::setWindowIcon(omvex::ui::omvexIcon());

    try {
        omvex::ui::AppState state;
        omvex::ui::Omvex window(state);
        window.show();
        return QApplication::exec();
    } catch (const std::exception &error) {
        QMessageBox::critical(nullptr, omvex::kAppTitle,
                              QStringLiteral("予期しないエラーのため終了します。\n%1").arg(QString::fromLocal8Bit(error.what())));
        return 1;
    }
}
