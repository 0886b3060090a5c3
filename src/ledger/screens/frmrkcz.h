#pragma once

#include "ledger/screens/reversalscreen.h"

class QComboBox;

namespace varnock {

// Stock-in reversal ("入库冲帐处理"): the posted vouchers of the chosen kind above, the lines
// still to be reversed below; a replacement voucher is entered on the kind's stock-in screen.
class FrmRkcz : public ReversalScreen
{
    Q_OBJECT

public:
    enum Button { Query, Reverse, Replace, Exit };

    FrmRkcz(Database &db, int accountingMode, const Formats &formats, QWidget *parent = nullptr);

    // The menu commands of the stock-in screens, in the order of the kind list.
    static QStringList replacementCommands();

    QComboBox *kindSelector() const { return m_kinds; }

protected:
    PostingGrid linesOf(qint64 xtbh) const override;

private:
    void query();
    void reverse();
    void replace();
    PostingGrid voucherGrid(bool filtered) const;
    void refreshVouchers();

    bool m_filtered = false; // the list keeps to the date range once 查询 was used
    QComboBox *m_kinds = nullptr;
};

} // namespace varnock
