#include "widgets/lookupdelegate.h"

#include "widgets/lookupedit.h"

#include <QPersistentModelIndex>

namespace varnock {

LookupDelegate::LookupDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{}

QWidget *LookupDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                      const QModelIndex &index) const
{
    auto *editor = new LookupEdit(parent);
    const QPersistentModelIndex cell(index);
    auto *self = const_cast<LookupDelegate *>(this);
    connect(editor, &LookupEdit::lookupRequested, self, [self, editor, cell] {
        if (!cell.isValid())
            return;
        const int row = cell.row();
        const int column = cell.column();
        // Close first: otherwise the editor's stale text would overwrite the picked value
        // when it closes later.
        emit self->closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
        emit self->lookupRequested(row, column);
    });
    return editor;
}

void LookupDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    static_cast<LookupEdit *>(editor)->setText(index.data(Qt::EditRole).toString());
}

void LookupDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                  const QModelIndex &index) const
{
    model->setData(index, static_cast<LookupEdit *>(editor)->text(), Qt::EditRole);
}

} // namespace varnock
