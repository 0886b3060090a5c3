#pragma once

#include "ledger/directdeliveries.h"
#include "ledger/screens/reversalscreen.h"

namespace varnock {

// Direct-delivery reversal ("直进直出冲帐"): the posted vouchers of the date range above, the
// chosen voucher's lines below; 冲帐 reverses every line of the voucher not yet reversed,
// after which a corrected voucher may be entered.
class Fzjzccz : public ReversalScreen
{
    Q_OBJECT

public:
    enum Button { Query, Reverse, Exit };

    Fzjzccz(Database &db, int accountingMode, const Formats &formats, QWidget *parent = nullptr);

protected:
    PostingGrid linesOf(qint64 xtbh) const override;

private:
    void refreshVouchers();
    void reverse();

    DirectDeliveries m_deliveries;
};

} // namespace varnock
