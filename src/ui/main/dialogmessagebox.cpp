#include "ui/main/dialogmessagebox.h"

#include "ui/common/look.h"

#include <QMessageBox>

namespace omvex::ui {

void DialogMessageBox::show(const QString &title, const QString &text)
{
    // Without a visible parent (start-up shows its message before the window) the box is
    // modal to the whole application, so nothing else can be clicked meanwhile.
    QWidget *parent = m_parent && m_parent->isVisible() ? m_parent.data() : nullptr;
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.setWindowModality(Qt::ApplicationModal);
    box.setFont(designFont(9));
    box.exec();
}

} // namespace omvex::ui
