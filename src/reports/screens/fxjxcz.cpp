#include "reports/screens/fxjxcz.h"

#include "print/voucherslip.h"
#include "reports/multisetreport.h"
#include "reports/screens/stockreportparts.h"
#include "shell/accountsets.h"
#include "store/database.h"
#include "widgets/datepicker.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/operation.h"

#include <QComboBox>
#include <QListWidget>

namespace varnock {

const QString FXJXCZ::NoSetText = QStringLiteral("请选择账套！");

FXJXCZ::FXJXCZ(Database &db, const DataFolder &folder, const Formats &formats, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_folder(folder)
    , m_formats(formats)
    , m_from(new DatePicker(this))
    , m_to(new DatePicker(this))
    , m_level1(new QComboBox(this))
    , m_level2(new QComboBox(this))
    , m_sets(new QListWidget(this))
    , m_buttons(new IndexedButtonGroup({QStringLiteral("确 定(&Q)"), QStringLiteral("退 出(&E)")},
                                       Qt::Horizontal, this))
{
    setObjectName(QStringLiteral("FXJXCZ"));
    setWindowTitle(MultiSetReport::Title);

    m_from->setObjectName(QStringLiteral("DTP1"));
    m_from->setDate(StockReportParts::monthStart());
    m_to->setObjectName(QStringLiteral("DTP2"));
    m_level1->setObjectName(QStringLiteral("Combo1"));
    m_level2->setObjectName(QStringLiteral("Combo2"));
    StockReportParts::fillCategories(db, m_level1, m_level2);
    // The sets are listed by the master database, read on a connection of its own.
    m_sets->setObjectName(QStringLiteral("List1"));
    m_sets->setSelectionMode(QAbstractItemView::MultiSelection);
    runOperation(this, [this] {
        Database master(m_folder.masterDatabasePath(), Database::Access::ReadOnly);
        for (const AccountSetInfo &i : AccountSets(master, m_folder).list()) {
            auto *item =
                new QListWidgetItem(QStringLiteral("%1  %2").arg(i.number).arg(i.name), m_sets);
            item->setData(Qt::UserRole, i.number);
            item->setData(Qt::UserRole + 1, i.name);
        }
    });
    StockReportParts::layOut(this, MultiSetReport::Title,
                             {StockReportParts::form(QString(),
                                                     {{QStringLiteral("起始日期："), m_from},
                                                      {QStringLiteral("终止日期："), m_to},
                                                      {QStringLiteral("一级材料："), m_level1},
                                                      {QStringLiteral("二级材料："), m_level2}},
                                                     this)},
                             StockReportParts::frame(QStringLiteral("选择账套"), m_sets, this),
                             m_buttons, [this] { confirm(); });
    resize(620, 400);
}

ReportWindow *FXJXCZ::confirm()
{
    QList<MultiSetReport::Set> chosen;
    for (int i = 0; i < m_sets->count(); ++i) {
        const QListWidgetItem *item = m_sets->item(i);
        if (item->isSelected())
            chosen.append(
                {item->data(Qt::UserRole).toLongLong(), item->data(Qt::UserRole + 1).toString()});
    }
    if (m_from->date() <= m_to->date() && chosen.isEmpty()) {
        Messages::warn(this, NoSetText);
        return nullptr;
    }
    MultiSetReport::Result result;
    QString firm;
    if (!runOperation(this, [&] {
            result = MultiSetReport(m_db, m_folder)
                         .build(chosen, m_from->date(), m_to->date(),
                                StockReportParts::chosenCode(m_level1),
                                StockReportParts::chosenCode(m_level2));
            firm = VoucherSlips::firmName(m_db);
        }))
        return nullptr;
    return StockReportParts::show(this, result, firm, m_formats);
}

} // namespace varnock
