#pragma once

#include "cli/jsonwriter.h"
#include "engine/settings.h"
#include "history/historyload.h"

#include <QString>

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace omvex::cli {

// Says on standard error when a prediction or analysis works from less than the whole file, so a
// script's output never silently rests on a truncated history.
void noteHistory(const HistoryLoad &history, std::ostream &err);

// For an analysis that needs at least `needed` usable draws (six different main numbers 1..43 and a
// bonus that is none of them, as the analyses count them): true when there are enough; otherwise one
// line on err says what is missing, and the caller ends with kExitHistory.
bool hasUsableDraws(const HistoryLoad &history, int needed, const char *option,
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
                     const HistoryLoad &history);

} // namespace omvex::cli
