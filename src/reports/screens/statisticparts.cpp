#include "reports/screens/statisticparts.h"

#include "print/screens/reportwindow.h"
#include "print/voucherslip.h"
#include "reports/screens/stockreportparts.h"
#include "widgets/datepicker.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/operation.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace varnock::StatisticParts {

namespace {

QList<QRadioButton *> buttonsOf(const QGroupBox *box)
{
    return box->findChildren<QRadioButton *>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

QWidget *dates(DatePicker *from, DatePicker *to, QWidget *parent)
{
    from->setObjectName(QStringLiteral("DTPicker1"));
    from->setDate(StockReportParts::monthStart());
    to->setObjectName(QStringLiteral("DTPicker2"));
    return StockReportParts::form(
        QStringLiteral("选择日期"),
        {{QStringLiteral("起始日期："), from}, {QStringLiteral("终止日期："), to}}, parent);
}

IndexedButtonGroup *buttons(QWidget *parent)
{
    return new IndexedButtonGroup({QStringLiteral("确 定(&Q)"), QStringLiteral("退 出(&X)")},
                                  Qt::Horizontal, parent);
}

QGroupBox *options(const QString &title, const QStringList &texts, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    auto *layout = new QVBoxLayout(box);
    for (int i = 0; i < texts.size(); ++i) {
        auto *option = new QRadioButton(texts.at(i), box);
        option->setObjectName(QStringLiteral("Option%1").arg(i + 1));
        option->setChecked(i == 0);
        layout->addWidget(option);
    }
    layout->addStretch();
    return box;
}

int chosen(const QGroupBox *box)
{
    const QList<QRadioButton *> list = buttonsOf(box);
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i)->isChecked())
            return i;
    }
    return 0;
}

void choose(QGroupBox *box, int index)
{
    const QList<QRadioButton *> list = buttonsOf(box);
    if (index >= 0 && index < list.size())
        list.at(index)->setChecked(true);
}

StatisticLevel levelAt(int index)
{
    switch (index) {
    case 1:
        return StatisticLevel::Parents;
    case 2:
        return StatisticLevel::Tops;
    default:
        return StatisticLevel::Materials;
    }
}

std::optional<LedgerLink> ledgerOf(int mode, const StatisticRequest &request)
{
    if (request.level != StatisticLevel::Materials)
        return std::nullopt;
    return LedgerLink{mode, request.from, request.to};
}

ReportWindow *open(QWidget *from, Database &db, const Formats &formats,
                   const std::function<ReportTable()> &build,
                   const std::optional<LedgerLink> &ledger)
{
    ReportTable table;
    QString firm;
    if (!runOperation(from, [&] {
            table = build();
            firm = VoucherSlips::firmName(db);
        }))
        return nullptr;
    ReportWindow *window = StockReportParts::show(from, table, firm, formats);
    if (!window || !ledger)
        return window;
    // The window may outlive the screen: it keeps what it needs.
    window->setRowActivation([db = &db, formats, window, link = *ledger](int row) {
        const ReportTable &t = window->table();
        if (t.style(row) != ReportTable::RowStyle::Detail)
            return;
        StockReportParts::openLedger(
            window, *db, link.mode, formats,
            {t.displayText(row, t.columnOf(QStringLiteral("CLBH")), formats)}, link.from, link.to);
    });
    return window;
}

} // namespace varnock::StatisticParts
