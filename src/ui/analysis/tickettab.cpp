#include "ui/analysis/tickettab.h"

#include "analysis/backtest.h"
#include "analysis/chance.h"
#include "analysis/ticketline.h"
#include "ui/analysis/analysistable.h"
#include "ui/analysis/comparisonview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTextBlock>
#include <QVBoxLayout>

#include <utility>

namespace omvex::ui {

namespace {

const QColor kProblemText(0xC6, 0x28, 0x28);
const QColor kProblemBackground(0xFD, 0xE4, 0xE4);
const QColor kOutsideBackground(0xFC, 0xE6, 0xCF);

AnalysisTable *createTable(const QString &name, const QString &title, const QStringList &headers, QWidget *parent)
{
    auto *table = new AnalysisTable(name, title, headers, parent);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    return table;
}

TableCell prizeCell(analysis::Tier tier)
{
    return textCell(QString::fromStdString(analysis::prizeName(tier).value_or("はずれ")), static_cast<int>(tier));
}

} // namespace

TicketTab::TicketTab(ProposalSource proposals, QWidget *parent)
    : AnalysisTab(parent)
    , m_proposals(std::move(proposals))
{
    createControls();
    recheck();
}

void TicketTab::createControls()
{
    m_editor = new QPlainTextEdit(this);
    m_editor->setObjectName(QStringLiteral("lines"));
    m_editor->setPlaceholderText(QStringLiteral("1行に6個の数字（例: 3 11 17 25 36 42）。何行でも貼り付けられます。"));
    m_editor->setMaximumHeight(110);
    m_editor->setTabChangesFocus(true);
    auto *take = new QPushButton(QStringLiteral("予想の数字を入れる"), this);
    take->setObjectName(QStringLiteral("takeProposals"));
    take->setToolTip(QStringLiteral("メイン画面の１回目・２回目の数字を行として加えます"));
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("note"));
    m_draw = new QSpinBox(this);
    m_draw->setObjectName(QStringLiteral("draw"));
    m_draw->setPrefix(QStringLiteral("第 "));
    m_draw->setSuffix(QStringLiteral(" 回"));
    m_draw->setKeyboardTracking(false); // "2058" typed is one choice, not four
    m_drawNumbers = new QLabel(this);
    m_drawNumbers->setObjectName(QStringLiteral("drawNumbers"));
    m_drawTable = createTable(QStringLiteral("perDraw"), QStringLiteral("当せん確認（1回）"),
                              {QStringLiteral("数字"), QStringLiteral("本数字の一致"), QStringLiteral("ボーナス"),
                               QStringLiteral("等級"), QStringLiteral("備考")},
                              this);
    QStringList allHeaders{QStringLiteral("数字")};
    for (const analysis::Tier tier : analysis::kTiers)
        allHeaders.append(QString::fromStdString(analysis::prizeName(tier).value_or("はずれ")));
    allHeaders << QStringLiteral("平均一致数") << QStringLiteral("最高の結果");
    m_allTable = createTable(QStringLiteral("allDraws"), QStringLiteral("当せん確認（すべての回）"), allHeaders, this);
    m_allTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_comparison = new ComparisonView(QStringLiteral("当せん確認の等級"), this);
    m_comparison->setObjectName(QStringLiteral("comparison"));
    m_best = new QLabel(this);
    m_best->setObjectName(QStringLiteral("best"));
    m_best->setWordWrap(true);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(take);
    QPushButton *reload = createReloadButton();
    buttons->addWidget(reload);
    buttons->addStretch(1);
    auto *entry = new QHBoxLayout;
    entry->addWidget(m_editor, 1);
    entry->addLayout(buttons);
    auto *drawRow = new QHBoxLayout;
    drawRow->addWidget(new QLabel(QStringLiteral("照合する回:"), this));
    drawRow->addWidget(m_draw);
    drawRow->addWidget(m_drawNumbers, 1);

    auto *oneDraw = new QWidget(this);
    auto *oneDrawLayout = new QVBoxLayout(oneDraw);
    oneDrawLayout->setContentsMargins(0, 0, 0, 0);
    oneDrawLayout->addLayout(drawRow);
    oneDrawLayout->addWidget(m_drawTable);
    auto *allDraws = new QWidget(this);
    auto *allDrawsLayout = new QVBoxLayout(allDraws);
    allDrawsLayout->setContentsMargins(0, 0, 0, 0);
    allDrawsLayout->addWidget(new QLabel(QStringLiteral("過去のすべての回との照合（行を選ぶと下に詳しく）:"), this));
    allDrawsLayout->addWidget(m_allTable);
    allDrawsLayout->addWidget(m_best);
    allDrawsLayout->addWidget(m_comparison);
    auto *splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(oneDraw);
    splitter->addWidget(allDraws);
    splitter->setChildrenCollapsible(false);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(entry);
    layout->addWidget(m_note);
    layout->addWidget(splitter, 1);

    setTabChain({m_editor, take, reload, m_draw, m_drawTable, m_allTable, m_comparison->table()});

    connect(m_editor, &QPlainTextEdit::textChanged, this, &TicketTab::recheck);
    connect(take, &QPushButton::clicked, this, &TicketTab::takeProposals);
    connect(m_draw, &QSpinBox::valueChanged, this, [this] {
        showChosenDraw();
        fillDrawTable();
    });
    connect(m_allTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TicketTab::showSelectedComparison);
}

void TicketTab::showHistory(const HistorySnapshot &history)
{
    m_history = history.grid;
    m_draws = history.draws;
    // A reading that brings a newer draw moves the choice along, unless the user chose another.
    const bool followsLatest = m_draw->value() == m_latestDraw;
    m_latestDraw = m_draws.latest().value_or(0);
    {
        const QSignalBlocker quiet(m_draw);
        m_draw->setRange(1, std::max({1, m_history.rowCount(), m_latestDraw}));
        if (followsLatest && m_latestDraw > 0)
            m_draw->setValue(m_latestDraw);
    }
    m_draw->setEnabled(m_latestDraw > 0);
    showChosenDraw();
    recheck();
}

void TicketTab::recheck()
{
    m_lines.clear();
    const QStringList texts = m_editor->toPlainText().split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (texts[i].trimmed().isEmpty())
            continue;
        const analysis::TicketLine parsed = analysis::parseTicketLine(texts[i].toStdString());
        m_lines.push_back({static_cast<int>(i + 1), texts[i].trimmed(), parsed.numbers,
                           QString::fromStdString(parsed.message)});
    }
    markEditorLines();
    fillDrawTable();
    fillAllDrawsTable();
}

void TicketTab::markEditorLines()
{
    QList<QTextEdit::ExtraSelection> marks;
    for (const EnteredLine &line : m_lines) {
        if (line.numbers)
            continue;
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(m_editor->document()->findBlockByNumber(line.editorLine - 1));
        mark.format.setBackground(kProblemBackground);
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks.append(mark);
    }
    m_editor->setExtraSelections(marks);
}

void TicketTab::showChosenDraw()
{
    const Draw *draw = m_draws.usable(m_draw->value());
    if (m_latestDraw == 0)
        m_drawNumbers->setText(QStringLiteral("過去データに当せん数字がありません。"));
    else if (!draw)
        m_drawNumbers->setText(QStringLiteral("第 %1 回は過去データにありません。").arg(m_draw->value()));
    else
        m_drawNumbers->setText(QStringLiteral("当せん数字 %1　ボーナス %2").arg(lineText(draw->main)).arg(draw->bonus));
}

void TicketTab::fillDrawTable()
{
    std::vector<TableRow> rows;
    QStringList rowNames;
    for (const EnteredLine &line : m_lines) {
        rowNames.append(QStringLiteral("%1行目").arg(line.editorLine));
        if (!line.numbers) {
            TableCell problem = textCell(QStringLiteral("✕ %1").arg(line.problem));
            problem.foreground = kProblemText;
            rows.push_back({textCell(line.text), {}, {}, {}, problem});
            continue;
        }
        const std::optional<analysis::LineScore> score =
            analysis::scoreAgainstDraw(*line.numbers, m_draws, m_draw->value());
        if (!score) {
            rows.push_back({lineCell(*line.numbers)});
            continue;
        }
        rows.push_back({lineCell(*line.numbers), numberCell(score->matches),
                        textCell(score->bonus ? QStringLiteral("一致") : QStringLiteral("—"), score->bonus ? 1 : 0),
                        prizeCell(score->tier)});
    }
    m_drawTable->cells()->setRows(std::move(rows), rowNames);
}

void TicketTab::fillAllDrawsTable()
{
    m_validLines.clear();
    for (const EnteredLine &line : m_lines) {
        if (line.numbers)
            m_validLines.push_back(*line.numbers);
    }
    std::vector<TableRow> rows;
    for (const auto &numbers : m_validLines) {
        const analysis::TicketResult result = analysis::checkTicket(m_history, numbers);
        const analysis::ChanceComparison comparison = analysis::compareTicketWithChance(result.tally);
        TableRow row{lineCell(result.ticket)};
        for (const analysis::TierComparison &tier : comparison.tiers) {
            TableCell count = numberCell(tier.observed);
            if (tier.outside()) {
                count.background = kOutsideBackground;
                count.toolTip = QStringLiteral("偶然の範囲（95%）の外です");
            }
            row.push_back(count);
        }
        row.push_back(numberCell(comparison.meanMatches, fixedNumber(comparison.meanMatches, 3)));
        QString best;
        if (result.best) {
            best = QStringLiteral("第 %1 回 %2").arg(result.bestDraw).arg(QString::fromStdString(analysis::tierCaption(result.best->tier)));
            if (result.bestCount > 1)
                best += QStringLiteral("（ほかに %1 回）").arg(result.bestCount - 1);
        }
        row.push_back(textCell(best, result.best ? static_cast<int>(result.best->tier) : analysis::kTierCount));
        rows.push_back(std::move(row));
    }
    {
        const QSignalBlocker quiet(m_allTable->selectionModel());
        m_allTable->cells()->setRows(std::move(rows));
        if (!m_validLines.empty())
            m_allTable->selectSourceRow(0);
    }
    showSelectedComparison();
}

void TicketTab::showSelectedComparison()
{
    const int row = m_allTable->selectedSourceRow().value_or(-1);
    if (row < 0 || row >= static_cast<int>(m_validLines.size())) {
        m_comparison->clear();
        m_best->clear();
        return;
    }
    const auto &numbers = m_validLines[static_cast<std::size_t>(row)];
    const analysis::TicketResult result = analysis::checkTicket(m_history, numbers);
    QString best = QStringLiteral("数字 %1 を過去 %2 回と照合しました。").arg(lineText(numbers)).arg(result.tally.lines);
    if (result.skippedRows > 0)
        best += QStringLiteral("正しい当せん数字でない行 %1 行は数えていません。").arg(result.skippedRows);
    if (result.best) {
        best += QStringLiteral("最高: 第 %1 回 %2、本数字 %3 個一致%4")
                    .arg(result.bestDraw)
                    .arg(QString::fromStdString(analysis::tierCaption(result.best->tier)))
                    .arg(result.best->matches)
                    .arg(result.best->bonus ? QStringLiteral("＋ボーナス") : QString());
        if (result.bestCount > 1)
            best += QStringLiteral("（同じ結果がほかに %1 回）").arg(result.bestCount - 1);
    }
    m_best->setText(best);
    m_comparison->showComparison(analysis::compareTicketWithChance(result.tally));
}

void TicketTab::takeProposals()
{
    QStringList added;
    for (const Proposal &proposal : m_proposals()) {
        if (proposal)
            added.append(lineText(*proposal));
    }
    if (added.isEmpty()) {
        m_note->setText(QStringLiteral("まだ予想がありません。メイン画面で予想開始のあとに使えます。"));
        return;
    }
    m_note->clear();
    const QString text = m_editor->toPlainText();
    const QString before = text.isEmpty() || text.endsWith(QLatin1Char('\n')) ? QString() : QStringLiteral("\n");
    // Inserted rather than set, so that one undo takes the lines out again.
    m_editor->moveCursor(QTextCursor::End);
    m_editor->insertPlainText(before + added.join(QLatin1Char('\n')));
}

} // namespace omvex::ui
