#pragma once

#include "plans/plancomparison.h"
#include "store/formats.h"
#include "widgets/periodform.h"

class QRadioButton;

namespace varnock {

class Database;

// "计划-实际数量对比表": the plans of a period against the issues, by material or by
// catalogue group; shown, printed and exported as "材料数量对比表".
class FXJHSL : public PeriodForm
{
    Q_OBJECT

public:
    FXJHSL(Database &db, const Formats &formats, QWidget *parent = nullptr);

    QRadioButton *option(PlanComparison::Level level) const;

private:
    void run(const ReportPeriod &period) override;

    Database &m_db;
    Formats m_formats;
    QRadioButton *m_first;
    QRadioButton *m_second;
    QRadioButton *m_all;
};

} // namespace varnock
