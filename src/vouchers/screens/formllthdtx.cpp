#include "vouchers/screens/formllthdtx.h"

#include "ledger/posting.h"
#include "store/clock.h"
#include "vouchers/issuereturnlinemodel.h"
#include "vouchers/issuereturns.h"
#include "vouchers/screens/formclxz.h"
#include "vouchers/screens/voucherfinder.h"
#include "widgets/datepicker.h"
#include "widgets/editablegrid.h"
#include "widgets/messages.h"
#include "widgets/numericdelegate.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace varnock {

namespace {

VoucherEntryScreen::Look look(const QString &zl)
{
    using A = VoucherEntryScreen::Action;
    const bool transfer = zl == QLatin1String("2");
    return {QStringLiteral("FormLLTHDTX"),
            transfer ? QStringLiteral("调拨退货单填写") : QStringLiteral("领料退货单填写"),
            transfer ? QStringLiteral("材料调拨退库凭单填制")
                     : QStringLiteral("材料领料退库凭单填制"),
            FormLLTHDTX::helpTopic(),
            QStringLiteral("已记账"),
            ScreenParts::buttons(
                QStringLiteral("出库查询(&C)|材料查询(&M)|保 存(&S)|修 改(&G)|删 除(&D)|恢 复(&H)|"
                               "查 询(&F)|打 印(&P)|记 帐(&J)|退 出(&X)"),
                {A::Choose, A::Own, A::Save, A::Change, A::Delete, A::Restore, A::Search, A::Print,
                 A::Post, A::Exit}),
            {QStringLiteral("领  料  人："), QStringLiteral("材料会计："),
             QStringLiteral("主    管：")},
            QSize(1020, 560),
            true};
}

} // namespace

FormLLTHDTX::FormLLTHDTX(Database &db, const QString &zl, int accountingMode,
                         const Formats &formats, QWidget *parent)
    : FamilyScreen(std::make_unique<IssueReturns>(db, zl, accountingMode, formats), look(zl),
                   parent)
    , m_formats(formats)
    , m_ysbh(new QLineEdit(this))
    , m_thdjh(new QLineEdit(this))
{
    m_ysbh->setObjectName(QStringLiteral("TxtYsbh"));
    m_ysbh->setMinimumWidth(170);
    m_thdjh->setObjectName(QStringLiteral("TxtThdjh"));
    m_thdjh->setMinimumWidth(170);

    placeSystemNumber(QStringLiteral("系统编号"), 0, 0);
    placeDate(QStringLiteral("操作日期："), 0, 2);
    addField(QStringLiteral("出库单号："), m_ysbh, 1, 0, 1, false);
    addField(QStringLiteral("退库单据号："), m_thdjh, 1, 2);
    placeState(0, 4, 2);
    bind(m_ysbh, &IssueReturnVoucher::ysbh);
    bind(m_thdjh, &IssueReturnVoucher::thdjh);
    m_ysbh->setFocusPolicy(Qt::NoFocus);
    stateLabel()->parentWidget()->setMinimumWidth(110);
    header()->setColumnStretch(1, 1);
    header()->setColumnStretch(3, 1);

    headerFrame()->setTitle(QStringLiteral("领料退货凭单填制"));
    grid()->setObjectName(QStringLiteral("MFGM"));
    setLines(m_model, -1, IssueReturnLineModel::Quantity,
             {80, 120, 90, 70, 80, 80, 90, 80, 80, 90});
    grid()->setIdColumn(IssueReturnLineModel::Id);
    grid()
        ->setNumericColumn(IssueReturnLineModel::Quantity, formats.quantityDecimals())
        ->setFigure(Limits::Figure::Quantity);
    connect(m_model, &IssueReturnLineModel::overReturn, this, [this](int) {
        Messages::warn(this, QStringLiteral("已经超过数量，请仔细输入"),
                       QStringLiteral("提示窗口"));
    });
    finish();
}

const QString &FormLLTHDTX::zl() const
{
    return family().zl();
}

void FormLLTHDTX::choose()
{
    if (const std::optional<qint64> xtbh = pickVoucher(VoucherFinder::returnableIssues(family())))
        beginReturn(*xtbh);
}

void FormLLTHDTX::own(int)
{
    FormCLXZ materials(database(), m_formats, VoucherMaterials::Family::Issue, this);
    const std::optional<VoucherMaterials::Row> material = materials.pick();
    if (!material)
        return;
    const std::optional<qint64> xtbh =
        pickVoucher(VoucherFinder::returnableIssues(family(), material->clbh));
    if (!xtbh)
        return;
    beginReturn(*xtbh);
    // The material picked is the line the quantity is typed on.
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (m_model->line(row).clbh == material->clbh) {
            grid()->setCurrentIndex(m_model->index(row, IssueReturnLineModel::Quantity));
            break;
        }
    }
}

void FormLLTHDTX::beginReturn(qint64 issueXtbh)
{
    IssueReturnVoucher draft;
    qint64 next = 0;
    const QDate date = state() == State::New ? dateField()->date() : Clock::today();
    if (!runOperation(this, [&] {
            draft = family().draft(issueXtbh, date);
            next = family().nextSystemNumber();
        }))
        return;
    clearScreen();
    display(draft);
    setSystemNumber(next);
    setState(State::New);
    if (m_model->rowCount() > 0)
        grid()->setCurrentIndex(m_model->index(0, IssueReturnLineModel::Quantity));
    grid()->setFocus();
}

void FormLLTHDTX::post()
{
    // Only what is stored can be posted; edits on screen would be left behind.
    if (systemNumber() == 0 || state() != State::Browse)
        return;
    const Posting::Question q = Posting::confirmation();
    if (!Messages::ask(this, q.text, q.title, q.icon))
        return;
    const qint64 xtbh = systemNumber();
    if (runOperation(this, [&] { family().postNow(xtbh); }))
        showVoucher(xtbh);
}

} // namespace varnock
