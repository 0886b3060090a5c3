#pragma once

#include <QStringList>
#include <QStyledItemDelegate>

namespace varnock {

// Cells that take one of a fixed list of texts.
class ComboDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit ComboDelegate(const QStringList &items, QObject *parent = nullptr);

    QStringList items() const { return m_items; }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;

private:
    QStringList m_items;
};

} // namespace varnock
