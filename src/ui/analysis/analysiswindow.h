#pragma once

// The analysis window "Omvex予想の分析": how often each number came up, a backtest of the
// prediction against chance, a check of lines against past draws, and the record of the main
// window's proposals scored against their draws, and the patterns of past draws beside their exact
// chance. It reads "kako.txt" into
// a grid of its own when it opens and whenever a tab's "更新" is pressed, never writes it, and
// computes everything through the analysis library, so its numbers are the command-line tool's.
//
// Hooking it into the main window takes a few lines:
//
//     AnalysisProviders providers;
//     providers.kakoFilePath = KakoFilePath;
//     providers.settings = [this] { return m_app.settings; };
//     providers.proposals = [this] { return currentProposals(); };   // nullopt for a pass not run yet
//     providers.recordFilePath = ...; providers.isRecordEnabled = ...; providers.setRecordEnabled = ...;
//     providers.parent = this;
//     m_analysis = new AnalysisWindow(providers);                      // owned by its parent
//     connect(action, &QAction::triggered, this, [this] { m_analysis->showTab(AnalysisWindow::Tab::Backtest); });
//     ... and in the quit path, before the window goes: m_analysis->shutdown();

#include "engine/settings.h"
#include "settings/settingsstore.h"
#include "ui/analysis/analysistab.h"

#include <QRect>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class QLabel;
class QTabWidget;

namespace omvex::ui {

// What the window takes from the program around it. Empty functions mean: default settings, no
// proposals, a file dialog to choose where the chart or a table goes, and no choice to keep
// proposals.
struct AnalysisProviders {
    QString kakoFilePath;
    QString recordFilePath; // "kiroku.txt"
    std::function<Settings()> settings;
    std::function<std::array<Proposal, 2>()> proposals; // "１回目", "２回目"
    std::function<QString(QWidget *parent, const QString &suggestedPath)> chooseSavePath;
    // Whether proposals are kept, and the user changing it (saved in "omvex.ini").
    std::function<bool()> isRecordEnabled;
    std::function<SaveResult(bool)> setRecordEnabled;
    // What the window must leave visible when it first opens (the main window's menu bar, buttons
    // and number boxes, in screen pixels), and where it stood when last closed: kept as its frame's
    // top-left corner with the size inside the frame, and handed back on the next start.
    std::function<QRect()> keepVisible;
    std::function<std::optional<QRect>()> savedPlace;
    std::function<void(const QRect &)> keepPlace;
    QWidget *parent = nullptr;
};

class AnalysisWindow final : public QWidget {
    Q_OBJECT

public:
    // In the order of the tabs. A new tab: a value here and one line in createTabs().
    enum class Tab { Frequency, Backtest, Ticket, Journal, Patterns };

    explicit AnalysisWindow(AnalysisProviders providers);
    ~AnalysisWindow() override;

    // Opens the window on the given tab, or raises it there when it is already open. Opening
    // reads "kako.txt" and takes the current settings for the backtest.
    void showTab(Tab tab);
    // Cancels any backtest and waits for it to end; call before the program quits.
    void shutdown();
    // Reads "kako.txt" again and shows it in every tab.
    void reloadHistory();
    // Reads "kiroku.txt" again after the main window added to it.
    void reloadRecord();

    const HistorySnapshot &history() const { return m_history; }
    AnalysisTab *tab(Tab tab) const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createTabs();
    void addTab(Tab tab, AnalysisTab *page, const QString &title);
    void equipTables();
    void showHistoryNote();
    void placeOnFirstShow();
    void keepPlace();

    AnalysisProviders m_providers;
    HistorySnapshot m_history;
    QTabWidget *m_tabWidget = nullptr;
    std::vector<AnalysisTab *> m_tabs; // indexed by Tab
    QLabel *m_historyNote = nullptr;
    QLabel *m_saveNote = nullptr; // where the last "CSVで保存..." went
    bool m_isPlaced = false;
};

} // namespace omvex::ui
