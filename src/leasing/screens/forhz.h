#pragma once

#include "leasing/leaselinemodel.h"
#include "leasing/leasereturns.h"
#include "vouchers/screens/familyscreen.h"

class QLineEdit;

namespace varnock {

// Returns against a lease ("还租业务处理"): "租赁选择(&A)" loads the chosen lease's lines with
// what is still out; only the quantities coming back are typed, never more than is out.
class Forhz : public FamilyScreen<LeaseReturns, LeaseReturnLineModel>
{
    Q_OBJECT

public:
    enum Button { Choose, Save, Search, Change, Delete, Restore, Exit };

    Forhz(Database &db, const Formats &formats, QWidget *parent = nullptr);

    static QString helpTopic() { return QStringLiteral("还租业务"); }

    // Begins a return against lease `djbh` (the finder's choice).
    void beginReturn(qint64 djbh);
    void choose() override;

    QLineEdit *leaseNumber() const { return m_zldjbh; }
    QLineEdit *leaseDate() const { return m_leaseDate; }
    QLineEdit *rentDays() const { return m_days; }

private:
    std::optional<qint64> find() override;
    void displayed() override;
    // The days rent ran to the return date, and the amounts they make.
    void showDays();

    QLineEdit *m_zldjbh;
    QLineEdit *m_leaseDate;
    QLineEdit *m_days;
    QLineEdit *m_gysbh;
    QLineEdit *m_lldwbh;
    QLineEdit *m_lldwmc;
};

} // namespace varnock
