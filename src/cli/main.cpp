#include "cli/terminaltext.h"
#include "cli/tool.h"
#include "platform/services.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <exception>
#include <iostream>
#include <memory>

#include <unistd.h>

namespace {

// Qt's own messages go to standard error like the tool's, in the same one-line form. The missing
// runtime folder only matters to a desktop session; the chart is drawn offscreen and never needs it.
void qtMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    omvex::cli::writeErrorLine(std::cerr, qFormatLogMessage(type, context, message));
}

int run(int argc, char *argv[])
{
    // The bytes as given: a name that is not UTF-8 must be refused, not read as a name it is not.
    QList<QByteArray> arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    const omvex::cli::ParseResult parsed = omvex::cli::parseArgumentBytes(arguments);

    qInstallMessageHandler(qtMessage);
    // Qt sees only the program name: every option here is ours.
    int qtArgc = 1;
    std::unique_ptr<QCoreApplication> app;
    if (parsed.ok() && !parsed.options.chartPath.isEmpty()) {
        // Text in the chart needs the font database, hence a GUI application; the chart is drawn
        // into an image, so the offscreen platform serves on any machine, with or without a display.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(qtArgc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(qtArgc, argv);
    }

    omvex::cli::Environment environment;
    QString folderError;
    const std::optional<QString> folder = omvex::platform::programFolder(&folderError);
    // Without --folder the files are the program's own; when its folder cannot be used, no other
    // folder stands in for it.
    const bool needsFolder = parsed.ok() && parsed.options.folder.isEmpty()
        && parsed.options.command != omvex::cli::Command::Help && parsed.options.command != omvex::cli::Command::Version;
    if (!folder && needsFolder) {
        omvex::cli::writeErrorLine(std::cerr, folderError);
        return omvex::cli::kExitUsage;
    }
    environment.programFolder = folder.value_or(QString());
    environment.progressOnTerminal = isatty(STDERR_FILENO) == 1;
    environment.input = &std::cin;
    return omvex::cli::runParsed(parsed, environment, std::cout, std::cerr);
}

} // namespace

int main(int argc, char *argv[])
{
    try {
        return run(argc, argv);
    } catch (const std::exception &error) {
        omvex::cli::writeErrorLine(std::cerr, QStringLiteral("思いがけないエラーで止まりました: ")
                                                  + QString::fromLocal8Bit(error.what()));
    } catch (...) {
        omvex::cli::writeErrorLine(std::cerr, QStringLiteral("思いがけないエラーで止まりました"));
    }
    return omvex::cli::kExitUnexpected;
}
