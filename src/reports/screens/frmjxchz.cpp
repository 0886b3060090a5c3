#include "reports/screens/frmjxchz.h"

#include "print/voucherslip.h"
#include "reports/screens/stockreportparts.h"
#include "reports/stockreport.h"
#include "widgets/datepicker.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/operation.h"

#include <QListWidget>

namespace varnock {

FrmJxchz::FrmJxchz(Database &db, int mode, const Formats &formats, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_mode(mode)
    , m_formats(formats)
    , m_from(new DatePicker(this))
    , m_to(new DatePicker(this))
    , m_units(StockReportParts::unitList(db, this))
    , m_buttons(new IndexedButtonGroup({QStringLiteral("确 定(&Q)"), QStringLiteral("退 出(&E)")},
                                       Qt::Horizontal, this))
{
    setObjectName(QStringLiteral("FrmJxchz"));
    setWindowTitle(StockReport::SummaryTitle);

    m_from->setObjectName(QStringLiteral("DTPicker1"));
    m_from->setDate(StockReportParts::monthStart());
    m_to->setObjectName(QStringLiteral("DTPicker2"));
    StockReportParts::layOut(
        this, StockReport::SummaryTitle,
        {StockReportParts::form(
            QStringLiteral("选择日期"),
            {{QStringLiteral("起始日期："), m_from}, {QStringLiteral("终止日期："), m_to}}, this)},
        StockReportParts::frame(QStringLiteral("领料单位选择"), m_units, this), m_buttons,
        [this] { confirm(); });
    resize(560, 380);
}

ReportWindow *FrmJxchz::confirm()
{
    ReportTable table;
    QString firm;
    if (!runOperation(this, [&] {
            StockReportRequest request;
            request.from = m_from->date();
            request.to = m_to->date();
            request.units = StockReport::unitColumns(m_db, StockReportParts::chosenUnits(m_units));
            table = StockReport(m_db, m_mode).summary(request);
            firm = VoucherSlips::firmName(m_db);
        }))
        return nullptr;
    return StockReportParts::show(this, table, firm, m_formats);
}

} // namespace varnock
