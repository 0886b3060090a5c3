#include "widgets/codelist.h"

#include <QSignalBlocker>

namespace varnock {

CodeList::CodeList(QWidget *parent)
    : QListWidget(parent)
{}

void CodeList::setEntries(const QList<Entry> &entries, const QString &select)
{
    {
        const QSignalBlocker block(this);
        clear();
        for (const auto &[code, name] : entries) {
            auto *item = new QListWidgetItem(code + QStringLiteral("  ") + name, this);
            item->setData(Qt::UserRole, code);
        }
        if (select.isEmpty() || !selectCode(select))
            setCurrentRow(-1);
    }
}

bool CodeList::selectCode(const QString &code)
{
    for (int row = 0; row < count(); ++row) {
        if (item(row)->data(Qt::UserRole).toString() == code) {
            setCurrentRow(row);
            return true;
        }
    }
    return false;
}

QString CodeList::selectedCode() const
{
    const QListWidgetItem *current = currentItem();
    return current && current->isSelected() ? current->data(Qt::UserRole).toString() : QString();
}

} // namespace varnock
