#include "ledger/screens/frmzjzcdz.h"

#include "ledger/postinggridmodel.h"
#include "ledger/screens/ledgerscreenparts.h"
#include "shell/screens/help.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QItemSelectionModel>
#include <QTableView>
#include <QVBoxLayout>

namespace varnock {

FrmZjzcdz::FrmZjzcdz(Database &db, int accountingMode, const Formats &formats, QWidget *parent)
    : QWidget(parent)
    , m_deliveries(db, accountingMode, formats)
    , m_vouchers(new PostingGridModel(this))
    , m_lines(new PostingGridModel(this))
    , m_voucherView(LedgerScreenParts::gridView(m_vouchers, QStringLiteral("MFGT"), this))
    , m_lineView(LedgerScreenParts::gridView(m_lines, QStringLiteral("MFGM"), this))
    , m_buttons(
          new IndexedButtonGroup({QStringLiteral("单笔登账(&B)"), QStringLiteral("全部登账(&Q)"),
                                  QStringLiteral("删 除(&D)"), QStringLiteral("退 出(&X)")},
                                 Qt::Horizontal, this))
{
    setObjectName(QStringLiteral("FrmZjzcdz"));
    setWindowTitle(QStringLiteral("直进直出登帐"));
    m_buttons->setAlignment(Qt::AlignHCenter);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_voucherView, 1);
    layout->addWidget(m_lineView, 1);
    layout->addWidget(m_buttons);
    connect(m_voucherView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { refreshLines(); });
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        switch (index) {
        case PostOne:
            postOne();
            break;
        case PostAll:
            postAll();
            break;
        case DeleteLine:
            deleteLine();
            break;
        case Exit:
            ScreenParts::close(this);
            break;
        }
    });
    resize(940, 560);
    Help::install(this, QStringLiteral("直进直出"));
    refreshVouchers();
}

void FrmZjzcdz::choose(qint64 xtbh)
{
    const int row = int(m_vouchers->grid().keys.indexOf(xtbh));
    if (row >= 0)
        selectVoucher(row);
}

void FrmZjzcdz::selectVoucher(int row)
{
    m_voucherView->setCurrentIndex(m_vouchers->index(row, 0));
    refreshLines();
}

void FrmZjzcdz::selectLine(int row)
{
    m_lineView->setCurrentIndex(m_lines->index(row, 0));
}

qint64 FrmZjzcdz::currentVoucher() const
{
    return m_vouchers->keyAt(m_voucherView->currentIndex().row());
}

void FrmZjzcdz::postOne()
{
    const qint64 xtbh = currentVoucher();
    if (xtbh == 0 || !LedgerScreenParts::confirm(this, {DirectDeliveries::postQuestion()}))
        return;
    runOperation(this, [&] { m_deliveries.post(xtbh); });
    refreshVouchers();
}

void FrmZjzcdz::postAll()
{
    if (m_vouchers->rowCount() == 0 ||
        !LedgerScreenParts::confirm(this, {DirectDeliveries::postQuestion()}))
        return;
    QList<Posting::Outcome> outcomes;
    runOperation(this, [&] { outcomes = m_deliveries.postAll(); });
    for (const Posting::Outcome &o : std::as_const(outcomes)) {
        if (!o.posted)
            Messages::show(this, Refusal(o.title, o.text, o.icon));
    }
    refreshVouchers();
}

void FrmZjzcdz::deleteLine()
{
    const qint64 line = m_lines->keyAt(m_lineView->currentIndex().row());
    if (line == 0 || !LedgerScreenParts::confirm(this, {DirectDeliveries::deleteLineQuestion()}))
        return;
    const qint64 xtbh = currentVoucher();
    runOperation(this, [&] { m_deliveries.deleteLine(line); });
    refreshVouchers();
    choose(xtbh);
}

void FrmZjzcdz::refreshVouchers()
{
    PostingGrid grid;
    runOperation(this, [&] { grid = m_deliveries.unpostedVouchers(); });
    m_vouchers->setGrid(grid);
    LedgerScreenParts::fitColumns(m_voucherView);
    m_voucherView->setCurrentIndex({});
    refreshLines();
}

void FrmZjzcdz::refreshLines()
{
    const qint64 xtbh = currentVoucher();
    PostingGrid grid;
    if (xtbh != 0)
        runOperation(this, [&] { grid = m_deliveries.lines(xtbh); });
    m_lines->setGrid(grid);
    LedgerScreenParts::fitColumns(m_lineView);
}

} // namespace varnock
