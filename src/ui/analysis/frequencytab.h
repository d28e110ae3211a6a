#pragma once

#include "analysis/stats.h"
#include "ui/analysis/analysistab.h"

#include <functional>

class QLabel;
class QSpinBox;

namespace omvex::ui {

class AnalysisTable;

class StatsChartView;

// "出現回数": the frequency chart and table of the history, or of its last N draws.
class FrequencyTab final : public AnalysisTab {
    Q_OBJECT

public:
    using PathChooser = std::function<QString(QWidget *parent, const QString &suggestedPath)>;
    enum Column {
        NumberColumn,
        MainColumn,
        ExpectedMainColumn,
        MainBandColumn,
        MainMarkColumn,
        BonusColumn,
        ExpectedBonusColumn,
        BonusBandColumn,
        BonusMarkColumn,
        ColumnCount
    };

    // An empty chooser asks with a file dialog.
    explicit FrequencyTab(PathChooser chooseChartPath, QWidget *parent = nullptr);

    void showHistory(const HistorySnapshot &history) override;

    const analysis::HistoryStats &stats() const { return m_stats; }

private:
    void createControls();
    void recount();
    void fillTable();
    void saveChart();

    PathChooser m_chooseChartPath;
    CellGrid m_history;
    QString m_historyPath;
    analysis::HistoryStats m_stats;

    QSpinBox *m_last = nullptr;
    StatsChartView *m_chart = nullptr;
    AnalysisTable *m_table = nullptr;
    QLabel *m_caution = nullptr;
    QLabel *m_saveStatus = nullptr;
};

} // namespace omvex::ui
