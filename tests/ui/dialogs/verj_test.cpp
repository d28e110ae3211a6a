#include "omvex/appinfo.h"
#include "support/widgetchecks.h"
#include "ui/common/look.h"
#include "ui/dialogs/verj.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using omvex::ui::Verj;

class VerjTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { omvex::ui::registerFontSubstitutes(); }

    void version_isTheBuildsVersion();
    void closeKeys_closeTheDialog_data();
    void closeKeys_closeTheDialog();
    void picIcon_showsProgramIconAtItsOwnSize();
    void frame_isFixedModalAndCentred();
    void layout_controlsStayInsideAndApart();
    void tabOrder_onlyOkAndIcon();
};

// The dialog formats the version from its numbers; the build's version string comes from the same
// project version: one blank after the word, none at the dots.
void VerjTest::version_isTheBuildsVersion()
{
    Verj dialog;
    dialog.show(); // the load fills the label
    const auto *label = dialog.findChild<QLabel *>(QStringLiteral("lblVersion"));
    QVERIFY(label != nullptr);
    QCOMPARE(label->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ ") + QString::fromLatin1(omvex::kVersionText));
}

void VerjTest::closeKeys_closeTheDialog_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");

    QTest::newRow("Enter on OK") << QStringLiteral("cmdOK") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter on OK") << QStringLiteral("cmdOK") << int(Qt::Key_Enter);
    QTest::newRow("Escape on OK") << QStringLiteral("cmdOK") << int(Qt::Key_Escape);
    QTest::newRow("Enter on the icon") << QStringLiteral("picIcon") << int(Qt::Key_Return);
    QTest::newRow("Escape on the icon") << QStringLiteral("picIcon") << int(Qt::Key_Escape);
    QTest::newRow("Space on OK") << QStringLiteral("cmdOK") << int(Qt::Key_Space);
}

void VerjTest::closeKeys_closeTheDialog()
{
    QFETCH(QString, focus);
    QFETCH(int, key);

    Verj dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *target = dialog.findChild<QWidget *>(focus);
    QVERIFY(target != nullptr);
    target->setFocus();

    QTest::keyClick(target, Qt::Key(key));

    QVERIFY(!dialog.isVisible());
}

void VerjTest::picIcon_showsProgramIconAtItsOwnSize()
{
    Verj dialog;
    const auto *picture = dialog.findChild<QLabel *>(QStringLiteral("picIcon"));
    QVERIFY(picture != nullptr);
    const QPixmap pixmap = picture->pixmap();
    QVERIFY(!pixmap.isNull());
    QCOMPARE(pixmap.deviceIndependentSize().toSize(), QSize(48, 48));
    QVERIFY(picture->width() >= 48 && picture->height() >= 48);

    // Not a blank square: the balls need several colours.
    const QImage image = pixmap.toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    }
    QVERIFY(colours.size() > 6);
}

void VerjTest::frame_isFixedModalAndCentred()
{
    Verj dialog;
    const QStringList faults = omvex::test::frameFaults(dialog, QSize(5730, 2460), QSize(6000, 2900));
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
}

void VerjTest::layout_controlsStayInsideAndApart()
{
    Verj dialog;
    const QStringList faults = omvex::test::layoutFaults(dialog);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));

    // The etched separator: grey directly above white, between the description and the bottom row.
    const auto *grey = dialog.findChild<QWidget *>(QStringLiteral("Line1(1)"));
    const auto *white = dialog.findChild<QWidget *>(QStringLiteral("Line1(0)"));
    const auto *description = dialog.findChild<QWidget *>(QStringLiteral("lblDescription"));
    const auto *maker = dialog.findChild<QWidget *>(QStringLiteral("Label1"));
    QVERIFY(grey && white && description && maker);
    QCOMPARE(white->geometry().top(), grey->geometry().bottom() + 1);
    QVERIFY(grey->geometry().top() > description->geometry().bottom());
    QVERIFY(white->geometry().bottom() < maker->geometry().top());
    QCOMPARE(grey->palette().color(QPalette::Window), QColor(0x80, 0x80, 0x80));
    QCOMPARE(white->palette().color(QPalette::Window), QColor(0xFF, 0xFF, 0xFF));
}

void VerjTest::tabOrder_onlyOkAndIcon()
{
    Verj dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(),
             QStringLiteral("cmdOK"));
    QCOMPARE(omvex::test::tabStops(dialog, QStringLiteral("cmdOK"), 3),
             (QStringList{"cmdOK", "picIcon", "cmdOK"}));
}

QTEST_MAIN(VerjTest)
#include "verj_test.moc"
