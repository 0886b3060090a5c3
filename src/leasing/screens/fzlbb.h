#pragma once

#include "store/formats.h"
#include "widgets/periodform.h"

namespace varnock {

class Database;

// The rent report ("租赁报表"): the rent charged per period of each lease line dated in the
// period, shown, printed and exported as "租赁单据报表".
class Fzlbb : public PeriodForm
{
    Q_OBJECT

public:
    Fzlbb(Database &db, const Formats &formats, QWidget *parent = nullptr);

private:
    void run(const ReportPeriod &period) override;

    Database &m_db;
    Formats m_formats;
};

} // namespace varnock
