#include "cli/tool.h"
#include "platform/services.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <exception>
#include <iostream>
#include <memory>

#include <unistd.h>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const omvex::cli::ParseResult parsed = omvex::cli::parseArguments(arguments);
    if (!parsed.ok()) {
        std::cerr << "omvex-predict: " << parsed.error.toStdString() << '\n';
        return omvex::cli::kExitUsage;
    }

    // Qt sees only the program name: every option here is ours.
    int qtArgc = 1;
    std::unique_ptr<QCoreApplication> app;
    if (!parsed.options.chartPath.isEmpty()) {
        // Text in the chart needs the font database, hence a GUI application; the chart is drawn
        // into an image, so the offscreen platform serves on any machine, with or without a display.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(qtArgc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(qtArgc, argv);
    }

    omvex::cli::Environment environment;
    environment.programFolder = omvex::platform::programFolder();
    environment.progressOnTerminal = isatty(STDERR_FILENO) == 1;
    try {
        return omvex::cli::runCommand(parsed.options, environment, std::cout, std::cerr);
    } catch (const std::exception &error) {
        std::cerr << "omvex-predict: " << error.what() << '\n';
        return 4;
    }
}
