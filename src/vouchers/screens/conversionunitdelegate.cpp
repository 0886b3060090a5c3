#include "vouchers/screens/conversionunitdelegate.h"

#include <QComboBox>

namespace varnock {

ConversionUnitDelegate::ConversionUnitDelegate(int role, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_role(role)
{}

QWidget *ConversionUnitDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                              const QModelIndex &index) const
{
    auto *combo = new QComboBox(parent);
    combo->addItems(index.data(m_role).toStringList());
    return combo;
}

void ConversionUnitDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *combo = static_cast<QComboBox *>(editor);
    const int found = combo->findText(index.data(Qt::EditRole).toString());
    combo->setCurrentIndex(found < 0 ? 0 : found);
}

void ConversionUnitDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                          const QModelIndex &index) const
{
    model->setData(index, static_cast<QComboBox *>(editor)->currentText(), Qt::EditRole);
}

} // namespace varnock
