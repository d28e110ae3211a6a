#pragma once

// One analysis window over its own copy of a history file, shared by the window's tests.

#include "analysis/backtest.h"
#include "analysis/journal.h"
#include "analysis/stats.h"
#include "ui/analysis/analysiswindow.h"
#include "ui/analysis/backtesttab.h"
#include "ui/analysis/comparisonview.h"
#include "ui/analysis/frequencytab.h"
#include "ui/analysis/journaltab.h"
#include "ui/analysis/statschartview.h"
#include "ui/analysis/tickettab.h"
#include "ui/analysis/windowplace.h"
#include "ui/charts/chart.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <optional>
#include <vector>

using omvex::Settings;
using omvex::ui::AnalysisWindow;
using Tab = omvex::ui::AnalysisWindow::Tab;
namespace analysis = omvex::analysis;

namespace {

const QString kSharedHistory = QStringLiteral(OMVEX_TEST_DATA_DIR "/history-2058.txt");

// One window over its own copy of a history file, with settings and proposals the test sets.
struct Harness {
    QTemporaryDir dir;
    Settings settings;
    std::array<omvex::ui::Proposal, 2> proposals{};
    QString savePath;
    bool isRecordEnabled = true;
    std::optional<QRect> savedPlace;
    std::vector<QRect> keptPlaces;
    std::unique_ptr<AnalysisWindow> window;

    QString kakoPath() const { return dir.filePath(QStringLiteral("kako.txt")); }
    QString recordPath() const { return dir.filePath(QStringLiteral("kiroku.txt")); }

    explicit Harness(const QByteArray &history)
    {
        QFile file(kakoPath());
        if (file.open(QIODevice::WriteOnly))
            file.write(history);
    }

    AnalysisWindow &open(Tab tab)
    {
        omvex::ui::AnalysisProviders providers;
        providers.kakoFilePath = kakoPath();
        providers.recordFilePath = recordPath();
        providers.isRecordEnabled = [this] { return isRecordEnabled; };
        providers.setRecordEnabled = [this](bool enabled) {
            isRecordEnabled = enabled;
            return omvex::Status{};
        };
        providers.settings = [this] { return settings; };
        providers.proposals = [this] { return proposals; };
        providers.chooseSavePath = [this](QWidget *, const QString &) { return savePath; };
        providers.savedPlace = [this] { return savedPlace; };
        providers.keepPlace = [this](const QRect &place) { keptPlaces.push_back(place); };
        window = std::make_unique<AnalysisWindow>(providers);
        window->showTab(tab);
        return *window;
    }

    template <typename T>
    T *in(Tab tab, const char *name) const
    {
        return window->tab(tab)->findChild<T *>(QString::fromLatin1(name));
    }
    omvex::ui::BacktestTab *backtest() const
    {
        return static_cast<omvex::ui::BacktestTab *>(window->tab(Tab::Backtest));
    }
    // A cell as shown, after any sorting.
    QString text(Tab tab, const char *table, int row, int column) const
    {
        const QAbstractItemModel *shown = in<QTableView>(tab, table)->model();
        return shown->index(row, column).data().toString();
    }
    int rows(Tab tab, const char *table) const { return in<QTableView>(tab, table)->model()->rowCount(); }
    // The names of the widgets that hold the focus as Tab (or Shift+Tab) is pressed count - 1
    // times from the named one. Several tabs have a "更新" named "reload": the walk starts in the
    // given tab's, which omvex::test::tabStops cannot tell apart.
    QStringList tabStops(Tab tab, const QString &first, int count, bool backwards) const
    {
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            return {QStringLiteral("<window not active>")};
        window->tab(tab)->findChild<QWidget *>(first)->setFocus(Qt::OtherFocusReason);
        QStringList names;
        for (int i = 0; i < count; ++i) {
            QWidget *focus = QApplication::focusWidget();
            names << (focus ? focus->objectName() : QStringLiteral("<no focus>"));
            if (focus && i + 1 < count)
                QTest::keyClick(focus, backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                                backwards ? Qt::ShiftModifier : Qt::NoModifier);
        }
        return names;
    }
};

[[maybe_unused]] QByteArray sharedHistory()
{
    QFile file(kSharedHistory);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

[[maybe_unused]] analysis::HistoryStats libraryStats(const QString &path, std::optional<int> last)
{
    return analysis::historyStats(omvex::ui::readHistorySnapshot(path).grid, last);
}

[[maybe_unused]] void checkComparison(const Harness &h, Tab tab, const analysis::ChanceComparison &expected)
{
    const char *table = "tiers";
    for (int row = 0; row < analysis::kTierCount; ++row) {
        const analysis::TierComparison &tier = expected.tiers[static_cast<std::size_t>(row)];
        QCOMPARE(h.text(tab, table, row, omvex::ui::ComparisonView::ObservedColumn), QString::number(tier.observed));
        QCOMPARE(h.text(tab, table, row, omvex::ui::ComparisonView::ExpectedColumn),
                 QString::number(tier.expected, 'f', 2));
        QCOMPARE(h.text(tab, table, row, omvex::ui::ComparisonView::RangeColumn),
                 QStringLiteral("%1〜%2").arg(tier.interval.low).arg(tier.interval.high));
    }
    QVERIFY(h.in<QLabel>(tab, "meanMatches")->text().contains(QString::number(expected.meanMatches, 'f', 3)));
    QVERIFY(h.in<QLabel>(tab, "verdict")->text().contains(QString::fromStdString(expected.verdict)));
}

} // namespace
