#include "cli/commands.h"
#include "settings/settingwords.h"

#include "cli/jsonwriter.h"
#include "cli/proposalrecord.h"
#include "cli/terminaltext.h"
#include "engine/predictpass.h"
#include "engine/random.h"

#include <array>
#include <ostream>

namespace omvex::cli {

namespace {

const std::array<const char *, 2> kPassCaptions{"１回目", "２回目"};

struct PassOutcome {
    std::array<int, kPicks> numbers{};
    std::array<std::optional<int>, kScoreRows> scoreNumbers{};
    std::array<double, kScoreRows> points{};
};

void writeJson(const std::array<PassOutcome, 2> &passes, const Options &options, const Settings &settings,
               std::uint64_t seed, const HistoryLoad &history, const SaveResult &saved,
               const std::optional<RecordedProposals> &recorded, std::ostream &out)
{
    JsonWriter json(out);
    json.beginObject();
    writeProvenance(json, settings, seed, history);
    json.key("passes").beginArray();
    for (std::size_t pass = 0; pass < passes.size(); ++pass) {
        json.beginObject();
        json.key("caption").string(kPassCaptions[pass]);
        json.key("numbers").integers(passes[pass].numbers);
        json.key("scores").beginArray();
        for (std::size_t row = 0; row < kScoreRows; ++row) {
            json.beginObject();
            json.key("number");
            if (passes[pass].scoreNumbers[row])
                json.integer(*passes[pass].scoreNumbers[row]);
            else
                json.null();
            json.key("points").fixed(passes[pass].points[row], 1);
            json.endObject();
        }
        json.endArray();
        json.endObject();
    }
    json.endArray();
    if (options.save)
        json.key("saved").boolean(saved.ok);
    if (recorded) {
        json.key("record");
        writeRecordJson(json, *recorded);
    }
    json.endObject();
    json.finish();
}

} // namespace

int runPredict(const Options &options, const SettingsStore &store, const Settings &settings, PredictionTables &tables,
               const HistoryLoad &history, const QString &recordPath, std::ostream &out, std::ostream &err)
{
    noteHistory(history, err);
    const std::uint64_t seed = runSeed(options.seed);
    std::array<PassOutcome, 2> passes;
    for (int pass = 0; pass < 2; ++pass) {
        PassOutcome &outcome = passes[static_cast<std::size_t>(pass)];
        // Both passes' seeds follow from the one seed, so one number regenerates both.
        outcome.numbers = predictPass(tables, pass, settings, passSeed(seed, pass));
        const CellGrid &score = tables.scores[static_cast<std::size_t>(pass)];
        for (int row = 1; row <= kScoreRows; ++row) {
            if (!score.isEmpty(kScoreNumberColumn, row))
                outcome.scoreNumbers[static_cast<std::size_t>(row - 1)] =
                    static_cast<int>(score.number(kScoreNumberColumn, row));
            outcome.points[static_cast<std::size_t>(row - 1)] = score.number(kScorePointsColumn, row);
        }
    }

    SaveResult saved;
    if (options.save)
        saved = store.save(settings);
    std::optional<RecordedProposals> recorded;
    if (options.record)
        recorded = recordProposals(recordPath, history.draws, settings, {passes[0].numbers, passes[1].numbers});

    if (options.json) {
        writeJson(passes, options, settings, seed, history, saved, recorded, out);
    } else {
        for (std::size_t pass = 0; pass < passes.size(); ++pass) {
            out << kPassCaptions[pass] << ": ";
            writeLine(out, passes[pass].numbers);
            out << '\n';
        }
    }

    int status = kExitOk;
    if (options.save) {
        if (!saved.ok) {
            writeErrorLine(err, saved.error);
            status = kExitWriteFailed;
        } else {
            // With --json, standard output is the document alone.
            const QString done = QStringLiteral("設定を保存しました: ") + store.path() + QStringLiteral("（")
                + QString::fromStdString(settingsText(settings)) + QStringLiteral("）");
            if (options.json)
                writeErrorLine(err, done);
            else
                out << escapeControls(done).toStdString() << '\n';
        }
    }
    if (recorded && reportRecord(*recorded, options.json ? err : out, err) != kExitOk)
        status = kExitWriteFailed;
    return status;
}

} // namespace omvex::cli
