// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <functional>

class QTreeView;
class QWidget;

// A read-only table of texts made only when shown, so that a table of tens
// of thousands of rows fills at once: the rows are counted, and each cell's
// text is asked of a function when a view or a screen reader reads it.
class TextTable : public QAbstractTableModel
{
    Q_OBJECT

public:
    using Cell = std::function<QString(int row, int column)>;

    TextTable(QStringList titles, QObject *parent);

    // Replaces every row.
    void setRows(int count, Cell cell);
    // The text of a cell, as shown.
    QString text(int row, int column) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList m_titles;
    int m_rows = 0;
    Cell m_cell;
};

namespace Controls {

// A list view of the table's rows with its titles above, as the results
// window shows its answers; rows are chosen whole.
QTreeView *tableView(QWidget *parent, const char *name, TextTable *table, QRect geometry,
                     const QString &accessibleName);

} // namespace Controls
