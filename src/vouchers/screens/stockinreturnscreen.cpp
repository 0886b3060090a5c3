#include "vouchers/screens/stockinreturnscreen.h"

#include "store/clock.h"
#include "vouchers/screens/voucherfinder.h"
#include "vouchers/stockinreturnlinemodel.h"
#include "vouchers/stockinreturns.h"
#include "vouchers/stockinvouchers.h"
#include "widgets/datepicker.h"
#include "widgets/editablegrid.h"
#include "widgets/numericdelegate.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace varnock {

namespace {

VoucherEntryScreen::Look look(const StockInReturnKind &k)
{
    using A = VoucherEntryScreen::Action;
    return {k.screen,
            k.caption,
            k.heading,
            StockInReturnScreen::helpTopic(),
            QStringLiteral("已记帐"),
            ScreenParts::buttons(
                QStringLiteral("查 询(&F)|%1|保 存(&S)|修 改(&G)|删 除(&D)|恢 复(&H)|打 印(&P)|"
                               "退 出(&X)|记 账(&J)")
                    .arg(k.chooseCaption),
                {A::Search, A::Choose, A::Save, A::Change, A::Delete, A::Restore, A::Print, A::Exit,
                 A::Post}),
            {QStringLiteral("主    管："), QStringLiteral("材料会计："), k.receiverLabel},
            QSize(1060, 560)};
}

} // namespace

StockInReturnScreen::StockInReturnScreen(Database &db, StockInKind::Kind kind, int accountingMode,
                                         const Formats &formats, QWidget *parent)
    : FamilyScreen(
          std::make_unique<StockInReturns>(db, StockInKind::of(kind), accountingMode, formats),
          look(StockInReturnKind::of(kind)), parent)
    , m_thdjh(new QLineEdit(this))
    , m_ysbh(new QLineEdit(this))
    , m_fpbh(new QLineEdit(this))
    , m_zph(new QLineEdit(this))
    , m_gysbh(new QLineEdit(this))
    , m_gysmc(new QLineEdit(this))
{
    const StockInReturnKind &k = StockInReturnScreen::kind();
    m_thdjh->setObjectName(QStringLiteral("TxtThdjh"));
    m_thdjh->setMinimumWidth(180);

    // Everything but the date and the return's own number comes from the stock-in voucher.
    using V = StockInReturnVoucher;
    placeFirstRow(QStringLiteral("原始单号："), m_thdjh, &V::thdjh);
    addField(QStringLiteral("入库编号："), m_ysbh, 1, 0, &V::ysbh, 1, false);
    addField(QStringLiteral("发 票 号："), m_fpbh, 1, 2, &V::fpbh, 1, false);
    addField(QStringLiteral("支  票  号："), m_zph, 1, 4, &V::zph, 1, false);
    addField(k.partnerCode, m_gysbh, 2, 0, &V::gysbh, 1, false);
    addField(k.partnerName, m_gysmc, 2, 2, &V::gysmc, 3, false);
    header()->setColumnStretch(6, 1);

    grid()->setObjectName(QStringLiteral("MFG"));
    setLines(m_model, -1, StockInReturnLineModel::Quantity,
             {80, 110, 80, 50, 75, 75, 85, 75, 75, 85, 80, 75});
    grid()->setIdColumn(StockInReturnLineModel::Id);
    grid()
        ->setNumericColumn(StockInReturnLineModel::Quantity, formats.quantityDecimals())
        ->setFigure(Limits::Figure::Quantity);
    setPostingWindow({QStringLiteral("THDQBDZ"), k.selectorIndex()});
    finish();
}

const StockInReturnKind &StockInReturnScreen::kind() const
{
    return family().kind();
}

void StockInReturnScreen::choose()
{
    clearScreen();
    QString proposal;
    qint64 next = 0;
    QList<StockInListRow> offered;
    if (!runOperation(this, [&] {
            proposal = family().proposeDocumentNumber();
            next = family().nextSystemNumber();
            offered = family().offerableStockIns();
        }))
        return;
    m_thdjh->setText(proposal);
    setSystemNumber(next);
    setState(State::New);

    StockInVouchers stockIns(database(), kind().stockIn(), family().accountingMode(),
                             family().formats());
    const std::optional<qint64> chosen = pickVoucher(VoucherFinder::stockIns(stockIns, offered));
    if (!chosen) {
        restore();
        return;
    }
    startReturn(*chosen);
}

void StockInReturnScreen::startReturn(qint64 stockInXtbh)
{
    const QDate date = dateField()->date();
    const QString number = m_thdjh->text();
    std::optional<StockInReturnVoucher> v;
    if (!runOperation(this, [&] { v = family().draft(stockInXtbh, date); })) {
        restore();
        return;
    }
    display(*v);
    dateField()->setDate(date);
    if (!number.isEmpty())
        m_thdjh->setText(number);
    if (systemNumberLabel()->text().isEmpty())
        setSystemNumber(family().nextSystemNumber());
    setState(State::New);
    if (m_model->rowCount() > 0) {
        grid()->setCurrentIndex(m_model->index(0, StockInReturnLineModel::Quantity));
        grid()->setFocus();
    }
}

} // namespace varnock
