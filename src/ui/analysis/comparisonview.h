#pragma once

#include "analysis/chance.h"

#include <QWidget>

class QLabel;

namespace omvex::ui {

class AnalysisTable;

// The tool's table of observed tier counts beside chance: per tier the count, the count expected
// from random lines, its 95 % range and the chance of one line; then the mean matches and the
// verdict.
class ComparisonView final : public QWidget {
public:
    enum Column { TierColumn, ObservedColumn, ExpectedColumn, RangeColumn, ProbabilityColumn, MarkColumn, ColumnCount };

    // title names the table in a saved file's suggested name.
    explicit ComparisonView(const QString &title, QWidget *parent = nullptr);

    void showComparison(const analysis::ChanceComparison &comparison);
    void clear();

    AnalysisTable *table() const { return m_table; }
    QLabel *meanLabel() const { return m_mean; }
    QLabel *verdictLabel() const { return m_verdict; }

private:
    AnalysisTable *m_table;
    QLabel *m_mean;
    QLabel *m_verdict;
};

// A number with fixed decimals, as the tool prints it.
QString fixedNumber(double value, int decimals);

} // namespace omvex::ui
