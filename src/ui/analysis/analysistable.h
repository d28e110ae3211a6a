#pragma once

#include "platform/safewrite.h"

#include <QByteArray>
#include <QString>
#include <QTableView>

#include <functional>
#include <optional>

class QAbstractItemModel;
class QSortFilterProxyModel;

namespace omvex::ui {

class CellTableModel;

// A read-only result table of the analysis window, made for working with:
// - a header click sorts by that column (again: the other way, a third time: as it came), numbers
//   as numbers (the source's kSortRole where it gives one, else the text, read as a number when it
//   is one);
// - Ctrl+C and the context menu's "コピー" put the selected cells on the clipboard as tab-separated
//   text under their headers, ready to paste into a spreadsheet;
// - the context menu's "CSVで保存..." writes the whole table, as sorted, as UTF-8 CSV with a
//   byte-order mark, through the checked atomic write;
// - Tab leaves the table in one press; the arrows move inside it.
//
// A tab adopts it with one line: `auto *table = new AnalysisTable("name", "題名", model, this);`
// with any table model, or with headers for a CellTableModel of its own (cells()).
class AnalysisTable final : public QTableView {
    Q_OBJECT

public:
    // Asked where a file goes: the suggested path in, the chosen one out (empty: cancelled).
    using PathChooser = std::function<QString(QWidget *parent, const QString &suggestedPath)>;

    // title names the table in the suggested file name ("<title>.csv").
    AnalysisTable(const QString &name, const QString &title, QAbstractItemModel *source, QWidget *parent);
    AnalysisTable(const QString &name, const QString &title, const QStringList &headers, QWidget *parent);

    // The model made from headers; null when the table shows a model of its own.
    CellTableModel *cells() const { return m_cells; }
    QAbstractItemModel *sourceModel() const;

    // The selection, or the whole table, as a spreadsheet takes it.
    QString selectionText() const;
    QByteArray csvBytes() const;
    Status saveCsv(const QString &path) const;

    // Where "CSVで保存..." suggests the file and who asks for the path (empty: a file dialog).
    void setSaveTarget(const QString &folder, PathChooser chooser);

    // The source row of the first selected row; nothing when none is selected.
    std::optional<int> selectedSourceRow() const;
    void selectSourceRow(int row);

public slots:
    void copySelection() const;
    void chooseAndSaveCsv();

signals:
    // After "CSVで保存...": one line saying where the file went or why it did not.
    void saveReported(const QString &note);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void setUp(const QString &name);

    QString m_title;
    QString m_folder;
    PathChooser m_chooser;
    CellTableModel *m_cells = nullptr;
    QSortFilterProxyModel *m_sorted = nullptr;
};

} // namespace omvex::ui
