#pragma once

#include <QStyledItemDelegate>

namespace varnock {

// Lookup cells: a text editor with a "…" button. The button closes the editor without
// writing what was typed and emits lookupRequested; the caller opens its picker and writes
// the choice into the model itself.
class LookupDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit LookupDelegate(QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;

signals:
    void lookupRequested(int row, int column);
};

} // namespace varnock
