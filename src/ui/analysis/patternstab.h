#pragma once

#include "analysis/patterns.h"
#include "ui/analysis/analysistab.h"

#include <array>

class QLabel;
class QListWidget;
class QSpinBox;
class QStackedWidget;
class QTableView;

namespace omvex::ui {

class TextTableModel;

// "傾向": the patterns of the history, or of its last N draws, each beside its exact chance. A list
// on the left picks one of the seven views.
class PatternsTab final : public AnalysisTab {
    Q_OBJECT

public:
    // The views in the order of the list: the five distributions, then gaps and pairs.
    enum View { OddEvenView, LowHighView, SumView, ConsecutiveView, RepeatsView, GapsView, PairsView, ViewCount };

    explicit PatternsTab(QWidget *parent = nullptr);

    void showHistory(const HistorySnapshot &history) override;

    const analysis::PatternReport &report() const { return m_report; }
    // The table of a view; the pairs view has two, the most frequent pairs first.
    QTableView *table(View view, int which = 0) const;
    TextTableModel *model(View view, int which = 0) const;

private:
    struct Page {
        QLabel *summary = nullptr;
        std::array<QTableView *, 2> tables{};
        std::array<TextTableModel *, 2> models{};
    };

    void createControls();
    QWidget *createPage(View view, const QString &name, const QStringList &headers, int tables = 1);
    void recount();
    void showDistributions();
    void showGaps();
    void showPairs();

    CellGrid m_history;
    analysis::PatternReport m_report;

    QSpinBox *m_last = nullptr;
    QLabel *m_heading = nullptr;
    QListWidget *m_views = nullptr;
    QStackedWidget *m_pages = nullptr;
    std::array<Page, ViewCount> m_page{};
};

} // namespace omvex::ui
