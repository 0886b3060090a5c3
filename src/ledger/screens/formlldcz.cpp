#include "ledger/screens/formlldcz.h"

#include "ledger/screens/ledgerscreenparts.h"
#include "shell/screens/help.h"
#include "widgets/datepicker.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace varnock {

namespace {

QGroupBox *frame(const QString &caption, QTableView *view, QWidget *parent)
{
    auto *box = new QGroupBox(caption, parent);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(view);
    return box;
}

} // namespace

// Leaving takes Alt+X, as on every other screen: sharing Alt+C with "冲 账(&C)" would leave
// neither button reachable by its accelerator.
FormLLDCZ::FormLLDCZ(Database &db, int issueKind, int accountingMode, const Formats &formats,
                     const QString &title, QWidget *parent)
    : ReversalScreen(
          db, accountingMode, formats,
          {QStringLiteral("查 询(&F)"), QStringLiteral("冲 账(&C)"), QStringLiteral("退出(&X)")},
          parent)
    , m_kind(QString::number(issueKind == 2 ? 2 : 1))
{
    setObjectName(QStringLiteral("FormLLDCZ"));
    setWindowTitle(title.isEmpty() ? caption(issueKind) : title);

    auto *dates = new QHBoxLayout;
    dates->addWidget(new QLabel(QStringLiteral("起始时间"), this));
    dates->addWidget(fromPicker());
    dates->addWidget(new QLabel(QStringLiteral("终止时间"), this));
    dates->addWidget(toPicker());
    dates->addSpacing(24);
    dates->addWidget(new QLabel(QStringLiteral("冲帐日期:"), this));
    dates->addWidget(datePicker());
    dates->addStretch();

    auto *heading = new QLabel(caption(issueKind), this);
    ScreenParts::styleHeading(heading);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(dates);
    layout->addWidget(frame(QStringLiteral("冲帐帐目资料"), voucherView(), this), 1);
    layout->addWidget(frame(QStringLiteral("冲帐明细资料"), lineView(), this), 1);
    layout->addWidget(buttons());

    connect(buttons(), &IndexedButtonGroup::clicked, this, [this](int index) {
        switch (index) {
        case Query:
            query();
            break;
        case Reverse:
            reverse();
            break;
        case Exit:
            ScreenParts::close(this);
            break;
        }
    });

    resize(820, 600);
    Help::install(this, QStringLiteral("冲帐"));
    query();
}

QString FormLLDCZ::caption(int issueKind)
{
    return issueKind == 2 ? QStringLiteral("调拨出库单冲帐") : QStringLiteral("领料出库单冲帐");
}

PostingGrid FormLLDCZ::linesOf(qint64 xtbh) const
{
    return m_reversal.issueLines(xtbh);
}

void FormLLDCZ::query()
{
    PostingGrid grid;
    if (runOperation(this, [&] {
            grid = m_reversal.issueVouchers(m_kind, fromPicker()->date(), toPicker()->date());
        }))
        showVouchers(grid);
}

void FormLLDCZ::reverse()
{
    const qint64 line = currentLine();
    if (line == 0)
        return;
    const QDate date = datePicker()->date();
    QList<OperationStep> steps;
    if (!runOperation(this,
                      [&] { steps = m_reversal.issueSteps(line, date, currentLineRow() + 1); }) ||
        !LedgerScreenParts::confirm(this, steps))
        return;
    const qint64 voucher = currentVoucher();
    if (!runOperation(this, [&] { m_reversal.reverseIssueLine(line, date); }))
        return;
    query();
    reselect(voucher);
    const OperationStep replace = Reversal::replacementQuestion();
    if (Messages::ask(this, replace.text, replace.title, replace.icon))
        LedgerScreenParts::runCommand(this, m_kind == QLatin1String("2") ? QStringLiteral("DBCKDTX")
                                                                         : QStringLiteral("LLDTX"));
}

} // namespace varnock
