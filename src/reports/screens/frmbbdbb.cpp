#include "reports/screens/frmbbdbb.h"

#include "reports/screens/statisticparts.h"
#include "reports/screens/stockreportparts.h"
#include "reports/statistics.h"
#include "widgets/datepicker.h"

#include <QGroupBox>

namespace varnock {

FrmBBdbb::FrmBBdbb(Database &db, int mode, const Formats &formats, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_mode(mode)
    , m_formats(formats)
    , m_from(new DatePicker(this))
    , m_to(new DatePicker(this))
    , m_directions(StatisticParts::options(QStringLiteral("调拨方向"),
                                           {QStringLiteral("调拨入库"), QStringLiteral("调拨出库")},
                                           this))
    , m_levels(StatisticParts::options(
          QStringLiteral("统计级别"),
          {QStringLiteral("全部材料"), QStringLiteral("二级汇总"), QStringLiteral("一级汇总")},
          this))
    , m_buttons(StatisticParts::buttons(this))
{
    setObjectName(QStringLiteral("FrmBBdbb"));
    setWindowTitle(Statistics::TransfersTitle);
    StockReportParts::layOut(this, Statistics::TransfersTitle,
                             {StatisticParts::dates(m_from, m_to, this), m_directions}, m_levels,
                             m_buttons, [this] { confirm(); });
    resize(520, 300);
}

ReportWindow *FrmBBdbb::confirm()
{
    const Movement movement =
        StatisticParts::chosen(m_directions) == 0 ? Movement::TransfersIn : Movement::TransfersOut;
    const StatisticRequest request{m_from->date(), m_to->date(),
                                   StatisticParts::levelAt(StatisticParts::chosen(m_levels))};
    return StatisticParts::open(
        this, m_db, m_formats, [&] { return Statistics(m_db, m_mode).movement(movement, request); },
        StatisticParts::ledgerOf(m_mode, request));
}

} // namespace varnock
