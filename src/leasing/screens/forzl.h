#pragma once

#include "leasing/leaselinemodel.h"
#include "leasing/leases.h"
#include "vouchers/screens/familyscreen.h"

class QLineEdit;
class QPushButton;

namespace varnock {

// The lease voucher ("租 赁 凭 单 添 制"): the supplier renting out, the consuming unit and
// the date, the lines with their rent per day and deposit. Saved whole; printed as a table.
class Forzl : public FamilyScreen<Leases, LeaseLineModel>
{
    Q_OBJECT

public:
    enum Button { Add, Save, Change, Delete, Restore, Search, Print, Exit };

    Forzl(Database &db, const Formats &formats, QWidget *parent = nullptr);

    static QString helpTopic() { return QStringLiteral("还租业务"); }

    QLineEdit *supplierCode() const { return m_gysbh; }
    QLineEdit *supplierName() const { return m_gysmc; }
    QLineEdit *unitCode() const { return m_lldwbh; }
    QLineEdit *unitName() const { return m_lldwmc; }

private:
    std::optional<qint64> find() override;
    void pickMaterial(int row) override;

    Formats m_formats;
    QLineEdit *m_gysbh;
    QLineEdit *m_gysmc;
    QLineEdit *m_lldwbh;
    QLineEdit *m_lldwmc;
};

} // namespace varnock
