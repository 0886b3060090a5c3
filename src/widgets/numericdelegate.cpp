#include "widgets/numericdelegate.h"

#include "store/decimal.h"
#include "widgets/numericedit.h"

namespace varnock {

NumericDelegate::NumericDelegate(int decimals, bool allowNegative, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_decimals(decimals)
    , m_allowNegative(allowNegative)
{}

QWidget *NumericDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                       const QModelIndex &) const
{
    auto *editor = new NumericEdit(m_decimals, m_allowNegative, parent);
    editor->setFigure(m_figure);
    editor->setFrame(false);
    return editor;
}

void NumericDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *edit = static_cast<NumericEdit *>(editor);
    edit->setText(index.data(Qt::EditRole).toString());
}

void NumericDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                   const QModelIndex &index) const
{
    const auto *edit = static_cast<NumericEdit *>(editor);
    // An unfinished entry ("-", ".") left by a focus change counts as cleared.
    const std::optional<Decimal> value = edit->value();
    model->setData(index, value ? value->toString() : QString(), Qt::EditRole);
}

void NumericDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
}

} // namespace varnock
