#pragma once

#include "cli/jsonwriter.h"
#include "engine/settings.h"
#include "history/drawhistory.h"
#include "history/historywarnings.h"

#include <QString>

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace omvex::cli {


// The history file as one run read it, with what it takes to say later which file that was.
struct LoadedHistory {
    QString path;
    HistoryReadResult read;
    int rows = 0;
    std::string sha256; // hex of the file's bytes; empty when the file could not be read
    std::vector<HistoryWarning> warnings; // what its owner would not expect in the way it was read

    bool complete() const { return read.opened && read.complete; }
};

LoadedHistory loadHistory(const QString &path, CellGrid &grid);

// Why the reading stopped short: a stable English code for scripts and the Japanese for people.
struct StopReason {
    std::string code;
    QString message;
};
StopReason stopReason(const HistoryReadResult &read);

// Says on standard error when a prediction or analysis works from less than the whole file, so a
// script's output never silently rests on a truncated history.
void noteHistory(const LoadedHistory &history, std::ostream &err);

// For an analysis that needs at least `needed` usable draws (six different main numbers 1..43 and a
// bonus that is none of them, as the analyses count them): true when there are enough; otherwise one
// line on err says what is missing, and the caller ends with kExitHistory.
bool hasUsableDraws(const LoadedHistory &history, const CellGrid &grid, int needed, const char *option,
                    std::ostream &err);

// The given seed, or one from the clock that any JSON reader gets back exactly.
std::uint64_t runSeed(std::optional<std::uint64_t> seed);

// {"Level": "3", "Pattern": "1", "Kako": "0"}, as the settings file holds them.
void writeSettings(JsonWriter &json, const Settings &settings);

// A list of warnings about lines of a file, as {"line", "code", "message"} objects: the history's
// and the proposal record's alike.
template <typename Warning>
void writeWarningsJson(JsonWriter &json, const std::vector<Warning> &warnings)
{
    json.beginArray();
    for (const Warning &warning : warnings) {
        json.beginObject();
        json.key("line").lineNumber(warning.line);
        json.key("code").string(warning.code);
        json.key("message").string(warning.message);
        json.endObject();
    }
    json.endArray();
}

// The keys every JSON output starts with, enough to regenerate and check the result later.
void writeProvenance(JsonWriter &json, const Settings &settings, std::optional<std::uint64_t> seed,
                     const LoadedHistory &history);

} // namespace omvex::cli
