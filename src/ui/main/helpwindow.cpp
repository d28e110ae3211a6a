#include "ui/main/helpwindow.h"
#include "omvex/appinfo.h"

#include "ui/common/look.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QScrollBar>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace omvex::ui {

namespace {

const QString kHelpCaption = kAppTitle + QStringLiteral(" - 説明");
constexpr double kHelpPointSize = 10.5;
constexpr QSize kWindowSize{900, 600};
constexpr int kNarrowestContents = 160;
// The text never gets less than this share of the window for a long heading's sake.
constexpr double kWidestContentsShare = 0.45;

} // namespace

HelpWindow::HelpWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_splitter(new QSplitter(Qt::Horizontal))
    , m_contents(new QListWidget)
    , m_text(new QTextBrowser)
{
    setWindowTitle(kHelpCaption);
    setWindowIcon(omvexIcon());
    setFont(designFont(kHelpPointSize));
    m_text->setOpenExternalLinks(true);
    m_contents->setAccessibleName(QStringLiteral("目次"));

    // A heading too long even for the widest list wraps rather than being cut.
    m_contents->setWordWrap(true);
    m_contents->setTextElideMode(Qt::ElideNone);
    m_splitter->addWidget(m_contents);
    m_splitter->addWidget(m_text);
    m_splitter->setStretchFactor(1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_splitter);
    resize(kWindowSize);
    fitContentsToHeadings();

    connect(m_contents, &QListWidget::currentRowChanged, this, &HelpWindow::showHeading);
}

bool HelpWindow::load(const QString &path)
{
    m_path = path;
    m_contents->clear();
    m_headingPositions.clear();

    QFile file(path);
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        showProblem(QStringLiteral("ヘルプファイルが見つかりません。"));
        return false;
    }
    if (file.size() > kMaxFileSize) {
        showProblem(QStringLiteral("ヘルプファイルが大きすぎます（%1 バイト）。").arg(file.size()));
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        showProblem(QStringLiteral("ヘルプファイルを読めません（%1）。").arg(file.errorString()));
        return false;
    }
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    // A help file of the old binary kind (or any binary file) would render as garbage.
    if (bytes.contains('\0')) {
        showProblem(QStringLiteral("ヘルプファイルの形式が正しくありません（テキストではありません）。"));
        return false;
    }

    m_text->setSearchPaths({QFileInfo(path).absolutePath()});
    m_text->document()->setMarkdown(QString::fromUtf8(bytes), QTextDocument::MarkdownDialectGitHub);
    for (QTextBlock block = m_text->document()->begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level <= 0)
            continue;
        m_headingPositions.push_back(block.position());
        m_contents->addItem(QString(2 * (level - 1), QLatin1Char(' ')) + block.text());
    }
    m_text->verticalScrollBar()->setValue(0);
    fitContentsToHeadings();
    return true;
}

void HelpWindow::fitContentsToHeadings()
{
    // The list starts as wide as its widest heading, scroll bar included; the user may still move
    // the splitter.
    const int wanted = m_contents->sizeHintForColumn(0) + 2 * m_contents->frameWidth()
                       + m_contents->verticalScrollBar()->sizeHint().width();
    const int splitterWidth = m_splitter->isVisible() ? m_splitter->width() : kWindowSize.width() - 8;
    const int available = splitterWidth - m_splitter->handleWidth();
    const int contents =
        std::clamp(wanted, kNarrowestContents, static_cast<int>(available * kWidestContentsShare));
    m_splitter->setSizes({contents, available - contents});
}

void HelpWindow::showProblem(const QString &reason)
{
    // As HTML rather than plain text: plain text would inherit the formatting of whatever the
    // document showed last, a heading for instance.
    const QStringList paragraphs{reason, QStringLiteral("ファイル: ") + QDir::toNativeSeparators(m_path),
                                 QStringLiteral("プログラムと同じフォルダに omvex.hlp を置いてください。")};
    QString html;
    for (const QString &paragraph : paragraphs)
        html += QStringLiteral("<p>") + paragraph.toHtmlEscaped() + QStringLiteral("</p>");
    m_text->setHtml(html);
}

QStringList HelpWindow::headings() const
{
    QStringList list;
    for (int row = 0; row < m_contents->count(); ++row)
        list.append(m_contents->item(row)->text().trimmed());
    return list;
}

void HelpWindow::showHeading(int index)
{
    if (index < 0 || index >= static_cast<int>(m_headingPositions.size()))
        return;
    QTextDocument *document = m_text->document();
    const QTextBlock block = document->findBlock(m_headingPositions[static_cast<std::size_t>(index)]);
    QTextCursor cursor(block);
    m_text->setTextCursor(cursor);
    const QRectF area = document->documentLayout()->blockBoundingRect(block);
    m_text->verticalScrollBar()->setValue(static_cast<int>(area.top()));
}

WindowHelpViewer::~WindowHelpViewer()
{
    // Without an owner the window would outlive the viewer and nothing would delete it.
    if (m_window && !m_window->parent())
        delete m_window;
}

void WindowHelpViewer::open(const QString &helpFilePath)
{
    if (!m_window)
        m_window = new HelpWindow(m_owner);
    m_window->load(helpFilePath);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

} // namespace omvex::ui
