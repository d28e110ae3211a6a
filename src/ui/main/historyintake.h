#pragma once

// How kako.txt reaches the main window beyond the designed reload: what the status line says
// after each reading, and the import of a published result file, which is the one way the
// program writes kako.txt.

#include "grid/cellgrid.h"
#include "history/drawhistory.h"
#include "history/historywarnings.h"
#include "history/resultimport.h"

#include <QString>
#include <QStringList>

#include <vector>

class QLabel;
class QStatusBar;
class QWidget;

namespace omvex::ui {

// One reading of kako.txt into the history grid, with what it takes to tell the user about it.
struct HistoryLoad {
    HistoryReadResult read;
    std::vector<HistoryWarning> warnings;
    QString statusText; // "過去データ: 2058回分（第1回〜第2058回）", then the first problem if any
};

// Reads the file into the grid exactly as the designed reload does, then looks at the same file
// for what the reader itself never complains about.
HistoryLoad loadHistoryWithStatus(const QString &kakoPath, CellGrid &history);

// The line under the window's controls: the history's state after every reading. A note takes
// the line's place until the next reading renews it.
struct StatusLine {
    QStatusBar *bar = nullptr;
    QLabel *history = nullptr; // objectName "historyStatus"
};

StatusLine createStatusLine(QStatusBar &bar);
void showHistoryStatus(const StatusLine &line, const QString &text);
void showStatusNote(const StatusLine &line, const QString &text);

// What the import asks of the user. The program shows dialogs; tests answer in their place.
class ImportDialogs {
public:
    virtual ~ImportDialogs() = default;
    // The result file to import; empty when the user cancelled.
    virtual QString chooseFile(QWidget *parent) = 0;
    // Shows what the import would change; true only for OK.
    virtual bool confirm(QWidget *parent, const QString &summary) = 0;
    // Says why nothing was written, with one line per problem found in the file.
    virtual void report(QWidget *parent, const QString &text, const QStringList &problems) = 0;
};

class ScreenImportDialogs final : public ImportDialogs {
public:
    QString chooseFile(QWidget *parent) override;
    bool confirm(QWidget *parent, const QString &summary) override;
    void report(QWidget *parent, const QString &text, const QStringList &problems) override;
};

// What follows a plan, whatever its source: a refusal or nothing new is reported, otherwise the
// summary asks, and only OK writes. True when kako.txt was written.
bool carryOutImport(const ImportPlan &plan, ImportDialogs &dialogs, QWidget *parent);

// The whole "取込" command: choose a file, plan the import against kako.txt, show the plan and
// write it only after OK. True when kako.txt was written.
bool importResultFile(const QString &kakoPath, ImportDialogs &dialogs, QWidget *parent);

} // namespace omvex::ui
