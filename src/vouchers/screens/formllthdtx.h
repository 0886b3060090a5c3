#pragma once

#include "store/formats.h"
#include "vouchers/issuereturnlinemodel.h"
#include "vouchers/issuereturns.h"
#include "vouchers/screens/familyscreen.h"

namespace varnock {

// The issue-return entry screen, for requisition returns ("1") and transfer-out returns
// ("2"): a return is begun from a posted issue voucher ("出库查询"), or from one of the
// vouchers that issued a material picked out of the vouchers ("材料查询"); only the returned
// quantities are typed, and "记 帐" posts the stored return at once.
class FormLLTHDTX : public FamilyScreen<IssueReturns, IssueReturnLineModel>
{
    Q_OBJECT

public:
    enum Button { Choose, Materials, Save, Change, Delete, Restore, Search, Print, Post, Exit };

    FormLLTHDTX(Database &db, const QString &zl, int accountingMode, const Formats &formats,
                QWidget *parent = nullptr);

    static QString helpTopic() { return QStringLiteral("领料退货"); }

    const QString &zl() const;

    // Begins a return against a posted issue voucher (the chooser's choice).
    void beginReturn(qint64 issueXtbh);
    void post() override;
    void choose() override;

    QLineEdit *issueNumber() const { return m_ysbh; }
    QLineEdit *returnNumber() const { return m_thdjh; }

private:
    void own(int) override;
    std::optional<qint64> find() override
    {
        return pickVoucher(VoucherFinder::issueReturns(family()));
    }

    Formats m_formats;
    QLineEdit *m_ysbh;
    QLineEdit *m_thdjh;
};

} // namespace varnock
