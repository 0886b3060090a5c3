#include "vouchers/screens/stockinscreen.h"

#include "master/screens/frmclcx.h"
#include "master/screens/frmgysxz.h"
#include "master/suppliers.h"
#include "vouchers/screens/conversionunitdelegate.h"
#include "vouchers/screens/frmdjcxjg.h"
#include "vouchers/stockinlinemodel.h"
#include "vouchers/stockinvouchers.h"
#include "widgets/datepicker.h"
#include "widgets/editablegrid.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/numericdelegate.h"
#include "widgets/operation.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

namespace varnock {

namespace {

VoucherEntryScreen::Look look(const StockInKind &k)
{
    using A = VoucherEntryScreen::Action;
    QList<VoucherEntryScreen::Button> buttons{
        {QStringLiteral("查 询(&F)"), A::Search},     {QStringLiteral("增 加(&A)"), A::Add},
        {QStringLiteral("保 存(&S)"), A::Save},       {QStringLiteral("修 改(&G)"), A::Change},
        {QStringLiteral("删 除(&D)"), A::DeleteLine}, {QStringLiteral("恢 复(&H)"), A::Restore},
        {QStringLiteral("打 印(&P)"), A::Print},      {QStringLiteral("退 出(&X)"), A::Exit},
        {QStringLiteral("记  账(&J)"), A::Post}};
    if (k.isProvisional())
        buttons.append({QStringLiteral("追 加(&Z)"), A::Own});
    return {k.screen,
            k.caption,
            k.heading,
            StockInScreen::helpTopic(),
            QStringLiteral("已记帐"),
            buttons,
            {QStringLiteral("主    管："), QStringLiteral("材料会计："), k.receiverLabel},
            QSize(1040, 560)};
}

} // namespace

StockInScreen::StockInScreen(Database &db, StockInKind::Kind kind, int accountingMode,
                             const Formats &formats, QWidget *parent)
    : FamilyScreen(
          std::make_unique<StockInVouchers>(db, StockInKind::of(kind), accountingMode, formats),
          look(StockInKind::of(kind)), parent)
    , m_formats(formats)
    , m_ysdjh(new QComboBox(this))
    , m_fpbh(new QLineEdit(this))
    , m_zph(new QLineEdit(this))
    , m_gysbh(new QLineEdit(this))
    , m_gysmc(new QLineEdit(this))
{
    const StockInKind &k = StockInScreen::kind();
    m_ysdjh->setObjectName(QStringLiteral("Combo1"));
    m_ysdjh->setEditable(true);
    m_ysdjh->setInsertPolicy(QComboBox::NoInsert);
    m_ysdjh->setMinimumWidth(180);

    placeDate(QStringLiteral("凭单日期："), 0, 0);
    addField(QStringLiteral("原始单号："), m_ysdjh, 0, 2);
    placeSystemNumber(QStringLiteral("系统编号："), 0, 4);
    placeState(0, 6);
    addField(QStringLiteral("发 票 号："), m_fpbh, 1, 0);
    addField(QStringLiteral("支  票  号："), m_zph, 1, 2);
    QPushButton *pick =
        addCodeField(k.partnerCode, m_gysbh, m_gysmc, 2, 0, FrmGysxz::suppliers(database(), this),
                     [this](const QString &code) -> std::optional<QString> {
                         if (const auto found = Suppliers(database()).find(code))
                             return found->mc;
                         return std::nullopt;
                     });
    pick->setObjectName(QStringLiteral("CmdGys"));
    addField(k.partnerName, m_gysmc, 2, 2, 3, false);
    header()->setColumnStretch(6, 1);
    setStartField(m_ysdjh);
    using V = StockInVoucher;
    bind(m_ysdjh, &V::ysdjh);
    bind(m_fpbh, &V::fpbh);
    bind(m_zph, &V::zph);
    bind(m_gysbh, &V::gysbh);
    bind(m_gysmc, &V::gysmc);

    grid()->setObjectName(QStringLiteral("MFG"));
    setLines(m_model, StockInLineModel::Code, StockInLineModel::Price,
             {80, 110, 80, 60, 60, 75, 75, 70, 80, 85, 85, 100});
    grid()->setIdColumn(StockInLineModel::Id);
    grid()->setLookupColumn(StockInLineModel::Code);
    const int a = m_formats.amountDecimals();
    grid()->setNumericColumn(StockInLineModel::Price, a);
    grid()
        ->setNumericColumn(StockInLineModel::Quantity, m_formats.quantityDecimals())
        ->setFigure(Limits::Figure::Quantity);
    grid()->setNumericColumn(StockInLineModel::Amount, a)->setFigure(Limits::Figure::Amount);
    grid()->setNumericColumn(StockInLineModel::Paid, a)->setFigure(Limits::Figure::Amount);
    grid()->setItemDelegateForColumn(
        StockInLineModel::ConversionUnit,
        new ConversionUnitDelegate(StockInLineModel::ConversionUnitsRole, grid()));
    setPostingWindow({QStringLiteral("RKDZ"), k.selectorIndex()});
    finish();
}

const StockInKind &StockInScreen::kind() const
{
    return family().kind();
}

void StockInScreen::stateChanged(State state)
{
    // The actual figures of a provisional line are typed over the posted line before "追 加".
    if (kind().isProvisional()) {
        m_model->setEditable(m_model->isEditable() || state == State::Posted);
        buttons()->button(Append)->setEnabled(state == State::Posted);
    }
}

void StockInScreen::propose()
{
    m_ysdjh->addItems(family().documentNumbers());
    m_ysdjh->setEditText(family().proposeDocumentNumber());
}

std::optional<qint64> StockInScreen::find()
{
    FrmDjcxjg finder(family(), this);
    return finder.pick();
}

void StockInScreen::pickMaterial(int row)
{
    if (!m_model->isEditable() || row < 0 || row >= m_model->rowCount())
        return;
    FrmClcx lookup(database(), m_formats, this);
    if (const std::optional<MaterialLookup::Row> material = lookup.pick())
        materialPlaced(row, m_model->setMaterial(row, *material));
}

void StockInScreen::append()
{
    const QModelIndex current = grid()->currentIndex();
    const int row = current.isValid() ? current.row() : -1;
    const qint64 id = row >= 0 ? m_model->line(row).id : 0;
    if (!runOperation(this, [&] { family().checkAppend(id); }))
        return;
    if (!Messages::ask(this, QStringLiteral("暂估材料原始资料将被冲掉,现时追加将被入帐!"
                                            "您确定要进行此操作吗?")))
        return;
    if (!Messages::ask(this, QStringLiteral("每次只能追加一条记录，第 ") +
                                 QString::number(row + 1) + QStringLiteral(" 条记录将被追加")))
        return;
    const StockInVoucher v = shown();
    if (runOperation(this, [&] { family().append(v, v.lines.at(row)); }))
        showVoucher(systemNumber());
}

} // namespace varnock
