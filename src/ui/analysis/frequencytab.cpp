#include "ui/analysis/frequencytab.h"

#include "ui/analysis/comparisonview.h"
#include "ui/analysis/statschartview.h"
#include "ui/charts/chart.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <utility>

namespace omvex::ui {

namespace {

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

// "▲" above the band, "▼" below it, as the tool marks them.
QString outsideMark(bool outside, bool above)
{
    if (!outside)
        return {};
    return above ? QStringLiteral("▲ 多い") : QStringLiteral("▼ 少ない");
}

QString bandText(double low, double high)
{
    return QStringLiteral("%1〜%2").arg(fixedNumber(low, 0), fixedNumber(high, 0));
}

} // namespace

FrequencyTab::FrequencyTab(PathChooser chooseChartPath, QWidget *parent)
    : AnalysisTab(parent)
    , m_chooseChartPath(std::move(chooseChartPath))
{
    createControls();
}

void FrequencyTab::createControls()
{
    m_last = createLastDrawsBox(this);
    auto *save = new QPushButton(QStringLiteral("画像を保存..."), this);
    save->setObjectName(QStringLiteral("saveChart"));
    m_saveStatus = new QLabel(this);
    m_saveStatus->setObjectName(QStringLiteral("saveStatus"));
    m_saveStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_chart = new StatsChartView(this);
    m_table = createResultTable(QStringLiteral("numbers"),
                                {QStringLiteral("数字"), QStringLiteral("本数字"), QStringLiteral("期待値"),
                                 QStringLiteral("95%の範囲"), QString(), QStringLiteral("ボーナス"),
                                 QStringLiteral("期待値"), QStringLiteral("95%の範囲"), QString()},
                                this);
    m_table->setRowCount(kHighestNumber);
    m_table->verticalHeader()->hide();
    m_caution = new QLabel(this);
    m_caution->setObjectName(QStringLiteral("caution"));
    m_caution->setWordWrap(true);

    auto *controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("対象:"), this));
    controls->addWidget(m_last);
    controls->addWidget(createReloadButton());
    controls->addStretch(1);
    controls->addWidget(m_saveStatus);
    controls->addWidget(save);

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(m_chart);
    splitter->addWidget(m_table);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addWidget(splitter, 1);
    layout->addWidget(m_caution);

    connect(m_last, &QSpinBox::valueChanged, this, &FrequencyTab::recount);
    connect(save, &QPushButton::clicked, this, &FrequencyTab::saveChart);
}

void FrequencyTab::showHistory(const HistorySnapshot &history)
{
    m_history = history.grid;
    m_historyPath = history.path;
    recount();
}

void FrequencyTab::recount()
{
    m_stats = analysis::historyStats(m_history, lastDraws(m_last));
    m_chart->setStats(m_stats);
    fillTable();
}

void FrequencyTab::fillTable()
{
    int mainOutside = 0;
    int bonusOutside = 0;
    const bool counted = m_stats.draws > 0;
    for (const analysis::NumberStats &entry : m_stats.numbers) {
        const int row = entry.number - 1;
        const QString mainMark = outsideMark(counted && entry.mainOutside(), entry.main > entry.high);
        const QString bonusMark = outsideMark(counted && entry.bonusOutside(), entry.bonus > entry.bonusHigh);
        mainOutside += mainMark.isEmpty() ? 0 : 1;
        bonusOutside += bonusMark.isEmpty() ? 0 : 1;
        m_table->setItem(row, NumberColumn, cell(QString::number(entry.number)));
        m_table->setItem(row, MainColumn, cell(QString::number(entry.main)));
        m_table->setItem(row, ExpectedMainColumn, cell(fixedNumber(entry.expectedMain, 1)));
        m_table->setItem(row, MainBandColumn, cell(bandText(entry.low, entry.high)));
        m_table->setItem(row, MainMarkColumn, cell(mainMark));
        m_table->setItem(row, BonusColumn, cell(QString::number(entry.bonus)));
        m_table->setItem(row, ExpectedBonusColumn, cell(fixedNumber(entry.expectedBonus, 1)));
        m_table->setItem(row, BonusBandColumn, cell(bandText(entry.bonusLow, entry.bonusHigh)));
        m_table->setItem(row, BonusMarkColumn, cell(bonusMark));
    }
    QString caution = QStringLiteral("過去 %1 回を数えました。").arg(m_stats.draws);
    if (m_stats.skippedRows > 0)
        caution += QStringLiteral("正しい当せん数字でない行 %1 行は数えていません。").arg(m_stats.skippedRows);
    caution += QStringLiteral("95%の範囲の外にあるのは本数字で %1 個、ボーナスで %2 個です。"
                              "偶然だけでも、この回数なら本数字で平均 %3 個、ボーナスで平均 %4 個が範囲の外に出ます。"
                              "範囲外だからといって、出やすい数字・出にくい数字とは言えません。")
                   .arg(mainOutside)
                   .arg(bonusOutside)
                   .arg(fixedNumber(m_stats.expectedMainOutside, 1), fixedNumber(m_stats.expectedBonusOutside, 1));
    m_caution->setText(caution);
}

void FrequencyTab::saveChart()
{
    const QString suggested = QDir(QFileInfo(m_historyPath).absolutePath()).filePath(QStringLiteral("出現回数.png"));
    const QString path = m_chooseChartPath
        ? m_chooseChartPath(this, suggested)
        : QFileDialog::getSaveFileName(this, QStringLiteral("グラフを保存"), suggested,
                                       QStringLiteral("PNG 画像 (*.png)"));
    if (path.isEmpty())
        return;
    QString error;
    if (charts::saveStatsChart(m_stats, path, &error))
        m_saveStatus->setText(QStringLiteral("保存しました: %1").arg(QDir::toNativeSeparators(path)));
    else
        m_saveStatus->setText(error);
}

} // namespace omvex::ui
