#pragma once

#include "platform/services.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

namespace omvex::ui::test {

// Records what would have been shown instead of showing it.
class RecordingMessageBox final : public platform::MessageBox {
public:
    struct Shown {
        QString title;
        QString text;
    };
    void show(const QString &title, const QString &text) override { shown.append({title, text}); }
    QList<Shown> shown;
};

// Controls that stick out of their parent or overlap a sibling, one line each; empty when the
// layout is sound.
QStringList layoutFaults(const QWidget &dialog);

// What makes a fixed, modal dialog frame that is centred on the primary screen: one line per
// fault, empty when there is none. designClient is the smallest client area that the design's
// controls need, outerTwips the outer size that the dialog centres.
QStringList frameFaults(const QDialog &dialog, QSize designClientTwips, QSize outerTwips);

// The object names of the widgets that Tab visits, starting at the named one.
QStringList tabChain(const QWidget &dialog, const QString &first, int count);

} // namespace omvex::ui::test
