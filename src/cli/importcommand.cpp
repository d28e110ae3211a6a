#include "cli/commands.h"

#include "cli/jsonwriter.h"
#include "engine/tables.h"
#include "history/resultimport.h"

#include <QDir>
#include <QFileInfo>

#include <ostream>

namespace omvex::cli {

namespace {

int exitStatus(ImportOutcome outcome)
{
    switch (outcome) {
    case ImportOutcome::Written:
    case ImportOutcome::NothingNew:
        return kExitOk;
    case ImportOutcome::Refused:
        return kExitRefused;
    case ImportOutcome::WriteFailed:
        break;
    }
    return kExitWriteFailed;
}

void writeOptionalString(JsonWriter &json, const QString &text)
{
    if (text.isEmpty())
        json.null();
    else
        json.string(text);
}

// held: what kako.txt holds now.
void writeJson(const ImportPlan &plan, const ImportWriteResult &written, const HeldDraws &held,
               const Settings &settings, const LoadedHistory &history, std::ostream &out)
{
    JsonWriter json;
    json.beginObject();
    writeProvenance(json, settings, std::nullopt, history);
    json.key("import");
    if (plan.isRefused()) {
        json.null();
    } else {
        json.beginObject();
        json.key("file").string(QDir::toNativeSeparators(plan.sourcePath));
        json.key("format").string(plan.format);
        json.key("encoding").string(plan.encoding);
        json.key("read").integer(plan.read);
        json.key("added").integer(plan.added);
        json.key("unchanged").integer(plan.unchanged);
        json.key("replaced").integer(static_cast<long long>(plan.replaced.size()));
        json.key("draws").integer(held.count);
        json.key("first").integer(held.first);
        json.key("last").integer(held.last);
        json.key("backup");
        writeOptionalString(json, QDir::toNativeSeparators(written.backupPath));
        json.endObject();
    }
    json.key("errors").beginArray();
    for (const ImportError &error : plan.errors) {
        json.beginObject();
        json.key("line").lineNumber(error.line);
        json.key("code").string(error.code);
        json.key("message").string(error.message);
        json.endObject();
    }
    if (written.outcome == ImportOutcome::WriteFailed) {
        json.beginObject();
        json.key("line").null();
        json.key("code").string(written.code);
        json.key("message").string(written.message);
        json.endObject();
    }
    json.endArray();
    json.key("more_errors").integer(plan.moreErrors);
    json.endObject();
    out << json.text() << '\n';
}

} // namespace

void writeImportJson(const ImportPlan &plan, const ImportWriteResult &written, const Settings &settings,
                     const LoadedHistory &history, std::ostream &out)
{
    // The history keys and the draws held describe kako.txt as the import left it, also when
    // writing failed half way.
    PredictionTables tables;
    resetTablesForStartUp(tables);
    const LoadedHistory now = loadHistory(history.path, tables.history);
    writeJson(plan, written, heldDraws(tables.history), settings, now, out);
}

int carryOutImport(const ImportPlan &plan, const Options &options, const Settings &settings,
                   const LoadedHistory &history, std::ostream &out, std::ostream &err)
{
    const ImportWriteResult written = writeImport(plan);
    const int status = exitStatus(written.outcome);

    if (options.json) {
        writeImportJson(plan, written, settings, history, out);
    } else {
        // The reason for a failed write goes to standard error like any other; the summary says the rest.
        ImportWriteResult summarized = written;
        summarized.message.clear();
        out << importSummaryText(plan, &summarized).trimmed().toStdString() << '\n';
        for (const QString &line : importErrorTexts(plan))
            out << line.toStdString() << '\n';
    }
    if (written.outcome == ImportOutcome::WriteFailed)
        err << written.message.toStdString() << '\n';
    return status;
}

int runImportCommand(const Options &options, const Settings &settings, const LoadedHistory &history,
                     std::ostream &out, std::ostream &err)
{
    const ImportPlan plan = planImport(QFileInfo(options.importPath).absoluteFilePath(), history.path, options.replace);
    return carryOutImport(plan, options, settings, history, out, err);
}

} // namespace omvex::cli
