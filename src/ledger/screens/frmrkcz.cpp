#include "ledger/screens/frmrkcz.h"

#include "ledger/screens/ledgerscreenparts.h"
#include "shell/screens/help.h"
#include "vouchers/stockinkind.h"
#include "widgets/datepicker.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace varnock {

FrmRkcz::FrmRkcz(Database &db, int accountingMode, const Formats &formats, QWidget *parent)
    : ReversalScreen(db, accountingMode, formats,
                     {QStringLiteral("查 询(&F)"), QStringLiteral("冲 帐(&C)"),
                      QStringLiteral("补 账(&B)"), QStringLiteral("退 出(&X)")},
                     parent)
{
    setObjectName(QStringLiteral("FrmRkcz"));
    setWindowTitle(QStringLiteral("入库冲帐处理"));

    m_kinds = new QComboBox(this);
    m_kinds->setObjectName(QStringLiteral("kinds"));
    for (const StockInKind &kind : StockInKind::all())
        m_kinds->addItem(kind.zl);

    auto *fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("账类选择："), this), 0, 0);
    fields->addWidget(m_kinds, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("冲帐日期:"), this), 0, 2);
    fields->addWidget(datePicker(), 0, 3);
    fields->addWidget(new QLabel(QStringLiteral("起始日期："), this), 1, 0);
    fields->addWidget(fromPicker(), 1, 1);
    fields->addWidget(new QLabel(QStringLiteral("终止日期："), this), 1, 2);
    fields->addWidget(toPicker(), 1, 3);
    fields->setColumnStretch(4, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(voucherView(), 1);
    layout->addWidget(lineView(), 1);
    layout->addWidget(buttons());

    connect(m_kinds, &QComboBox::currentIndexChanged, this, [this] { refreshVouchers(); });
    connect(buttons(), &IndexedButtonGroup::clicked, this, [this](int index) {
        switch (index) {
        case Query:
            query();
            break;
        case Reverse:
            reverse();
            break;
        case Replace:
            replace();
            break;
        case Exit:
            ScreenParts::close(this);
            break;
        }
    });

    resize(860, 580);
    Help::install(this, QStringLiteral("冲帐"));
    refreshVouchers();
}

QStringList FrmRkcz::replacementCommands()
{
    return {QStringLiteral("CGRKD"), QStringLiteral("DBRKD"), QStringLiteral("ZGRKD"),
            QStringLiteral("JGRKD")};
}

PostingGrid FrmRkcz::linesOf(qint64 xtbh) const
{
    return m_reversal.stockInLines(xtbh);
}

void FrmRkcz::query()
{
    PostingGrid grid;
    if (!runOperation(this, [&] { grid = voucherGrid(true); }))
        return;
    m_filtered = true;
    showVouchers(grid);
}

void FrmRkcz::reverse()
{
    const qint64 line = currentLine();
    if (line == 0)
        return;
    const QDate date = datePicker()->date();
    QList<OperationStep> steps;
    if (!runOperation(this, [&] { steps = m_reversal.stockInSteps(line, date); }) ||
        !LedgerScreenParts::confirm(this, steps))
        return;
    const qint64 voucher = currentVoucher();
    runOperation(this, [&] { m_reversal.reverseStockInLine(line, date); });
    refreshVouchers();
    // Stay on the voucher while lines of it remain.
    reselect(voucher);
}

void FrmRkcz::replace()
{
    const int kind = m_kinds->currentIndex();
    if (kind >= 0 && kind < replacementCommands().size())
        LedgerScreenParts::runCommand(this, replacementCommands().at(kind));
}

PostingGrid FrmRkcz::voucherGrid(bool filtered) const
{
    if (filtered)
        return m_reversal.stockInVouchers(m_kinds->currentText(), fromPicker()->date(),
                                          toPicker()->date());
    return m_reversal.stockInVouchers(m_kinds->currentText());
}

void FrmRkcz::refreshVouchers()
{
    PostingGrid grid;
    runOperation(this, [&] { grid = voucherGrid(m_filtered); });
    showVouchers(grid);
}

} // namespace varnock
