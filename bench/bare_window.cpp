// The yardstick of the start-up benchmark: a bare window showing one line of Japanese in
// IPAPGothic, with the same checkpoints and the same end after its first paint as the program.
#include "ui/common/startuptrace.h"

#include <QApplication>
#include <QFont>
#include <QLabel>

int main(int argc, char *argv[])
{
    omvex::ui::startupCheckpoint("main");
    QApplication application(argc, argv);
    omvex::ui::startupCheckpoint("application");
    QLabel label(QStringLiteral("過去の抽せん結果から数字を予想します"));
    label.setFont(QFont(QStringLiteral("IPAPGothic"), 12));
    omvex::ui::startupCheckpoint("window");
    label.show();
    omvex::ui::startupCheckpoint("shown");
    omvex::ui::endAfterFirstPaintWhenTracing(application);
    return QApplication::exec();
}
