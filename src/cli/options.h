#pragma once

#include "engine/game.h"
#include "engine/settings.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace omvex::cli {

// What one invocation of omvex-predict is asked to do; exactly one of these per run.
enum class Command { Predict, Check, Backtest, Ticket, Stats, Import, Convert, Fetch, Journal, Patterns, Help, Version };

struct Options {
    Command command = Command::Predict;
    QString folder; // empty: the folder of the program itself
    std::optional<Level> level;
    std::optional<Pattern> pattern;
    std::optional<Kako> kako;
    std::optional<std::uint64_t> seed;
    std::optional<int> last; // --backtest, --stats and --patterns: the last N draws
    std::optional<int> jobs; // --backtest only: threads; nothing means all cores
    std::vector<std::array<int, kPicks>> tickets; // --ticket, in the order given
    std::optional<int> draw;                       // --ticket only: that one draw
    QString chartPath; // --stats only
    QString importPath; // --import: the result file
    QString fetchAddress; // --fetch: the address given; empty: the one in omvex.ini
    bool replace = false; // --import and --fetch: the file's numbers win over different ones in kako.txt
    bool json = false;
    bool save = false;
    bool record = false; // a prediction only: append both proposals to kiroku.txt
};

struct ParseResult {
    Options options;
    QString error; // one line; empty when the arguments were understood

    bool ok() const { return error.isEmpty(); }
};

// Parses the arguments after the program name. Both "--level 3" and "--level=3" are accepted.
ParseResult parseArguments(const QStringList &arguments);

// The same for the bytes the program was given. A folder or chart name that is not UTF-8 is
// refused: turned into text it would lose bytes and name another file.
ParseResult parseArgumentBytes(const QList<QByteArray> &arguments);

// Six distinct whole numbers 1..43, read as the analysis window reads a ticket line: separated by
// commas, blanks or "、", digits half- or full-width ("3,11,17,25,36,42", "3 11 17 25 36 42").
// On failure error says what is wrong and the result is meaningless.
std::array<int, kPicks> parseTicket(const QString &text, QString *error);

} // namespace omvex::cli
