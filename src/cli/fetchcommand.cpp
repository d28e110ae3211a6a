#include "cli/commands.h"

#include "cli/terminaltext.h"
#include "fetch/address.h"
#include "fetch/network/download.h"

#include <ostream>

namespace omvex::cli {

int runFetchCommand(const Options &options, const Environment &environment, const SettingsStore &store,
                    const Settings &settings, const QString &kakoPath, std::ostream &out, std::ostream &err)
{
    // The tool only reads the address kept by the window; one given here is used once.
    const bool isGiven = !options.fetchAddress.isEmpty();
    const QString text = isGiven ? options.fetchAddress : store.readFetchAddress();
    if (text.trimmed().isEmpty()) {
        writeErrorLine(err, QStringLiteral("取得する結果ファイルのアドレスがありません。--fetch URL で指定するか、"
                                           "\"omvex.ini\" の [Torikomi] に URL=アドレス を書いてください"));
        return kExitUsage;
    }
    QString problem;
    const std::optional<QUrl> url = fetch::parseAddress(text, &problem);
    if (!url) {
        writeErrorLine(err, isGiven ? problem : QStringLiteral("\"omvex.ini\" の [Torikomi] URL: ") + problem);
        return kExitUsage;
    }
    const QString address = url->toString(QUrl::RemovePassword | QUrl::FullyEncoded);

    const fetch::DownloadResult download = fetch::downloadNow(*url, environment.downloadLimits);
    if (!download.ok()) {
        if (options.json) {
            ImportPlan failed;
            failed.sourcePath = address;
            failed.errors.push_back({{0, download.code.toStdString(), download.message}});
            writeImportJson(failed, {ImportOutcome::Refused, {}, download.code, download.message}, settings, kakoPath,
                            out);
        }
        writeErrorLine(err, download.message);
        return kExitRefused;
    }
    const ImportPlan plan = planImportData(download.body, address, kakoPath, options.replace);
    return carryOutImport(plan, options, settings, kakoPath, out, err);
}

} // namespace omvex::cli
