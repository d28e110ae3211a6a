#include "ui/analysis/journaltab.h"

#include "ui/analysis/analysistable.h"
#include "ui/analysis/comparisonview.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace omvex::ui {

namespace {

// Years of daily runs stay far below; a file grown beyond it by hand still opens at once, and
// its totals count every entry.
constexpr int kShownEntries = 2000;

const QStringList kPassNames{QStringLiteral("１回目"), QStringLiteral("２回目")};

} // namespace

JournalTab::JournalTab(QString recordPath, RecordChoice choice, QWidget *parent)
    : AnalysisTab(parent)
    , m_recordPath(std::move(recordPath))
    , m_choice(std::move(choice))
{
    createControls();
}

void JournalTab::createControls()
{
    m_record = new QCheckBox(QStringLiteral("予想を記録する"), this);
    m_record->setObjectName(QStringLiteral("record"));
    m_record->setToolTip(QStringLiteral("予想開始の２回の予想が終わるたびに kiroku.txt に書き足します"));
    m_record->setVisible(m_choice.isEnabled && m_choice.setEnabled);
    m_choiceNote = new QLabel(this);
    m_choiceNote->setObjectName(QStringLiteral("recordNote"));
    m_choiceNote->setWordWrap(true);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summary"));
    m_summary->setWordWrap(true);
    m_entries = new AnalysisTable(QStringLiteral("entries"), QStringLiteral("予想の記録"),
                                  {QStringLiteral("記録した時刻"), QStringLiteral("回"), QStringLiteral("予想"),
                                   QStringLiteral("数字"), QStringLiteral("設定"), QStringLiteral("本数字の一致"),
                                   QStringLiteral("ボーナス"), QStringLiteral("等級")},
                                  this);
    m_entries->verticalHeader()->hide();
    m_comparison = new ComparisonView(QStringLiteral("予想の記録の等級"), this);
    m_comparison->setObjectName(QStringLiteral("comparison"));
    m_warnings = new QPlainTextEdit(this);
    m_warnings->setObjectName(QStringLiteral("warnings"));
    m_warnings->setReadOnly(true);
    m_warnings->setTabChangesFocus(true);
    m_warnings->setMaximumHeight(80);
    m_warnings->hide();
    m_alikeNote = new QLabel(this);
    m_alikeNote->setObjectName(QStringLiteral("alikeNote"));
    m_alikeNote->setWordWrap(true);

    auto *top = new QHBoxLayout;
    top->addWidget(m_record);
    top->addWidget(m_choiceNote, 1);
    QPushButton *reload = createReloadButton();
    top->addWidget(reload);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_summary);
    layout->addWidget(m_entries, 1);
    layout->addWidget(m_warnings);
    layout->addWidget(m_comparison);
    layout->addWidget(m_alikeNote);

    setTabChain({m_record, reload, m_entries, m_warnings, m_comparison->table()});

    connect(m_record, &QCheckBox::toggled, this, &JournalTab::chooseRecording);
}

void JournalTab::windowOpened()
{
    if (!m_choice.isEnabled)
        return;
    const QSignalBlocker quiet(m_record);
    m_record->setChecked(m_choice.isEnabled());
    m_choiceNote->clear();
}

void JournalTab::chooseRecording(bool enabled)
{
    if (!m_choice.setEnabled)
        return;
    const Status saved = m_choice.setEnabled(enabled);
    if (saved.ok)
        m_choiceNote->clear();
    else
        m_choiceNote->setText(
            QStringLiteral("この選択を omvex.ini に保存できません（終了するまでは有効です）: %1").arg(saved.message));
}

void JournalTab::showHistory(const HistorySnapshot &history)
{
    m_history = history.grid;
    reloadRecord();
}

void JournalTab::reloadRecord()
{
    m_journal = analysis::scoreJournal(analysis::readRecord(m_recordPath), m_history);
    showJournal();
}

void JournalTab::showJournal()
{
    const analysis::Journal &journal = m_journal;
    const int total = journal.scored + journal.pending + journal.missing;
    QString summary;
    if (total == 0) {
        summary = QStringLiteral("%1 にはまだ予想の記録がありません。").arg(m_recordPath);
    } else {
        summary = QStringLiteral("%1: %2 件（結果の出た予想 %3 件、未抽選 %4 件")
                      .arg(m_recordPath)
                      .arg(total)
                      .arg(journal.scored)
                      .arg(journal.pending);
        if (journal.missing > 0)
            summary += QStringLiteral("、結果が kako.txt にない回 %1 件").arg(journal.missing);
        summary += QStringLiteral("）");
        if (total > kShownEntries)
            summary += QStringLiteral("。一覧は新しい %1 件です").arg(kShownEntries);
        if (journal.scored == 0)
            summary += QStringLiteral("。結果の出た予想がないため、集計はまだありません");
    }
    m_summary->setText(summary);
    fillEntries();

    QStringList warnings;
    for (const analysis::RecordWarning &warning : journal.warnings)
        warnings.append(warning.message);
    m_warnings->setPlainText(warnings.join(u'\n'));
    m_warnings->setVisible(!warnings.isEmpty());

    if (journal.comparison) {
        m_comparison->showComparison(*journal.comparison);
        m_alikeNote->setText(QString::fromUtf8(analysis::kAlikeLinesNote));
    } else {
        m_comparison->clear();
        m_alikeNote->clear();
    }
}

void JournalTab::fillEntries()
{
    const std::size_t shown = std::min(m_journal.entries.size(), static_cast<std::size_t>(kShownEntries));
    std::vector<TableRow> rows;
    rows.reserve(shown);
    for (std::size_t i = 0; i < shown; ++i) {
        const analysis::JournalEntry &entry = m_journal.entries[i];
        const analysis::RecordEntry &record = entry.record;
        TableRow row{textCell(record.time.toString(QStringLiteral("yyyy/MM/dd HH:mm")),
                              static_cast<double>(record.time.toMSecsSinceEpoch())),
                     numberCell(record.draw, QStringLiteral("第%1回").arg(record.draw)),
                     textCell(kPassNames.value(record.pass - 1), record.pass), lineCell(record.numbers),
                     textCell(settingsWords(record.settings))};
        if (entry.status != analysis::EntryStatus::Scored) {
            row.push_back(numberCell(-1, entry.status == analysis::EntryStatus::Missing
                                             ? QString::fromUtf8(analysis::kMissingResult)
                                             : QStringLiteral("未抽選")));
        } else {
            row.push_back(numberCell(entry.score.matches));
            row.push_back(textCell(entry.score.bonus ? QStringLiteral("一致") : QStringLiteral("—"), entry.score.bonus ? 1 : 0));
            row.push_back(textCell(QString::fromStdString(analysis::prizeName(entry.score.tier).value_or("はずれ")),
                                   static_cast<int>(entry.score.tier)));
        }
        rows.push_back(std::move(row));
    }
    m_entries->cells()->setRows(std::move(rows));
}

} // namespace omvex::ui
