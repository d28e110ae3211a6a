#include "ui/analysis/analysistable.h"

#include "ui/analysis/celltablemodel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSortFilterProxyModel>

#include <map>
#include <set>

namespace omvex::ui {

namespace {

// Numbers first, in their order, then texts, then empty cells: a column that mixes "未抽選" with
// match counts keeps the counts together.
struct SortKey {
    int kind = 2; // 0 number, 1 text, 2 empty
    double number = 0;
    QString text;
};

SortKey sortKeyOf(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return {0, value.toDouble(), {}};
    default:
        break;
    }
    const QString text = value.toString().trimmed();
    if (text.isEmpty())
        return {};
    bool isNumber = false;
    const double number = text.toDouble(&isNumber);
    if (isNumber)
        return {0, number, {}};
    return {1, 0, text};
}

class SortProxy final : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override
    {
        const SortKey a = sortKeyOf(left.data(kSortRole).isValid() ? left.data(kSortRole) : left.data());
        const SortKey b = sortKeyOf(right.data(kSortRole).isValid() ? right.data(kSortRole) : right.data());
        if (a.kind != b.kind)
            return a.kind < b.kind;
        if (a.kind == 0)
            return a.number < b.number;
        return a.text.compare(b.text) < 0;
    }
};

// One spreadsheet cell's text: tab-separated text has no quoting, so a tab or line end inside a
// cell would split it.
QString plainCell(QString text)
{
    for (QChar &ch : text) {
        if (ch == u'\t' || ch == u'\n' || ch == u'\r')
            ch = u' ';
    }
    return text;
}

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

AnalysisTable::AnalysisTable(const QString &name, const QString &title, QAbstractItemModel *source,
                             QWidget *parent)
    : QTableView(parent)
    , m_title(title)
    , m_sorted(new SortProxy(this))
{
    m_sorted->setSourceModel(source);
    setUp(name);
}

AnalysisTable::AnalysisTable(const QString &name, const QString &title, const QStringList &headers,
                             QWidget *parent)
    : QTableView(parent)
    , m_title(title)
    , m_cells(new CellTableModel(headers, this))
    , m_sorted(new SortProxy(this))
{
    m_sorted->setSourceModel(m_cells);
    setUp(name);
}

void AnalysisTable::setUp(const QString &name)
{
    setObjectName(name);
    m_sorted->setSortRole(kSortRole);
    setModel(m_sorted);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setWordWrap(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 6);
    // No column is sorted until the user asks, and a third click gives the order back.
    horizontalHeader()->setSortIndicatorClearable(true);
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    setSortingEnabled(true);

    auto *copy = new QAction(QStringLiteral("コピー"), this);
    copy->setObjectName(QStringLiteral("copy"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, &AnalysisTable::copySelection);
    auto *save = new QAction(QStringLiteral("CSVで保存..."), this);
    save->setObjectName(QStringLiteral("saveCsv"));
    connect(save, &QAction::triggered, this, &AnalysisTable::chooseAndSaveCsv);
    addActions({copy, save});
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

QAbstractItemModel *AnalysisTable::sourceModel() const
{
    return m_sorted->sourceModel();
}

void AnalysisTable::keyPressEvent(QKeyEvent *event)
{
    // The view's own Ctrl+C copies the current cell alone.
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

QString AnalysisTable::selectionText() const
{
    std::set<int> rows;
    std::map<int, int> columnsByPlace; // visual place -> column, so the text reads as the screen does
    for (const QModelIndex &index : selectionModel()->selectedIndexes()) {
        if (isColumnHidden(index.column()))
            continue;
        rows.insert(index.row());
        columnsByPlace.emplace(horizontalHeader()->visualIndex(index.column()), index.column());
    }
    if (rows.empty())
        return {};
    const bool withRowNames = verticalHeader()->isVisible();
    QStringList lines;
    QStringList header;
    if (withRowNames)
        header.append(QString());
    for (const auto &[place, column] : columnsByPlace)
        header.append(plainCell(m_sorted->headerData(column, Qt::Horizontal).toString()));
    lines.append(header.join(u'\t'));
    for (const int row : rows) {
        QStringList cells;
        if (withRowNames)
            cells.append(plainCell(m_sorted->headerData(row, Qt::Vertical).toString()));
        for (const auto &[place, column] : columnsByPlace) {
            const QModelIndex index = m_sorted->index(row, column);
            cells.append(selectionModel()->isSelected(index) ? plainCell(index.data().toString()) : QString());
        }
        lines.append(cells.join(u'\t'));
    }
    return lines.join(u'\n') + u'\n';
}

void AnalysisTable::copySelection() const
{
    const QString text = selectionText();
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

QByteArray AnalysisTable::csvBytes() const
{
    const bool withRowNames = verticalHeader()->isVisible();
    std::vector<int> columns;
    for (int place = 0; place < horizontalHeader()->count(); ++place) {
        const int column = horizontalHeader()->logicalIndex(place);
        if (!isColumnHidden(column))
            columns.push_back(column);
    }
    // The byte-order mark is what makes a spreadsheet set to Japanese read the file as UTF-8.
    QByteArray bytes("\xEF\xBB\xBF");
    const auto addLine = [&bytes](const QStringList &fields) { bytes += fields.join(u',').toUtf8() + "\r\n"; };
    QStringList header;
    if (withRowNames)
        header.append(QString());
    for (const int column : columns)
        header.append(csvField(m_sorted->headerData(column, Qt::Horizontal).toString()));
    addLine(header);
    for (int row = 0; row < m_sorted->rowCount(); ++row) {
        QStringList fields;
        if (withRowNames)
            fields.append(csvField(m_sorted->headerData(row, Qt::Vertical).toString()));
        for (const int column : columns)
            fields.append(csvField(m_sorted->index(row, column).data().toString()));
        addLine(fields);
    }
    return bytes;
}

Status AnalysisTable::saveCsv(const QString &path) const
{
    return platform::replaceFile(path, csvBytes());
}

void AnalysisTable::setSaveTarget(const QString &folder, PathChooser chooser)
{
    m_folder = folder;
    m_chooser = std::move(chooser);
}

void AnalysisTable::chooseAndSaveCsv()
{
    const QString suggested = QDir(m_folder).filePath(m_title + QStringLiteral(".csv"));
    const QString path = m_chooser ? m_chooser(this, suggested)
                                   : QFileDialog::getSaveFileName(this, QStringLiteral("CSVで保存"), suggested,
                                                                  QStringLiteral("CSV ファイル (*.csv)"));
    if (path.isEmpty())
        return;
    const Status written = saveCsv(path);
    emit saveReported(written.ok ? QStringLiteral("保存しました: %1").arg(QDir::toNativeSeparators(path))
                                 : written.message);
}

std::optional<int> AnalysisTable::selectedSourceRow() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    return m_sorted->mapToSource(rows.front()).row();
}

void AnalysisTable::selectSourceRow(int row)
{
    const QModelIndex index = m_sorted->mapFromSource(sourceModel()->index(row, 0));
    if (index.isValid())
        selectRow(index.row());
}

} // namespace omvex::ui
