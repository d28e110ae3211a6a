#pragma once

#include "engine/settings.h"
#include "settings/settingsstore.h"
#include "platform/services.h"

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace omvex::ui {

// "初期設定": the three settings as option buttons. It is built afresh for every showing, so
// it always starts from the current Settings; only "OK" changes Settings and "omvex.ini".
class Shoki : public QDialog {
    Q_OBJECT

public:
    Shoki(Settings &settings, const SettingsStore &store, platform::MessageBox &messages, QWidget *parent = nullptr);

    int levelChoice() const { return LevelChoice; }
    int patternChoice() const { return PatternChoice; }
    int kakoChoice() const { return KakoChoice; }

private:
    void createControls();
    void Form_Load();
    void Option1_Click(int index);
    void Option2_Click(int index);
    void Option3_Click(int index);
    void Command1_Click();

    Settings &m_settings;
    const SettingsStore &m_store;
    platform::MessageBox &m_messages;

    int LevelChoice = 0;
    int PatternChoice = 0;
    int KakoChoice = 0;

    QLabel *Label3 = nullptr;
    QPushButton *Command1 = nullptr;
    QGroupBox *Frame1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QGroupBox *Frame3 = nullptr;
    QRadioButton *Option1[4] = {};
    QRadioButton *Option2[2] = {};
    QRadioButton *Option3[4] = {};
    QButtonGroup *m_levelGroup = nullptr;
    QButtonGroup *m_patternGroup = nullptr;
    QButtonGroup *m_kakoGroup = nullptr;
};

// The message for a save that could not write the settings file: the file, the reason, and that
// the choices hold for this run all the same.
QString saveFailureText(const QString &iniPath, const QString &error);

} // namespace omvex::ui
