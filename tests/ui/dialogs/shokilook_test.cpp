#include "shokisetup.h"
#include "support/widgetchecks.h"
#include "ui/common/look.h"

#include <QLabel>
#include <QtTest>

#include <algorithm>

using omvex::test::option;
using omvex::test::selectedCaptions;
using omvex::ui::Shoki;
using Setup = omvex::test::ShokiSetup;

class ShokiLookTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { omvex::ui::registerFontSubstitutes(); }

    void arrowKeys_moveChoiceWithSelection();
    void frame_isFixedModalAndCentred();
    void layout_controlsStayInsideAndApart();
    void tabOrder_followsDesign_data();
    void tabOrder_followsDesign();
    void optionButtons_keepSystemTextColourInsideBlueFrames();
    void titleBox_hasSingleBlackLine();
};

void ShokiLookTest::arrowKeys_moveChoiceWithSelection()
{
    Setup setup;
    QVERIFY(setup.isValid());
    Shoki dialog(setup.settings, setup.store, setup.messages);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QRadioButton *standard = option(dialog, QStringLiteral("標準"));
    QVERIFY(standard != nullptr);
    standard->setFocus();
    QTest::keyClick(standard, Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);

    QCOMPARE(selectedCaptions(dialog).value(0), QStringLiteral("竹"));
    QCOMPARE(dialog.levelChoice(), 2);
}

void ShokiLookTest::frame_isFixedModalAndCentred()
{
    Setup setup;
    QVERIFY(setup.isValid());
    Shoki dialog(setup.settings, setup.store, setup.messages);

    const QStringList faults = omvex::test::frameFaults(dialog, QSize(5805, 3855), QSize(5900, 4200));
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
}

void ShokiLookTest::layout_controlsStayInsideAndApart()
{
    Setup setup;
    QVERIFY(setup.isValid());
    Shoki dialog(setup.settings, setup.store, setup.messages);

    const QStringList faults = omvex::test::layoutFaults(dialog);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));

    // The frames read left to right in the order of their names.
    int previousRight = -1;
    for (const char *name : {"Frame1", "Frame2", "Frame3"}) {
        const auto *frame = dialog.findChild<QGroupBox *>(QString::fromLatin1(name));
        QVERIFY(frame != nullptr);
        QVERIFY2(frame->geometry().left() > previousRight, name);
        previousRight = frame->geometry().right();
    }
}

void ShokiLookTest::tabOrder_followsDesign_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("forwards");
    // Tab stops on the ticked button of each frame only, in the design's order, where "無し"
    // (Option3(3)) comes after "OK".
    QTest::newRow("梅 すべて 無し: 無し after OK")
        << QByteArray("[OmvexINI]\nLevel=1\nPattern=1\nKako=3\n")
        << QStringList{"Option1(1)", "Option2(1)", "Command1", "Option3(3)", "Option1(1)"};
    QTest::newRow("梅 すべて 並: 並 before OK")
        << QByteArray("[OmvexINI]\nLevel=1\nPattern=1\nKako=0\n")
        << QStringList{"Option1(1)", "Option2(1)", "Option3(0)", "Command1", "Option1(1)"};
}

void ShokiLookTest::tabOrder_followsDesign()
{
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, forwards);
    Setup setup(ini);
    QVERIFY(setup.isValid());
    Shoki dialog(setup.settings, setup.store, setup.messages);

    QCOMPARE(omvex::test::tabStops(dialog, forwards.first(), int(forwards.size())), forwards);
    QStringList backwards = forwards;
    std::reverse(backwards.begin(), backwards.end());
    QCOMPARE(omvex::test::tabStops(dialog, backwards.first(), int(backwards.size()), true), backwards);
}

void ShokiLookTest::optionButtons_keepSystemTextColourInsideBlueFrames()
{
    Setup setup;
    QVERIFY(setup.isValid());
    Shoki dialog(setup.settings, setup.store, setup.messages);

    const QColor blue(0x00, 0x00, 0xFF);
    for (const auto *frame : dialog.findChildren<QGroupBox *>()) {
        QCOMPARE(frame->palette().color(QPalette::WindowText), blue);
        for (const auto *button : frame->findChildren<QRadioButton *>()) {
            QVERIFY2(button->palette().color(QPalette::WindowText) != blue, qPrintable(button->objectName()));
            QCOMPARE(button->palette().color(QPalette::WindowText),
                     QApplication::palette(button).color(QPalette::WindowText));
        }
    }
}

// Beside the middle of each side: the outermost pixel black, the next one the box's light orange
// (a sunken edge would show grey and white there).
void ShokiLookTest::titleBox_hasSingleBlackLine()
{
    Setup setup;
    QVERIFY(setup.isValid());
    Shoki dialog(setup.settings, setup.store, setup.messages);
    auto *title = dialog.findChild<QLabel *>(QStringLiteral("Label3"));
    QVERIFY(title != nullptr);
    const QImage image = title->grab().toImage();
    const int w = image.width();
    const int h = image.height();
    const struct {
        const char *side;
        QPoint edge;
        QPoint inside;
    } sides[] = {{"left", {0, h / 2}, {1, h / 2}},
                 {"right", {w - 1, h / 2}, {w - 2, h / 2}},
                 {"top", {w / 8, 0}, {w / 8, 1}},
                 {"bottom", {w / 8, h - 1}, {w / 8, h - 2}}};
    for (const auto &side : sides) {
        QCOMPARE(image.pixelColor(side.edge), QColor(Qt::black));
        QVERIFY2(image.pixelColor(side.inside) == QColor(0xFF, 0xE0, 0xC0), side.side);
    }
    QCOMPARE(title->palette().color(QPalette::WindowText), QColor(0x00, 0x00, 0xFF));
}

QTEST_MAIN(ShokiLookTest)
#include "shokilook_test.moc"
