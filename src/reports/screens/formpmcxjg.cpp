#include "reports/screens/formpmcxjg.h"

#include "print/voucherslip.h"
#include "reports/screens/stockreportparts.h"
#include "shell/screens/help.h"
#include "widgets/messages.h"
#include "widgets/operation.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTableView>

namespace varnock {

FormPMCXJG::FormPMCXJG(Database &db, int mode, const LedgerQuery::Result &result,
                       const QString &firm, const Formats &formats, QWidget *parent)
    : ReportWindow(result.table, firm, formats, parent)
    , m_db(db)
    , m_mode(mode)
    , m_formats(formats)
    , m_sources(result.sources)
{
    setObjectName(QStringLiteral("FormPMCXJG"));
    setWindowTitle(LedgerQuery::ResultTitle);
    Help::install(this, QStringLiteral("品名查询"));
    view()->setObjectName(QStringLiteral("MFG1"));
    view()->verticalHeader()->hide(); // the grid numbers its rows itself
    // The row's ID serves the double click only.
    view()->setColumnHidden(result.table.columnOf(QStringLiteral("ID")), true);

    setOutput([this]() -> std::optional<ReportTable> {
        if (!LedgerQuery::hasRecords(table())) {
            Messages::inform(this, LedgerQuery::NoRecordsText);
            return std::nullopt;
        }
        ReportTable printed;
        if (!runOperation(
                this, [&] { printed = LedgerQuery(m_db, m_mode, m_formats).printTable(table()); }))
            return std::nullopt;
        return printed;
    });
    view()->installEventFilter(this);
    setRowActivation([this](int row) { openRow(row); });
    resize(1180, 600);
}

FormPMCXJG *FormPMCXJG::open(QWidget *from, Database &db, int mode, const Formats &formats,
                             const LedgerQuery::Result &result)
{
    QString firm;
    if (!runOperation(from, [&] { firm = VoucherSlips::firmName(db); }))
        return nullptr;
    auto *window = new FormPMCXJG(db, mode, result, firm, formats);
    present(from, window);
    return window;
}

bool FormPMCXJG::eventFilter(QObject *watched, QEvent *event)
{
    // F2 prints; the grid would otherwise take it as its edit key.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_F2) {
        preview();
        return true;
    }
    return ReportWindow::eventFilter(watched, event);
}

void FormPMCXJG::openRow(int row)
{
    if (row < 0 || row >= m_sources.size() || !m_sources.at(row))
        return;
    const LedgerQuery::Source &s = *m_sources.at(row);
    if (!s.direct) {
        StockReportParts::openVoucher(this,
                                      MaterialLedger::Source{s.family, s.zl, s.xtbh, s.lineId});
        return;
    }
    qint64 xtbh = s.xtbh;
    if (xtbh == 0 && !runOperation(this, [&] {
            xtbh = LedgerQuery(m_db, m_mode, m_formats).directVoucher(s.lineId);
        }))
        return;
    if (xtbh != 0)
        StockReportParts::openVoucher(this, QStringLiteral("ZJZC"), xtbh);
}

} // namespace varnock
