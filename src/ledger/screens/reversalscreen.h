#pragma once

#include "ledger/reversal.h"

#include <QWidget>

class QTableView;

namespace varnock {

class DatePicker;
class IndexedButtonGroup;
class PostingGridModel;

// What the two reversal screens share: a date range and the reversal date, the vouchers
// above, the lines of the chosen voucher still to be reversed below.
class ReversalScreen : public QWidget
{
    Q_OBJECT

public:
    DatePicker *fromPicker() const { return m_from; }
    DatePicker *toPicker() const { return m_to; }
    DatePicker *datePicker() const { return m_date; }
    QTableView *voucherView() const { return m_voucherView; }
    QTableView *lineView() const { return m_lineView; }
    PostingGridModel *voucherModel() const { return m_vouchers; }
    PostingGridModel *lineModel() const { return m_lines; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    void selectVoucher(int row);
    void selectLine(int row);

protected:
    // The range starts at the latest closing (or the first of this month), the reversal is
    // dated today.
    ReversalScreen(Database &db, int accountingMode, const Formats &formats,
                   const QStringList &buttonCaptions, QWidget *parent);

    // The lines of voucher `xtbh` that may still be reversed.
    virtual PostingGrid linesOf(qint64 xtbh) const = 0;

    void showVouchers(const PostingGrid &grid);
    qint64 currentVoucher() const;
    // The chosen line's ID and its row (0-based); 0 and -1 when none is chosen.
    qint64 currentLine() const;
    int currentLineRow() const;
    // Chooses voucher `xtbh` again when the list still holds it.
    void reselect(qint64 xtbh);

    Reversal m_reversal;

private:
    void refreshLines();

    DatePicker *m_from = nullptr;
    DatePicker *m_to = nullptr;
    DatePicker *m_date = nullptr;
    QTableView *m_voucherView = nullptr;
    QTableView *m_lineView = nullptr;
    PostingGridModel *m_vouchers = nullptr;
    PostingGridModel *m_lines = nullptr;
    IndexedButtonGroup *m_buttons = nullptr;
};

} // namespace varnock
