#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

namespace omvex::test {

// Controls that stick out of their parent or overlap a sibling, one line each; empty when the
// layout is sound.
QStringList layoutFaults(const QWidget &window);

// What makes a fixed, modal dialog frame that is centred on the primary screen: one line per
// fault, empty when there is none. designClient is the smallest client area that the design's
// controls need, outerTwips the outer size that the dialog centres.
QStringList frameFaults(const QDialog &dialog, QSize designClientTwips, QSize outerTwips);

// The object names of the widgets that hold the focus as the user presses Tab (or Shift+Tab with
// backwards) count - 1 times, starting with the focus on the widget named first. Shows and
// activates the window; an entry in angle brackets says why the walk could not go on.
QStringList tabStops(QWidget &window, const QString &first, int count, bool backwards = false);

} // namespace omvex::test
