#pragma once

#include "store/formats.h"
#include "vouchers/issuelinemodel.h"
#include "vouchers/issuevouchers.h"
#include "vouchers/screens/familyscreen.h"

class QComboBox;

namespace varnock {

// The issue voucher entry screen, for requisitions ("1") and transfers out ("2"), with the
// consuming unit, the site and the building, the total and the material picker beside the
// lines.
class FormLLDTX : public FamilyScreen<IssueVouchers, IssueLineModel>
{
    Q_OBJECT

public:
    enum Button { Add, Change, Save, Delete, Restore, Search, Print, Post, Exit };

    FormLLDTX(Database &db, const QString &zl, int accountingMode, const Formats &formats,
              QWidget *parent = nullptr);

    static QString helpTopic() { return QStringLiteral("领料单填制"); }

    const QString &zl() const;

    // Opens the material picker; the choice goes into `row`, or the first empty row for -1.
    void pickMaterial(int row = -1) override;

    QComboBox *documentNumber() const { return m_ysdjh; }
    QLineEdit *unitCode() const { return m_lldwbh; }
    QLineEdit *unitName() const { return m_lldwmc; }
    QPushButton *unitButton() const { return m_pickUnit; }
    QComboBox *site() const { return m_sgbw; }
    QComboBox *building() const { return m_dh; }
    QLineEdit *totalField() const { return m_total; }
    QPushButton *materialButton() const { return m_pickMaterial; }

private:
    // The combos offer what was used before; their texts stay.
    void fillChoices();
    void showTotal();

    void displayed() override { fillChoices(); }
    void propose() override;
    std::optional<qint64> find() override { return pickVoucher(VoucherFinder::issues(family())); }
    void stateChanged(State state) override;
    // Saves, then warns of a material the voucher takes past its plan.
    qint64 saveShown(bool isNew) override;

    Formats m_formats;
    QComboBox *m_ysdjh;
    QLineEdit *m_lldwbh;
    QLineEdit *m_lldwmc;
    QPushButton *m_pickUnit;
    QComboBox *m_sgbw;
    QComboBox *m_dh;
    QLineEdit *m_total;
    QPushButton *m_pickMaterial;
};

} // namespace varnock
