#pragma once

#include "master/materiallookup.h"
#include "plans/plan.h"
#include "vouchers/voucherlinemodel.h"

namespace varnock {

class Plans;

// The line grid of a date's plan: a material from the picker or a typed code, the quantity
// and a remark. The line's CLJH.ID travels in the hidden Id column.
class PlanLineModel : public VoucherLineModel<PlanLine>
{
    Q_OBJECT

public:
    enum Column { Id, Code, Name, Spec, Unit, Quantity, Remark, ColumnCount };

    PlanLineModel(const Plans &plans, QObject *parent = nullptr);

private:
    MaterialLookup m_materials;
};

} // namespace varnock
