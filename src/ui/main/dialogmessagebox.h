#pragma once

#include "platform/services.h"

#include <QPointer>
#include <QWidget>

namespace omvex::ui {

// The program's message box: modal, one OK button, no icon.
class DialogMessageBox final : public platform::MessageBox {
public:
    explicit DialogMessageBox(QWidget *parent = nullptr) : m_parent(parent) {}
    void show(const QString &title, const QString &text) override;

private:
    QPointer<QWidget> m_parent;
};

} // namespace omvex::ui
