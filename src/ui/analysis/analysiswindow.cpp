#include "ui/analysis/analysiswindow.h"

#include "ui/analysis/analysistable.h"
#include "ui/analysis/backtesttab.h"
#include "ui/analysis/frequencytab.h"
#include "ui/analysis/journaltab.h"
#include "ui/analysis/patternstab.h"
#include "ui/analysis/tickettab.h"
#include "ui/analysis/windowplace.h"
#include "ui/common/look.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QFileInfo>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

#include <utility>

namespace omvex::ui {

namespace {

constexpr QSize kInitialSize{1000, 700};
constexpr QSize kMinimumSize{640, 360};

} // namespace

AnalysisWindow::AnalysisWindow(AnalysisProviders providers)
    : QWidget(providers.parent, Qt::Window)
    , m_providers(std::move(providers))
{
    if (!m_providers.settings)
        m_providers.settings = [] { return Settings{}; };
    if (!m_providers.proposals)
        m_providers.proposals = [] { return std::array<Proposal, 2>{}; };
    setObjectName(QStringLiteral("AnalysisWindow"));
    setWindowTitle(QStringLiteral("Omvex予想の分析"));
    setWindowIcon(omvexIcon());
    setFont(designFont(10));
    resize(kInitialSize);
    setMinimumSize(kMinimumSize);

    m_tabWidget = new QTabWidget(this);
    m_historyNote = new QLabel(this);
    m_historyNote->setObjectName(QStringLiteral("historyNote"));
    m_historyNote->setWordWrap(true);
    m_saveNote = new QLabel(this);
    m_saveNote->setObjectName(QStringLiteral("saveNote"));
    m_saveNote->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabWidget, 1);
    layout->addWidget(m_historyNote);
    layout->addWidget(m_saveNote);
    createTabs();
    equipTables();
}

AnalysisWindow::~AnalysisWindow()
{
    shutdown();
}

void AnalysisWindow::createTabs()
{
    addTab(Tab::Frequency, new FrequencyTab(m_providers.chooseSavePath), QStringLiteral("出現回数"));
    addTab(Tab::Backtest, new BacktestTab(m_providers.settings), QStringLiteral("検証"));
    addTab(Tab::Ticket, new TicketTab(m_providers.proposals), QStringLiteral("当せん確認"));
    addTab(Tab::Journal,
           new JournalTab(m_providers.recordFilePath, {m_providers.isRecordEnabled, m_providers.setRecordEnabled}),
           QStringLiteral("予想の記録"));
    addTab(Tab::Patterns, new PatternsTab, QStringLiteral("傾向"));
}

void AnalysisWindow::addTab(Tab tab, AnalysisTab *page, const QString &title)
{
    const auto index = static_cast<std::size_t>(tab);
    if (m_tabs.size() <= index)
        m_tabs.resize(index + 1, nullptr);
    m_tabs[index] = page;
    m_tabWidget->addTab(page, title);
    connect(page, &AnalysisTab::reloadRequested, this, &AnalysisWindow::reloadHistory);
}

// Every table of every tab saves next to "kako.txt" by default and says here where its file went.
void AnalysisWindow::equipTables()
{
    const QString folder = QFileInfo(m_providers.kakoFilePath).absolutePath();
    for (AnalysisTable *table : findChildren<AnalysisTable *>()) {
        table->setSaveTarget(folder, m_providers.chooseSavePath);
        connect(table, &AnalysisTable::saveReported, m_saveNote, &QLabel::setText);
    }
}

AnalysisTab *AnalysisWindow::tab(Tab tab) const
{
    return m_tabs.at(static_cast<std::size_t>(tab));
}

void AnalysisWindow::showTab(Tab tab)
{
    if (isHidden()) {
        reloadHistory();
        for (AnalysisTab *page : m_tabs)
            page->windowOpened();
    }
    m_tabWidget->setCurrentWidget(this->tab(tab));
    if (!m_isPlaced)
        placeOnFirstShow();
    show();
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void AnalysisWindow::shutdown()
{
    if (isVisible())
        keepPlace();
    for (AnalysisTab *page : m_tabs)
        page->stopWork();
}

void AnalysisWindow::reloadHistory()
{
    m_history = readHistorySnapshot(m_providers.kakoFilePath);
    showHistoryNote();
    for (AnalysisTab *page : m_tabs)
        page->showHistory(m_history);
}

void AnalysisWindow::reloadRecord()
{
    // A closed window reads everything again when it opens.
    if (isHidden())
        return;
    static_cast<JournalTab *>(tab(Tab::Journal))->reloadRecord();
}

void AnalysisWindow::showHistoryNote()
{
    const HistoryReadResult &read = m_history.read;
    QString note;
    if (!read.opened) {
        note = QStringLiteral("%1 を開けません。過去データなしで表示しています。").arg(m_history.path);
    } else if (!read.complete) {
        note = QStringLiteral("注意: %1 は %2 行目の %3 番目の項目で読み込みが止まりました（%4）。それまでの %5 件で表示しています。")
                   .arg(m_history.path)
                   .arg(read.stopLine)
                   .arg(read.stopField)
                   .arg(QString::fromStdString(read.reason))
                   .arg(read.storedRows);
    } else {
        note = QStringLiteral("%1 から %2 件を読みました。").arg(m_history.path).arg(read.storedRows);
    }
    m_historyNote->setText(note);
}

void AnalysisWindow::closeEvent(QCloseEvent *event)
{
    // Closing hides the window; a backtest left running would only spend the machine for nothing.
    for (AnalysisTab *page : m_tabs)
        page->cancelWork();
    keepPlace();
    event->accept();
}

// The place it had when last closed, if that is still on a screen; otherwise clear of the main
// window's controls, sized to the screen it is on.
void AnalysisWindow::placeOnFirstShow()
{
    m_isPlaced = true;
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    if (const std::optional<QRect> saved = m_providers.savedPlace ? m_providers.savedPlace() : std::nullopt) {
        if (isOnAScreen(QRect(saved->topLeft(), saved->size().expandedTo(minimumSize())), screens)) {
            resize(saved->size().expandedTo(minimumSize()));
            move(saved->topLeft());
            return;
        }
    }
    const QRect keep = m_providers.keepVisible ? m_providers.keepVisible() : QRect();
    const QScreen *screen = keep.isEmpty() ? nullptr : QGuiApplication::screenAt(keep.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The frame is not known before the window is shown; the parent's is the best guess of it.
    QMargins frame;
    if (const QWidget *owner = parentWidget(); owner && owner->isVisible()) {
        const QRect outer = owner->frameGeometry();
        const QRect inner = owner->geometry();
        frame = {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                 outer.bottom() - inner.bottom()};
    }
    const QSize extra(frame.left() + frame.right(), frame.top() + frame.bottom());
    const QRect outer = placeBeside(keep, screen->availableGeometry(), kInitialSize + extra, minimumSize() + extra);
    resize(outer.size() - extra);
    move(outer.topLeft());
}

void AnalysisWindow::keepPlace()
{
    // A maximised or minimised window's place says nothing of where the user wants it.
    if (!m_isPlaced || !m_providers.keepPlace || isMaximized() || isMinimized() || isFullScreen())
        return;
    m_providers.keepPlace(QRect(pos(), size()));
}

} // namespace omvex::ui
