#include "print/screens/reportwindow.h"

#include "print/paper/pdfoutput.h"
#include "print/paper/tablelayout.h"
#include "print/reporttablemodel.h"
#include "print/reporttemplate.h"
#include "print/screens/printing.h"
#include "print/voucherslip.h"
#include "reports/reportcatalog.h"
#include "shell/screens/help.h"
#include "shell/screens/mdifrmmain.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QDir>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace varnock {

namespace {

// Subtotal and total rows stand out on screen as they do on paper.
class GroupRowStyle : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::FontRole && role != Qt::BackgroundRole)
            return QIdentityProxyModel::data(index, role);
        const auto style = ReportTable::RowStyle(
            QIdentityProxyModel::data(index, ReportTableModel::StyleRole).toInt());
        if (style == ReportTable::RowStyle::Detail)
            return {};
        if (role == Qt::BackgroundRole)
            return style == ReportTable::RowStyle::Total ? QColor(0xDD, 0xDD, 0xDD)
                                                         : QColor(0xF0, 0xF0, 0xF0);
        QFont bold;
        bold.setBold(true);
        return bold;
    }
};

} // namespace

ReportWindow::ReportWindow(const ReportTable &table, const QString &firm, const Formats &formats,
                           QWidget *parent)
    : QWidget(parent)
    , m_firm(firm)
    , m_formats(formats)
    , m_model(new ReportTableModel(formats, this))
    , m_view(new QTableView(this))
    , m_buttons(new IndexedButtonGroup({QStringLiteral("导出Excel(&E)"),
                                        QStringLiteral("打印预览(&V)"), QStringLiteral("打 印(&P)"),
                                        QStringLiteral("保存PDF(&F)"), QStringLiteral("退 出(&X)")},
                                       Qt::Horizontal, this))
{
    setObjectName(QStringLiteral("ReportWindow"));
    setWindowTitle(table.title());
    Help::install(this, QStringLiteral("打印与导出"));
    m_model->setTable(table);

    auto *heading = new QLabel(table.title(), this);
    ScreenParts::styleHeading(heading);
    auto *info = new QLabel(QStringLiteral("编制单位：") + firm, this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(info);
    if (table.period()) {
        auto *period = new QLabel(table.period()->line().trimmed(), this);
        period->setAlignment(Qt::AlignCenter);
        layout->addWidget(period);
    }

    auto *styled = new GroupRowStyle(this);
    styled->setSourceModel(m_model);
    m_view->setModel(styled);
    m_view->setObjectName(QStringLiteral("MFG"));
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->verticalHeader()->setDefaultSectionSize(22);
    m_view->resizeColumnsToContents();
    for (int c = 0; c < m_model->columnCount(); ++c)
        m_view->setColumnWidth(c, qMin(m_view->columnWidth(c) + 12, 320));
    layout->addWidget(m_view, 1);
    connect(m_view, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        if (m_activate && index.isValid())
            m_activate(index.row());
    });

    const QStringList layouts = ReportTemplates::layoutsOf(table.name());
    if (layouts.size() > 1) {
        auto *menu = new QMenu(this);
        for (const QString &name : layouts) {
            QAction *action = menu->addAction(name == table.name() ? table.title() : name);
            connect(action, &QAction::triggered, this, [this, name] { exportWorkbook(name); });
        }
        m_buttons->button(Export)->setMenu(menu);
    }
    m_buttons->setAlignment(Qt::AlignHCenter);
    layout->addWidget(m_buttons);
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        switch (index) {
        case Export:
            exportWorkbook();
            break;
        case Preview:
            preview();
            break;
        case Print:
            print();
            break;
        case Pdf:
            savePdf();
            break;
        case Exit:
            ScreenParts::close(this);
            break;
        }
    });
    resize(960, 600);
}

ReportWindow *ReportWindow::open(QWidget *from, Database &db, const Formats &formats,
                                 const QString &nameOrKey,
                                 const std::optional<ReportPeriod> &period,
                                 const QString &emptyText)
{
    const ReportCatalog::Entry *entry = ReportCatalog::find(nameOrKey);
    if (!entry)
        return nullptr;
    ReportTable table;
    QString firm;
    if (!runOperation(from, [&] {
            table = entry->build(db, period);
            firm = VoucherSlips::firmName(db);
        }))
        return nullptr;
    if (period)
        table.setPeriod(*period);
    if (table.isEmpty()) {
        Messages::inform(from, emptyText);
        return nullptr;
    }
    return openTable(from, table, firm, formats);
}

ReportWindow *ReportWindow::openTable(QWidget *from, const ReportTable &table, const QString &firm,
                                      const Formats &formats)
{
    auto *window = new ReportWindow(table, firm, formats);
    present(from, window);
    return window;
}

void ReportWindow::present(QWidget *from, ReportWindow *window)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (auto *main = qobject_cast<MDIFrmMain *>(from ? from->window() : nullptr)) {
        QMdiSubWindow *sub = main->mdiArea()->addSubWindow(window);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->show();
    } else {
        window->setParent(from, Qt::Window);
        window->show();
    }
}

void ReportWindow::setRowActivation(std::function<void(int row)> activate)
{
    m_activate = std::move(activate);
}

void ReportWindow::setOutput(std::function<std::optional<ReportTable>()> output)
{
    m_output = std::move(output);
}

const ReportTable &ReportWindow::table() const
{
    return m_model->table();
}

std::optional<ReportTable> ReportWindow::output()
{
    return m_output ? m_output() : std::optional<ReportTable>(table());
}

void ReportWindow::exportWorkbook(const QString &layout)
{
    if (const std::optional<ReportTable> out = output())
        Printing::exportWorkbook(this, *out, m_firm, m_formats, layout);
}

void ReportWindow::preview()
{
    const std::optional<ReportTable> out = output();
    if (!out)
        return;
    Printing::preview(this, TableLayout::pageLayout(*out, m_formats), out->title(),
                      [this, &out](QPagedPaintDevice *device) {
                          TableLayout::print(device, *out, m_formats, m_firm);
                      });
}

void ReportWindow::print()
{
    const std::optional<ReportTable> out = output();
    if (!out)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(TableLayout::pageLayout(*out, m_formats));
    printer.setDocName(out->title());
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    TableLayout::print(&printer, *out, m_formats, m_firm);
}

void ReportWindow::savePdf()
{
    const std::optional<ReportTable> out = output();
    if (!out)
        return;
    Printing::savePdf(this, out->title(), TableLayout::pageLayout(*out, m_formats),
                      [this, &out](QPagedPaintDevice *device) {
                          TableLayout::print(device, *out, m_formats, m_firm);
                      });
}

} // namespace varnock
