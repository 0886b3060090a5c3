#include "reports/screens/frmxhtj.h"

#include "reports/screens/statisticparts.h"
#include "reports/screens/stockreportparts.h"
#include "reports/statistics.h"
#include "widgets/datepicker.h"

#include <QLabel>

namespace varnock {

FrmXHTJ::FrmXHTJ(Database &db, int mode, const Formats &formats, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_mode(mode)
    , m_formats(formats)
    , m_from(new DatePicker(this))
    , m_to(new DatePicker(this))
    , m_buttons(StatisticParts::buttons(this))
{
    setObjectName(QStringLiteral("FrmXHTJ"));
    setWindowTitle(QStringLiteral("月份物资消耗统计表"));
    auto *note = new QLabel(QStringLiteral("本期：起止日期内的领料（扣除退料）；\n"
                                           "累计：终止日期以前的全部领料。"),
                            this);
    note->setWordWrap(true);
    StockReportParts::layOut(this, QStringLiteral("月份物资消耗统计表"),
                             {StatisticParts::dates(m_from, m_to, this)}, note, m_buttons,
                             [this] { confirm(); });
    resize(520, 220);
}

ReportWindow *FrmXHTJ::confirm()
{
    return StatisticParts::open(this, m_db, m_formats, [this] {
        return Statistics(m_db, m_mode).consumption(m_from->date(), m_to->date());
    });
}

} // namespace varnock
