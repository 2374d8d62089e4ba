// SPDX-License-Identifier: GPL-3.0-or-later
#include "texttable.h"

#include <QTreeView>

TextTable::TextTable(QStringList titles, QObject *parent) : QAbstractTableModel(parent), m_titles(std::move(titles)) { }

void TextTable::setRows(int count, Cell cell)
{
    beginResetModel();
    m_rows = count;
    m_cell = std::move(cell);
    endResetModel();
}

QString TextTable::text(int row, int column) const
{
    if (row < 0 || row >= m_rows || column < 0 || column >= m_titles.size())
        return QString();
    return m_cell(row, column);
}

int TextTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TextTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_titles.size());
}

QVariant TextTable::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return QVariant();
    return text(index.row(), index.column());
}

QVariant TextTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= m_titles.size())
        return QVariant();
    return m_titles.at(section);
}

namespace Controls {

QTreeView *tableView(QWidget *parent, const char *name, TextTable *table, QRect geometry, const QString &accessibleName)
{
    auto *view = new QTreeView(parent);
    view->setObjectName(QLatin1StringView(name));
    view->setAccessibleName(accessibleName);
    view->setGeometry(geometry);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setItemsExpandable(false);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setModel(table);
    return view;
}

} // namespace Controls
