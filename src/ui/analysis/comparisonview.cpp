#include "ui/analysis/comparisonview.h"

#include "ui/analysis/analysistable.h"
#include "ui/analysis/celltablemodel.h"

#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

#include <utility>

namespace omvex::ui {

QString fixedNumber(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

ComparisonView::ComparisonView(const QString &title, QWidget *parent)
    : QWidget(parent)
    , m_table(new AnalysisTable(QStringLiteral("tiers"), title,
                                {QStringLiteral("等級"), QStringLiteral("実際"), QStringLiteral("偶然の期待値"),
                                 QStringLiteral("95%の範囲"), QStringLiteral("1行が当たる確率"), QStringLiteral("範囲外")},
                                this))
    , m_mean(new QLabel(this))
    , m_verdict(new QLabel(this))
{
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Six rows always: the table takes their height and no more.
    m_table->setFixedHeight(m_table->horizontalHeader()->sizeHint().height()
                            + analysis::kTierCount * m_table->verticalHeader()->defaultSectionSize()
                            + 2 * m_table->frameWidth());
    m_mean->setObjectName(QStringLiteral("meanMatches"));
    m_verdict->setObjectName(QStringLiteral("verdict"));
    for (QLabel *label : {m_mean, m_verdict}) {
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_table);
    layout->addWidget(m_mean);
    layout->addWidget(m_verdict);
    clear();
}

void ComparisonView::showComparison(const analysis::ChanceComparison &comparison)
{
    std::vector<TableRow> rows;
    for (const analysis::TierComparison &tier : comparison.tiers) {
        const analysis::Fraction probability = analysis::tierProbability(tier.tier);
        rows.push_back({textCell(QString::fromStdString(analysis::tierCaption(tier.tier)), static_cast<int>(tier.tier)),
                        numberCell(tier.observed), numberCell(tier.expected, fixedNumber(tier.expected, 2)),
                        numberCell(static_cast<double>(tier.interval.low),
                                   QStringLiteral("%1〜%2").arg(tier.interval.low).arg(tier.interval.high)),
                        numberCell(probability.value(), QString::fromStdString(analysis::chanceText(probability))),
                        textCell(tier.outside() ? QStringLiteral("← 範囲外") : QString())});
    }
    m_table->cells()->setRows(std::move(rows));
    m_mean->setText(QStringLiteral("平均一致数（1行あたりの本数字の一致）: %1（偶然なら %2、95%の範囲 %3〜%4）")
                        .arg(fixedNumber(comparison.meanMatches, 3), fixedNumber(comparison.expectedMeanMatches, 3),
                             fixedNumber(comparison.meanLow, 3), fixedNumber(comparison.meanHigh, 3)));
    m_verdict->setText(QStringLiteral("判定: %1").arg(QString::fromStdString(comparison.verdict)));
    m_table->resizeColumnsToContents();
}

void ComparisonView::clear()
{
    m_table->cells()->clear();
    m_mean->clear();
    m_verdict->clear();
}

} // namespace omvex::ui
