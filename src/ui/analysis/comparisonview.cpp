#include "ui/analysis/comparisonview.h"

#include "ui/analysis/analysistab.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace omvex::ui {

namespace {

QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment = Qt::AlignRight | Qt::AlignVCenter)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

QString fixedNumber(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

ComparisonView::ComparisonView(QWidget *parent)
    : QWidget(parent)
    , m_table(createResultTable(QStringLiteral("tiers"),
                                {QStringLiteral("等級"), QStringLiteral("実際"), QStringLiteral("偶然の期待値"),
                                 QStringLiteral("95%の範囲"), QStringLiteral("1行が当たる確率"), QString()},
                                this))
    , m_mean(new QLabel(this))
    , m_verdict(new QLabel(this))
{
    m_table->setRowCount(analysis::kTierCount);
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
    for (int row = 0; row < analysis::kTierCount; ++row) {
        const analysis::TierComparison &tier = comparison.tiers[static_cast<std::size_t>(row)];
        m_table->setItem(row, TierColumn, cell(QString::fromStdString(analysis::tierCaption(tier.tier)),
                                               Qt::AlignLeft | Qt::AlignVCenter));
        m_table->setItem(row, ObservedColumn, cell(QString::number(tier.observed)));
        m_table->setItem(row, ExpectedColumn, cell(fixedNumber(tier.expected, 2)));
        m_table->setItem(row, RangeColumn,
                         cell(QStringLiteral("%1〜%2").arg(tier.interval.low).arg(tier.interval.high)));
        m_table->setItem(row, ProbabilityColumn,
                         cell(QString::fromStdString(analysis::chanceText(analysis::tierProbability(tier.tier)))));
        m_table->setItem(row, MarkColumn, cell(tier.outside() ? QStringLiteral("← 範囲外") : QString(),
                                               Qt::AlignLeft | Qt::AlignVCenter));
    }
    m_mean->setText(QStringLiteral("平均一致数（1行あたりの本数字の一致）: %1（偶然なら %2、95%の範囲 %3〜%4）")
                        .arg(fixedNumber(comparison.meanMatches, 3), fixedNumber(comparison.expectedMeanMatches, 3),
                             fixedNumber(comparison.meanLow, 3), fixedNumber(comparison.meanHigh, 3)));
    m_verdict->setText(QStringLiteral("判定: %1").arg(QString::fromStdString(comparison.verdict)));
    m_table->resizeColumnsToContents();
}

void ComparisonView::clear()
{
    m_table->clearContents();
    m_mean->clear();
    m_verdict->clear();
}

} // namespace omvex::ui
