#include "vouchers/screens/stockinscreen.h"

#include "master/screens/masterpickers.h"
#include "master/suppliers.h"
#include "vouchers/screens/conversionunitdelegate.h"
#include "vouchers/screens/voucherfinder.h"
#include "vouchers/stockinlinemodel.h"
#include "vouchers/stockinvouchers.h"
#include "widgets/datepicker.h"
#include "widgets/editablegrid.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/numericdelegate.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

namespace varnock {

namespace {

VoucherEntryScreen::Look look(const StockInKind &k)
{
    using A = VoucherEntryScreen::Action;
    QList<VoucherEntryScreen::Button> buttons = ScreenParts::buttons(
        QStringLiteral("查 询(&F)|增 加(&A)|保 存(&S)|修 改(&G)|删 除(&D)|恢 复(&H)|打 印(&P)|"
                       "退 出(&X)|记  账(&J)"),
        {A::Search, A::Add, A::Save, A::Change, A::DeleteLine, A::Restore, A::Print, A::Exit,
         A::Post});
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

    using V = StockInVoucher;
    placeFirstRow(QStringLiteral("原始单号："), m_ysdjh, &V::ysdjh);
    addField(QStringLiteral("发 票 号："), m_fpbh, 1, 0, &V::fpbh);
    addField(QStringLiteral("支  票  号："), m_zph, 1, 2, &V::zph);
    QPushButton *pick = addCodeField(k.partnerCode, m_gysbh, m_gysmc, 2, 0,
                                     MasterPickers::pickSupplier(database(), this),
                                     [this](const QString &code) -> std::optional<QString> {
                                         if (const auto found = Suppliers(database()).find(code))
                                             return found->mc;
                                         return std::nullopt;
                                     });
    pick->setObjectName(QStringLiteral("CmdGys"));
    addField(k.partnerName, m_gysmc, 2, 2, &V::gysmc, 3, false);
    header()->setColumnStretch(6, 1);
    bind(m_gysbh, &V::gysbh);
    setStartField(m_ysdjh);

    setLines(m_model, StockInLineModel::Code, StockInLineModel::Price, widths());
    formatLines(grid(), m_formats);
    setPostingWindow({QStringLiteral("RKDZ"), k.selectorIndex()});
    finish();
}

QList<int> StockInScreen::widths()
{
    return {80, 110, 80, 60, 60, 75, 75, 70, 80, 85, 85, 100};
}

void StockInScreen::formatLines(EditableGrid *grid, const Formats &formats)
{
    grid->setObjectName(QStringLiteral("MFG"));
    grid->setIdColumn(StockInLineModel::Id);
    grid->setLookupColumn(StockInLineModel::Code);
    const int a = formats.amountDecimals();
    grid->setNumericColumn(StockInLineModel::Price, a);
    grid->setNumericColumn(StockInLineModel::Quantity, formats.quantityDecimals())
        ->setFigure(Limits::Figure::Quantity);
    grid->setNumericColumn(StockInLineModel::Amount, a)->setFigure(Limits::Figure::Amount);
    grid->setNumericColumn(StockInLineModel::Paid, a)->setFigure(Limits::Figure::Amount);
    grid->setItemDelegateForColumn(
        StockInLineModel::ConversionUnit,
        new ConversionUnitDelegate(StockInLineModel::ConversionUnitsRole, grid));
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

void StockInScreen::append()
{
    const QModelIndex current = grid()->currentIndex();
    const int row = current.isValid() ? current.row() : -1;
    const qint64 id = row >= 0 ? m_model->line(row).id : 0;
    if (!runOperation(this, [&] { family().checkAppend(id); }))
        return;
    if (!Messages::ask(
            this,
            QStringLiteral("暂估材料原始资料将被冲掉,现时追加将被入帐!您确定要进行此操作吗?")))
        return;
    if (!Messages::ask(this, QStringLiteral("每次只能追加一条记录，第 ") +
                                 QString::number(row + 1) + QStringLiteral(" 条记录将被追加")))
        return;
    const StockInVoucher v = shown();
    if (runOperation(this, [&] { family().append(v, v.lines.at(row)); }))
        showVoucher(systemNumber());
}

} // namespace varnock
