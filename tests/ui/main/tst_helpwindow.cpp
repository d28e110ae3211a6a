#include "support/programfolder.h"

#include "ui/common/look.h"
#include "ui/main/helpwindow.h"

#include <QApplication>
#include <QListWidget>
#include <QScrollBar>
#include <QTextBlock>
#include <QTest>
#include <QTextBrowser>

using omvex::ui::HelpWindow;

class TestHelpWindow : public QObject {
    Q_OBJECT

private slots:
    void load_explainsFileItCannotShow_data();
    void load_explainsFileItCannotShow();
    void load_listsHeadingsAndJumpsToThem();
    void contents_showsEveryHeadingWhole();
    void viewer_reusesOneWindow();
    void helpFile_coversEveryTopic_data();
    void helpFile_coversEveryTopic();
};

void TestHelpWindow::load_explainsFileItCannotShow_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::addRow("missingFile") << QStringLiteral("missing") << QStringLiteral("見つかりません");
    QTest::addRow("folderInstead") << QStringLiteral("folder") << QStringLiteral("見つかりません");
    QTest::addRow("binaryContent") << QStringLiteral("binary") << QStringLiteral("形式");
    QTest::addRow("tooLarge") << QStringLiteral("large") << QStringLiteral("大きすぎ");
}

void TestHelpWindow::load_explainsFileItCannotShow()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("omvex.hlp"));
    if (kind == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(path));
    else if (kind == QLatin1String("binary"))
        QVERIFY(omvex::test::writeFile(path, QByteArray("?_\x03\0\0\0# heading\n", 16)));
    else if (kind == QLatin1String("large"))
        QVERIFY(omvex::test::writeFile(path, QByteArray(HelpWindow::kMaxFileSize + 1, '#')));

    HelpWindow window;
    // Whatever was shown before must not stay on screen as if it were this file.
    const QString earlier = dir.filePath(QStringLiteral("earlier.md"));
    QVERIFY(omvex::test::writeFile(earlier, "text\n\n# Earlier\n"));
    QVERIFY(window.load(earlier));

    QVERIFY(!window.load(path));
    const QString shown = window.text()->toPlainText();
    QVERIFY2(shown.contains(reason), qPrintable(shown));
    QVERIFY2(shown.contains(path), qPrintable(shown));
    QVERIFY(!shown.contains(QStringLiteral("Earlier")));
    // Nor its look: the explanation is body text, not the earlier heading's large bold type.
    QTextCursor cursor(window.text()->document());
    cursor.movePosition(QTextCursor::NextCharacter);
    QVERIFY(cursor.charFormat().fontWeight() <= QFont::Normal);
    QCOMPARE(cursor.blockFormat().headingLevel(), 0);
    QCOMPARE(window.contents()->count(), 0);
}

void TestHelpWindow::load_listsHeadingsAndJumpsToThem()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("omvex.hlp"));
    QByteArray text = "# 概要\n\n";
    for (int i = 0; i < 200; ++i)
        text += "本文の行です。\n\n";
    text += "## 設定\n\n最後の節。\n\n```\n# コードの中は見出しではない\n```\n";
    QVERIFY(omvex::test::writeFile(path, text));

    HelpWindow window;
    window.resize(600, 400);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(window.load(path));
    QCOMPARE(window.headings(), (QStringList{QStringLiteral("概要"), QStringLiteral("設定")}));
    QCOMPARE(window.text()->verticalScrollBar()->value(), 0);

    window.contents()->setCurrentRow(1);
    QVERIFY(window.text()->verticalScrollBar()->value() > 0);
    QVERIFY(window.text()->textCursor().block().text().contains(QStringLiteral("設定")));
}

// The real help file has long headings ("抽選について（必ずお読みください）"); the list must not cut them.
void TestHelpWindow::contents_showsEveryHeadingWhole()
{
    omvex::ui::registerFontSubstitutes();
    HelpWindow window;
    QVERIFY(window.load(QStringLiteral(OMVEX_HELP_FILE)));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QListWidget *contents = window.contents();
    QVERIFY(contents->count() > 0);
    for (int row = 0; row < contents->count(); ++row) {
        const QModelIndex index = contents->model()->index(row, 0);
        QVERIFY2(contents->sizeHintForIndex(index).width() <= contents->viewport()->width(),
                 qPrintable(QStringLiteral("%1: %2 px in %3 px")
                                .arg(index.data().toString())
                                .arg(contents->sizeHintForIndex(index).width())
                                .arg(contents->viewport()->width())));
    }
    // The text keeps most of the window.
    QVERIFY(window.text()->width() >= window.width() / 2);
}

void TestHelpWindow::viewer_reusesOneWindow()
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("a.hlp"));
    const QString second = dir.filePath(QStringLiteral("b.hlp"));
    QVERIFY(omvex::test::writeFile(first, "# A\n"));
    QVERIFY(omvex::test::writeFile(second, "# B\n"));
    QWidget owner;
    omvex::ui::WindowHelpViewer viewer(&owner);
    viewer.open(first);
    HelpWindow *window = viewer.window();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    window->close();
    viewer.open(second);
    QCOMPARE(viewer.window(), window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->headings(), QStringList{QStringLiteral("B")});
}

void TestHelpWindow::helpFile_coversEveryTopic_data()
{
    QTest::addColumn<QString>("topic");
    QTest::addRow("whatTheProgramDoes") << QStringLiteral("概要");
    QTest::addRow("historyFileFormat") << QStringLiteral("過去データ");
    QTest::addRow("settings") << QStringLiteral("初期設定");
    QTest::addRow("twoPasses") << QStringLiteral("１回目と２回目");
    QTest::addRow("randomnessNote") << QStringLiteral("抽選");
}

void TestHelpWindow::helpFile_coversEveryTopic()
{
    QFETCH(QString, topic);
    HelpWindow window;
    QVERIFY(window.load(QStringLiteral(OMVEX_HELP_FILE)));
    const QStringList headings = window.headings();
    const bool found = std::any_of(headings.begin(), headings.end(),
                                   [&](const QString &heading) { return heading.contains(topic); });
    QVERIFY2(found, qPrintable(headings.join(QStringLiteral(" | "))));
}

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
