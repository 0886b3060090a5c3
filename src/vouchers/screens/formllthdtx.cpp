#include "vouchers/screens/formllthdtx.h"

#include "ledger/posting.h"
#include "shell/screens/help.h"
#include "store/clock.h"
#include "vouchers/issuereturnlinemodel.h"
#include "vouchers/screens/frmckdcx.h"
#include "vouchers/screens/frmcktkcx.h"
#include "vouchers/voucherbook.h"
#include "widgets/datepicker.h"
#include "widgets/editablegrid.h"
#include "widgets/entermovesfocus.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/numericdelegate.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace varnock {

namespace {

const QString Title = QStringLiteral("提示窗口");

} // namespace

FormLLTHDTX::FormLLTHDTX(Database &db, const QString &zl, int accountingMode,
                         const Formats &formats, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_returns(db, zl, accountingMode, formats)
    , m_heading(new QLabel(this))
    , m_stateLabel(new VoucherStateLabel(QStringLiteral("已记账"), this))
    , m_xtbhLabel(new QLabel(this))
    , m_date(new DatePicker(this))
    , m_ysbh(new QLineEdit(this))
    , m_thdjh(new QLineEdit(this))
    , m_grid(new EditableGrid(this))
    , m_model(new IssueReturnLineModel(m_returns, this))
    , m_buttons(new IndexedButtonGroup(
          {QStringLiteral("出库查询(&C)"), QStringLiteral("保 存(&S)"), QStringLiteral("修 改(&G)"),
           QStringLiteral("删 除(&D)"), QStringLiteral("恢 复(&H)"), QStringLiteral("查 询(&F)"),
           QStringLiteral("打 印(&P)"), QStringLiteral("记 帐(&J)"), QStringLiteral("退 出(&X)")},
          Qt::Horizontal, this))
{
    const bool transfer = m_returns.isTransfer();
    setObjectName(QStringLiteral("FormLLTHDTX"));
    setWindowTitle(transfer ? QStringLiteral("调拨退货单填写") : QStringLiteral("领料退货单填写"));
    Help::install(this, helpTopic());

    m_heading->setText(transfer ? QStringLiteral("材料调拨退库凭单填制")
                                : QStringLiteral("材料领料退库凭单填制"));
    ScreenParts::styleHeading(m_heading);

    QGroupBox *stateFrame = m_stateLabel->framed();
    stateFrame->setMinimumWidth(110);

    m_xtbhLabel->setObjectName(QStringLiteral("LblXtbh"));
    m_xtbhLabel->setMinimumWidth(60);
    m_ysbh->setObjectName(QStringLiteral("TxtYsbh"));
    m_ysbh->setReadOnly(true);
    m_ysbh->setFocusPolicy(Qt::NoFocus);
    m_ysbh->setMinimumWidth(170);
    m_thdjh->setObjectName(QStringLiteral("TxtThdjh"));
    m_thdjh->setMinimumWidth(170);

    auto *frame = new QGroupBox(this);
    auto *header = new QGridLayout(frame);
    const auto label = [this](const QString &text) { return new QLabel(text, this); };
    header->addWidget(label(QStringLiteral("系统编号")), 0, 0);
    header->addWidget(m_xtbhLabel, 0, 1);
    header->addWidget(label(QStringLiteral("操作日期：")), 0, 2);
    header->addWidget(m_date, 0, 3);
    header->addWidget(label(QStringLiteral("出库单号：")), 1, 0);
    header->addWidget(m_ysbh, 1, 1);
    header->addWidget(label(QStringLiteral("退库单据号：")), 1, 2);
    header->addWidget(m_thdjh, 1, 3);
    header->addWidget(stateFrame, 0, 4, 2, 1);
    header->setColumnStretch(1, 1);
    header->setColumnStretch(3, 1);

    m_grid->setObjectName(QStringLiteral("MFGM"));
    m_grid->setModel(m_model);
    m_grid->setIdColumn(IssueReturnLineModel::Id);
    m_grid->setNumericColumn(IssueReturnLineModel::Quantity, formats.quantityDecimals())
        ->setFigure(Limits::Figure::Quantity);
    m_grid->setColumnWidths({80, 120, 90, 70, 80, 80, 90, 80, 80, 90});

    QHBoxLayout *footer =
        ScreenParts::signatures({QStringLiteral("领  料  人："), QStringLiteral("材料会计："),
                                 QStringLiteral("主    管：")},
                                this);

    m_buttons->setAlignment(Qt::AlignCenter);
    ScreenParts::printPending(m_buttons->button(Print));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(frame);
    layout->addWidget(m_grid, 1);
    layout->addLayout(footer);
    layout->addWidget(m_buttons);
    new EnterMovesFocus(frame);

    connect(m_model, &IssueReturnLineModel::overReturn, this, [this](int) {
        Messages::warn(this, QStringLiteral("已经超过数量，请仔细输入"), Title);
    });
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        switch (index) {
        case Choose:
            choose();
            break;
        case Save:
            save();
            break;
        case Change:
            change();
            break;
        case Delete:
            deleteVoucher();
            break;
        case Restore:
            restore();
            break;
        case Search:
            search();
            break;
        case Post:
            post();
            break;
        case Exit:
            ScreenParts::close(this);
            break;
        default:
            break;
        }
    });

    clearScreen();
    setState(State::Browse);
    resize(1020, 560);
}

bool FormLLTHDTX::mayOpen(QWidget *parent, Database &db)
{
    return runOperation(parent,
                        [&] { IssueReturns(db, QStringLiteral("1"), 2, {}).checkCanOpen(); });
}

void FormLLTHDTX::setState(State state)
{
    m_stateLabel->setState(state);
    const bool entering = m_stateLabel->isEntering();
    m_date->setReadOnly(!entering);
    m_thdjh->setReadOnly(!entering);
    m_model->setEditable(entering);
    const bool saved = m_voucher.xtbh != 0;
    m_buttons->button(Save)->setEnabled(entering);
    // A posted return still answers 修改 and 删除, with the reason they are refused.
    m_buttons->button(Change)->setEnabled(saved && !entering);
    m_buttons->button(Delete)->setEnabled(saved);
    m_buttons->button(Post)->setEnabled(saved && state == State::Browse);
}

void FormLLTHDTX::clearScreen()
{
    m_voucher = IssueReturnVoucher();
    m_date->setDate(Clock::today());
    m_ysbh->clear();
    m_thdjh->clear();
    m_xtbhLabel->clear();
    m_model->clear();
}

IssueReturnVoucher FormLLTHDTX::voucherShown() const
{
    IssueReturnVoucher v = m_voucher;
    v.czrq = m_date->date();
    v.thdjh = m_thdjh->text();
    v.lines = m_model->lines();
    return v;
}

void FormLLTHDTX::showDraft(const IssueReturnVoucher &voucher, qint64 proposedNumber)
{
    m_voucher = voucher;
    m_date->setDate(voucher.czrq);
    m_ysbh->setText(voucher.ysbh);
    m_thdjh->setText(voucher.thdjh);
    m_xtbhLabel->setText(QString::number(proposedNumber));
    m_model->setLines(voucher.lines);
    setState(State::New);
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(0, IssueReturnLineModel::Quantity));
    m_grid->setFocus();
}

void FormLLTHDTX::beginReturn(qint64 issueXtbh)
{
    IssueReturnVoucher draft;
    qint64 next = 0;
    const QDate date = state() == State::New ? m_date->date() : Clock::today();
    if (!runOperation(this, [&] {
            draft = m_returns.draft(issueXtbh, date);
            next = m_returns.nextSystemNumber();
        }))
        return;
    showDraft(draft, next);
}

void FormLLTHDTX::showVoucher(qint64 xtbh)
{
    std::optional<IssueReturnVoucher> v;
    if (!runOperation(this, [&] { v = m_returns.load(xtbh); }) || !v)
        return;
    m_voucher = *v;
    m_date->setDate(v->czrq);
    m_ysbh->setText(v->ysbh);
    m_thdjh->setText(v->thdjh);
    m_xtbhLabel->setText(QString::number(xtbh));
    m_model->setLines(v->lines);
    setState(v->posted ? State::Posted : State::Browse);
}

void FormLLTHDTX::choose()
{
    FrmCkdcx chooser(m_returns, this);
    if (const std::optional<qint64> xtbh = chooser.pick())
        beginReturn(*xtbh);
}

void FormLLTHDTX::save()
{
    if (state() != State::New && state() != State::Edit)
        return;
    // A later date keeps the books from being closed until then: asked, never taken silently.
    if (const auto later = VoucherBook::laterDateQuestion(voucherShown().czrq);
        later && !Messages::ask(this, *later))
        return;
    if (state() == State::New) {
        qint64 xtbh = 0;
        if (runOperation(this, [&] { xtbh = m_returns.saveNew(voucherShown()); }))
            showVoucher(xtbh);
    } else if (state() == State::Edit) {
        if (runOperation(this, [&] { m_returns.saveEdit(voucherShown()); }))
            showVoucher(m_voucher.xtbh);
    }
}

void FormLLTHDTX::change()
{
    if (m_voucher.xtbh == 0)
        return;
    if (state() == State::Posted) {
        Messages::warn(this, QStringLiteral("已记账，本单据不允许修改！"), Title);
        return;
    }
    setState(State::Edit);
}

void FormLLTHDTX::deleteVoucher()
{
    if (m_voucher.xtbh == 0)
        return;
    if (state() == State::Posted) {
        Messages::warn(this, QStringLiteral("已记账，本单据不允许删除！"), Title);
        return;
    }
    if (!Messages::ask(this, QStringLiteral("您确定要删除该票据吗？")))
        return;
    if (!runOperation(this, [&] { m_returns.remove(m_voucher.xtbh); }))
        return;
    clearScreen();
    setState(State::Browse);
}

void FormLLTHDTX::restore()
{
    // Unsaved edits go: a saved return is shown as stored, a new one is dropped.
    if (m_voucher.xtbh != 0) {
        showVoucher(m_voucher.xtbh);
        return;
    }
    clearScreen();
    setState(State::Browse);
}

void FormLLTHDTX::search()
{
    FrmCktkcx finder(m_returns, this);
    if (const std::optional<qint64> xtbh = finder.pick())
        showVoucher(*xtbh);
}

void FormLLTHDTX::post()
{
    // Only what is stored can be posted; edits on screen would be left behind.
    if (m_voucher.xtbh == 0 || state() != State::Browse)
        return;
    const Posting::Question q = Posting::confirmation();
    if (!Messages::ask(this, q.text, q.title, q.icon))
        return;
    const qint64 xtbh = m_voucher.xtbh;
    if (runOperation(this, [&] { m_returns.postNow(xtbh); }))
        showVoucher(xtbh);
}

} // namespace varnock
