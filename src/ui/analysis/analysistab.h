#pragma once

#include "engine/game.h"
#include "settings/settingwords.h"
#include "engine/settings.h"
#include "grid/cellgrid.h"
#include "history/draws.h"
#include "history/drawhistory.h"
#include "ui/analysis/celltablemodel.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <initializer_list>
#include <optional>

class QPushButton;
class QSpinBox;

namespace omvex::ui {

// One of the main window's proposals; nothing for a pass that has not run.
using Proposal = std::optional<std::array<int, kPicks>>;

// "kako.txt" as the analysis window last read it, in a history grid of its own: the main
// window's grids are never shared, so an analysis may run beside a prediction.
struct HistorySnapshot {
    QString path;
    CellGrid grid;
    HistoryReadResult read;
    DrawHistory draws;
};

// Reads the file into a grid made like the prediction tables' history grid.
HistorySnapshot readHistorySnapshot(const QString &path);

// One tab of the analysis window. A new tab derives from this, takes in each reading of the
// history and asks for a fresh one through reloadRequested().
class AnalysisTab : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    // The window has read the history again; the tab shows what it now holds.
    virtual void showHistory(const HistorySnapshot &history) = 0;
    // The window was opened rather than raised: the moment to take in the current settings.
    virtual void windowOpened() {}
    // Stop work in the background without waiting; nothing of it is shown afterwards.
    virtual void cancelWork() {}
    // Stop work in the background and wait until it has ended.
    virtual void stopWork() {}

signals:
    void reloadRequested();

protected:
    // The tab's "更新" button, which reads "kako.txt" again.
    QPushButton *createReloadButton();
};

// Six numbers as the window shows them, "3 11 17 25 36 42", and as a table cell that sorts them
// number by number.
QString lineText(const std::array<int, kPicks> &numbers);
TableCell lineCell(const std::array<int, kPicks> &numbers);

// Tab walks the widgets in this order: as the tab lays them out, top to bottom, left to right.
void setTabChain(std::initializer_list<QWidget *> widgets);

// The words of the settings dialog, in the order of each setting's digits.
const QStringList &levelWords();
const QStringList &patternWords();
const QStringList &kakoWords();
// "松・すべて・並": the settings in those words.
QString settingsWords(const Settings &settings);

// A "last N draws" box: 0, shown as "すべて", stands for every draw. It takes a typed value on
// Enter or when it loses the focus, never halfway through the typing.
QSpinBox *createLastDrawsBox(QWidget *parent);
std::optional<int> lastDraws(const QSpinBox *box);

} // namespace omvex::ui
