#include "widgets/combodelegate.h"

#include <QComboBox>

namespace varnock {

ComboDelegate::ComboDelegate(const QStringList &items, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_items(items)
{}

QWidget *ComboDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                     const QModelIndex &) const
{
    auto *combo = new QComboBox(parent);
    combo->addItems(m_items);
    return combo;
}

void ComboDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *combo = static_cast<QComboBox *>(editor);
    const int found = combo->findText(index.data(Qt::EditRole).toString());
    combo->setCurrentIndex(found >= 0 ? found : 0);
}

void ComboDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                 const QModelIndex &index) const
{
    model->setData(index, static_cast<QComboBox *>(editor)->currentText(), Qt::EditRole);
}

} // namespace varnock
