#include "support/programfolder.h"
#include "ui/common/look.h"
#include "ui/common/startuptrace.h"
#include "ui/common/translations.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QMenuBar>
#include <QStyle>
#include <QStyleFactory>
#include <QFileInfo>
#include <QIcon>
#include <QPixmap>
#include <QTest>
#include <QTranslator>
#include <QWidget>

#include <algorithm>
#include <memory>

class TestLook : public QObject {
    Q_OBJECT

private slots:
    // First: it checks that no image plugin has been loaded in this process.
    void programStyle_menuBarLoadsNoImagePlugin();
    void icon_numbersStayOnTheWhiteFaces_data();
    void icon_numbersStayOnTheWhiteFaces();
    void qtTranslations_japaneseWhenInstalledEnglishOtherwise_data();
    void qtTranslations_japaneseWhenInstalledEnglishOtherwise();
    void afterFirstPaint_runsOnceWhenTheWindowHasBeenPainted();
};

namespace {

class PaintCounter final : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *) override { ++paints; }
};

} // namespace

// Under the program's style a menu bar is made without loading the image-format plugins, and its
// overflow button gets the icon the platform's style gives it, in the same sizes.
void TestLook::programStyle_menuBarLoadsNoImagePlugin()
{
    const auto sizes = [](const QIcon &icon) {
        QList<QSize> all = icon.availableSizes();
        std::sort(all.begin(), all.end(), [](QSize a, QSize b) { return a.width() < b.width(); });
        return all;
    };
    QApplication::setStyle(omvex::ui::createProgramStyle());
    QMenuBar bar;
    const QIcon ours = QApplication::style()->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton);
    QFile maps(QStringLiteral("/proc/self/maps"));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    QVERIFY(!maps.readAll().contains("/imageformats/"));

    const std::unique_ptr<QStyle> platform(QStyleFactory::create(QStringLiteral("Fusion")));
    QVERIFY(!ours.isNull());
    QCOMPARE(sizes(ours), sizes(platform->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton)));
}

void TestLook::icon_numbersStayOnTheWhiteFaces_data()
{
    QTest::addColumn<int>("size");
    QTest::addRow("aboutBox48") << 48;
    QTest::addRow("small32") << 32;
    QTest::addRow("betweenTheListedSizes40") << 40;
    QTest::addRow("large256") << 256;
}

// Every pixel the numbers change must have been part of a ball's white face: more white than
// colour, and never the transparent corners around the balls.
void TestLook::icon_numbersStayOnTheWhiteFaces()
{
    QFETCH(int, size);
    const QImage numbered = omvex::ui::renderOmvexIcon(size);
    const QImage bare = omvex::ui::renderOmvexIcon(size, false);
    QCOMPARE(numbered.size(), QSize(size, size));
    // The icon the windows show draws each size when asked, at exactly that size.
    QCOMPARE(omvex::ui::omvexIcon().pixmap(size).toImage().convertToFormat(numbered.format()), numbered);

    int textPixels = 0;
    QStringList strays;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (numbered.pixel(x, y) == bare.pixel(x, y))
                continue;
            ++textPixels;
            const QColor under = bare.pixelColor(x, y);
            if (under.alpha() < 255 || std::min({under.red(), under.green(), under.blue()}) < 160)
                strays << QStringLiteral("%1,%2").arg(x).arg(y);
        }
    }
    QVERIFY2(textPixels >= size, qPrintable(QString::number(textPixels)));
    QVERIFY2(strays.isEmpty(), qPrintable(strays.join(QLatin1Char(' '))));
}

void TestLook::qtTranslations_japaneseWhenInstalledEnglishOtherwise_data()
{
    QTest::addColumn<bool>("fromQtFolder");
    QTest::addRow("qtTranslationsFolder_japanese") << true;
    QTest::addRow("folderWithoutThem_englishAndNoError") << false;
}

void TestLook::qtTranslations_japaneseWhenInstalledEnglishOtherwise()
{
    QFETCH(bool, fromQtFolder);
    omvex::test::ProgramFolder empty;
    const QString folder = fromQtFolder ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : empty.path();
    if (fromQtFolder && !QFileInfo::exists(folder + QStringLiteral("/qtbase_ja.qm")))
        QSKIP("Qt's Japanese translations (qt6-translations-l10n) are not installed");

    const std::unique_ptr<QTranslator> translator(omvex::ui::installQtTranslations(nullptr, folder));

    QCOMPARE(translator != nullptr, fromQtFolder);
    // The grids' scroll-bar menu and the help text's context menu.
    for (const auto &[context, text] : {std::pair{"QScrollBar", "Scroll here"}, {"QWidgetTextControl", "&Copy"}}) {
        const QString shown = QCoreApplication::translate(context, text);
        QVERIFY2((shown != QLatin1String(text)) == fromQtFolder, qPrintable(shown));
    }
}

void TestLook::afterFirstPaint_runsOnceWhenTheWindowHasBeenPainted()
{
    PaintCounter window;
    int runs = 0;
    int paintsBeforeRun = -1;
    omvex::ui::afterFirstPaint(*QCoreApplication::instance(), [&] {
        ++runs;
        paintsBeforeRun = window.paints;
    });
    QCoreApplication::processEvents();
    QCOMPARE(runs, 0);

    window.show();
    QTRY_COMPARE(runs, 1);
    QVERIFY(paintsBeforeRun >= 1);
    window.hide();
    window.show();
    window.repaint();
    QCoreApplication::processEvents();
    QCOMPARE(runs, 1);
}

QTEST_MAIN(TestLook)
#include "tst_look.moc"
