#include "cli/proposalrecord.h"
#include "cli/terminaltext.h"

#include "cli/jsonwriter.h"
#include "cli/terminaltext.h"
#include "cli/tool.h"

#include <QDateTime>
#include <QDir>

#include <ostream>

namespace omvex::cli {

RecordedProposals recordProposals(const QString &path, const DrawHistory &history, const Settings &settings,
                                  const std::array<analysis::Proposal, 2> &proposals)
{
    RecordedProposals recorded;
    recorded.path = path;
    const std::optional<int> draw = analysis::nextDrawFor(history);
    if (!draw) {
        recorded.noHistory = true;
        return recorded;
    }
    recorded.draw = *draw;
    const Status result =
        analysis::appendRecord(path, QDateTime::currentDateTime(), recorded.draw, settings, proposals);
    recorded.written = result.ok;
    recorded.error = result.message;
    return recorded;
}

void writeRecordJson(JsonWriter &json, const RecordedProposals &recorded)
{
    json.beginObject();
    json.key("path").string(recorded.path);
    json.key("written").boolean(recorded.written);
    if (recorded.noHistory)
        json.key("reason").string("no-history");
    json.endObject();
}

int reportRecord(const RecordedProposals &recorded, std::ostream &note, std::ostream &err)
{
    if (recorded.noHistory) {
        writeErrorLine(err, QString::fromUtf8(analysis::kNoHistoryToRecord));
        return kExitOk;
    }
    if (!recorded.written) {
        writeErrorLine(err, recorded.error);
        return kExitWriteFailed;
    }
    note << "予想を第 " << recorded.draw << " 回の分として記録しました: "
         << QDir::toNativeSeparators(recorded.path).toStdString() << '\n';
    return kExitOk;
}

} // namespace omvex::cli
