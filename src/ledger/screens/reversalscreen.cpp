#include "ledger/screens/reversalscreen.h"

#include "ledger/postinggridmodel.h"
#include "ledger/screens/ledgerscreenparts.h"
#include "store/clock.h"
#include "vouchers/voucherbook.h"
#include "widgets/datepicker.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/operation.h"

#include <QItemSelectionModel>
#include <QTableView>

namespace varnock {

ReversalScreen::ReversalScreen(Database &db, int accountingMode, const Formats &formats,
                               const QStringList &buttonCaptions, QWidget *parent)
    : QWidget(parent)
    , m_reversal(db, accountingMode, formats)
{
    m_from = new DatePicker(this);
    m_from->setObjectName(QStringLiteral("DTPicker1"));
    QDate start;
    runOperation(this, [&] { start = VoucherBook(db).finderStart(); });
    m_from->setDate(start.isValid() ? start : Clock::today());
    m_to = new DatePicker(this);
    m_to->setObjectName(QStringLiteral("DTPicker2"));
    m_date = new DatePicker(this);
    m_date->setObjectName(QStringLiteral("DTPicker3"));

    m_vouchers = new PostingGridModel(this);
    m_lines = new PostingGridModel(this);
    m_voucherView = LedgerScreenParts::gridView(m_vouchers, QStringLiteral("MFGT"), this);
    m_lineView = LedgerScreenParts::gridView(m_lines, QStringLiteral("MFGM"), this);
    connect(m_voucherView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { refreshLines(); });

    m_buttons = new IndexedButtonGroup(buttonCaptions, Qt::Horizontal, this);
    m_buttons->setAlignment(Qt::AlignHCenter);
}

void ReversalScreen::selectVoucher(int row)
{
    m_voucherView->setCurrentIndex(m_vouchers->index(row, 0));
    refreshLines();
}

void ReversalScreen::selectLine(int row)
{
    m_lineView->setCurrentIndex(m_lines->index(row, 0));
}

void ReversalScreen::showVouchers(const PostingGrid &grid)
{
    m_vouchers->setGrid(grid);
    LedgerScreenParts::fitColumns(m_voucherView);
    m_voucherView->setCurrentIndex({});
    refreshLines();
}

qint64 ReversalScreen::currentVoucher() const
{
    return m_vouchers->keyAt(m_voucherView->currentIndex().row());
}

qint64 ReversalScreen::currentLine() const
{
    return m_lines->keyAt(currentLineRow());
}

int ReversalScreen::currentLineRow() const
{
    return m_lineView->currentIndex().row();
}

void ReversalScreen::reselect(qint64 xtbh)
{
    const int row = int(m_vouchers->grid().keys.indexOf(xtbh));
    if (row >= 0)
        selectVoucher(row);
}

void ReversalScreen::refreshLines()
{
    const qint64 xtbh = currentVoucher();
    PostingGrid grid;
    if (xtbh != 0)
        runOperation(this, [&] { grid = linesOf(xtbh); });
    m_lines->setGrid(grid);
    LedgerScreenParts::fitColumns(m_lineView);
}

} // namespace varnock
