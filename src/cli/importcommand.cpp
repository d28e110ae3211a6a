#include "cli/commands.h"

#include "cli/jsonwriter.h"
#include "cli/terminaltext.h"
#include "engine/tables.h"
#include "import/kakoconversion.h"
#include "import/resultimport.h"

#include <QDir>
#include <QFileInfo>

#include <array>
#include <istream>
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
    JsonWriter json(out);
    json.beginObject();
    writeProvenance(json, settings, std::nullopt, history);
    // On a refusal too: what was read tells why.
    json.key("import").beginObject();
    json.key("file").string(QDir::toNativeSeparators(plan.sourcePath));
    json.key("format");
    writeOptionalString(json, plan.format);
    json.key("encoding");
    writeOptionalString(json, plan.encoding);
    json.key("read").integer(plan.read);
    json.key("added").integer(plan.isRefused() ? 0 : plan.added);
    json.key("unchanged").integer(plan.unchanged);
    json.key("replaced").integer(plan.isRefused() ? 0 : static_cast<long long>(plan.replaced.size()));
    json.key("conflicting").integer(plan.conflicting);
    json.key("draws").integer(held.count);
    json.key("first").integer(held.first);
    json.key("last").integer(held.last);
    json.key("backup");
    writeOptionalString(json, QDir::toNativeSeparators(written.backupPath));
    json.endObject();
    json.key("errors").beginArray();
    for (const ImportError &error : plan.errors) {
        json.beginObject();
        json.key("line").lineNumber(error.line);
        json.key("last_line").lineNumber(error.lastLine);
        json.key("count").integer(error.count);
        json.key("code").string(error.code);
        json.key("message").string(error.message);
        if (!error.kind.empty())
            json.key("kind").string(error.kind);
        json.endObject();
    }
    if (written.outcome == ImportOutcome::WriteFailed || written.code == QLatin1String("busy")
        || written.code == QLatin1String("changed")) {
        json.beginObject();
        json.key("line").null();
        json.key("code").string(written.code);
        json.key("message").string(written.message);
        json.endObject();
    }
    json.endArray();
    json.key("more_errors").integer(plan.moreErrors);
    json.endObject();
    json.finish();
}

// As much as a results file may hold and one byte more, so that a larger input is refused as a
// file of that size is.
QByteArray standardInput(std::istream *input)
{
    QByteArray bytes;
    if (!input)
        return bytes;
    std::array<char, 64 * 1024> buffer{};
    while (bytes.size() <= kMaxImportFileBytes && input->read(buffer.data(), buffer.size()).gcount() > 0)
        bytes.append(buffer.data(), static_cast<qsizetype>(input->gcount()));
    return bytes;
}

// kako.txt as the import left it, from the bytes the import read or wrote where it has them, also
// when writing failed half way.
HistoryLoad kakoAfter(const ImportPlan &plan, const ImportWriteResult &written, const QString &kakoPath, CellGrid &grid)
{
    if (plan.kakoPath == kakoPath) {
        if (written.outcome == ImportOutcome::Written)
            return loadKako(kakoPath, plan.content, grid);
        // After a failed write or under a changed kako.txt the plan's bytes may no longer be its content.
        if (plan.kako.exists && written.outcome != ImportOutcome::WriteFailed && written.code != QLatin1String("changed"))
            return loadKako(kakoPath, plan.previousContent, grid);
    }
    return loadKako(kakoPath, grid);
}

} // namespace

// The import's JSON answer; the history keys and the draws held describe kako.txt as the import
// left it, also when writing failed half way.
void writeImportJson(const ImportPlan &plan, const ImportWriteResult &written, const Settings &settings,
                     const QString &kakoPath, std::ostream &out)
{
    PredictionTables tables;
    resetTablesForStartUp(tables);
    writeJson(plan, written, settings, kakoAfter(plan, written, kakoPath, tables.history), out);
}

namespace {

// What an import or a conversion did, as JSON or as text; note is one more line of text after a write.
int report(const Options &options, const ImportPlan &plan, const ImportWriteResult &written, const Settings &settings,
           const QString &kakoPath, const QString &note, std::ostream &out, std::ostream &err)
{
    if (options.json) {
        writeImportJson(plan, written, settings, kakoPath, out);
    } else {
        // The reason for a failed write goes to standard error like any other; the summary says the rest.
        ImportWriteResult summarized = written;
        summarized.message.clear();
        out << importSummaryText(plan, &summarized).trimmed().toStdString() << '\n';
        for (const QString &line : importErrorTexts(plan))
            out << line.toStdString() << '\n';
        if (written.outcome == ImportOutcome::Written && !note.isEmpty())
            out << note.toStdString() << '\n';
    }
    if (written.outcome == ImportOutcome::WriteFailed || written.code == QLatin1String("busy")
        || written.code == QLatin1String("changed"))
        writeErrorLine(err, written.message);
    return exitStatus(written.outcome);
}

} // namespace

int carryOutImport(const ImportPlan &plan, const Options &options, const Settings &settings, const QString &kakoPath,
                   std::ostream &out, std::ostream &err)
{
    // Another import holds kako.txt: one line says so, and nothing was read that could be summed up.
    if (!options.json && plan.errors.size() == 1 && plan.errors.front().code == "busy") {
        writeErrorLine(err, plan.errors.front().message);
        return kExitRefused;
    }
    return report(options, plan, writeImport(plan, LockWait::Retry), settings, kakoPath, {}, out, err);
}

int runImportCommand(const Options &options, const Environment &environment, const Settings &settings,
                     const QString &kakoPath, std::ostream &out, std::ostream &err)
{
    const ImportPlan plan = options.importPath == QLatin1String("-")
        ? planImportData(standardInput(environment.input), QStringLiteral("-"), kakoPath, options.replace)
        : planImport(QFileInfo(options.importPath).absoluteFilePath(), kakoPath, options.replace, LockWait::Retry);
    return carryOutImport(plan, options, settings, kakoPath, out, err);
}

int runConvertCommand(const Options &options, const Settings &settings, const QString &kakoPath, std::ostream &out,
                      std::ostream &err)
{
    if (!isKakoResultsFile(kakoPath)) {
        writeErrorLine(err, QStringLiteral("kako.txt は結果ファイルの形ではないため、変換しません"));
        return kExitRefused;
    }
    const ImportPlan plan = planConversion(kakoPath);
    const QString note = QStringLiteral("元のファイル: %1").arg(QDir::toNativeSeparators(conversionOrigPath(kakoPath)));
    return report(options, plan, writeConversion(plan), settings, kakoPath, note, out, err);
}

} // namespace omvex::cli
