#pragma once

#include "analysis/record.h"

#include <QString>

#include <array>
#include <iosfwd>

namespace omvex::cli {

class JsonWriter;

// What became of one run's proposals on their way into kiroku.txt.
struct RecordedProposals {
    QString path;
    int draw = 0; // the draw they are meant for
    bool written = false;
    bool noHistory = false; // nothing was tried: the history holds no usable draw
    QString error; // Japanese, one line, names the file and why, when written failed
};

// Appends both proposals, stamped with the time now, for the draw after the last one the history holds.
RecordedProposals recordProposals(const QString &path, const DrawHistory &history, const Settings &settings,
                                  const std::array<analysis::Proposal, 2> &proposals);

// {"path": "...", "written": true}, or with "written": false and "reason": "no-history" when
// there was nothing to record against.
void writeRecordJson(JsonWriter &json, const RecordedProposals &recorded);

// A failure is the error line on err; success is a note on note (standard output beside text,
// standard error beside JSON); no history is a note on err and no failure. Returns the exit status
// it calls for.
int reportRecord(const RecordedProposals &recorded, std::ostream &note, std::ostream &err);

} // namespace omvex::cli
