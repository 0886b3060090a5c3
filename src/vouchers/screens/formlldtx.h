#pragma once

#include "store/formats.h"
#include "vouchers/issuevouchers.h"
#include "vouchers/screens/voucherentryscreen.h"

class QComboBox;

namespace varnock {

class IssueLineModel;

// The issue voucher entry screen, for requisitions ("1") and transfers out ("2"), with the
// consuming unit, the site and the building, the total and the material picker beside the
// lines.
class FormLLDTX : public VoucherEntryScreen
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
    IssueLineModel *model() const { return m_model; }

private:
    IssueVouchers &vouchers() const;
    IssueVoucher shown() const;
    // The combos offer what was used before; their texts stay.
    void fillChoices();
    void showTotal();

    std::optional<bool> load(qint64 xtbh) override;
    qint64 saveShown(bool isNew) override;
    void propose() override;
    std::optional<qint64> find() override;
    void stateChanged(State state) override;

    Formats m_formats;
    QComboBox *m_ysdjh;
    QLineEdit *m_lldwbh;
    QLineEdit *m_lldwmc;
    QPushButton *m_pickUnit;
    QComboBox *m_sgbw;
    QComboBox *m_dh;
    QLineEdit *m_total;
    QPushButton *m_pickMaterial;
    IssueLineModel *m_model;
};

} // namespace varnock
