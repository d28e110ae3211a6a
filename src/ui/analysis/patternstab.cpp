#include "ui/analysis/patternstab.h"

#include "ui/analysis/comparisonview.h"
#include "ui/analysis/texttablemodel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace omvex::ui {

namespace {

QString text(const std::string &utf8)
{
    return QString::fromStdString(utf8);
}

TextCell numberCell(long long value)
{
    return {QString::number(value), value};
}

TextCell decimalCell(double value, int decimals)
{
    return {fixedNumber(value, decimals), value};
}

TextCell rangeCell(const analysis::CountInterval &range)
{
    return {QStringLiteral("%1〜%2").arg(range.low).arg(range.high), static_cast<qlonglong>(range.low)};
}

QString pairText(const analysis::PairCount &pair)
{
    return QStringLiteral("%1 - %2").arg(pair.first).arg(pair.second);
}

QTableView *createView(const QString &name, TextTableModel *model, QWidget *parent)
{
    auto *view = new QTableView(parent);
    view->setObjectName(name);
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(QFontMetrics(view->font()).height() + 6);
    return view;
}

} // namespace

PatternsTab::PatternsTab(QWidget *parent)
    : AnalysisTab(parent)
{
    createControls();
}

void PatternsTab::createControls()
{
    m_last = createLastDrawsBox(this);
    m_heading = new QLabel(this);
    m_heading->setObjectName(QStringLiteral("heading"));
    m_heading->setWordWrap(true);
    auto *caution = new QLabel(QString::fromUtf8(analysis::kPatternCaution), this);
    caution->setObjectName(QStringLiteral("caution"));
    caution->setWordWrap(true);

    m_views = new QListWidget(this);
    m_views->setObjectName(QStringLiteral("views"));
    m_pages = new QStackedWidget(this);
    const QStringList binHeaders{QString(),
                                 QStringLiteral("実際"),
                                 QStringLiteral("偶然の期待値"),
                                 QStringLiteral("95%の範囲"),
                                 QStringLiteral("1回の確率"),
                                 QString()};
    static_assert(analysis::kPatternKinds.size() == GapsView);
    for (std::size_t i = 0; i < analysis::kPatternKinds.size(); ++i) {
        const analysis::PatternKind &kind = analysis::kPatternKinds[i];
        QStringList headers = binHeaders;
        headers[0] = QString::fromUtf8(kind.value);
        m_views->addItem(QString::fromUtf8(kind.caption));
        m_pages->addWidget(createPage(static_cast<View>(i), QString::fromUtf8(kind.key), headers));
    }
    m_views->addItem(QStringLiteral("出ていない回数"));
    m_pages->addWidget(createPage(GapsView, QStringLiteral("gaps"),
                                  {QStringLiteral("数字"), QStringLiteral("出ていない回数"),
                                   QStringLiteral("その回数以上続く確率")}));
    m_views->addItem(QStringLiteral("組み合わせ"));
    m_pages->addWidget(createPage(PairsView, QStringLiteral("pairs"), {QStringLiteral("組"), QStringLiteral("回数")}, 2));
    m_views->setFixedWidth(m_views->sizeHintForColumn(0) + 2 * m_views->frameWidth() + 16);
    m_views->setCurrentRow(0);

    auto *controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("対象:"), this));
    controls->addWidget(m_last);
    controls->addWidget(createReloadButton());
    controls->addWidget(m_heading, 1);
    auto *body = new QHBoxLayout;
    body->addWidget(m_views);
    body->addWidget(m_pages, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(controls);
    layout->addLayout(body, 1);
    layout->addWidget(caution);

    connect(m_views, &QListWidget::currentRowChanged, m_pages, &QStackedWidget::setCurrentIndex);
    connect(m_last, &QSpinBox::valueChanged, this, &PatternsTab::recount);
}

QWidget *PatternsTab::createPage(View view, const QString &name, const QStringList &headers, int tables)
{
    auto *page = new QWidget(m_pages);
    page->setObjectName(name);
    Page &parts = m_page[static_cast<std::size_t>(view)];
    parts.summary = new QLabel(page);
    parts.summary->setObjectName(QStringLiteral("summary"));
    parts.summary->setWordWrap(true);
    parts.summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *row = new QHBoxLayout;
    for (int i = 0; i < tables; ++i) {
        const auto at = static_cast<std::size_t>(i);
        parts.models[at] = new TextTableModel(headers, page);
        parts.tables[at] = createView(tables == 1 ? QStringLiteral("table") : i == 0 ? QStringLiteral("most") : QStringLiteral("least"),
                                      parts.models[at], page);
        row->addWidget(parts.tables[at]);
    }
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(parts.summary);
    layout->addLayout(row, 1);
    return page;
}

QTableView *PatternsTab::table(View view, int which) const
{
    return m_page.at(static_cast<std::size_t>(view)).tables.at(static_cast<std::size_t>(which));
}

TextTableModel *PatternsTab::model(View view, int which) const
{
    return m_page.at(static_cast<std::size_t>(view)).models.at(static_cast<std::size_t>(which));
}

void PatternsTab::showHistory(const HistorySnapshot &history)
{
    m_history = history.grid;
    recount();
}

void PatternsTab::recount()
{
    m_report = analysis::patternReport(m_history, lastDraws(m_last));
    m_heading->setText(m_report.draws == 0
                           ? QStringLiteral("数えられる回がありません。")
                           : QStringLiteral("過去 %1 回（第%2回〜第%3回）")
                                 .arg(m_report.draws)
                                 .arg(m_report.firstDraw)
                                 .arg(m_report.lastDraw));
    showDistributions();
    showGaps();
    showPairs();
}

void PatternsTab::showDistributions()
{
    for (std::size_t i = 0; i < analysis::kPatternKinds.size(); ++i) {
        const analysis::PatternDistribution &distribution = m_report.*analysis::kPatternKinds[i].distribution;
        QList<QList<TextCell>> rows;
        for (const analysis::PatternBin &bin : distribution.bins)
            rows.append({{text(analysis::binText(bin)), bin.low},
                         numberCell(bin.observed),
                         decimalCell(bin.expected, 1),
                         rangeCell(bin.range),
                         {text(analysis::chanceText(bin.chance)), bin.probability},
                         {bin.outside() ? QStringLiteral("← 範囲外") : QString(), {}}});
        Page &page = m_page[i];
        page.models[0]->setRows(rows);
        page.summary->setText(QStringLiteral("%1 回。%2\n判定: %3")
                                  .arg(distribution.draws)
                                  .arg(text(analysis::fitText(distribution.fit)), text(distribution.verdict)));
    }
}

void PatternsTab::showGaps()
{
    QList<QList<TextCell>> rows;
    for (const analysis::NumberGap &gap : m_report.gaps)
        rows.append({numberCell(gap.number), numberCell(gap.gap),
                     {fixedNumber(gap.probabilityAtLeast * 100, 2) + QLatin1Char('%'), gap.probabilityAtLeast}});
    Page &page = m_page[GapsView];
    page.models[0]->setRows(rows);
    page.summary->setText(QStringLiteral("本数字として最後に出てから最新の回までの回数です（対象にかかわらず過去データ全体）。"
                                         "1回に出ない確率は 37/43 なので、g 回以上続く確率は (37/43)^g です。"));
}

void PatternsTab::showPairs()
{
    const analysis::PairStats &pairs = m_report.pairs;
    Page &page = m_page[PairsView];
    const std::array<const std::vector<analysis::PairCount> *, 2> lists{&pairs.most, &pairs.least};
    for (std::size_t i = 0; i < lists.size(); ++i) {
        QList<QList<TextCell>> rows;
        for (const analysis::PairCount &pair : *lists[i])
            rows.append({{pairText(pair), pair.first * 100 + pair.second}, numberCell(pair.observed)});
        page.models[i]->setRows(rows);
    }
    page.summary->setText(QStringLiteral("%1 組の組み合わせ。偶然なら各組 %2 回（95%の範囲 %3〜%4）。範囲外は %5 組"
                                         "（偶然でも平均 %6 組）。左は多い組、右は少ない組の上位 10 組です。")
                              .arg(pairs.pairs)
                              .arg(fixedNumber(pairs.expected, 1))
                              .arg(pairs.range.low)
                              .arg(pairs.range.high)
                              .arg(pairs.outside)
                              .arg(fixedNumber(pairs.expectedOutside, 1)));
}

} // namespace omvex::ui
