#include "cli/commands.h"

#include "cli/jsonwriter.h"
#include "cli/terminaltext.h"

#include <ostream>

namespace omvex::cli {

int runCheck(const Options &options, const Settings &settings, const HistoryLoad &history, std::ostream &out)
{
    if (options.json) {
        JsonWriter json(out);
        json.beginObject();
        writeProvenance(json, settings, std::nullopt, history);
        json.endObject();
        json.finish();
    } else {
        out << "ファイル: " << escapeControls(history.path).toStdString() << '\n';
        out << "記録数: " << history.read.storedRows << '\n';
        out << "行数: " << history.rows << '\n';
        const std::string reason = history.read.words.toStdString();
        if (!history.read.opened)
            out << "結果: 読めません（" << reason << "）\n";
        else if (history.read.complete)
            out << "結果: 最後まで読みました\n";
        else
            out << "結果: " << history.read.stopLine << " 行目の " << history.read.stopField
                << " 番目の項目で止まりました（" << reason << "）\n";
        if (!history.sha256.empty())
            out << "SHA-256: " << history.sha256 << '\n';
        for (const HistoryWarning &warning : history.warnings)
            out << "警告: " << warning.message.toStdString() << '\n';
    }
    return history.complete() ? kExitOk : kExitHistory;
}

} // namespace omvex::cli
