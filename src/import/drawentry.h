#pragma once

// A draw typed by hand ("結果の入力"), added to kako.txt by the same plan and write as a results file.

#include "grid/cellgrid.h"
#include "import/resultimport.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

namespace omvex {

// What the boxes hold: the draw number, six main numbers and the bonus, half- or full-width digits.
struct EnteredDraw {
    QString draw;
    std::array<QString, kPicks> main;
    QString bonus;
};

// The draw as one line of a results file: "2131,1,2,3,4,5,6,7".
QByteArray enteredDrawLine(const EnteredDraw &entered);

// Why the boxes hold no valid draw, in the importer's words; nothing when they do.
std::optional<QString> enteredDrawProblem(const EnteredDraw &entered);

// The newest draw of the history whose numbers are valid; 0 when there is none.
int latestUsableDraw(const CellGrid &history);

struct DrawEntryResult {
    enum class Outcome { Added, Replaced, AlreadyHeld, HeldWithOtherNumbers, Refused };
    Outcome outcome = Outcome::Refused;
    QString message; // Japanese: what happened, or why nothing was written
    bool isWritten() const { return outcome == Outcome::Added || outcome == Outcome::Replaced; }
};

// Plans the typed draw as an import into kako.txt and writes it. A draw held with the same numbers
// is left alone; one held with other numbers is replaced only when replace is given.
DrawEntryResult addEnteredDraw(const QString &kakoPath, const EnteredDraw &entered, bool replace,
                               LockWait wait = LockWait::Retry);

} // namespace omvex
