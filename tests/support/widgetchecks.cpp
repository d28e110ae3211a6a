#include "support/widgetchecks.h"

#include "ui/common/look.h"

#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <cstdlib>

namespace omvex::test {

namespace {

QString describe(const QWidget &widget)
{
    const QRect r = widget.geometry();
    return QStringLiteral("%1 (%2,%3 %4x%5)")
        .arg(widget.objectName())
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height());
}

void collectFaults(const QWidget &parent, QStringList &faults)
{
    const QList<QWidget *> children = parent.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    const QRect inside = parent.isWindow() ? parent.rect() : parent.contentsRect();
    for (qsizetype i = 0; i < children.size(); ++i) {
        const QWidget &child = *children[i];
        if (!inside.contains(child.geometry()))
            faults << QStringLiteral("%1 leaves %2").arg(describe(child), parent.objectName());
        for (qsizetype j = i + 1; j < children.size(); ++j) {
            if (child.geometry().intersects(children[j]->geometry()))
                faults << QStringLiteral("%1 overlaps %2").arg(describe(child), describe(*children[j]));
        }
        collectFaults(child, faults);
    }
}

} // namespace

QStringList layoutFaults(const QWidget &window)
{
    QStringList faults;
    collectFaults(window, faults);
    return faults;
}

QStringList frameFaults(const QDialog &dialog, QSize designClientTwips, QSize outerTwips)
{
    using ui::twipsToPixels;
    QStringList faults;
    if (dialog.minimumSize() != dialog.maximumSize() || dialog.size() != dialog.minimumSize())
        faults << QStringLiteral("size is not fixed");
    const QSize outer(twipsToPixels(outerTwips.width()), twipsToPixels(outerTwips.height()));
    const QSize designClient(twipsToPixels(designClientTwips.width()), twipsToPixels(designClientTwips.height()));
    if (dialog.width() < designClient.width() || dialog.height() < designClient.height())
        faults << QStringLiteral("client area smaller than the design's controls need");
    if (dialog.width() > outer.width() || dialog.height() > outer.height())
        faults << QStringLiteral("client area larger than the outer size");

    const Qt::WindowFlags flags = dialog.windowFlags();
    if (flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint))
        faults << QStringLiteral("has a minimise or maximise button");
    if (!(flags & Qt::MSWindowsFixedSizeDialogHint))
        faults << QStringLiteral("frame is not a fixed dialog frame");
    if (!(flags & Qt::WindowCloseButtonHint))
        faults << QStringLiteral("has no close button");
    if (dialog.windowModality() != Qt::ApplicationModal)
        faults << QStringLiteral("not application-modal");
    if (dialog.parentWidget() != nullptr)
        faults << QStringLiteral("has an owner");
    if (dialog.windowIcon().isNull())
        faults << QStringLiteral("no window icon");

    // Centred means the middle of the outer size sits at the middle of the screen, give or take
    // the rounding of twips to pixels.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QPoint middle = dialog.pos() + QPoint(outer.width() / 2, outer.height() / 2);
    if (std::abs(middle.x() - screen.center().x()) > 1 || std::abs(middle.y() - screen.center().y()) > 1) {
        faults << QStringLiteral("not centred: middle at %1,%2, screen middle at %3,%4")
                      .arg(middle.x())
                      .arg(middle.y())
                      .arg(screen.center().x())
                      .arg(screen.center().y());
    }
    return faults;
}

QStringList tabStops(QWidget &window, const QString &first, int count, bool backwards)
{
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        return {QStringLiteral("<window not active>")};
    auto *start = window.findChild<QWidget *>(first);
    if (start == nullptr)
        return {QStringLiteral("<no widget named %1>").arg(first)};
    start->setFocus(Qt::OtherFocusReason);

    QStringList names;
    for (int i = 0; i < count; ++i) {
        QWidget *focus = QApplication::focusWidget();
        if (focus == nullptr)
            return names << QStringLiteral("<no focus>");
        names << focus->objectName();
        if (i + 1 < count)
            QTest::keyClick(focus, backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                            backwards ? Qt::ShiftModifier : Qt::NoModifier);
    }
    return names;
}

} // namespace omvex::test
