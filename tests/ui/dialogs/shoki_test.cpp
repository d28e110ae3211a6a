#include "omvex/appinfo.h"
#include "shokisetup.h"

#include "platform/outsideprograms.h"
#include "ui/common/look.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <functional>

using omvex::Settings;
using omvex::SettingsStore;
using omvex::ui::Shoki;
using omvex::test::RecordingMessageBox;
using omvex::test::option;
using omvex::test::selectedCaptions;
using Setup = omvex::test::ShokiSetup;

Q_DECLARE_METATYPE(std::function<void(Shoki &)>)

namespace {

const QString kIniName = QStringLiteral("omvex.ini");

QStringList choices(const Shoki &dialog)
{
    return {QString::number(dialog.levelChoice()), QString::number(dialog.patternChoice()),
            QString::number(dialog.kakoChoice())};
}

QStringList settingDigits(const Settings &settings)
{
    return {QString::number(digit(settings.level)), QString::number(digit(settings.pattern)),
            QString::number(digit(settings.kako))};
}

bool clickOptions(const Shoki &dialog, const QStringList &captions)
{
    for (const QString &caption : captions) {
        QRadioButton *button = option(dialog, caption);
        if (button == nullptr)
            return false;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    return true;
}

void pressOk(Shoki &dialog)
{
    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("Command1"));
    QVERIFY(ok != nullptr);
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QTest::mouseClick(ok, Qt::LeftButton);
}

} // namespace

class ShokiTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { omvex::ui::registerFontSubstitutes(); }

    void load_selectsButtonsOfStoredSettings_data();
    void load_selectsButtonsOfStoredSettings();
    void ok_savesChoicesAtOnceAndAfterRestart_data();
    void ok_savesChoicesAtOnceAndAfterRestart();
    void closeWithoutOk_keepsSettingsAndFile_data();
    void closeWithoutOk_keepsSettingsAndFile();
    void enterOnOption_savesNothing();
    void ok_writeFailureShowsOneMessageAndKeepsChoices();
    void saveFailureText_namesFileReasonAndOutcomeOnce_data();
    void saveFailureText_namesFileReasonAndOutcomeOnce();
};

void ShokiTest::load_selectsButtonsOfStoredSettings_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QStringList>("choices");

    QTest::newRow("no omvex.ini") << QByteArray() << QStringList{"標準", "選択", "並"} << QStringList{"0", "0", "0"};
    QTest::newRow("highest of each") << QByteArray("[OmvexINI]\nLevel=3\nPattern=1\nKako=3\n")
                                     << QStringList{"松", "すべて", "無し"} << QStringList{"3", "1", "3"};
    QTest::newRow("middle values") << QByteArray("[OmvexINI]\nLevel=2\nPattern=1\nKako=1\n")
                                   << QStringList{"竹", "すべて", "上"} << QStringList{"2", "1", "1"};
    QTest::newRow("values outside their ranges") << QByteArray("[OmvexINI]\nLevel=7\nPattern=2\nKako=-1\n")
                                                 << QStringList{"標準", "選択", "並"} << QStringList{"0", "0", "0"};
}

void ShokiTest::load_selectsButtonsOfStoredSettings()
{
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, captions);
    QFETCH(QStringList, choices);

    Setup setup(ini);
    QVERIFY(setup.isValid());

    Shoki dialog(setup.settings, setup.store, setup.messages);

    QCOMPARE(dialog.windowTitle(), QStringLiteral("初期設定"));
    QCOMPARE(selectedCaptions(dialog), captions);
    QCOMPARE(::choices(dialog), choices);
}

void ShokiTest::ok_savesChoicesAtOnceAndAfterRestart_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QStringList>("picks");
    QTest::addColumn<QStringList>("saved");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("no file, highest of each picked")
        << QByteArray() << QStringList{"松", "すべて", "無し"} << QStringList{"3", "1", "3"}
        << QStringList{"松", "すべて", "無し"} << QByteArray("[OmvexINI]\nLevel=3\nPattern=1\nKako=3\n");
    QTest::newRow("no file, nothing picked")
        << QByteArray() << QStringList{} << QStringList{"0", "0", "0"} << QStringList{"標準", "選択", "並"}
        << QByteArray("[OmvexINI]\nLevel=0\nPattern=0\nKako=0\n");
    // Catches a load that selects the buttons without setting the choices: OK would save zeros.
    QTest::newRow("stored values, nothing picked")
        << QByteArray("[OmvexINI]\nLevel=2\nPattern=1\nKako=1\n") << QStringList{} << QStringList{"2", "1", "1"}
        << QStringList{"竹", "すべて", "上"} << QByteArray("[OmvexINI]\nLevel=2\nPattern=1\nKako=1\n");
    QTest::newRow("picked twice in one frame, the last counts")
        << QByteArray() << QStringList{"松", "梅", "特上", "並"} << QStringList{"1", "0", "0"}
        << QStringList{"梅", "選択", "並"} << QByteArray("[OmvexINI]\nLevel=1\nPattern=0\nKako=0\n");
    QTest::newRow("other sections and comments are kept")
        << QByteArray("; my notes\n[Other]\nx=1\n[OmvexINI]\nKako=1\n; keep me\n\n[Tail]\ny=2\n")
        << QStringList{"松", "すべて", "無し"} << QStringList{"3", "1", "3"} << QStringList{"松", "すべて", "無し"}
        << QByteArray("; my notes\n[Other]\nx=1\n[OmvexINI]\nKako=3\nLevel=3\nPattern=1\n; keep me\n\n[Tail]\ny=2\n");
    QTest::newRow("file from Windows keeps its line ends")
        << QByteArray("[OmvexINI]\r\nLevel=1\r\nPattern=0\r\nKako=2\r\n") << QStringList{"竹", "すべて", "上"}
        << QStringList{"2", "1", "1"} << QStringList{"竹", "すべて", "上"}
        << QByteArray("[OmvexINI]\r\nLevel=2\r\nPattern=1\r\nKako=1\r\n");
}

void ShokiTest::ok_savesChoicesAtOnceAndAfterRestart()
{
    QFETCH(QByteArray, before);
    QFETCH(QStringList, picks);
    QFETCH(QStringList, saved);
    QFETCH(QStringList, captions);
    QFETCH(QByteArray, after);

    Setup setup(before);
    QVERIFY(setup.isValid());
    const SettingsStore &store = setup.store;
    const QString &path = store.path();
    Settings &settings = setup.settings;
    RecordingMessageBox &messages = setup.messages;

    {
        Shoki dialog(settings, store, messages);
        dialog.show();
        QVERIFY(clickOptions(dialog, picks));
        pressOk(dialog);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    QCOMPARE(settingDigits(settings), saved);
    QVERIFY2(messages.shown.isEmpty(), qPrintable(messages.shown.value(0).text));
    QCOMPARE(omvex::test::readFile(path), after);

    // A restart: a new store reads the same file, and the next opening shows what was saved.
    const SettingsStore restarted(path);
    Settings reread = restarted.read();
    QCOMPARE(settingDigits(reread), saved);
    Shoki reopened(reread, restarted, messages);
    QCOMPARE(selectedCaptions(reopened), captions);
}

void ShokiTest::closeWithoutOk_keepsSettingsAndFile_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<std::function<void(Shoki &)>>("closeDialog");

    const QByteArray stored("; mine\n[OmvexINI]\nLevel=1\nPattern=0\nKako=2\n");
    const std::function<void(Shoki &)> frameButton = [](Shoki &dialog) { dialog.close(); };
    const std::function<void(Shoki &)> escape = [](Shoki &dialog) {
        QTest::keyClick(dialog.focusWidget() != nullptr ? dialog.focusWidget() : &dialog, Qt::Key_Escape);
    };
    QTest::newRow("frame close button, stored file") << stored << frameButton;
    QTest::newRow("Escape, stored file") << stored << escape;
    QTest::newRow("frame close button, no file") << QByteArray() << frameButton;
    QTest::newRow("Escape, no file") << QByteArray() << escape;
}

void ShokiTest::closeWithoutOk_keepsSettingsAndFile()
{
    QFETCH(QByteArray, before);
    QFETCH(std::function<void(Shoki &)>, closeDialog);

    Setup setup(before);
    QVERIFY(setup.isValid());
    const SettingsStore &store = setup.store;
    const QString &path = store.path();
    Settings &settings = setup.settings;
    const Settings original = settings;
    RecordingMessageBox &messages = setup.messages;

    {
        Shoki dialog(settings, store, messages);
        const QStringList shownFirst = selectedCaptions(dialog);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(clickOptions(dialog, {"松", "すべて", "無し"}));
        QCOMPARE(selectedCaptions(dialog), (QStringList{"松", "すべて", "無し"}));
        closeDialog(dialog);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));

        Shoki reopened(settings, store, messages);
        QCOMPARE(selectedCaptions(reopened), shownFirst);
    }

    QCOMPARE(settings, original);
    QCOMPARE(omvex::test::readFile(path), before);
    QVERIFY(messages.shown.isEmpty());
}

void ShokiTest::enterOnOption_savesNothing()
{
    Setup setup;
    QVERIFY(setup.isValid());
    Shoki dialog(setup.settings, setup.store, setup.messages);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QRadioButton *pine = option(dialog, QStringLiteral("松"));
    QVERIFY(pine != nullptr);
    QTest::mouseClick(pine, Qt::LeftButton);
    QTest::keyClick(pine, Qt::Key_Return);
    QTest::keyClick(pine, Qt::Key_Enter);

    QVERIFY(dialog.isVisible());
    QCOMPARE(setup.settings, Settings{});
    QVERIFY(!QFile::exists(setup.store.path()));
}

void ShokiTest::ok_writeFailureShowsOneMessageAndKeepsChoices()
{
    // A folder that does not exist cannot be written to, not even by root.
    Setup setup({}, QStringLiteral("no such folder/") + kIniName);
    QVERIFY(setup.isValid());
    const QString &path = setup.store.path();
    Settings &settings = setup.settings;
    RecordingMessageBox &messages = setup.messages;

    Shoki dialog(settings, setup.store, messages);
    dialog.show();
    QVERIFY(clickOptions(dialog, {"竹", "すべて", "特上"}));
    pressOk(dialog);

    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown[0].title, omvex::kAppTitle);
    QVERIFY2(messages.shown[0].text.contains(QDir::toNativeSeparators(path)), qPrintable(messages.shown[0].text));
    QVERIFY2(messages.shown[0].text.contains(QStringLiteral("保存できませんでした")),
             qPrintable(messages.shown[0].text));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(settingDigits(settings), (QStringList{"2", "1", "2"}));
    QVERIFY(!QFile::exists(path));
}

void ShokiTest::saveFailureText_namesFileReasonAndOutcomeOnce_data()
{
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("reason");

    const QString path = QStringLiteral("/opt/omvex/omvex.ini");
    QTest::newRow("store text with file and outcome")
        << QStringLiteral("設定を保存できませんでした: %1: the file is read-only").arg(path)
        << QStringLiteral("the file is read-only");
    QTest::newRow("file and reason only") << QStringLiteral("%1: disk full").arg(path) << QStringLiteral("disk full");
    QTest::newRow("reason only") << QStringLiteral("Permission denied") << QStringLiteral("Permission denied");
    QTest::newRow("no reason") << QString() << QString();
}

void ShokiTest::saveFailureText_namesFileReasonAndOutcomeOnce()
{
    QFETCH(QString, error);
    QFETCH(QString, reason);

    const QString text = omvex::ui::saveFailureText(QStringLiteral("/opt/omvex/omvex.ini"), error);

    QCOMPARE(text.count(QStringLiteral("/opt/omvex/omvex.ini")), 1);
    QCOMPARE(text.count(QStringLiteral("保存できませんでした")), 1);
    QVERIFY2(text.contains(reason), qPrintable(text));
    QVERIFY2(text.endsWith(QStringLiteral("選んだ設定は今回の実行中だけ有効です。")), qPrintable(text));
}

QTEST_MAIN(ShokiTest)
#include "shoki_test.moc"
