#pragma once

#include "widgets/pickerdialog.h"

#include <optional>

namespace varnock {

// A picker that returns its choice:
//     std::optional<Supplier> s = SupplierPicker(this, db).pick();
// Subclasses call setModel() in their constructor and implement valueAt().
template <typename T> class Picker : public PickerDialog
{
public:
    using PickerDialog::PickerDialog;

    // Runs the dialog modally; nullopt when cancelled or when no row was taken.
    std::optional<T> pick()
    {
        if (exec() != QDialog::Accepted || chosenRow() < 0)
            return std::nullopt;
        return valueAt(chosenRow());
    }

protected:
    virtual T valueAt(int row) const = 0;
};

} // namespace varnock
