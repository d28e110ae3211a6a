#pragma once

#include "analysis/journal.h"
#include "settings/settingsstore.h"
#include "ui/analysis/analysistab.h"

#include <functional>

class QCheckBox;
class QLabel;
class QPlainTextEdit;

namespace omvex::ui {

class AnalysisTable;
class ComparisonView;

// "予想の記録": the proposals kept in "kiroku.txt", newest first, each scored against its draw
// once the history holds it, with the totals beside chance; and whether proposals are kept at all.
class JournalTab final : public AnalysisTab {
    Q_OBJECT

public:
    enum Column {
        TimeColumn,
        DrawColumn,
        PassColumn,
        NumbersColumn,
        SettingsColumn,
        MatchesColumn,
        BonusColumn,
        PrizeColumn,
        ColumnCount
    };

    // The user's choice to keep proposals, as the main window holds it; empty functions leave
    // the choice unshown.
    struct RecordChoice {
        std::function<bool()> isEnabled;
        std::function<SaveResult(bool)> setEnabled;
    };

    JournalTab(QString recordPath, RecordChoice choice, QWidget *parent = nullptr);

    // Reads "kiroku.txt" again as well: a new history scores what was pending.
    void showHistory(const HistorySnapshot &history) override;
    void windowOpened() override;
    // Reads "kiroku.txt" again against the history last shown.
    void reloadRecord();

    const analysis::Journal &journal() const { return m_journal; }

private:
    void createControls();
    void showJournal();
    void fillEntries();
    void chooseRecording(bool enabled);

    QString m_recordPath;
    RecordChoice m_choice;
    CellGrid m_history;
    analysis::Journal m_journal;

    QCheckBox *m_record = nullptr;
    QLabel *m_choiceNote = nullptr;
    QLabel *m_summary = nullptr;
    AnalysisTable *m_entries = nullptr;
    ComparisonView *m_comparison = nullptr;
    QPlainTextEdit *m_warnings = nullptr;
    QLabel *m_alikeNote = nullptr; // under the totals
};

} // namespace omvex::ui
