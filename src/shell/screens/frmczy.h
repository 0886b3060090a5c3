#pragma once

#include "shell/operators.h"
#include "widgets/picker.h"

namespace varnock {

class Database;

// The operator picker of the login screen ("选择操作员"): returns the chosen number and name.
class FrmCZY : public Picker<Operators::Entry>
{
    Q_OBJECT

public:
    FrmCZY(Database &db, QWidget *parent = nullptr);

protected:
    bool acceptRow(int row) override;
    Operators::Entry valueAt(int row) const override;

private:
    QList<Operators::Entry> m_entries;
};

} // namespace varnock
