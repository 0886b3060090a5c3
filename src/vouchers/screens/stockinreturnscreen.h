#pragma once

#include "store/formats.h"
#include "vouchers/screens/familyscreen.h"
#include "vouchers/stockinkind.h"
#include "vouchers/stockinreturnkind.h"
#include "vouchers/stockinreturnlinemodel.h"
#include "vouchers/stockinreturns.h"
#include "vouchers/stockinvouchers.h"

namespace varnock {

// The return screen of all four stock-in kinds (FrmCgthd, FrmDbthd, FrmZgthd, FrmJgthd): one
// design, configured by the kind. A return is always made against one stock-in voucher,
// chosen with "入库选择"; only the date, the number and the quantities are typed.
class StockInReturnScreen : public FamilyScreen<StockInReturns, StockInReturnLineModel>
{
    Q_OBJECT

public:
    enum Button { Search, Choose, Save, Change, Delete, Restore, Print, Exit, Post };

    StockInReturnScreen(Database &db, StockInKind::Kind kind, int accountingMode,
                        const Formats &formats, QWidget *parent = nullptr);

    static QString helpTopic() { return QStringLiteral("退货单填制"); }

    const StockInReturnKind &kind() const;

    // Starts a new return against a stock-in voucher (the stock-in list's choice).
    void startReturn(qint64 stockInXtbh);
    void choose() override;

    QLineEdit *documentNumber() const { return m_thdjh; }
    QLineEdit *stockInNumber() const { return m_ysbh; }
    QLineEdit *invoiceNumber() const { return m_fpbh; }
    QLineEdit *chequeNumber() const { return m_zph; }
    QLineEdit *partnerCode() const { return m_gysbh; }
    QLineEdit *partnerName() const { return m_gysmc; }

private:
    std::optional<qint64> find() override
    {
        return pickVoucher(VoucherFinder::stockInReturns(family()));
    }

    QLineEdit *m_thdjh;
    QLineEdit *m_ysbh;
    QLineEdit *m_fpbh;
    QLineEdit *m_zph;
    QLineEdit *m_gysbh;
    QLineEdit *m_gysmc;
};

} // namespace varnock
