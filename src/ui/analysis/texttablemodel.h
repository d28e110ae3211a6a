#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>
#include <QVariant>

namespace omvex::ui {

// One cell of a result table: the text shown, and the value it stands for, by which a view sorts
// (a count as a number, so that 10 comes after 9).
struct TextCell {
    QString text;
    QVariant value;
};

// A read-only table of results, filled as a whole: one reset per filling.
class TextTableModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    // The role under which data() gives a cell's value.
    static constexpr int SortRole = Qt::UserRole;

    explicit TextTableModel(QStringList headers, QObject *parent = nullptr);

    void setRows(QList<QList<TextCell>> rows);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QStringList m_headers;
    QList<QList<TextCell>> m_rows;
};

} // namespace omvex::ui
