#include "ui/analysis/analysistable.h"
#include "ui/analysis/celltablemodel.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

using omvex::ui::AnalysisTable;
using omvex::ui::numberCell;
using omvex::ui::textCell;

namespace {

// Draws as the record shows them ("第9回" before "第10回" only when read as numbers), a text
// column, and a column that mixes counts with "未抽選".
std::unique_ptr<AnalysisTable> makeTable()
{
    auto table = std::make_unique<AnalysisTable>(QStringLiteral("t"), QStringLiteral("表"),
                                                 QStringList{QStringLiteral("回"), QStringLiteral("名前"),
                                                             QStringLiteral("一致")},
                                                 nullptr);
    new QAbstractItemModelTester(table->cells(), QAbstractItemModelTester::FailureReportingMode::QtTest, table.get());
    table->cells()->setRows({
        {numberCell(10, QStringLiteral("第10回")), textCell(QStringLiteral("b, \"c\"")), numberCell(2)},
        {numberCell(9, QStringLiteral("第9回")), textCell(QStringLiteral("a")), numberCell(-1, QStringLiteral("未抽選"))},
        {numberCell(100, QStringLiteral("第100回")), textCell(QStringLiteral("c")), numberCell(11)},
    });
    table->verticalHeader()->hide();
    table->resize(500, 300);
    table->show();
    return table;
}

QStringList shownColumn(const AnalysisTable &table, int column)
{
    QStringList texts;
    for (int row = 0; row < table.model()->rowCount(); ++row)
        texts.append(table.model()->index(row, column).data().toString());
    return texts;
}

void clickHeader(AnalysisTable &table, int column)
{
    QHeaderView *header = table.horizontalHeader();
    const QPoint middle(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
}

} // namespace

class AnalysisTableTest : public QObject {
    Q_OBJECT

private slots:
    void headerClicks_sortNumbersAsNumbersThenBackThenAsCame_data();
    void headerClicks_sortNumbersAsNumbersThenBackThenAsCame();
    void copy_selectionUnderItsHeadersAsTabSeparatedText();
    void csv_utf8WithByteOrderMarkQuotedAsSpreadsheetsRead();
    void tab_leavesTheTableInOnePress();
};

void AnalysisTableTest::headerClicks_sortNumbersAsNumbersThenBackThenAsCame_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("ascending");
    QTest::newRow("drawsAsNumbers") << 0 << QStringList{"第9回", "第10回", "第100回"};
    QTest::newRow("texts") << 1 << QStringList{"a", "b, \"c\"", "c"};
    QTest::newRow("pendingWithCounts") << 2 << QStringList{"未抽選", "2", "11"};
}

void AnalysisTableTest::headerClicks_sortNumbersAsNumbersThenBackThenAsCame()
{
    QFETCH(int, column);
    QFETCH(QStringList, ascending);
    auto table = makeTable();
    const QStringList asCame = shownColumn(*table, column);
    clickHeader(*table, column);
    QCOMPARE(shownColumn(*table, column), ascending);
    clickHeader(*table, column);
    QStringList descending = ascending;
    std::reverse(descending.begin(), descending.end());
    QCOMPARE(shownColumn(*table, column), descending);
    clickHeader(*table, column);
    QCOMPARE(shownColumn(*table, column), asCame);
}

void AnalysisTableTest::copy_selectionUnderItsHeadersAsTabSeparatedText()
{
    auto table = makeTable();
    clickHeader(*table, 0); // copied as shown, sorted
    auto *selection = table->selectionModel();
    selection->select(table->model()->index(0, 0), QItemSelectionModel::Select);
    selection->select(table->model()->index(1, 0), QItemSelectionModel::Select);
    selection->select(table->model()->index(1, 2), QItemSelectionModel::Select);
    QApplication::clipboard()->clear();
    QTest::keyClick(table.get(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("回\t一致\n第9回\t\n第10回\t2\n"));

    table->selectAll();
    QApplication::clipboard()->clear();
    table->findChild<QAction *>(QStringLiteral("copy"))->trigger();
    QVERIFY(QApplication::clipboard()->text().startsWith(QStringLiteral("回\t名前\t一致\n第9回\ta\t未抽選\n")));
}

void AnalysisTableTest::csv_utf8WithByteOrderMarkQuotedAsSpreadsheetsRead()
{
    auto table = makeTable();
    QTemporaryDir dir;
    QString chosen = dir.filePath(QStringLiteral("表.csv"));
    QString suggested;
    table->setSaveTarget(dir.path(), [&](QWidget *, const QString &path) { return suggested = path, chosen; });
    QSignalSpy notes(table.get(), &AnalysisTable::saveReported);
    table->findChild<QAction *>(QStringLiteral("saveCsv"))->trigger();
    QCOMPARE(suggested, chosen);
    QFile file(chosen);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("\xEF\xBB\xBF回,名前,一致\r\n"
                                        "第10回,\"b, \"\"c\"\"\",2\r\n"
                                        "第9回,a,未抽選\r\n"
                                        "第100回,c,11\r\n"));
    QVERIFY(notes.takeFirst().at(0).toString().contains(QStringLiteral("保存しました")));

    chosen = dir.filePath(QStringLiteral("no/such/folder/表.csv"));
    table->findChild<QAction *>(QStringLiteral("saveCsv"))->trigger();
    QVERIFY(notes.takeFirst().at(0).toString().contains(QStringLiteral("no/such/folder")));
}

void AnalysisTableTest::tab_leavesTheTableInOnePress()
{
    QWidget window;
    auto *before = new QPushButton(QStringLiteral("前"), &window);
    auto *table = new AnalysisTable(QStringLiteral("t"), QStringLiteral("表"), QStringList{"a", "b"}, &window);
    table->cells()->setRows({{numberCell(1), numberCell(2)}, {numberCell(3), numberCell(4)}});
    auto *after = new QPushButton(QStringLiteral("後"), &window);
    auto *layout = new QVBoxLayout(&window);
    for (QWidget *widget : std::initializer_list<QWidget *>{before, table, after})
        layout->addWidget(widget);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    table->setFocus();
    table->setCurrentIndex(table->model()->index(0, 0));
    QTest::keyClick(table, Qt::Key_Right); // arrows move inside
    QCOMPARE(table->currentIndex().column(), 1);
    QTest::keyClick(table, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), after);
    QTest::keyClick(after, Qt::Key_Backtab);
    QTest::keyClick(table, Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), before);
}

QTEST_MAIN(AnalysisTableTest)
#include "tst_analysistable.moc"
