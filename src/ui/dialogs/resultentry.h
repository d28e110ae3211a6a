#pragma once

#include "import/drawentry.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace omvex::ui {

// "結果の入力": one draw typed by hand. The boxes are checked as they are typed, with the importer's
// rules; OK hands the draw to `add`, and the dialog closes only when that wrote it, so a refusal
// (a draw already held, other numbers without "置き換える") is read beside the boxes and can be mended.
class ResultEntryDialog : public QDialog {
    Q_OBJECT

public:
    using AddDraw = std::function<DrawEntryResult(const EnteredDraw &, bool replace)>;

    ResultEntryDialog(int suggestedDraw, AddDraw add, QWidget *parent = nullptr);

    EnteredDraw entered() const;
    // What the last OK gave; Refused until one was made.
    const DrawEntryResult &result() const { return m_result; }

private:
    void check();
    void commit();

    AddDraw m_add;
    QLineEdit *m_draw = nullptr;
    std::array<QLineEdit *, kPicks> m_main{};
    QLineEdit *m_bonus = nullptr;
    QCheckBox *m_replace = nullptr;
    QLabel *m_problem = nullptr;
    QPushButton *m_ok = nullptr;
    DrawEntryResult m_result;
};

} // namespace omvex::ui
