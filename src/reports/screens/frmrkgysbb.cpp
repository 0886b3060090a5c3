#include "reports/screens/frmrkgysbb.h"

#include "master/consumingunits.h"
#include "master/suppliers.h"
#include "reports/screens/statisticparts.h"
#include "reports/screens/stockreportparts.h"
#include "widgets/datepicker.h"
#include "widgets/operation.h"

#include <QGroupBox>
#include <QListWidget>

namespace varnock {

namespace {

QListWidget *entryList(Database &db, StatisticParty party, QWidget *parent)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(QStringLiteral("List1"));
    list->setSelectionMode(QAbstractItemView::MultiSelection);
    auto *all = new QListWidgetItem(Statistics::AllEntries, list);
    all->setData(Qt::UserRole, Statistics::AllEntries);
    const auto add = [list](const QString &bh, const QString &mc) {
        auto *item = new QListWidgetItem(QStringLiteral("%1  %2").arg(bh, mc), list);
        item->setData(Qt::UserRole, bh);
    };
    runOperation(parent, [&] {
        if (party == StatisticParty::Units) {
            for (const ConsumingUnits::Unit &u : ConsumingUnits(db).list())
                add(u.bh, u.mc);
        } else {
            for (const Suppliers::Entry &s : Suppliers(db).list())
                add(s.bh, s.mc);
        }
    });
    return list;
}

} // namespace

FrmRkgysbb::FrmRkgysbb(Database &db, int mode, const Formats &formats, StatisticParty party,
                       QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_mode(mode)
    , m_formats(formats)
    , m_party(party)
    , m_from(new DatePicker(this))
    , m_to(new DatePicker(this))
    , m_levels(StatisticParts::options(
          QStringLiteral("统计级别"),
          {QStringLiteral("全部材料"), QStringLiteral("二级材料"), QStringLiteral("一级材料")},
          this))
    , m_entries(entryList(db, party, this))
    , m_buttons(StatisticParts::buttons(this))
{
    const bool units = party == StatisticParty::Units;
    setObjectName(QStringLiteral("FrmRkgysbb"));
    setWindowTitle(QStringLiteral("报表日期"));
    StockReportParts::layOut(this, units ? Statistics::ByUnitTitle : Statistics::BySupplierTitle,
                             {StatisticParts::dates(m_from, m_to, this), m_levels},
                             StockReportParts::frame(units ? QStringLiteral("领料单位（至多选5个）")
                                                           : QStringLiteral("供应商（至多选5个）"),
                                                     m_entries, this),
                             m_buttons, [this] { confirm(); });
    resize(600, 400);
}

ReportWindow *FrmRkgysbb::confirm()
{
    const StatisticRequest request{m_from->date(), m_to->date(),
                                   StatisticParts::levelAt(StatisticParts::chosen(m_levels))};
    return StatisticParts::open(
        this, m_db, m_formats,
        [&] {
            return Statistics(m_db, m_mode)
                .byParty(m_party, request, StockReportParts::chosenUnits(m_entries));
        },
        StatisticParts::ledgerOf(m_mode, request));
}

} // namespace varnock
