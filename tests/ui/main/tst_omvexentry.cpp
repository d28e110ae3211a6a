// "結果の入力" and "取込" as the user meets them: typed draws, duplicates, replacing, and what the
// grid and the status line say afterwards.
#include "omvexharness.h"

#include "ui/common/look.h"
#include "ui/dialogs/resultentry.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

using omvex::test::AnsweringImportDialogs;
using omvex::test::OmvexHarness;
using omvex::test::historyRecords;
using omvex::test::readFile;
using omvex::test::writeFile;

class TestOmvexEntry : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { omvex::ui::registerFontSubstitutes(); }
    void entry_addsThroughTheImport_data();
    void entry_addsThroughTheImport();
    void import_offersReplaceAndSaysWhatWasAdded_data();
    void import_offersReplaceAndSaysWhatWasAdded();
    void statusLine_longTextEndsWithEllipsisWholeInToolTip();
    void import_convertsAKakoThatIsAResultsFile_data();
    void import_convertsAKakoThatIsAResultsFile();
};

void TestOmvexEntry::entry_addsThroughTheImport_data()
{
    QTest::addColumn<QString>("draw"); // empty: keep the suggested one
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<bool>("replace");
    QTest::addColumn<QString>("shown");    // in the dialog (refusal) or the status line (written)
    QTest::addColumn<QByteArray>("lastLine"); // of kako.txt afterwards
    const QByteArray before5 = "5,36,41,3,8,13,18,23\n";
    const QStringList fullWidth{"１", "２", "３", "４", "５", "６", "７"};
    QTest::addRow("typed_appendedAsNextDraw") << QString() << fullWidth << false << QStringLiteral("第6回を追加しました")
                                             << QByteArray("6,1,2,3,4,5,6,7\n");
    QTest::addRow("sameNumbers_saysAlreadyHeld") << QStringLiteral("5") << QStringList{"3", "8", "13", "18", "36", "41", "23"}
                                                 << false << QStringLiteral("同じ数字") << before5;
    QTest::addRow("otherNumbers_refusedWithoutReplace") << QStringLiteral("5") << fullWidth << false
                                                        << QStringLiteral("「置き換える」") << before5;
    QTest::addRow("otherNumbers_replacedWhenTicked") << QStringLiteral("5") << fullWidth << true
                                                     << QStringLiteral("第5回の数字を置き換えました") << QByteArray("5,1,2,3,4,5,6,7\n");
}

void TestOmvexEntry::entry_addsThroughTheImport()
{
    QFETCH(QString, draw);
    QFETCH(QStringList, numbers);
    QFETCH(bool, replace);
    QFETCH(QString, shown);
    QFETCH(QByteArray, lastLine);
    OmvexHarness harness;
    QVERIFY(writeFile(harness.folder.kakoPath(), historyRecords(1, 5)));
    harness.start();

    QString suggested;
    QString problem;
    bool okEnabledEmpty = true;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<omvex::ui::ResultEntryDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        auto *drawBox = dialog->findChild<QLineEdit *>(QStringLiteral("drawBox"));
        auto *ok = dialog->findChild<QPushButton *>(QStringLiteral("okButton"));
        suggested = drawBox->text();
        okEnabledEmpty = ok->isEnabled();
        if (!draw.isEmpty())
            drawBox->setText(draw);
        // Into the focused box, then Tab to the next, as the user goes left to right (full-width
        // digits come from an input method, not from keys).
        for (const QString &number : numbers) {
            auto *box = qobject_cast<QLineEdit *>(dialog->focusWidget());
            QVERIFY(box);
            box->insert(number);
            QTest::keyClick(box, Qt::Key_Tab);
        }
        dialog->findChild<QCheckBox *>(QStringLiteral("replaceBox"))->setChecked(replace);
        QTest::mouseClick(ok, Qt::LeftButton);
        problem = dialog->findChild<QLabel *>(QStringLiteral("entryProblem"))->text();
        if (dialog->isVisible())
            dialog->reject();
    });
    QVERIFY(harness.trigger("Y_Nyuryoku"));

    QCOMPARE(suggested, QStringLiteral("6"));
    QVERIFY(!okEnabledEmpty);
    const QByteArray kako = readFile(harness.folder.kakoPath());
    QVERIFY2(kako.endsWith(lastLine) || kako.contains("\n" + lastLine), kako.constData());
    const QString status = harness.label("historyStatus")->text();
    const bool written = !kako.startsWith(historyRecords(1, 5)) || kako.size() != historyRecords(1, 5).size();
    QVERIFY2((written ? status : problem).contains(shown), qPrintable(status + " / " + problem));
    QCOMPARE(harness.grid("vaSpread4")->model()->rowCount(), lastLine.startsWith("6") ? 6 : 5);
    QVERIFY(harness.messages.shown.empty());
}

void TestOmvexEntry::import_offersReplaceAndSaysWhatWasAdded_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("changes"); // lines offered for "置き換える"
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("rows");
    QTest::addRow("newDraws_statusSaysHowMany") << historyRecords(4, 8) << true << 0
                                                << QStringLiteral("3回分を追加しました。過去データ: 8回分（第1回〜第8回）") << 8;
    QTest::addRow("differentDraw_offeredAndReplaced") << QByteArray("5,1,2,3,4,5,6,7\n6,1,2,3,4,5,6,8\n") << true << 1
                                                      << QStringLiteral("1回分を追加しました、1回分を置き換えました") << 6;
    QTest::addRow("differentDraw_declined") << QByteArray("5,1,2,3,4,5,6,7\n") << false << 1
                                            << QStringLiteral("過去データ: 5回分") << 5;
}

void TestOmvexEntry::import_offersReplaceAndSaysWhatWasAdded()
{
    QFETCH(QByteArray, source);
    QFETCH(bool, answer);
    QFETCH(int, changes);
    QFETCH(QString, status);
    QFETCH(int, rows);
    OmvexHarness harness;
    AnsweringImportDialogs dialogs;
    const QString downloads = harness.folder.besidePath(QStringLiteral("results"));
    dialogs.file = downloads + QStringLiteral("/results.csv");
    dialogs.answer = answer;
    harness.importDialogs = &dialogs;
    QVERIFY(writeFile(harness.folder.kakoPath(), historyRecords(1, 5)));
    QVERIFY(writeFile(dialogs.file, source));
    harness.start();

    QVERIFY(harness.trigger("Y_Torikomi"));
    QCOMPARE(dialogs.changes.size(), changes);
    QVERIFY(dialogs.problems.isEmpty());
    QVERIFY2(harness.label("historyStatus")->text().startsWith(status), qPrintable(harness.label("historyStatus")->text()));
    QCOMPARE(harness.grid("vaSpread4")->model()->rowCount(), rows);
    // The next choice starts where this file was.
    QVERIFY(harness.trigger("Y_Torikomi"));
    QCOMPARE(dialogs.startFolder, downloads);
    QVERIFY(readFile(harness.folder.path() + QStringLiteral("/omvex.ini")).contains("[Torikomi]"));
}

void TestOmvexEntry::statusLine_longTextEndsWithEllipsisWholeInToolTip()
{
    OmvexHarness harness;
    QVERIFY(writeFile(harness.folder.kakoPath(), historyRecords(1, 5)));
    harness.start().show();
    QVERIFY(QTest::qWaitForWindowExposed(harness.window.get()));
    // kako.txt gains a header: the reload stores nothing and the grid keeps the rows of before.
    QVERIFY(writeFile(harness.folder.kakoPath(), "回号,本数字1,本数字2,本数字3,本数字4,本数字5,本数字6,ボーナス数字\n"
                                                 + historyRecords(1, 6)));
    QVERIFY(harness.trigger("Y_Start"));
    auto *status = dynamic_cast<omvex::ui::StatusLabel *>(harness.label("historyStatus"));
    QVERIFY(status);
    QVERIFY2(status->text().startsWith(QStringLiteral("過去データ: kako.txt から0回分を読みました（表には前に読んだ5回分が残っています）")),
             qPrintable(status->text()));
    QVERIFY2(status->shownText().endsWith(u'…'), qPrintable(status->shownText()));
    QCOMPARE(status->toolTip(), status->text());
}

void TestOmvexEntry::import_convertsAKakoThatIsAResultsFile_data()
{
    QTest::addColumn<QByteArray>("orig"); // kako.txt.orig before; "<none>": none
    QTest::addColumn<bool>("converted");
    const QByteArray kako = "回号,抽選日,本数字1,本数字2,本数字3,本数字4,本数字5,本数字6,ボーナス数字,1等口数\n"
                            "2,2024/1/7,1,9,16,20,21,43,5,0\n1,2024/1/4,2,8,10,13,27,30,39,1\n";
    QTest::addRow("noOrig_convertedAndKept") << QByteArray("<none>") << true;
    QTest::addRow("sameOrig_converted") << kako << true;
    QTest::addRow("otherOrig_refused") << QByteArray("1,1,2,3,4,5,6,7\n") << false;
}

void TestOmvexEntry::import_convertsAKakoThatIsAResultsFile()
{
    QFETCH(QByteArray, orig);
    QFETCH(bool, converted);
    const QByteArray kako = "回号,抽選日,本数字1,本数字2,本数字3,本数字4,本数字5,本数字6,ボーナス数字,1等口数\n"
                            "2,2024/1/7,1,9,16,20,21,43,5,0\n1,2024/1/4,2,8,10,13,27,30,39,1\n";
    OmvexHarness harness;
    AnsweringImportDialogs dialogs;
    harness.importDialogs = &dialogs;
    const QString origPath = harness.folder.kakoPath() + QStringLiteral(".orig");
    QVERIFY(writeFile(harness.folder.kakoPath(), kako));
    if (orig != "<none>") {
        QVERIFY(writeFile(origPath, orig));
    }
    harness.start();
    QVERIFY(harness.label("historyStatus")->text().contains(QStringLiteral("「取込...」で変換できます")));

    QVERIFY(harness.trigger("Y_Torikomi"));
    QVERIFY(dialogs.startFolder.isEmpty()); // converting chooses no file
    QCOMPARE(readFile(harness.folder.kakoPath()),
             converted ? QByteArray("1,2,8,10,13,27,30,39\n2,1,9,16,20,21,43,5\n") : kako);
    QCOMPARE(readFile(origPath), orig == "<none>" ? kako : orig);
    QCOMPARE(dialogs.reports, converted ? 0 : 1);
    const QString status = harness.label("historyStatus")->text();
    QVERIFY2(status.startsWith(converted ? QStringLiteral("kako.txt を変換しました（元のファイルは kako.txt.orig）。過去データ: 2回分")
                                         : QStringLiteral("過去データ: なし")),
             qPrintable(status));
}

QTEST_MAIN(TestOmvexEntry)
#include "tst_omvexentry.moc"
