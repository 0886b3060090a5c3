#include "leasing/screens/fhkcxcx.h"

#include "master/suppliers.h"
#include "store/clock.h"
#include "widgets/operation.h"

namespace varnock {

Fhkcxcx::Fhkcxcx(Database &db, QWidget *parent)
    : ConditionForm(QStringLiteral("Fhkcxcx"), QStringLiteral("还款查询"), parent)
{
    using C = LeasePayments::Conditions;
    QStringList names;
    runOperation(parent, [&] {
        for (const Suppliers::Entry &e : Suppliers(db).list())
            names << e.mc;
    });
    addChoiceField(QStringLiteral("供应商名称："), names, &C::gysmc);
    addField(QStringLiteral("摘      要："), &C::bz);
    addDates([] {
        const QDate today = Clock::today();
        return QDate(today.year(), 1, 1);
    });
}

} // namespace varnock
