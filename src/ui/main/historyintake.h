#pragma once

// How kako.txt reaches the main window beyond the designed reload: what the status line says
// after each reading, and the import of a published result file, which is the one way the
// program writes kako.txt.

#include "import/resultimport.h"

#include <QLabel>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QStatusBar;
class QWidget;

namespace omvex::ui {

// The history's state in as much of the line as there is room for, ending in "…" when cut; the
// whole text is in its tooltip.
class StatusLabel final : public QLabel {
public:
    using QLabel::QLabel;
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The line under the window's controls: the history's state after every reading. A note takes
// the line's place until the next reading renews it.
struct StatusLine {
    QStatusBar *bar = nullptr;
    StatusLabel *history = nullptr; // objectName "historyStatus"
};

StatusLine createStatusLine(QStatusBar &bar);
void showHistoryStatus(const StatusLine &line, const QString &text);
void showStatusNote(const StatusLine &line, const QString &text);

// What the import asks of the user. The program shows dialogs; tests answer in their place.
class ImportDialogs {
public:
    virtual ~ImportDialogs() = default;
    // The result file to import, starting in startFolder; empty when the user cancelled.
    virtual QString chooseFile(QWidget *parent, const QString &startFolder) = 0;
    // Shows what the import would change; true only for OK. With changes (the draws whose numbers
    // the file would replace) OK needs "置き換える" ticked.
    virtual bool confirm(QWidget *parent, const QString &summary, const QStringList &changes) = 0;
    // Says why nothing was written, with one line per problem found in the file.
    virtual void report(QWidget *parent, const QString &text, const QStringList &problems) = 0;
};

class ScreenImportDialogs final : public ImportDialogs {
public:
    QString chooseFile(QWidget *parent, const QString &startFolder) override;
    bool confirm(QWidget *parent, const QString &summary, const QStringList &changes) override;
    void report(QWidget *parent, const QString &text, const QStringList &problems) override;
};

// The whole "取込" command: choose a file (starting in the folder kept in omvex.ini at iniPath, the
// first time in the download folder), plan the import against kako.txt, show the plan and write it
// only after OK; a file that differs from kako.txt is offered with "置き換える". What was written
// ("72回分を追加しました"), or nothing when kako.txt was left alone.
std::optional<QString> importResultFile(const QString &kakoPath, const QString &iniPath, ImportDialogs &dialogs,
                                        QWidget *parent);

// What follows choosing a source, whatever it is (a file, a download): the plan without replacing,
// and when only draws that kako.txt holds with other numbers stand in the way, the plan that
// replaces them, offered with "置き換える"; a refusal or nothing new is reported, otherwise the
// summary asks, and only OK writes. What was written, or nothing when kako.txt was left alone.
std::optional<QString> carryOutImport(const std::function<ImportPlan(bool replace)> &planFor, ImportDialogs &dialogs,
                                      QWidget *parent);

} // namespace omvex::ui
