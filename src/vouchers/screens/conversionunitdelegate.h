#pragma once

#include <QStyledItemDelegate>

namespace varnock {

// A combo cell whose choices come from the row itself (the model's list under `role`): the
// conversion-unit cell offers only its own material's unit.
class ConversionUnitDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit ConversionUnitDelegate(int role, QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;

private:
    int m_role;
};

} // namespace varnock
