#include "ledger/screens/frmbbkcqd.h"

#include "print/screens/reportwindow.h"
#include "print/voucherslip.h"
#include "reports/ledgerreports.h"
#include "shell/screens/help.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/operation.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace varnock {

FrmBBkcqd::FrmBBkcqd(Database &db, const Formats &formats, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
    , m_formats(formats)
{
    setObjectName(QStringLiteral("FrmBBkcqd"));
    setWindowTitle(QStringLiteral("库存盘点"));
    auto *frame = new QGroupBox(this);
    auto *frameLayout = new QVBoxLayout(frame);
    for (const QString &caption :
         {QStringLiteral("一级汇总"), QStringLiteral("二级汇总"), QStringLiteral("全部材料")}) {
        auto *option = new QRadioButton(caption, frame);
        option->setObjectName(QStringLiteral("Option%1").arg(m_options.size() + 1));
        frameLayout->addWidget(option);
        m_options.append(option);
    }
    m_options.last()->setChecked(true);
    m_buttons = new IndexedButtonGroup({QStringLiteral("确 定(&Q)"), QStringLiteral("退 出(&X)")},
                                       Qt::Horizontal, this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(m_buttons);
    Help::install(this, QStringLiteral("库存盘点"));
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == Ok)
            openReport();
        else
            reject();
    });
}

void FrmBBkcqd::openReport()
{
    const LedgerReports::Level level = m_options[0]->isChecked()   ? LedgerReports::Level::First
                                       : m_options[1]->isChecked() ? LedgerReports::Level::Second
                                                                   : LedgerReports::Level::Every;
    ReportTable table;
    QString firm;
    if (!runOperation(this, [&] {
            table = LedgerReports::stockList(m_db, level);
            firm = VoucherSlips::firmName(m_db);
        }))
        return;
    if (table.isEmpty()) {
        Messages::inform(this, QStringLiteral("没有记录！"));
        return;
    }
    ReportWindow::openTable(parentWidget(), table, firm, m_formats);
    accept();
}

} // namespace varnock
