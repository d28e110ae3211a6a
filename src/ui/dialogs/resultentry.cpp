#include "ui/dialogs/resultentry.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace omvex::ui {

namespace {

QLineEdit *numberBox(QWidget *parent, const QString &name, int characters)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAlignment(Qt::AlignRight);
    // Room for the digits, half- or full-width, and no more: the boxes stand in one row.
    box->setMaxLength(characters + 2);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("０")) * characters + 16);
    return box;
}

} // namespace

ResultEntryDialog::ResultEntryDialog(int suggestedDraw, AddDraw add, QWidget *parent)
    : QDialog(parent)
    , m_add(std::move(add))
{
    setWindowTitle(QStringLiteral("結果の入力"));
    auto *layout = new QVBoxLayout(this);
    auto *boxes = new QGridLayout;
    layout->addLayout(boxes);

    m_draw = numberBox(this, QStringLiteral("drawBox"), 5);
    m_draw->setText(QString::number(suggestedDraw));
    boxes->addWidget(new QLabel(QStringLiteral("回号"), this), 0, 0);
    boxes->addWidget(m_draw, 1, 0);
    for (int k = 0; k < kPicks; ++k) {
        QLineEdit *box = numberBox(this, QStringLiteral("mainBox%1").arg(k + 1), 2);
        m_main[static_cast<std::size_t>(k)] = box;
        boxes->addWidget(new QLabel(QStringLiteral("本数字%1").arg(k + 1), this), 0, k + 1);
        boxes->addWidget(box, 1, k + 1);
    }
    m_bonus = numberBox(this, QStringLiteral("bonusBox"), 2);
    boxes->addWidget(new QLabel(QStringLiteral("ボーナス"), this), 0, kPicks + 1);
    boxes->addWidget(m_bonus, 1, kPicks + 1);

    m_problem = new QLabel(this);
    m_problem->setObjectName(QStringLiteral("entryProblem"));
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(QStringLiteral("color: #C00000"));
    layout->addWidget(m_problem);

    m_replace = new QCheckBox(QStringLiteral("置き換える"), this);
    m_replace->setObjectName(QStringLiteral("replaceBox"));
    layout->addWidget(m_replace);

    auto *buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    m_ok->setObjectName(QStringLiteral("okButton"));
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &ResultEntryDialog::commit);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // Left to right, as the boxes stand, then the choice and the buttons.
    QWidget *previous = m_draw;
    for (QWidget *next : {static_cast<QWidget *>(m_main[0]), static_cast<QWidget *>(m_main[1]),
                          static_cast<QWidget *>(m_main[2]), static_cast<QWidget *>(m_main[3]),
                          static_cast<QWidget *>(m_main[4]), static_cast<QWidget *>(m_main[5]),
                          static_cast<QWidget *>(m_bonus), static_cast<QWidget *>(m_replace)}) {
        setTabOrder(previous, next);
        previous = next;
    }
    for (QLineEdit *box : {m_draw, m_main[0], m_main[1], m_main[2], m_main[3], m_main[4], m_main[5], m_bonus})
        connect(box, &QLineEdit::textChanged, this, &ResultEntryDialog::check);
    check();
    m_main[0]->setFocus();
}

EnteredDraw ResultEntryDialog::entered() const
{
    EnteredDraw draw;
    draw.draw = m_draw->text();
    for (std::size_t k = 0; k < m_main.size(); ++k)
        draw.main[k] = m_main[k]->text();
    draw.bonus = m_bonus->text();
    return draw;
}

void ResultEntryDialog::check()
{
    const std::optional<QString> problem = enteredDrawProblem(entered());
    m_problem->setText(problem.value_or(QString()));
    m_ok->setEnabled(!problem);
}

void ResultEntryDialog::commit()
{
    m_result = m_add(entered(), m_replace->isChecked());
    if (m_result.isWritten()) {
        accept();
        return;
    }
    m_problem->setText(m_result.message);
}

} // namespace omvex::ui
