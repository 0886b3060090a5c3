#pragma once

#include "plans/planlinemodel.h"
#include "plans/plans.h"
#include "vouchers/screens/familyscreen.h"

namespace varnock {

// The plan of one date ("工程材料计划填写单"): choosing a date shows its plan; lines are
// added, changed and deleted with the entry screens' states and keys.
class FJHTXD : public FamilyScreen<Plans, PlanLineModel>
{
    Q_OBJECT

public:
    enum Button { Add, Save, Change, Delete, Restore, Search, Print, Exit };

    FJHTXD(Database &db, const Formats &formats, QWidget *parent = nullptr);

    static QString helpTopic() { return QStringLiteral("采购计划"); }

    // Deletes the current line after the question: a stored one at once.
    void deleteLine();

private:
    std::optional<qint64> find() override { return std::nullopt; }
    void pickMaterial(int row) override;
    void own(int index) override;
    void stateChanged(State state) override;
    // While browsing, the date shown brings its plan.
    void followDate();

    Formats m_formats;
};

} // namespace varnock
