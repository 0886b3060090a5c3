#include "ledger/screens/frmgysqkcxjg.h"

#include "ledger/postinggridmodel.h"
#include "ledger/screens/frmgysqkcx.h"
#include "ledger/screens/ledgerscreenparts.h"
#include "shell/screens/frmma.h"
#include "shell/screens/help.h"
#include "shell/screens/mdifrmmain.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QHBoxLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace varnock {

FrmGysqkcxjg::FrmGysqkcxjg(Database &db, const Formats &formats, int loggedInOperator,
                           QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_formats(formats)
    , m_operator(loggedInOperator)
    , m_payments(db)
{
    setObjectName(QStringLiteral("FrmGysqkcxjg"));
    setWindowTitle(QStringLiteral("还款情况"));
    m_paymentList = new QRadioButton(QStringLiteral("支付款项"), this);
    m_paymentList->setObjectName(QStringLiteral("Option1"));
    m_paymentList->setChecked(true);
    m_writeOffs = new QRadioButton(QStringLiteral("坏帐处理"), this);
    m_writeOffs->setObjectName(QStringLiteral("Option2"));
    auto *options = new QHBoxLayout;
    options->addWidget(m_paymentList);
    options->addWidget(m_writeOffs);
    options->addStretch();

    m_model = new PostingGridModel(this);
    m_view = LedgerScreenParts::gridView(m_model, QStringLiteral("MFG"), this);
    m_buttons = new IndexedButtonGroup(
        {QStringLiteral("查 询(&F)"), QStringLiteral("删 除(&D)"), QStringLiteral("退 出(&X)")},
        Qt::Horizontal, this);
    m_buttons->setAlignment(Qt::AlignHCenter);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(options);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_buttons);
    resize(760, 440);
    Help::install(this, QStringLiteral("供应商付款"));

    connect(m_writeOffs, &QRadioButton::toggled, this, [this] { refresh(); });
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == Find)
            find();
        else if (index == Delete)
            remove();
        else
            ScreenParts::close(this);
    });
    refresh();
}

FrmGysqkcxjg *FrmGysqkcxjg::open(QWidget *from, Database &db, const Formats &formats,
                                 int loggedInOperator)
{
    auto *list = new FrmGysqkcxjg(db, formats, loggedInOperator);
    list->setAttribute(Qt::WA_DeleteOnClose);
    if (auto *main = qobject_cast<MDIFrmMain *>(from ? from->window() : nullptr)) {
        QMdiSubWindow *sub = main->mdiArea()->addSubWindow(list);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->show();
    } else {
        list->setParent(from, Qt::Window);
        list->show();
    }
    return list;
}

SupplierPayments::Kind FrmGysqkcxjg::kind() const
{
    return m_writeOffs->isChecked() ? SupplierPayments::Kind::WriteOff
                                    : SupplierPayments::Kind::Payment;
}

void FrmGysqkcxjg::setFilter(const SupplierPayments::Filter &filter)
{
    m_filter = filter;
    refresh();
}

void FrmGysqkcxjg::refresh()
{
    QList<SupplierPayments::Row> rows;
    if (!runOperation(this, [&] { rows = m_payments.rows(kind(), m_filter); }))
        return;
    PostingGrid grid;
    grid.columns = {QStringLiteral("ID"),         QStringLiteral("供应商编号"),
                    QStringLiteral("供应商名称"), QStringLiteral("付款日期"),
                    QStringLiteral("付款金额"),   QStringLiteral("  支票号"),
                    QStringLiteral("摘      要")};
    grid.numeric = {true, false, false, false, true, false, false};
    for (const SupplierPayments::Row &r : std::as_const(rows)) {
        grid.keys.append(r.id);
        grid.rows.append({QString::number(r.id), r.gysbh, r.mc, r.rq.toString(Qt::ISODate),
                          m_formats.amountText(r.je), r.zph, r.bz});
    }
    m_model->setGrid(grid);
    LedgerScreenParts::fitColumns(m_view);
}

void FrmGysqkcxjg::find()
{
    if (const auto filter = FrmGysqkcx(m_db, this).ask())
        setFilter(*filter);
}

void FrmGysqkcxjg::remove()
{
    const qint64 id = m_model->keyAt(m_view->currentIndex().row());
    if (id == 0 || !LedgerScreenParts::confirm(this, {SupplierPayments::deleteQuestion()}))
        return;
    const QString typed = FrmMa::ask(this);
    if (typed == FrmMa::cancelled())
        return;
    if (runOperation(this, [&] { m_payments.remove(kind(), id, m_operator, typed); }))
        refresh();
}

} // namespace varnock
