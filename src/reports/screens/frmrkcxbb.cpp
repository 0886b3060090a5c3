#include "reports/screens/frmrkcxbb.h"

#include "reports/screens/statisticparts.h"
#include "reports/screens/stockreportparts.h"
#include "reports/statistics.h"
#include "widgets/datepicker.h"

#include <QGroupBox>

namespace varnock {

FrmRKCXBB::FrmRKCXBB(Database &db, int mode, const Formats &formats, Movement movement,
                     QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_mode(mode)
    , m_formats(formats)
    , m_movement(movement)
    , m_from(new DatePicker(this))
    , m_to(new DatePicker(this))
    , m_levels(StatisticParts::options(
          QStringLiteral("统计级别"),
          {QStringLiteral("全部材料"), QStringLiteral("二级材料"), QStringLiteral("一级材料")},
          this))
    , m_buttons(StatisticParts::buttons(this))
{
    setObjectName(QStringLiteral("FrmRKCXBB"));
    setWindowTitle(QStringLiteral("报表日期"));
    StockReportParts::layOut(
        this, movement == Movement::Issues ? Statistics::IssuesTitle : Statistics::ReceiptsTitle,
        {StatisticParts::dates(m_from, m_to, this)}, m_levels, m_buttons, [this] { confirm(); });
    resize(520, 240);
}

ReportWindow *FrmRKCXBB::confirm()
{
    const StatisticRequest request{m_from->date(), m_to->date(),
                                   StatisticParts::levelAt(StatisticParts::chosen(m_levels))};
    return StatisticParts::open(
        this, m_db, m_formats,
        [&] { return Statistics(m_db, m_mode).movement(m_movement, request); },
        StatisticParts::ledgerOf(m_mode, request));
}

} // namespace varnock
