#include "cli/tool.h"

#include "analysis/record.h"
#include "cli/commands.h"
#include "cli/helptext.h"
#include "cli/terminaltext.h"
#include "platform/filelocations.h"
#include "import/resultimport.h"
#include "omvex/appinfo.h"

#include <QFileInfo>

#include <ostream>

namespace omvex::cli {

int runCommand(const Options &options, const Environment &environment, std::ostream &out, std::ostream &err)
{
    if (options.command == Command::Help) {
        out << helpText().toStdString();
        return kExitOk;
    }
    if (options.command == Command::Version) {
        out << "omvex-predict " << kVersionText << '\n';
        return kExitOk;
    }
    const QString folder = options.folder.isEmpty() ? environment.programFolder : options.folder;
    if (!QFileInfo(folder).isDir()) {
        writeErrorLine(err, QStringLiteral("フォルダがありません: ") + folder);
        return kExitUsage;
    }
    const FileLocations files = locateFiles(QFileInfo(folder).absoluteFilePath());
    const SettingsStore store(files.IniFilePath);
    Settings settings = store.read();
    if (options.level)
        settings.level = *options.level;
    if (options.pattern)
        settings.pattern = *options.pattern;
    if (options.kako)
        settings.kako = *options.kako;

    // The import, the conversion and the download read kako.txt themselves, once to plan and once to
    // check before they write.
    switch (options.command) {
    case Command::Import:
        return runImportCommand(options, environment, settings, files.KakoFilePath, out, err);
    case Command::Convert:
        return runConvertCommand(options, settings, files.KakoFilePath, out, err);
    case Command::Fetch:
        return runFetchCommand(options, environment, store, settings, files.KakoFilePath, out, err);
    default:
        break;
    }

    PredictionTables tables;
    resetTablesForStartUp(tables);
    const HistoryLoad history = loadKako(files.KakoFilePath, tables.history);
    const QString recordPath = joinPath(QFileInfo(folder).absoluteFilePath(), QString::fromLatin1(analysis::kRecordFileName));

    switch (options.command) {
    case Command::Check:
        return runCheck(options, settings, history, out);
    case Command::Backtest:
        return runBacktestCommand(options, environment, settings, tables, history, out, err);
    case Command::Ticket:
        return runTicketCommand(options, settings, tables, history, out, err);
    case Command::Stats:
        return runStatsCommand(options, settings, tables, history, out, err);
    case Command::Journal:
        return runJournalCommand(options, settings, tables, history, recordPath, out, err);
    case Command::Patterns:
        return runPatternsCommand(options, settings, tables, history, out, err);
    case Command::Predict:
    case Command::Import:
    case Command::Convert:
    case Command::Fetch:
    case Command::Help:
    case Command::Version:
        break;
    }
    return runPredict(options, store, settings, tables, history, recordPath, out, err);
}

int runParsed(const ParseResult &parsed, const Environment &environment, std::ostream &out, std::ostream &err)
{
    if (!parsed.ok()) {
        writeErrorLine(err, parsed.error);
        return kExitUsage;
    }
    EscapingBuffer escaping(out.rdbuf());
    std::ostream escaped(&escaping);
    const int status = runCommand(parsed.options, environment, escaped, err);
    escaped.flush();
    return status;
}

int runArguments(const QStringList &arguments, const Environment &environment, std::ostream &out, std::ostream &err)
{
    return runParsed(parseArguments(arguments), environment, out, err);
}

} // namespace omvex::cli
