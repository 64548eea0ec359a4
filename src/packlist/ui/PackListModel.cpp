#include "PackListModel.h"

namespace kt {

PackListModel::PackListModel(PackList& list, QObject* parent)
    : QAbstractTableModel(parent), m_list(list), m_shownRows(list.count())
{
}

QStringList PackListModel::headers()
{
    return {QStringLiteral("Filename"), QStringLiteral("Video Size"), QStringLiteral("Frame Rate")};
}

int PackListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_shownRows;
}
int PackListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant PackListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_list.count())
        return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const PackListRow& r = m_list.row(index.row() + 1);
    if (role == Qt::ToolTipRole)
        return fileDetailsText(m_details.details(r.path));
    switch (index.column()) {
    case 0:
        return r.path;
    case 1:
        return r.videoSize;
    case 2:
        return r.frameRate;
    }
    return {};
}

QVariant PackListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 3)
        return headers().at(section);
    return {};
}

Qt::ItemFlags PackListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

QString PackListModel::totalsToolTip() const
{
    if (m_list.isEmpty())
        return {};
    QVector<StreamDetails> files;
    files.reserve(m_list.count());
    for (const PackListRow& r : m_list.rows())
        files.push_back(m_details.details(r.path));
    return listTotalsText(files);
}

void PackListModel::rowsAppended(int firstNew)
{
    const int count = m_list.count();
    if (firstNew - 1 != m_shownRows || count < m_shownRows) {
        reload();
        return;
    }
    if (count == m_shownRows)
        return;
    beginInsertRows(QModelIndex(), m_shownRows, count - 1);
    m_shownRows = count;
    endInsertRows();
}

void PackListModel::reload()
{
    beginResetModel();
    m_shownRows = m_list.count();
    endResetModel();
}

} // namespace kt
