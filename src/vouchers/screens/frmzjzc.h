#pragma once

#include "store/formats.h"
#include "vouchers/directlinemodel.h"
#include "vouchers/directvouchers.h"
#include "vouchers/screens/familyscreen.h"

class QComboBox;

namespace varnock {

// The direct-delivery entry screen ("材料直进直出凭单填制"): the supplier delivers, the
// consuming unit receives, the lines are entered once as purchases. 删除 takes the current
// line off while a voucher is entered and deletes the shown voucher otherwise; 记账 opens the
// family's posting window with the shown voucher chosen.
class FrmZjzc : public FamilyScreen<DirectVouchers, DirectLineModel>
{
    Q_OBJECT

public:
    enum Button { Search, Add, Save, Change, Delete, Restore, Print, Exit, Post };

    FrmZjzc(Database &db, int accountingMode, const Formats &formats, QWidget *parent = nullptr);

    QComboBox *stockInNumber() const { return m_ysdjh; }
    QComboBox *issueNumber() const { return m_issueYsdjh; }
    QLineEdit *supplierCode() const { return m_gysbh; }
    QLineEdit *supplierName() const { return m_gysmc; }
    QLineEdit *unitCode() const { return m_lldwbh; }
    QLineEdit *unitName() const { return m_lldwmc; }
    QComboBox *site() const { return m_sgbw; }
    QComboBox *building() const { return m_dh; }
    QLineEdit *invoiceNumber() const { return m_fpbh; }
    QLineEdit *chequeNumber() const { return m_zph; }

    // Opens the material lookup for a grid row.
    void lookUpMaterial(int row) { pickMaterial(row); }
    void post() override;

private:
    void fillChoices();

    void displayed() override { fillChoices(); }
    void propose() override;
    std::optional<qint64> find() override { return pickVoucher(VoucherFinder::directs(family())); }
    void pickMaterial(int row) override { lookUpMaterialFor(row, m_formats); }
    void own(int) override;
    bool confirmSave() override;

    Formats m_formats;
    QComboBox *m_ysdjh;
    QComboBox *m_issueYsdjh;
    QLineEdit *m_gysbh;
    QLineEdit *m_gysmc;
    QLineEdit *m_lldwbh;
    QLineEdit *m_lldwmc;
    QComboBox *m_sgbw;
    QComboBox *m_dh;
    QLineEdit *m_zph;
    QLineEdit *m_fpbh;
    // Whether the opening-balance question was answered Yes since the screen opened.
    bool m_movementsConfirmed = false;
};

} // namespace varnock
