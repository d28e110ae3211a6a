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

QTEST_MAIN(TestOmvexEntry)
#include "tst_omvexentry.moc"
