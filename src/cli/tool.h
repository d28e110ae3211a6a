#pragma once

#include "cli/options.h"
#include "fetch/transfer.h"

#include <QString>
#include <QStringList>

#include <iosfwd>

namespace omvex::cli {

inline constexpr int kExitOk = 0;
// --check: the history was not read to its end; --backtest, --ticket, --stats: it holds too few
// usable draws to count anything.
inline constexpr int kExitHistory = 1;
inline constexpr int kExitRefused = 1;     // an import refused, a draw the history lacks, an unreadable record
inline constexpr int kExitUsage = 2;       // unknown option, bad value, missing folder
inline constexpr int kExitWriteFailed = 3; // the settings, the chart, kako.txt or kiroku.txt could not be written
inline constexpr int kExitUnexpected = 4;  // anything else that went wrong (an exception)

// What the tool takes from the process around it, so tests can run it in-process.
struct Environment {
    QString programFolder;           // where "omvex.ini", "kako.txt" and "kiroku.txt" are without --folder
    bool progressOnTerminal = false; // standard error is a terminal: show the backtest's progress
    std::istream *input = nullptr;   // standard input, for "--import -"; null reads as empty
    fetch::DownloadLimits downloadLimits; // --fetch
};

// Runs one invocation; everything meant for a script goes to out, notes and errors to err.
// Returns the exit status.
int runCommand(const Options &options, const Environment &environment, std::ostream &out, std::ostream &err);

// Runs what parseArguments gave; a usage error is one line on err and status 2.
int runParsed(const ParseResult &parsed, const Environment &environment, std::ostream &out, std::ostream &err);

// Parses the arguments (without the program name) and runs them.
int runArguments(const QStringList &arguments, const Environment &environment, std::ostream &out,
                 std::ostream &err);

} // namespace omvex::cli
