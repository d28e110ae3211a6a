#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace omvex::ui {

// The version information: icon, application title, version from the build, description and
// maker. Built afresh for every showing; "OK", Enter and Escape close it.
class Verj : public QDialog {
    Q_OBJECT

public:
    explicit Verj(QWidget *parent = nullptr);

private:
    void createControls();
    void Form_Load();
    void cmdOK_Click();

    QPushButton *cmdOK = nullptr;
    QLabel *picIcon = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblDescription = nullptr;
    QLabel *Label1 = nullptr;
    QFrame *Line1[2] = {};
};

} // namespace omvex::ui
