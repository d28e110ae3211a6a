#pragma once

// How kako.txt reaches the main window beyond the designed reload: what the status line says
// after each reading, and the import of a published result file, which is the one way the
// program writes kako.txt.

#include <QString>
#include <QStringList>

class QLabel;
class QStatusBar;
class QWidget;

namespace omvex::ui {

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

// The whole "取込" command: choose a file, plan the import against kako.txt, show the plan and
// write it only after OK. True when kako.txt was written.
bool importResultFile(const QString &kakoPath, ImportDialogs &dialogs, QWidget *parent);

} // namespace omvex::ui
