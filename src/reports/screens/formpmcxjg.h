#pragma once

#include "print/screens/reportwindow.h"
#include "reports/ledgerquery.h"

namespace varnock {

class Database;

// The ledger queries' result window "账务信息-[按F2打印]" (grid MFG1): F2 prints, the
// workbook and the paper get the result through CX_TEMP, and a double click on a row opens its
// voucher in its entry screen.
class FormPMCXJG : public ReportWindow
{
    Q_OBJECT

public:
    FormPMCXJG(Database &db, int mode, const LedgerQuery::Result &result, const QString &firm,
               const Formats &formats, QWidget *parent = nullptr);

    // Opens the window on a result, inside the main window when `from` is in one.
    static FormPMCXJG *open(QWidget *from, Database &db, int mode, const Formats &formats,
                            const LedgerQuery::Result &result);

    // Opens the voucher of row `row`; nothing for rows without one.
    void openRow(int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Database &m_db;
    int m_mode;
    Formats m_formats;
    QList<std::optional<LedgerQuery::Source>> m_sources;
};

} // namespace varnock
