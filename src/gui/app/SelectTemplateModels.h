#pragma once
// The chooser's two lists as item models: template folders (shown by their
// names, with the path of their icon) and the styles of one template.
#include "IKBTmplStyleItem.h"

#include <QAbstractListModel>
#include <QStringList>
#include <vector>

namespace quire {

enum ChooserRole {
    TmplIconFileRole = Qt::UserRole + 1, // the template's "icon.png"
    StyleImageRole,                      // the style's picture (QImage, null when missing)
    StyleImageIDRole,                    // the path of the style's "shot.jpg"
};

class TmplListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    const QStringList& entries() const { return m_entries; }
    void setEntries(const QStringList& folders);
    int rowOf(const QString& folder) const { return int(m_entries.indexOf(folder)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    QStringList m_entries; // full paths of the template folders
};

class TmplStyleModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    const std::vector<IKBTmplStyleItem>& items() const { return m_items; }
    void setItems(std::vector<IKBTmplStyleItem> items);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::vector<IKBTmplStyleItem> m_items;
};

} // namespace quire
