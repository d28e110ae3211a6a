#include "support/programfolder.h"
#include "ui/common/translations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTest>
#include <QTranslator>

#include <memory>

class TestLook : public QObject {
    Q_OBJECT

private slots:
    void qtTranslations_japaneseWhenInstalledEnglishOtherwise_data();
    void qtTranslations_japaneseWhenInstalledEnglishOtherwise();
};

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

QTEST_MAIN(TestLook)
#include "tst_look.moc"
