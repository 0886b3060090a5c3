#include "ledger/screens/reportdatedialog.h"

#include "print/screens/reportwindow.h"
#include "shell/screens/help.h"
#include "store/clock.h"
#include "widgets/datepicker.h"
#include "widgets/indexedbuttongroup.h"

#include <QFormLayout>
#include <QVBoxLayout>

namespace varnock {

ReportDateDialog *ReportDateDialog::arrears(Database &db, const Formats &formats, QWidget *parent)
{
    return new ReportDateDialog(db, formats, QStringLiteral("FrmRq"), QStringLiteral("GYSQK"), true,
                                parent);
}

ReportDateDialog *ReportDateDialog::countResult(Database &db, const Formats &formats,
                                                QWidget *parent)
{
    return new ReportDateDialog(db, formats, QStringLiteral("PD"), QStringLiteral("PD"), false,
                                parent);
}

ReportDateDialog::ReportDateDialog(Database &db, const Formats &formats, const QString &objectName,
                                   const QString &report, bool withStart, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
    , m_formats(formats)
    , m_report(report)
{
    setObjectName(objectName);
    setWindowTitle(QStringLiteral("报表日期"));
    const QDate today = Clock::today();
    auto *fields = new QFormLayout;
    if (withStart) {
        m_from = new DatePicker(this);
        m_from->setObjectName(QStringLiteral("DTPicker1"));
        m_from->setDate(QDate(today.year(), today.month(), 1));
        fields->addRow(QStringLiteral("起始日期："), m_from);
    }
    m_to = new DatePicker(this);
    m_to->setObjectName(QStringLiteral("DTPicker2"));
    m_to->setDate(today);
    fields->addRow(withStart ? QStringLiteral("终止日期：") : QStringLiteral("终止时间："), m_to);
    m_buttons = new IndexedButtonGroup(
        {withStart ? QStringLiteral("确 定(&Q)") : QStringLiteral("确  定(&Q)"),
         withStart ? QStringLiteral("退 出(&X)") : QStringLiteral("退  出(&X)")},
        Qt::Horizontal, this);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_buttons);
    Help::install(this, withStart ? QStringLiteral("供应商付款") : QStringLiteral("库存盘点"));
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == Ok)
            openReport();
        else
            reject();
    });
}

void ReportDateDialog::openReport()
{
    const ReportPeriod period{m_from ? m_from->date() : QDate(), m_to->date()};
    if (ReportWindow::open(parentWidget(), m_db, m_formats, m_report, period))
        accept();
}

} // namespace varnock
