#include "shell/screens/frmczy.h"

#include "widgets/messages.h"
#include "widgets/operation.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>

namespace varnock {

FrmCZY::FrmCZY(Database &db, QWidget *parent)
    : Picker<Operators::Entry>(parent, QStringLiteral("选择操作员"))
{
    setObjectName(QStringLiteral("FrmCZY"));
    runOperation(this, [&] { m_entries = Operators(db).list(); });

    auto *model = new QStandardItemModel(int(m_entries.size()), 2, this);
    model->setHorizontalHeaderLabels(
        {QStringLiteral("  操作员编号"), QStringLiteral("  操 作 员 姓 名")});
    for (int row = 0; row < m_entries.size(); ++row) {
        model->setItem(row, 0, new QStandardItem(QString::number(m_entries[row].number)));
        model->setItem(row, 1, new QStandardItem(m_entries[row].name));
    }
    setModel(model);
    view()->setObjectName(QStringLiteral("MFG"));
    view()->verticalHeader()->hide();
    view()->setColumnWidth(0, 110);
    resize(360, 300);
}

bool FrmCZY::acceptRow(int row)
{
    if (row < 0 || row >= m_entries.size()) {
        Messages::warn(this, QStringLiteral("请选择正确的操作员"), QStringLiteral("提示"));
        return false;
    }
    return true;
}

Operators::Entry FrmCZY::valueAt(int row) const
{
    return m_entries.value(row);
}

} // namespace varnock
