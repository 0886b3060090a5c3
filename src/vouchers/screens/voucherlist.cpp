#include "vouchers/screens/voucherlist.h"

#include "vouchers/voucherbook.h"
#include "widgets/indexedbuttongroup.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace varnock {

VoucherList::VoucherList(const QString &objectName, const QString &title,
                         const QStringList &headers, QWidget *parent)
    : Picker<qint64>(parent, title)
    , m_search(new QPushButton(QStringLiteral("查 询(&F)"), this))
    , m_model(new QStandardItemModel(0, int(headers.size()), this))
{
    setObjectName(objectName);
    setButtonCaptions(QStringLiteral("确 定(&Q)"), QStringLiteral("退 出(&X)"));
    m_search->setAutoDefault(false);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(m_search);
    contentLayout()->addLayout(row);
    m_model->setHorizontalHeaderLabels(headers);
    view()->setObjectName(QStringLiteral("MFG"));
    setModel(m_model);
    connect(m_search, &QPushButton::clicked, this, [this] { search(); });
}

int VoucherList::rowCount() const
{
    return m_model->rowCount();
}

void VoucherList::setLines(const QList<QStringList> &lines, const QList<qint64> &numbers)
{
    m_numbers = numbers;
    m_model->setRowCount(0);
    for (const QStringList &line : lines) {
        QList<QStandardItem *> items;
        for (const QString &text : line)
            items.append(new QStandardItem(text));
        m_model->appendRow(items);
    }
    if (!lines.isEmpty())
        view()->selectRow(0);
}

void VoucherList::setButtonCaptions(const QString &ok, const QString &exit)
{
    buttons()->button(0)->setText(ok);
    buttons()->button(1)->setText(exit);
}

void VoucherList::fitColumns(const QList<std::pair<int, int>> &widths)
{
    view()->resizeColumnsToContents();
    for (int column = 0; column < m_model->columnCount(); ++column)
        view()->setColumnWidth(column, view()->columnWidth(column) + 12);
    for (const auto &[column, width] : widths)
        view()->setColumnWidth(column, width);
}

QString VoucherList::postedText(bool posted)
{
    return posted ? QStringLiteral("已记账") : QStringLiteral("未记账");
}

QString VoucherList::dateText(const QDate &date)
{
    return VoucherBook::dateText(date);
}

qint64 VoucherList::valueAt(int row) const
{
    return m_numbers.value(row);
}

} // namespace varnock
