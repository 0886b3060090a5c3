#include "ledger/screens/postingscreen.h"

#include "shell/commandmap.h"

#include "ledger/postinggridmodel.h"
#include "ledger/screens/ledgerscreenparts.h"
#include "print/screens/printing.h"
#include "shell/screens/help.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace varnock {

namespace {

bool isIssueFamily(Posting::Family family)
{
    return family == Posting::Family::Issue || family == Posting::Family::IssueReturn;
}

QStringList kindsOf(Posting::Family family)
{
    if (family == Posting::Family::StockIn)
        return {QStringLiteral("采购入库"), QStringLiteral("调拨入库"), QStringLiteral("暂估入库"),
                QStringLiteral("甲方供给")};
    if (family == Posting::Family::StockInReturn)
        return {QStringLiteral("采购退货"), QStringLiteral("调拨退货"), QStringLiteral("暂估退货"),
                QStringLiteral("甲供退货")};
    return {};
}

QStringList buttonCaptions(Posting::Family family)
{
    if (isIssueFamily(family))
        return {QStringLiteral("单 笔(&B)"), QStringLiteral("全 部(&Q)"),
                QStringLiteral("删 除(&D)"), QStringLiteral("打 印(&P)"),
                QStringLiteral("退 出(&X)")};
    return {QStringLiteral("单笔登账(&B)"), QStringLiteral("全部登账(&Q)"),
            QStringLiteral("删 除(&D)"), QStringLiteral("打 印(&P)"), QStringLiteral("退 出(&X)")};
}

} // namespace

PostingScreen::PostingScreen(Database &db, Posting::Family family, int issueKind,
                             int accountingMode, const Formats &formats, const QString &title,
                             QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_mode(accountingMode)
    , m_formats(formats)
    , m_posting(db, accountingMode, formats)
    , m_family(family)
{
    setObjectName(screenName(family));
    setWindowTitle(title.isEmpty() ? caption(family) : title);
    if (isIssueFamily(family))
        m_fixedKind = QString::number(issueKind == 2 ? 2 : 1);

    auto *layout = new QVBoxLayout(this);
    if (!isIssueFamily(family)) {
        auto *row = new QHBoxLayout;
        row->addWidget(new QLabel(QStringLiteral("账类选择："), this));
        m_kinds = new QComboBox(this);
        m_kinds->setObjectName(QStringLiteral("kinds"));
        m_kinds->addItems(kindsOf(family));
        row->addWidget(m_kinds);
        row->addStretch();
        layout->addLayout(row);
        connect(m_kinds, &QComboBox::currentIndexChanged, this, [this] { refreshVouchers(); });
    }

    m_vouchers = new PostingGridModel(this);
    m_lines = new PostingGridModel(this);
    m_voucherView = LedgerScreenParts::gridView(m_vouchers, QStringLiteral("MFGT"), this);
    m_lineView = LedgerScreenParts::gridView(m_lines, QStringLiteral("MFGM"), this);
    layout->addWidget(m_voucherView, 1);
    layout->addWidget(m_lineView, 1);
    connect(m_voucherView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { refreshLines(); });

    m_buttons = new IndexedButtonGroup(buttonCaptions(family), Qt::Horizontal, this);
    m_buttons->setAlignment(Qt::AlignHCenter);
    layout->addWidget(m_buttons);
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        switch (index) {
        case Single:
            postSelected();
            break;
        case All:
            postAll();
            break;
        case Delete:
            deleteSelectedLine();
            break;
        case Print:
            printSelected();
            break;
        case Exit:
            // Inside the main window the frame goes with the screen.
            ScreenParts::close(this);
            break;
        }
    });

    resize(820, 560);
    Help::install(this, caption(family));
    refreshVouchers();
}

QString PostingScreen::screenName(Posting::Family family)
{
    switch (family) {
    case Posting::Family::StockIn:
        return QStringLiteral("FrmRkdz");
    case Posting::Family::StockInReturn:
        return QStringLiteral("FrmThdz");
    case Posting::Family::Issue:
        return QStringLiteral("FormLLDDZ");
    case Posting::Family::IssueReturn:
        return QStringLiteral("FormLLTHDDZ");
    }
    return {};
}

QString PostingScreen::caption(Posting::Family family)
{
    switch (family) {
    case Posting::Family::StockIn:
        return QStringLiteral("入库登账");
    case Posting::Family::StockInReturn:
        return QStringLiteral("退货单登账");
    case Posting::Family::Issue:
        return QStringLiteral("领料出库单记帐");
    case Posting::Family::IssueReturn:
        return QStringLiteral("领料退货单记帐");
    }
    return {};
}

PostingScreen *PostingScreen::open(QWidget *from, const QString &command, int kindIndex)
{
    const CommandMap::Command *entry = CommandMap::find(command);
    // Through the menu command: its right, its log record, one screen at a time.
    if (!entry || !LedgerScreenParts::runCommand(from, command))
        return nullptr;
    for (PostingScreen *screen : from->window()->findChildren<PostingScreen *>()) {
        if (screenName(screen->family()) != entry->screen)
            continue;
        if (kindIndex >= 0 && screen->m_kinds)
            screen->m_kinds->setCurrentIndex(kindIndex);
        return screen;
    }
    return nullptr;
}

QString PostingScreen::kind() const
{
    return m_kinds ? m_kinds->currentText() : m_fixedKind;
}

void PostingScreen::selectVoucher(int row)
{
    m_voucherView->setCurrentIndex(m_vouchers->index(row, 0));
    refreshLines();
}

void PostingScreen::postSelected()
{
    const qint64 xtbh = selectedVoucher();
    if (xtbh == 0 || !confirmed())
        return;
    runOperation(this, [&] { m_posting.post(m_family, kind(), xtbh); });
    refreshVouchers();
}

void PostingScreen::postAll()
{
    if (m_vouchers->rowCount() == 0 || !confirmed())
        return;
    QList<Posting::Outcome> outcomes;
    runOperation(this, [&] { outcomes = m_posting.postAll(m_family, kind()); });
    for (const Posting::Outcome &o : outcomes) {
        if (!o.posted)
            Messages::show(this, Refusal(o.title, o.text, o.icon));
    }
    refreshVouchers();
}

void PostingScreen::deleteSelectedLine()
{
    const int row = m_lineView->currentIndex().row();
    const qint64 id = m_lines->keyAt(row);
    if (id == 0)
        return;
    const Posting::Question q = Posting::deleteQuestion(m_family, row + 1);
    if (!Messages::ask(this, q.text, q.title, q.icon))
        return;
    const qint64 xtbh = selectedVoucher();
    runOperation(this, [&] { m_posting.deleteLine(m_family, id); });
    refreshVouchers();
    // Stay on the voucher while lines of it remain.
    const int again = m_vouchers->grid().keys.indexOf(xtbh);
    if (again >= 0)
        selectVoucher(again);
}

void PostingScreen::printSelected()
{
    const qint64 xtbh = selectedVoucher();
    if (xtbh == 0) {
        Messages::inform(this, QStringLiteral("请选中记录！"));
        return;
    }
    Printing::previewSlip(this, m_db, m_family, xtbh, m_mode, m_formats);
}

void PostingScreen::refreshVouchers()
{
    PostingGrid grid;
    runOperation(this, [&] { grid = m_posting.voucherGrid(m_family, kind()); });
    m_vouchers->setGrid(grid);
    LedgerScreenParts::fitColumns(m_voucherView);
    m_voucherView->setCurrentIndex({});
    refreshLines();
}

void PostingScreen::refreshLines()
{
    const qint64 xtbh = selectedVoucher();
    PostingGrid grid;
    if (xtbh != 0)
        runOperation(this, [&] { grid = m_posting.lineGrid(m_family, xtbh); });
    m_lines->setGrid(grid);
    LedgerScreenParts::fitColumns(m_lineView);
}

qint64 PostingScreen::selectedVoucher() const
{
    const QModelIndex current = m_voucherView->currentIndex();
    return current.isValid() ? m_vouchers->keyAt(current.row()) : 0;
}

bool PostingScreen::confirmed()
{
    const Posting::Question q = Posting::confirmation();
    return Messages::ask(this, q.text, q.title, q.icon);
}

} // namespace varnock
