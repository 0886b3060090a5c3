#include "leasing/screens/forhz.h"

#include "leasing/leases.h"
#include "leasing/screens/forhzcx.h"
#include "leasing/screens/fzl.h"
#include "store/clock.h"
#include "vouchers/voucherbook.h"
#include "widgets/datepicker.h"
#include "widgets/editablegrid.h"
#include "widgets/messages.h"
#include "widgets/numericdelegate.h"
#include "widgets/operation.h"

#include <QGridLayout>
#include <QLineEdit>

namespace varnock {

namespace {

VoucherEntryScreen::Look look()
{
    using A = VoucherEntryScreen::Action;
    VoucherEntryScreen::Look l{QStringLiteral("Forhz"),
                               QStringLiteral("还租业务处理"),
                               QStringLiteral("还租业务处理"),
                               Forhz::helpTopic(),
                               QStringLiteral("已记帐"),
                               {{QStringLiteral("租赁选择(&A)"), A::Choose},
                                {QStringLiteral("保  存(&S)"), A::Save},
                                {QStringLiteral("查 询(&F)"), A::Search},
                                {QStringLiteral("修 改(&G)"), A::Change},
                                {QStringLiteral("删 除(&D)"), A::Delete},
                                {QStringLiteral("恢 复(&R)"), A::Restore},
                                {QStringLiteral("退 出(&X)"), A::Exit}},
                               {QStringLiteral("经 手 人："), QStringLiteral("材料会计：")},
                               QSize(1180, 560)};
    l.deleteQuestion = QStringLiteral("您确定要删除本还租小票吗,一旦删除将不能还原?");
    l.saveQuestion = QStringLiteral("您确定要保存本次还租吗?");
    return l;
}

QLineEdit *shownField(const char *name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

} // namespace

Forhz::Forhz(Database &db, const Formats &formats, QWidget *parent)
    : FamilyScreen(std::make_unique<LeaseReturns>(db, formats), look(), parent)
    , m_zldjbh(shownField("TxtZldjbh", this))
    , m_leaseDate(shownField("TxtZyrq", this))
    , m_days(shownField("TxtZyts", this))
    , m_gysbh(shownField("TxtGysbh", this))
    , m_lldwbh(shownField("TxtLldwbh", this))
    , m_lldwmc(shownField("TxtLldwmc", this))
{
    dateField()->setObjectName(QStringLiteral("DTPicker1"));
    systemNumberLabel()->setFrameShape(QFrame::StyledPanel);
    m_lldwmc->setMinimumWidth(200);
    m_days->setAlignment(Qt::AlignRight);

    placeSystemNumber(QStringLiteral("还租单据号："), 0, 0);
    placeDate(QStringLiteral("还租日期："), 0, 2);
    addField(QStringLiteral("租赁单据编号："), m_zldjbh, 0, 4, 1, false);
    addField(QStringLiteral("租用日期："), m_leaseDate, 1, 0, 1, false);
    addField(QStringLiteral("租 用 天 数："), m_days, 1, 2, 1, false);
    addField(QStringLiteral("供应商编号："), m_gysbh, 1, 4, 1, false);
    addField(QStringLiteral("耗料单位编号："), m_lldwbh, 2, 0, 1, false);
    addField(QStringLiteral("领料单位名称："), m_lldwmc, 2, 2, 3, false);
    placeState(0, 6, 3);
    header()->setColumnStretch(5, 1);
    using V = LeaseReturnVoucher;
    bind(m_gysbh, &V::gysbh);
    bind(m_lldwbh, &V::lldwbh);
    bind(m_lldwmc, &V::lldwmc);

    grid()->setObjectName(QStringLiteral("MFG"));
    setLines(m_model, -1, LeaseReturnLineModel::Quantity,
             {80, 120, 90, 70, 80, 80, 70, 80, 90, 80, 90, 50});
    grid()->setColumnHidden(LeaseReturnLineModel::Id, true);
    grid()
        ->setNumericColumn(LeaseReturnLineModel::Quantity, formats.quantityDecimals())
        ->setFigure(Limits::Figure::Quantity);
    connect(m_model, &LeaseReturnLineModel::overReturn, this, [this](int) {
        Messages::warn(this, LeaseReturns::OverReturnText, QStringLiteral("警告"));
    });
    connect(dateField(), &QDateEdit::dateChanged, this, [this] { showDays(); });
    finish();
}

std::optional<qint64> Forhz::find()
{
    ForHZCX finder(family(), this);
    return finder.pick();
}

void Forhz::choose()
{
    // The leases are chosen from the lease finder, as the lease screen finds them.
    const Leases leases(database(), family().formats());
    Fzl chooser(leases, this);
    if (const std::optional<qint64> djbh = chooser.pick())
        beginReturn(*djbh);
}

void Forhz::beginReturn(qint64 djbh)
{
    std::optional<LeaseReturnVoucher> draft;
    qint64 next = 0;
    const QDate date = state() == State::New ? dateField()->date() : Clock::today();
    if (!runOperation(this,
                      [&] {
                          draft = family().draft(djbh, date);
                          next = family().nextSystemNumber();
                      }) ||
        !draft)
        return;
    clearScreen();
    display(*draft);
    setSystemNumber(next);
    setState(State::New);
    if (m_model->rowCount() > 0)
        grid()->setCurrentIndex(m_model->index(0, LeaseReturnLineModel::Quantity));
    grid()->setFocus();
}

void Forhz::displayed()
{
    const LeaseReturnVoucher v = shown();
    m_zldjbh->setText(v.zldjbh == 0 ? QString() : QString::number(v.zldjbh));
    m_leaseDate->setText(v.leaseDate.isValid() ? VoucherBook::dateText(v.leaseDate) : QString());
    showDays();
}

void Forhz::showDays()
{
    const LeaseReturnVoucher v = shown();
    m_days->setText(v.leaseDate.isValid() ? QString::number(v.rentDays()) : QString());
    m_model->setRentDays(v.rentDays());
}

} // namespace varnock
