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

// history: kako.txt as the import left it.
void writeJson(const ImportPlan &plan, const ImportWriteResult &written, const Settings &settings,
               const HistoryLoad &history, std::ostream &out)
{
    const HeldDraws &held = history.draws.held();
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

// kako.txt as the import left it, from the bytes the import read or wrote where it has them, also
// when writing failed half way.
HistoryLoad kakoAfter(const ImportPlan &plan, const ImportWriteResult &written, CellGrid &grid)
{
    if (written.outcome == ImportOutcome::Written)
        return loadKako(plan.kakoPath, plan.content, grid);
    // A kako.txt changed under the import is read again: the plan's bytes are no longer its content.
    const bool changed = written.outcome == ImportOutcome::WriteFailed && written.code == QLatin1String("changed");
    if (plan.kakoRead && !changed)
        return loadKako(plan.kakoPath, plan.previousContent, grid);
    return loadKako(plan.kakoPath, grid);
}

} // namespace

int runImportCommand(const Options &options, const Settings &settings, const QString &kakoPath, std::ostream &out,
                     std::ostream &err)
{
    const ImportPlan plan = planImport(QFileInfo(options.importPath).absoluteFilePath(), kakoPath, options.replace);
    const ImportWriteResult written = writeImport(plan);
    const int status = exitStatus(written.outcome);

    if (options.json) {
        PredictionTables tables;
        resetTablesForStartUp(tables);
        writeJson(plan, written, settings, kakoAfter(plan, written, tables.history), out);
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

} // namespace omvex::cli
