#include "ui/analysis/analysiswindow.h"

#include "ui/analysis/backtesttab.h"
#include "ui/analysis/frequencytab.h"
#include "ui/analysis/journaltab.h"
#include "ui/analysis/patternstab.h"
#include "ui/analysis/tickettab.h"
#include "ui/common/look.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

#include <utility>

namespace omvex::ui {

namespace {

constexpr QSize kInitialSize{1000, 700};

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

    m_tabWidget = new QTabWidget(this);
    m_historyNote = new QLabel(this);
    m_historyNote->setObjectName(QStringLiteral("historyNote"));
    m_historyNote->setWordWrap(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabWidget, 1);
    layout->addWidget(m_historyNote);
    createTabs();
}

AnalysisWindow::~AnalysisWindow()
{
    shutdown();
}

void AnalysisWindow::createTabs()
{
    addTab(Tab::Frequency, new FrequencyTab(m_providers.chooseChartPath), QStringLiteral("出現回数"));
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
    show();
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void AnalysisWindow::shutdown()
{
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
                   .arg(read.records);
    } else {
        note = QStringLiteral("%1 から %2 件を読みました。").arg(m_history.path).arg(read.records);
    }
    m_historyNote->setText(note);
}

void AnalysisWindow::closeEvent(QCloseEvent *event)
{
    // Closing hides the window; a backtest left running would only spend the machine for nothing.
    for (AnalysisTab *page : m_tabs)
        page->cancelWork();
    event->accept();
}

} // namespace omvex::ui
