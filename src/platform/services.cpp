#include "platform/services.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

namespace omvex::platform {

bool DetachedProcessStarter::startDetached(const QString &program, const QStringList &arguments, QString *error)
{
    if (program.isEmpty()) {
        if (error)
            *error = QStringLiteral("no program given");
        return false;
    }
    // The arguments go to the program as they are; no shell ever sees them, so a path with spaces or
    // shell characters stays one argument.
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    if (process.startDetached())
        return true;
    if (error)
        *error = process.errorString();
    return false;
}

QString programFolder()
{
    QString folder;
    if (QCoreApplication::instance()) {
        folder = QCoreApplication::applicationDirPath();
    } else {
        // Tests and tools without an application object still need the executable's folder.
        const QFileInfo exe(QStringLiteral("/proc/self/exe"));
        folder = QFileInfo(exe.canonicalFilePath()).absolutePath();
    }
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

} // namespace omvex::platform
