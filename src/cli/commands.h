#pragma once

#include "cli/loadedhistory.h"
#include "cli/tool.h"
#include "engine/tables.h"
#include "import/resultimport.h"
#include "settings/settingsstore.h"

#include <iosfwd>

// One function per command of the tool, each writing its own text and JSON. The dispatcher has
// read the settings (with this run's overrides applied) and loaded the history into the tables.
namespace omvex::cli {

// recordPath: where --record appends the proposals.
int runPredict(const Options &options, const SettingsStore &store, const Settings &settings, PredictionTables &tables,
               const HistoryLoad &history, const QString &recordPath, std::ostream &out, std::ostream &err);

int runCheck(const Options &options, const Settings &settings, const HistoryLoad &history, std::ostream &out);

int runBacktestCommand(const Options &options, const Environment &environment, const Settings &settings,
                       PredictionTables &tables, const HistoryLoad &history, std::ostream &out, std::ostream &err);

int runTicketCommand(const Options &options, const Settings &settings, const PredictionTables &tables,
                     const HistoryLoad &history, std::ostream &out, std::ostream &err);

// --ticket with --draw: each line against that one draw.
int runTicketDrawCommand(const Options &options, const Settings &settings,
                         const HistoryLoad &history, std::ostream &out, std::ostream &err);

int runStatsCommand(const Options &options, const Settings &settings, const PredictionTables &tables,
                    const HistoryLoad &history, std::ostream &out, std::ostream &err);

int runPatternsCommand(const Options &options, const Settings &settings, const PredictionTables &tables,
                       const HistoryLoad &history, std::ostream &out, std::ostream &err);

// kakoPath: the kako.txt to import into; these commands read it themselves, once to plan and once to
// check before they write. "-" as the file reads the results from standard input.
int runImportCommand(const Options &options, const Environment &environment, const Settings &settings,
                     const QString &kakoPath, std::ostream &out, std::ostream &err);

// A kako.txt that is a results file rewritten as the history, the original kept as kako.txt.orig.
int runConvertCommand(const Options &options, const Settings &settings, const QString &kakoPath,
                      std::ostream &out, std::ostream &err);

// --fetch: the results file at the address given or kept in omvex.ini, imported as --import does.
int runFetchCommand(const Options &options, const Environment &environment, const SettingsStore &store,
                    const Settings &settings, const QString &kakoPath, std::ostream &out, std::ostream &err);

// The end of --import and --fetch alike: writes a plan, says what it came to, gives the exit status.
int carryOutImport(const ImportPlan &plan, const Options &options, const Settings &settings,
                   const QString &kakoPath, std::ostream &out, std::ostream &err);

// The import's JSON answer, with the history as kako.txt now holds it.
void writeImportJson(const ImportPlan &plan, const ImportWriteResult &written, const Settings &settings,
                     const QString &kakoPath, std::ostream &out);

int runJournalCommand(const Options &options, const Settings &settings, const PredictionTables &tables,
                      const HistoryLoad &history, const QString &recordPath, std::ostream &out, std::ostream &err);

} // namespace omvex::cli
