#include "SelectTemplateModels.h"

#include "util/FileUtil.h"

namespace quire {

IKBTmplStyleItem IKBTmplStyleItem::forStyleFolder(const QString& folder)
{
    IKBTmplStyleItem item;
    item.imageID = fs::join(folder, QStringLiteral("shot.jpg"));
    item.image = QImage(item.imageID);
    item.styleName = fs::lastPathComponent(folder);
    return item;
}

void TmplListModel::setEntries(const QStringList& folders)
{
    beginResetModel();
    m_entries = folders;
    endResetModel();
}

int TmplListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant TmplListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    const QString& folder = m_entries.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return fs::lastPathComponent(folder);
    case Qt::ToolTipRole:
        return folder;
    case TmplIconFileRole:
        return fs::join(folder, QStringLiteral("icon.png"));
    default:
        return {};
    }
}

void TmplStyleModel::setItems(std::vector<IKBTmplStyleItem> items)
{
    beginResetModel();
    m_items = std::move(items);
    endResetModel();
}

int TmplStyleModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant TmplStyleModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || size_t(index.row()) >= m_items.size())
        return {};
    const IKBTmplStyleItem& item = m_items[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return item.styleName;
    case StyleImageRole:
        return item.image;
    case StyleImageIDRole:
        return item.imageID;
    default:
        return {};
    }
}

} // namespace quire
