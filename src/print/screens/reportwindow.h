#pragma once

#include "print/reporttable.h"
#include "store/formats.h"

#include <QWidget>

#include <functional>
#include <optional>

class QTableView;

namespace varnock {

class Database;
class IndexedButtonGroup;
class ReportTableModel;

// A report on screen, with the ways it leaves the program: a workbook through its template,
// the print preview, the printer and PDF. Every report screen shows its table here.
class ReportWindow : public QWidget
{
    Q_OBJECT

public:
    enum Button { Export, Preview, Print, Pdf, Exit };

    ReportWindow(const ReportTable &table, const QString &firm, const Formats &formats,
                 QWidget *parent = nullptr);

    // Builds the report of the catalogue's `nameOrKey` and opens its window, inside the main
    // window when `from` is in one. A report without rows shows `emptyText` instead and opens
    // nothing.
    static ReportWindow *open(QWidget *from, Database &db, const Formats &formats,
                              const QString &nameOrKey,
                              const std::optional<ReportPeriod> &period = std::nullopt,
                              const QString &emptyText = QStringLiteral("没有记录！"));
    // Opens a window on a table built elsewhere.
    static ReportWindow *openTable(QWidget *from, const ReportTable &table, const QString &firm,
                                   const Formats &formats);
    // Shows a new window inside the main window when `from` is in one, else on its own.
    static void present(QWidget *from, ReportWindow *window);

    const ReportTable &table() const;
    QTableView *view() const { return m_view; }
    IndexedButtonGroup *buttons() const { return m_buttons; }

    // What a double click on row `row` of the table opens (a material's ledger, a voucher).
    void setRowActivation(std::function<void(int row)> activate);
    // The table that goes to the workbook, the paper and PDF when it is not the one shown. A
    // nullopt from `output` stops the export or print; `output` has said why.
    void setOutput(std::function<std::optional<ReportTable>()> output);

    // Through `layout`, one of ReportTemplates::layoutsOf the report; empty for its own. A report
    // with several layouts offers them in a menu on "导出Excel(&E)".
    void exportWorkbook(const QString &layout = QString());
    void preview();
    void print();
    void savePdf();

private:
    std::optional<ReportTable> output();

    QString m_firm;
    Formats m_formats;
    ReportTableModel *m_model;
    QTableView *m_view;
    IndexedButtonGroup *m_buttons;
    std::function<void(int row)> m_activate;
    std::function<std::optional<ReportTable>()> m_output;
};

} // namespace varnock
