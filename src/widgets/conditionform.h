#pragma once

#include "widgets/conditiondialog.h"

#include <optional>

namespace varnock {

// A condition dialog that returns its conditions:
//     if (std::optional<StockInConditions> c = FrmDjcx(vouchers, this).ask()) …
// Subclasses add their fields in the constructor and implement conditions().
template <typename C> class ConditionForm : public ConditionDialog
{
public:
    using ConditionDialog::ConditionDialog;

    // The conditions when "查 询(&F)" was pressed with sound dates; nullopt when cancelled.
    std::optional<C> ask()
    {
        if (!run())
            return std::nullopt;
        return conditions();
    }

    // The conditions as the fields read now; empty fields add none.
    virtual C conditions() const = 0;
};

} // namespace varnock
