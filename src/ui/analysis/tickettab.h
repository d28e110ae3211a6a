#pragma once

#include "ui/analysis/analysistab.h"

#include <QStringList>

#include <functional>
#include <vector>

class QLabel;
class QPlainTextEdit;
class QSpinBox;

namespace omvex::ui {

class AnalysisTable;
class ComparisonView;

// "当せん確認": lines typed, pasted or taken from the main window's proposals, each checked as it
// is entered, then scored against one draw and against every past draw.
class TicketTab final : public AnalysisTab {
    Q_OBJECT

public:
    using ProposalSource = std::function<std::array<Proposal, 2>()>;
    // A line that is not six numbers says why under "備考" and is scored nowhere.
    enum DrawColumn { DrawLineColumn, MatchesColumn, BonusColumn, PrizeColumn, NoteColumn, DrawColumnCount };
    // One column per tier between the line and the mean, in the order of analysis::kTiers.
    enum AllColumn { AllLineColumn, FirstTierColumn, MeanColumn = FirstTierColumn + 6, BestColumn, AllColumnCount };

    explicit TicketTab(ProposalSource proposals, QWidget *parent = nullptr);

    void showHistory(const HistorySnapshot &history) override;

private:
    struct EnteredLine {
        int editorLine = 0; // 1-based line of the text box
        QString text;
        std::optional<std::array<int, kPicks>> numbers;
        QString problem;
    };

    void createControls();
    void recheck();
    void markEditorLines();
    void fillDrawTable();
    void fillAllDrawsTable();
    void showSelectedComparison();
    void showChosenDraw();
    void takeProposals();

    ProposalSource m_proposals;
    CellGrid m_history;
    DrawHistory m_draws;
    std::vector<EnteredLine> m_lines;
    std::vector<std::array<int, kPicks>> m_validLines; // rows of the all-draws table
    int m_latestDraw = 0;

    QPlainTextEdit *m_editor = nullptr;
    QLabel *m_note = nullptr;
    QSpinBox *m_draw = nullptr;
    QLabel *m_drawNumbers = nullptr;
    AnalysisTable *m_drawTable = nullptr;
    AnalysisTable *m_allTable = nullptr;
    ComparisonView *m_comparison = nullptr;
    QLabel *m_best = nullptr;
};

} // namespace omvex::ui
