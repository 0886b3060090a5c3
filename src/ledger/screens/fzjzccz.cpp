#include "ledger/screens/fzjzccz.h"

#include "ledger/screens/ledgerscreenparts.h"
#include "shell/screens/help.h"
#include "widgets/datepicker.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QGridLayout>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace varnock {

Fzjzccz::Fzjzccz(Database &db, int accountingMode, const Formats &formats, QWidget *parent)
    : ReversalScreen(
          db, accountingMode, formats,
          {QStringLiteral("查 询(&F)"), QStringLiteral("冲 帐(&C)"), QStringLiteral("退 出(&X)")},
          parent)
    , m_deliveries(db, accountingMode, formats)
{
    setObjectName(QStringLiteral("Fzjzccz"));
    setWindowTitle(QStringLiteral("直进直出冲帐"));
    auto *fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("起始日期："), this), 0, 0);
    fields->addWidget(fromPicker(), 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("终止日期："), this), 0, 2);
    fields->addWidget(toPicker(), 0, 3);
    fields->addWidget(new QLabel(QStringLiteral("冲帐日期:"), this), 0, 4);
    fields->addWidget(datePicker(), 0, 5);
    fields->setColumnStretch(6, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(voucherView(), 1);
    layout->addWidget(lineView(), 1);
    layout->addWidget(buttons());
    connect(buttons(), &IndexedButtonGroup::clicked, this, [this](int index) {
        switch (index) {
        case Query:
            refreshVouchers();
            break;
        case Reverse:
            reverse();
            break;
        case Exit:
            ScreenParts::close(this);
            break;
        }
    });
    resize(940, 580);
    Help::install(this, QStringLiteral("直进直出"));
    refreshVouchers();
}

PostingGrid Fzjzccz::linesOf(qint64 xtbh) const
{
    return m_deliveries.lines(xtbh);
}

void Fzjzccz::refreshVouchers()
{
    PostingGrid grid;
    runOperation(this, [&] {
        grid = m_deliveries.postedVouchers(fromPicker()->date(), toPicker()->date());
    });
    showVouchers(grid);
}

void Fzjzccz::reverse()
{
    const qint64 xtbh = currentVoucher();
    if (xtbh == 0)
        return;
    const QDate date = datePicker()->date();
    QList<OperationStep> steps;
    if (!runOperation(this, [&] { steps = m_deliveries.reversalSteps(xtbh, date); }) ||
        !LedgerScreenParts::confirm(this, steps))
        return;
    const bool reversed = runOperation(this, [&] { m_deliveries.reverse(xtbh, date); });
    refreshVouchers();
    if (reversed && LedgerScreenParts::confirm(this, {DirectDeliveries::replacementQuestion()}))
        LedgerScreenParts::runCommand(this, QStringLiteral("ZJZC"));
}

} // namespace varnock
