#include "analysis/backtest.h"
#include "analysis/journal.h"
#include "analysis/stats.h"
#include "ui/analysis/analysiswindow.h"
#include "ui/analysis/backtesttab.h"
#include "ui/analysis/comparisonview.h"
#include "ui/analysis/frequencytab.h"
#include "ui/analysis/journaltab.h"
#include "ui/analysis/analysistable.h"
#include "ui/analysis/patternstab.h"
#include "ui/analysis/celltablemodel.h"
#include "ui/analysis/statschartview.h"
#include "ui/analysis/tickettab.h"
#include "ui/analysis/windowplace.h"
#include "ui/charts/chart.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using omvex::Settings;
using omvex::ui::AnalysisWindow;
using Tab = omvex::ui::AnalysisWindow::Tab;
namespace analysis = omvex::analysis;

#include "analysiswindowharness.h"


class AnalysisWindowTest : public QObject {
    Q_OBJECT

private slots:
    void frequency_sameNumbersAsTheLibrary_data();
    void frequency_sameNumbersAsTheLibrary();
    void frequency_savesTheToolsImageOrSaysWhyNot();
    void backtest_presetFromSettingsAndSameResultAsTheLibrary();
    void backtest_cancelOrCloseLeavesNoResultAndEndsTheRun_data();
    void backtest_cancelOrCloseLeavesNoResultAndEndsTheRun();
    void ticket_invalidLinesMarkedAndNotChecked();
    void reload_readsTheFileAgainForEveryTab();
    void journal_scoresDrawnProposalsAndListsPendingOnes();
    void patterns_sameNumbersAsTheLibrary_data();
    void patterns_sameNumbersAsTheLibrary();
};

void AnalysisWindowTest::frequency_sameNumbersAsTheLibrary_data()
{
    QTest::addColumn<int>("last");
    QTest::newRow("allDraws") << 0;
    QTest::newRow("lastHundred") << 100;
}

void AnalysisWindowTest::frequency_sameNumbersAsTheLibrary()
{
    QFETCH(int, last);
    Harness h(sharedHistory());
    h.open(Tab::Frequency);
    h.in<QSpinBox>(Tab::Frequency, "last")->setValue(last);
    const analysis::HistoryStats expected = libraryStats(h.kakoPath(), last ? std::optional<int>(last) : std::nullopt);
    QCOMPARE(expected.draws, last ? last : 2058);
    QCOMPARE(h.in<omvex::ui::StatsChartView>(Tab::Frequency, "chart")->stats().draws, expected.draws);

    using Column = omvex::ui::FrequencyTab::Column;
    for (const analysis::NumberStats &entry : expected.numbers) {
        const int row = entry.number - 1;
        QCOMPARE(h.text(Tab::Frequency, "numbers", row, Column::MainColumn), QString::number(entry.main));
        QCOMPARE(h.text(Tab::Frequency, "numbers", row, Column::BonusColumn), QString::number(entry.bonus));
        QCOMPARE(h.text(Tab::Frequency, "numbers", row, Column::MainBandColumn),
                 QStringLiteral("%1〜%2").arg(entry.low, 0, 'f', 0).arg(entry.high, 0, 'f', 0));
        QCOMPARE(!h.text(Tab::Frequency, "numbers", row, Column::MainMarkColumn).isEmpty(), entry.mainOutside());
        QCOMPARE(!h.text(Tab::Frequency, "numbers", row, Column::BonusMarkColumn).isEmpty(), entry.bonusOutside());
    }
    QVERIFY(h.in<QLabel>(Tab::Frequency, "caution")
                ->text()
                .contains(QStringLiteral("本数字で平均 %1 個").arg(expected.expectedMainOutside, 0, 'f', 1)));
}

void AnalysisWindowTest::frequency_savesTheToolsImageOrSaysWhyNot()
{
    Harness h(sharedHistory());
    h.open(Tab::Frequency);
    h.in<QSpinBox>(Tab::Frequency, "last")->setValue(300);
    h.savePath = h.dir.filePath(QStringLiteral("chart.png"));
    QTest::mouseClick(h.in<QPushButton>(Tab::Frequency, "saveChart"), Qt::LeftButton);
    const QImage expected = omvex::charts::renderStatsChart(libraryStats(h.kakoPath(), 300));
    QCOMPARE(QImage(h.savePath).convertToFormat(expected.format()), expected);
    QVERIFY(h.in<QLabel>(Tab::Frequency, "saveStatus")->text().contains(QStringLiteral("保存しました")));

    h.savePath = h.dir.filePath(QStringLiteral("no/such/folder/chart.png"));
    QTest::mouseClick(h.in<QPushButton>(Tab::Frequency, "saveChart"), Qt::LeftButton);
    QVERIFY(h.in<QLabel>(Tab::Frequency, "saveStatus")->text().contains(QStringLiteral("書けません")));
}

void AnalysisWindowTest::backtest_presetFromSettingsAndSameResultAsTheLibrary()
{
    Harness h(sharedHistory());
    h.settings = {omvex::Level::Take, omvex::Pattern::All, omvex::Kako::None};
    h.open(Tab::Backtest);
    QCOMPARE(h.in<QComboBox>(Tab::Backtest, "level")->currentText(), QStringLiteral("竹"));
    QCOMPARE(h.in<QComboBox>(Tab::Backtest, "pattern")->currentText(), QStringLiteral("すべて"));
    QCOMPARE(h.in<QComboBox>(Tab::Backtest, "kako")->currentText(), QStringLiteral("無し"));

    h.in<QComboBox>(Tab::Backtest, "level")->setCurrentIndex(0);
    h.in<QComboBox>(Tab::Backtest, "kako")->setCurrentIndex(1);
    h.in<QSpinBox>(Tab::Backtest, "last")->setValue(40);
    h.in<QLineEdit>(Tab::Backtest, "seed")->setText(QStringLiteral("４２")); // full-width digits
    QSignalSpy ended(h.backtest(), &omvex::ui::BacktestTab::runEnded);
    QTest::mouseClick(h.in<QPushButton>(Tab::Backtest, "run"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 1, 60000);

    const Settings chosen{omvex::Level::Standard, omvex::Pattern::All, omvex::Kako::Random};
    const analysis::BacktestResult expected =
        analysis::runBacktest(omvex::ui::readHistorySnapshot(h.kakoPath()).grid, chosen, 42, 40);
    QVERIFY(h.backtest()->result().has_value());
    QCOMPARE(h.backtest()->result()->tally.counts, expected.tally.counts);
    checkComparison(h, Tab::Backtest, analysis::compareWithChance(expected.tally));
    QVERIFY(h.in<QLabel>(Tab::Backtest, "repeat")->text().endsWith(
        QStringLiteral("--level 0 --pattern 1 --kako 1 --last 40 --seed 42")));
    // The settings in the dialog's words, as the tool writes them.
    QVERIFY(h.in<QLabel>(Tab::Backtest, "summary")->text().contains(
        QStringLiteral("（レベル 標準・抽出パターン すべて・過去利用法 上、種 42）")));
    QCOMPARE(h.settings.level, omvex::Level::Take); // changed for the run only
}

void AnalysisWindowTest::backtest_cancelOrCloseLeavesNoResultAndEndsTheRun_data()
{
    QTest::addColumn<bool>("byClosing");
    QTest::newRow("stopButton") << false;
    QTest::newRow("closingTheWindow") << true;
}

void AnalysisWindowTest::backtest_cancelOrCloseLeavesNoResultAndEndsTheRun()
{
    QFETCH(bool, byClosing);
    Harness h(sharedHistory());
    h.settings.level = omvex::Level::Matsu; // long enough to be caught running
    h.open(Tab::Backtest);
    auto *progress = h.in<QProgressBar>(Tab::Backtest, "progress");
    QTest::mouseClick(h.in<QPushButton>(Tab::Backtest, "run"), Qt::LeftButton);
    QVERIFY(h.backtest()->isRunning());
    for (const char *input : {"run", "reload", "level", "pattern", "kako", "last", "seed"})
        QVERIFY2(!h.in<QWidget>(Tab::Backtest, input)->isEnabled(), input);
    QTRY_VERIFY_WITH_TIMEOUT(progress->value() >= 1, 60000);

    if (byClosing)
        h.window->close();
    else
        QTest::mouseClick(h.in<QPushButton>(Tab::Backtest, "stop"), Qt::LeftButton);
    QVERIFY(!h.backtest()->isRunning());
    const int shown = progress->value();
    QTest::qWait(300); // anything the given-up run still sends would arrive here
    QCOMPARE(progress->value(), shown);
    QVERIFY(!h.backtest()->result().has_value());
    QVERIFY(h.in<QLabel>(Tab::Backtest, "summary")->text().isEmpty());
    QVERIFY(h.in<QLabel>(Tab::Backtest, "verdict")->text().isEmpty());
    QVERIFY(h.in<QLabel>(Tab::Backtest, "status")->text().contains(QStringLiteral("中止")));
    QVERIFY(h.in<QPushButton>(Tab::Backtest, "run")->isEnabled());
    h.window->shutdown(); // returns once the worker has ended
}

void AnalysisWindowTest::ticket_invalidLinesMarkedAndNotChecked()
{
    // Draw 3 is missing and draw 4 is not a valid draw; the latest valid draw is 5.
    Harness h("1,1,2,3,4,5,6,7\n2,10,11,12,13,14,15,16\n4,1,2,3,4,5,5,9\n5,3,11,17,25,36,42,8\n");
    h.proposals[1] = std::array<int, 6>{3, 11, 17, 25, 36, 8};
    h.open(Tab::Ticket);
    QCOMPARE(h.in<QSpinBox>(Tab::Ticket, "draw")->value(), 5);

    auto *editor = h.in<QPlainTextEdit>(Tab::Ticket, "lines");
    editor->insertPlainText(QStringLiteral("３ １１ 17 25 36 42\n1 2 3 4 5\n\n")); // as pasted
    QTest::keyClicks(editor, QStringLiteral("1 2 3 4 5 44"));
    QTest::mouseClick(h.in<QPushButton>(Tab::Ticket, "takeProposals"), Qt::LeftButton);

    using Column = omvex::ui::TicketTab;
    struct Row {
        const char *line;
        const char *matches; // empty: not checked
        const char *prize;
        const char *problem;
    };
    const Row rows[] = {
        {"3 11 17 25 36 42", "6", "1等", ""},
        {"1 2 3 4 5", "", "", "5 個しかありません"},
        {"1 2 3 4 5 44", "", "", "「44」"},
        {"3 8 11 17 25 36", "5", "2等", ""},
    };
    QCOMPARE(h.rows(Tab::Ticket, "perDraw"), 4);
    for (int row = 0; row < 4; ++row) {
        const Row &expected = rows[row];
        QCOMPARE(h.text(Tab::Ticket, "perDraw", row, Column::DrawLineColumn), QString::fromUtf8(expected.line));
        if (*expected.problem) {
            QVERIFY(h.text(Tab::Ticket, "perDraw", row, Column::NoteColumn).contains(QString::fromUtf8(expected.problem)));
            QCOMPARE(h.text(Tab::Ticket, "perDraw", row, Column::PrizeColumn), QString());
        } else {
            QCOMPARE(h.text(Tab::Ticket, "perDraw", row, Column::MatchesColumn), QString::fromUtf8(expected.matches));
            QCOMPARE(h.text(Tab::Ticket, "perDraw", row, Column::PrizeColumn), QString::fromUtf8(expected.prize));
        }
    }
    QCOMPARE(editor->extraSelections().size(), 2);

    // Every past draw: only the two valid lines, with the tool's counts.
    QCOMPARE(h.rows(Tab::Ticket, "allDraws"), 2);
    const omvex::CellGrid history = omvex::ui::readHistorySnapshot(h.kakoPath()).grid;
    const analysis::TicketResult second = analysis::checkTicket(history, {3, 8, 11, 17, 25, 36});
    for (int i = 0; i < analysis::kTierCount; ++i)
        QCOMPARE(h.text(Tab::Ticket, "allDraws", 1, Column::FirstTierColumn + i),
                 QString::number(second.tally.counts[static_cast<std::size_t>(i)]));
    h.in<QTableView>(Tab::Ticket, "allDraws")->selectRow(1);
    checkComparison(h, Tab::Ticket, analysis::compareWithChance(second.tally));

    // A draw the history does not hold scores nothing.
    h.in<QSpinBox>(Tab::Ticket, "draw")->setValue(3);
    QVERIFY(h.in<QLabel>(Tab::Ticket, "drawNumbers")->text().contains(QStringLiteral("ありません")));
    QCOMPARE(h.text(Tab::Ticket, "perDraw", 0, Column::MatchesColumn), QString());
}

void AnalysisWindowTest::reload_readsTheFileAgainForEveryTab()
{
    Harness h("1,1,2,3,4,5,6,7\n2,10,11,12,13,14,15,16\n");
    h.open(Tab::Ticket);
    QCOMPARE(h.in<QSpinBox>(Tab::Ticket, "draw")->value(), 2);
    QFile file(h.kakoPath());
    QVERIFY(file.open(QIODevice::Append));
    file.write("3,20,21,22,23,24,25,26\n");
    file.close();
    QCOMPARE(h.window->history().read.storedRows, 2); // read on opening, not on every look

    QTest::mouseClick(h.in<QPushButton>(Tab::Ticket, "reload"), Qt::LeftButton);
    QCOMPARE(h.window->history().read.storedRows, 3);
    QCOMPARE(h.in<QSpinBox>(Tab::Ticket, "draw")->value(), 3); // the choice follows the latest draw
    QCOMPARE(h.in<omvex::ui::StatsChartView>(Tab::Frequency, "chart")->stats().draws, 3);
    QVERIFY(h.window->findChild<QLabel *>(QStringLiteral("historyNote"))->text().contains(QStringLiteral("3 件")));
}

void AnalysisWindowTest::journal_scoresDrawnProposalsAndListsPendingOnes()
{
    Harness h("1,1,2,3,4,5,6,7\n2,10,11,12,13,14,15,16\n");
    QFile record(h.recordPath());
    QVERIFY(record.open(QIODevice::WriteOnly));
    record.write("# time,draw,level,pattern,kako,pass,n1,n2,n3,n4,n5,n6\n"
                 "2026-01-05T18:30:05+09:00,2,3,1,0,1,10,11,12,13,14,16\n" // five and the bonus
                 "2026-01-08T18:30:05+09:00,3,0,0,0,2,1,2,3,4,5,6\n"       // draw 3 not held yet
                 "half a line\n");
    record.close();
    h.isRecordEnabled = false;
    h.open(Tab::Journal);

    using Column = omvex::ui::JournalTab;
    const struct {
        const char *draw;
        const char *matches;
        const char *bonus;
        const char *prize;
        const char *settings;
    } newestFirst[] = {{"第3回", "未抽選", "", "", "標準・選択・並"}, {"第2回", "5", "一致", "2等", "松・すべて・並"}};
    QCOMPARE(h.rows(Tab::Journal, "entries"), 2);
    for (int row = 0; row < 2; ++row) {
        QCOMPARE(h.text(Tab::Journal, "entries", row, Column::DrawColumn), QString::fromUtf8(newestFirst[row].draw));
        QCOMPARE(h.text(Tab::Journal, "entries", row, Column::MatchesColumn),
                 QString::fromUtf8(newestFirst[row].matches));
        QCOMPARE(h.text(Tab::Journal, "entries", row, Column::BonusColumn), QString::fromUtf8(newestFirst[row].bonus));
        QCOMPARE(h.text(Tab::Journal, "entries", row, Column::PrizeColumn), QString::fromUtf8(newestFirst[row].prize));
        QCOMPARE(h.text(Tab::Journal, "entries", row, Column::SettingsColumn),
                 QString::fromUtf8(newestFirst[row].settings));
    }
    QVERIFY(h.in<QLabel>(Tab::Journal, "summary")->text().contains(QStringLiteral("結果の出た予想 1 件、未抽選 1 件")));
    QVERIFY(h.in<QPlainTextEdit>(Tab::Journal, "warnings")->toPlainText().startsWith(QStringLiteral("4行目")));
    const auto libraryJournal = [&h] {
        return analysis::scoreJournal(analysis::readRecord(h.recordPath()),
                                      omvex::ui::readHistorySnapshot(h.kakoPath()).grid);
    };
    checkComparison(h, Tab::Journal, *libraryJournal().comparison);
    QVERIFY(h.in<QLabel>(Tab::Journal, "alikeNote")->text().contains(QStringLiteral("似る")));

    // The checkbox shows the choice and hands a change back to be kept.
    auto *keep = h.in<QCheckBox>(Tab::Journal, "record");
    QVERIFY(!keep->isChecked());
    keep->click();
    QVERIFY(h.isRecordEnabled);

    // Draw 3 arrives in kako.txt: "更新" scores the pending proposal.
    QFile kako(h.kakoPath());
    QVERIFY(kako.open(QIODevice::Append));
    kako.write("3,1,2,3,4,5,7,8\n");
    kako.close();
    QTest::mouseClick(h.in<QPushButton>(Tab::Journal, "reload"), Qt::LeftButton);
    QCOMPARE(h.text(Tab::Journal, "entries", 0, Column::PrizeColumn), QStringLiteral("3等"));
    QVERIFY(h.in<QLabel>(Tab::Journal, "summary")->text().contains(QStringLiteral("結果の出た予想 2 件、未抽選 0 件")));
    checkComparison(h, Tab::Journal, *libraryJournal().comparison);
}

void AnalysisWindowTest::patterns_sameNumbersAsTheLibrary_data()
{
    QTest::addColumn<int>("last");
    QTest::newRow("allDraws") << 0;
    QTest::newRow("lastHundred") << 100;
}

void AnalysisWindowTest::patterns_sameNumbersAsTheLibrary()
{
    QFETCH(int, last);
    Harness h(sharedHistory());
    h.open(Tab::Patterns);
    auto *tab = static_cast<omvex::ui::PatternsTab *>(h.window->tab(Tab::Patterns));
    using View = omvex::ui::PatternsTab::View;
    QAbstractItemModelTester tester(tab->model(View::SumView), QAbstractItemModelTester::FailureReportingMode::QtTest);
    h.in<QSpinBox>(Tab::Patterns, "last")->setValue(last);
    const analysis::PatternReport expected = analysis::patternReport(omvex::ui::readHistorySnapshot(h.kakoPath()).grid,
                                                                     last ? std::optional<int>(last) : std::nullopt);
    QCOMPARE(tab->report().draws, last ? last : 2058);
    const auto cell = [&](View view, int row, int column, int which = 0) {
        const QAbstractItemModel *model = tab->model(view, which);
        return model->data(model->index(row, column)).toString();
    };
    for (std::size_t kind = 0; kind < analysis::kPatternKinds.size(); ++kind) {
        const analysis::PatternDistribution &distribution = expected.*analysis::kPatternKinds[kind].distribution;
        const auto view = View(kind);
        QCOMPARE(tab->model(view)->rowCount(), int(distribution.bins.size()));
        for (int row = 0; row < int(distribution.bins.size()); ++row) {
            const analysis::PatternBin &bin = distribution.bins[std::size_t(row)];
            QCOMPARE(cell(view, row, 1), QString::number(bin.observed));
            QCOMPARE(cell(view, row, 3), QStringLiteral("%1〜%2").arg(bin.range.low).arg(bin.range.high));
        }
        QVERIFY(tab->table(view)->parentWidget()->findChild<QLabel *>(QStringLiteral("summary"))->text().contains(
            QString::fromStdString(distribution.verdict)));
    }
    QCOMPARE(cell(View::SumView, 0, 0), QStringLiteral("21〜80"));
    QCOMPARE(tab->model(View::GapsView)->rowCount(), 43);
    QCOMPARE(cell(View::GapsView, 42, 1), QString::number(expected.gaps[42].gap));
    const analysis::PairCount &most = expected.pairs.most.front();
    QCOMPARE(cell(View::PairsView, 0, 0), QStringLiteral("%1 - %2").arg(most.first).arg(most.second));
    QCOMPARE(cell(View::PairsView, 0, 1, 1), QString::number(expected.pairs.least.front().observed));

    // The list picks the page.
    auto *views = h.in<QListWidget>(Tab::Patterns, "views");
    QCOMPARE(views->count(), int(View::ViewCount));
    views->setCurrentRow(View::PairsView);
    QVERIFY(tab->table(View::PairsView)->isVisible());
    QVERIFY(!tab->table(View::OddEvenView)->isVisible());

    // The gaps sort as numbers, like every table of the window: the longest gap first on a second click.
    auto *gaps = qobject_cast<omvex::ui::AnalysisTable *>(tab->table(View::GapsView));
    QVERIFY(gaps);
    gaps->sortByColumn(1, Qt::DescendingOrder);
    int longest = 0;
    for (const analysis::NumberGap &gap : expected.gaps)
        longest = std::max(longest, gap.gap);
    QCOMPARE(gaps->model()->data(gaps->model()->index(0, 1)).toString(), QString::number(longest));
}

QTEST_MAIN(AnalysisWindowTest)
#include "tst_analysiswindow.moc"
