#pragma once

#include <QAbstractTableModel>
#include <QBrush>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace omvex::ui {

// What a table sorts by when a header is clicked: a number where the cell shows one ("第3回",
// "12.5〜20.1", "2等"), so that 10 comes after 9; without it, the text shown.
inline constexpr int kSortRole = Qt::UserRole + 1;

// One cell of a result table: the text shown, what it sorts by, and how it looks.
struct TableCell {
    QString text;
    QVariant sortKey; // a number, or text; invalid: the text shown
    Qt::Alignment alignment = Qt::AlignRight | Qt::AlignVCenter;
    QBrush foreground;
    QBrush background;
    QString toolTip;
};

// A number shown right-aligned and sorted as the number.
TableCell numberCell(double value, const QString &text);
TableCell numberCell(long long value);
// Text shown left-aligned; sortKey when it sorts otherwise than by its letters.
TableCell textCell(const QString &text, const QVariant &sortKey = {});

using TableRow = std::vector<TableCell>;

// Read-only rows of cells under fixed column headers, replaced in one reset.
class CellTableModel final : public QAbstractTableModel {
public:
    explicit CellTableModel(QStringList headers, QObject *parent = nullptr);

    // Each row is cut or padded to the columns; rowNames, when given, head the rows.
    void setRows(std::vector<TableRow> rows, QStringList rowNames = {});
    void clear() { setRows({}); }
    const TableCell &cell(int row, int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QStringList m_headers;
    QStringList m_rowNames;
    std::vector<TableRow> m_rows;
};

} // namespace omvex::ui
