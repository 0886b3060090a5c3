#include "reports/screens/frmjxcmx.h"

#include "print/screens/reportwindow.h"
#include "print/voucherslip.h"
#include "reports/screens/stockreportparts.h"
#include "reports/stockreport.h"
#include "widgets/datepicker.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/operation.h"

#include <QComboBox>
#include <QListWidget>

namespace varnock {

FrmJxcmx::FrmJxcmx(Database &db, int mode, const Formats &formats, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_mode(mode)
    , m_formats(formats)
    , m_level1(new QComboBox(this))
    , m_level2(new QComboBox(this))
    , m_from(new DatePicker(this))
    , m_to(new DatePicker(this))
    , m_units(StockReportParts::unitList(db, this))
    , m_buttons(new IndexedButtonGroup({QStringLiteral("确 定(&Q)"), QStringLiteral("退 出(&X)")},
                                       Qt::Horizontal, this))
{
    setObjectName(QStringLiteral("FrmJxcmx"));
    setWindowTitle(StockReport::DetailTitle);

    m_level1->setObjectName(QStringLiteral("Combo1"));
    m_level2->setObjectName(QStringLiteral("Combo2"));
    StockReportParts::fillCategories(db, m_level1, m_level2);
    m_from->setObjectName(QStringLiteral("DTP1"));
    m_from->setDate(StockReportParts::monthStart());
    m_to->setObjectName(QStringLiteral("DTP2"));
    StockReportParts::layOut(
        this, StockReport::DetailTitle,
        {StockReportParts::form(
             QStringLiteral("选择材料"),
             {{QStringLiteral("一级材料："), m_level1}, {QStringLiteral("二级材料："), m_level2}},
             this),
         StockReportParts::form(
             QStringLiteral("选择日期"),
             {{QStringLiteral("起始日期："), m_from}, {QStringLiteral("终止日期："), m_to}}, this)},
        StockReportParts::frame(QStringLiteral("领料单位（至多选3个）"), m_units, this), m_buttons,
        [this] { confirm(); });
    resize(620, 420);
}

ReportWindow *FrmJxcmx::confirm()
{
    ReportTable table;
    QString firm;
    StockReportRequest request;
    if (!runOperation(this, [&] {
            request.from = m_from->date();
            request.to = m_to->date();
            request.units = StockReport::unitColumns(m_db, StockReportParts::chosenUnits(m_units));
            request.level1 = StockReportParts::chosenCode(m_level1);
            request.level2 = StockReportParts::chosenCode(m_level2);
            table = StockReport(m_db, m_mode).detail(request);
            firm = VoucherSlips::firmName(m_db);
        }))
        return nullptr;
    ReportWindow *window = StockReportParts::show(this, table, firm, m_formats);
    if (!window)
        return nullptr;
    const int code = table.columnOf(QStringLiteral("CLBH"));
    // The window may outlive this screen: it keeps what it needs.
    window->setRowActivation([db = &m_db, mode = m_mode, formats = m_formats, window, code,
                              request](int row) {
        const ReportTable &t = window->table();
        if (t.style(row) != ReportTable::RowStyle::Detail)
            return;
        StockReportParts::openLedger(window, *db, mode, formats,
                                     {t.displayText(row, code, formats)}, request.from, request.to);
    });
    return window;
}

} // namespace varnock
