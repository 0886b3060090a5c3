#include "ledger/screens/frmqxjz.h"

#include "ledger/bookswipe.h"
#include "ledger/postinggridmodel.h"
#include "ledger/screens/ledgerscreenparts.h"
#include "shell/backups.h"
#include "shell/screens/frmma.h"
#include "shell/screens/help.h"
#include "store/clock.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace varnock {

FrmQxjz::FrmQxjz(Database &db, int accountingMode, int loggedInOperator, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_cancel(db, accountingMode)
    , m_operator(loggedInOperator)
{
    setObjectName(QStringLiteral("FrmQxjz"));
    setWindowTitle(QStringLiteral("取消记账"));

    m_closings = new PostingGridModel(this);
    m_view = LedgerScreenParts::gridView(m_closings, QStringLiteral("MFG"), this);

    // One text, as the screen shows it: the formatter would cut it at its blanks.
    // clang-format off
    auto *explanation = new QLabel(QStringLiteral("   当记帐后发现凭单等有错误时，您可以通过“取消记帐”将帐务恢复到月初状态。修改后，重新登记帐簿,生成报表。                     当凭单发生紊乱，不能修改可以清除上月业务。"), this);
    // clang-format on
    explanation->setObjectName(QStringLiteral("Label1"));
    explanation->setWordWrap(true);

    m_buttons =
        new IndexedButtonGroup({QStringLiteral("取消记账(&Q)"), QStringLiteral("销  账(&I)"),
                                QStringLiteral("退   出(&X)")},
                               Qt::Horizontal, this);
    m_buttons->setAlignment(Qt::AlignHCenter);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addWidget(explanation);
    layout->addWidget(m_buttons);

    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        switch (index) {
        case Cancel:
            cancelPosting();
            break;
        case Wipe:
            wipe();
            break;
        case Exit:
            ScreenParts::close(this);
            break;
        }
    });

    resize(520, 420);
    Help::install(this, QStringLiteral("取消记账"));
    refresh();
}

void FrmQxjz::cancelPosting()
{
    QList<OperationStep> steps;
    if (!runOperation(this, [&] { steps = m_cancel.steps(); }) ||
        !LedgerScreenParts::confirm(this, steps))
        return;
    if (runOperation(this, [&] { m_cancel.cancel(); }))
        Messages::inform(this,
                         QStringLiteral("账务已恢复到月初状态，本月凭单可以修改后重新记账。"));
}

void FrmQxjz::wipe()
{
    const QString typed = FrmMa::ask(this);
    if (typed == FrmMa::cancelled())
        return;
    BooksWipe books(m_db);
    if (!runOperation(this, [&] { books.checkPassword(m_operator, typed); }) ||
        !LedgerScreenParts::confirm(this, {BooksWipe::question()}))
        return;
    QString copy;
    const bool wiped = runOperation(this, [&] {
        copy = Backups::timestampedPath(m_db, QDateTime(Clock::today(), Clock::now()));
        books.wipe(m_operator, typed, copy);
    });
    refresh();
    if (!wiped)
        return;
    emit closingsRemoved();
    Messages::inform(this, BooksWipe::finishedText(copy));
}

void FrmQxjz::refresh()
{
    PostingGrid grid;
    runOperation(this, [&] { grid = m_cancel.closings(); });
    m_closings->setGrid(grid);
    LedgerScreenParts::fitColumns(m_view);
}

} // namespace varnock
