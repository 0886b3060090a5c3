#pragma once

#include "ledger/directdeliveries.h"

#include <QWidget>

class QTableView;

namespace varnock {

class IndexedButtonGroup;
class PostingGridModel;

// The direct-delivery posting window ("直进直出登帐"): the unposted vouchers above, the chosen
// voucher's lines below; one voucher or all are posted, an unposted line is deleted with its
// partner.
class FrmZjzcdz : public QWidget
{
    Q_OBJECT

public:
    enum Button { PostOne, PostAll, DeleteLine, Exit };

    FrmZjzcdz(Database &db, int accountingMode, const Formats &formats, QWidget *parent = nullptr);

    QTableView *voucherView() const { return m_voucherView; }
    QTableView *lineView() const { return m_lineView; }
    PostingGridModel *voucherModel() const { return m_vouchers; }
    PostingGridModel *lineModel() const { return m_lines; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    // Chooses voucher `xtbh` when it is listed.
    void choose(qint64 xtbh);
    void selectVoucher(int row);
    void selectLine(int row);

private:
    void postOne();
    void postAll();
    void deleteLine();
    void refreshVouchers();
    void refreshLines();
    qint64 currentVoucher() const;

    DirectDeliveries m_deliveries;
    PostingGridModel *m_vouchers;
    PostingGridModel *m_lines;
    QTableView *m_voucherView;
    QTableView *m_lineView;
    IndexedButtonGroup *m_buttons;
};

} // namespace varnock
