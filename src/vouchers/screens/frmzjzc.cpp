#include "vouchers/screens/frmzjzc.h"

#include "ledger/screens/frmzjzcdz.h"
#include "ledger/screens/ledgerscreenparts.h"
#include "master/screens/formlldwxzct.h"
#include "master/screens/frmclcx.h"
#include "master/screens/frmgysxz.h"
#include "vouchers/screens/conversionunitdelegate.h"
#include "vouchers/screens/frmzjzcjg.h"
#include "vouchers/stockinlinemodel.h"
#include "widgets/datepicker.h"
#include "widgets/editablegrid.h"
#include "widgets/numericdelegate.h"
#include "widgets/operation.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

namespace varnock {

namespace {

// The stock-in grid, its remark column being the material certificate.
class DirectLineModel : public StockInLineModel
{
public:
    using StockInLineModel::StockInLineModel;

    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section == Remark)
            return QStringLiteral(" 材质证明");
        return StockInLineModel::headerData(section, orientation, role);
    }
};

VoucherEntryScreen::Look look()
{
    using A = VoucherEntryScreen::Action;
    const QString title = QStringLiteral("材料直进直出凭单填制");
    return {QStringLiteral("FrmZjzc"),
            title,
            title,
            QStringLiteral("直进直出"),
            QStringLiteral("已记帐"),
            {{QStringLiteral("查 询(&F)"), A::Search},
             {QStringLiteral("增 加(&A)"), A::Add},
             {QStringLiteral("保 存(&S)"), A::Save},
             {QStringLiteral("修 改(&G)"), A::Change},
             {QStringLiteral("删 除(&D)"), A::Own},
             {QStringLiteral("恢 复(&H)"), A::Restore},
             {QStringLiteral("打 印(&P)"), A::Print},
             {QStringLiteral("退 出(&X)"), A::Exit},
             {QStringLiteral("记 账(&J)"), A::Post}},
            {QStringLiteral("主    管："), QStringLiteral("材料会计："),
             QStringLiteral("验 收 员："), QStringLiteral("领 料 人：")},
            QSize(1080, 600)};
}

QComboBox *choiceBox(const char *name, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMinimumWidth(170);
    return combo;
}

} // namespace

FrmZjzc::FrmZjzc(Database &db, int accountingMode, const Formats &formats, QWidget *parent)
    : VoucherEntryScreen(std::make_unique<DirectVouchers>(db, accountingMode, formats), look(),
                         parent)
    , m_formats(formats)
    , m_ysdjh(choiceBox("Combo1", this))
    , m_issueYsdjh(choiceBox("Combo2", this))
    , m_gysbh(new QLineEdit(this))
    , m_gysmc(new QLineEdit(this))
    , m_lldwbh(new QLineEdit(this))
    , m_lldwmc(new QLineEdit(this))
    , m_sgbw(choiceBox("CmbSgbw", this))
    , m_dh(choiceBox("CmbDh", this))
    , m_zph(new QLineEdit(this))
    , m_fpbh(new QLineEdit(this))
    , m_model(new DirectLineModel(vouchers().receipts(), this))
{
    m_gysbh->setObjectName(QStringLiteral("TxtGysbh"));
    m_lldwbh->setObjectName(QStringLiteral("TxtDwbh"));
    m_zph->setObjectName(QStringLiteral("TxtZph"));
    m_fpbh->setObjectName(QStringLiteral("TxtFpbh"));

    // Tab and Enter: the numbers, the supplier, the unit, where it goes, the payment.
    placeDate(QStringLiteral("凭单日期："), 0, 0);
    addField(QStringLiteral("入库单号："), m_ysdjh, 0, 2);
    placeSystemNumber(QStringLiteral("系统编号："), 0, 4);
    placeState(0, 6);
    addField(QStringLiteral("出库单号："), m_issueYsdjh, 1, 2);
    QPushButton *pickSupplier =
        addCodeField(QStringLiteral("供应商编号："), m_gysbh, m_gysmc, 2, 0,
                     FrmGysxz::suppliers(database(), this),
                     [this](const QString &code) { return vouchers().supplierName(code); });
    pickSupplier->setObjectName(QStringLiteral("CmdGys"));
    addField(QStringLiteral("供应商名称："), m_gysmc, 2, 2, 3, false);
    QPushButton *pickUnit =
        addCodeField(QStringLiteral("耗料单位编号："), m_lldwbh, m_lldwmc, 3, 0,
                     FormLLDWXZCT::units(database(), this),
                     [this](const QString &code) { return vouchers().unitName(code); });
    pickUnit->setObjectName(QStringLiteral("CmdDw"));
    addField(QStringLiteral("耗料单位名称："), m_lldwmc, 3, 2, 3, false);
    addField(QStringLiteral("施工部位："), m_sgbw, 4, 0);
    addField(QStringLiteral("栋/楼号："), m_dh, 4, 2);
    addField(QStringLiteral("支 票 号："), m_zph, 5, 0);
    addField(QStringLiteral("发 票 号："), m_fpbh, 5, 2);
    header()->setColumnStretch(6, 1);
    setStartField(m_ysdjh);

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
    setPostingWindow({QStringLiteral("ZJZCDZ")});
    // A delivery prints a receipt slip and an issue slip of its own, not the purchase slip
    // its receipt table would give it.
    setPrinter({});
    finish();
}

DirectVouchers &FrmZjzc::vouchers() const
{
    return static_cast<DirectVouchers &>(service());
}

DirectVoucher FrmZjzc::shown() const
{
    DirectVoucher v;
    v.xtbh = systemNumber();
    v.czrq = dateField()->date();
    v.ysdjh = m_ysdjh->currentText();
    v.issueYsdjh = m_issueYsdjh->currentText();
    v.gysbh = m_gysbh->text();
    v.gysmc = m_gysmc->text();
    v.lldwbh = m_lldwbh->text();
    v.lldwmc = m_lldwmc->text();
    v.sgbw = m_sgbw->currentText();
    v.dh = m_dh->currentText();
    v.zph = m_zph->text();
    v.fpbh = m_fpbh->text();
    v.lines = m_model->lines();
    return v;
}

void FrmZjzc::fillChoices()
{
    QStringList numbers;
    QStringList issueNumbers;
    QStringList sites;
    QStringList buildings;
    runOperation(this, [&] {
        numbers = vouchers().documentNumbers();
        issueNumbers = vouchers().issueDocumentNumbers();
        sites = vouchers().sites();
        buildings = vouchers().buildings();
    });
    const auto refill = [](QComboBox *combo, const QStringList &items) {
        const QString text = combo->currentText();
        combo->clear();
        combo->addItems(items);
        combo->setEditText(text);
    };
    refill(m_ysdjh, numbers);
    refill(m_issueYsdjh, issueNumbers);
    refill(m_sgbw, sites);
    refill(m_dh, buildings);
}

std::optional<bool> FrmZjzc::load(qint64 xtbh)
{
    const std::optional<DirectVoucher> v = vouchers().load(xtbh);
    if (!v)
        return std::nullopt;
    dateField()->setDate(v->czrq);
    m_ysdjh->setEditText(v->ysdjh);
    m_issueYsdjh->setEditText(v->issueYsdjh);
    m_gysbh->setText(v->gysbh);
    m_gysmc->setText(v->gysmc);
    m_lldwbh->setText(v->lldwbh);
    m_lldwmc->setText(v->lldwmc);
    m_sgbw->setEditText(v->sgbw);
    m_dh->setEditText(v->dh);
    m_zph->setText(v->zph);
    m_fpbh->setText(v->fpbh);
    fillChoices();
    m_model->setLines(v->lines);
    return v->posted;
}

qint64 FrmZjzc::saveShown(bool isNew)
{
    if (isNew)
        return vouchers().saveNew(shown());
    vouchers().saveEdit(shown());
    return systemNumber();
}

void FrmZjzc::propose()
{
    m_ysdjh->setEditText(vouchers().proposeDocumentNumber());
    m_issueYsdjh->setEditText(vouchers().proposeIssueDocumentNumber());
    fillChoices();
}

std::optional<qint64> FrmZjzc::find()
{
    FrmZjzcjg finder(vouchers(), this);
    return finder.pick();
}

void FrmZjzc::pickMaterial(int row)
{
    if (!m_model->isEditable() || row < 0 || row >= m_model->rowCount())
        return;
    FrmClcx lookup(database(), m_formats, this);
    if (const std::optional<MaterialLookup::Row> material = lookup.pick())
        materialPlaced(row, m_model->setMaterial(row, *material));
}

void FrmZjzc::own(int)
{
    if (state() == State::New || state() == State::Edit)
        deleteLine();
    else
        deleteVoucher();
}

void FrmZjzc::post()
{
    const qint64 xtbh = systemNumber();
    if (!LedgerScreenParts::runCommand(this, QStringLiteral("ZJZCDZ")))
        return;
    for (FrmZjzcdz *window : this->window()->findChildren<FrmZjzcdz *>()) {
        window->choose(xtbh);
        // What the window posted or deleted shows here once it closes.
        connect(window, &QObject::destroyed, this, [this, xtbh] {
            if (xtbh != 0 && systemNumber() == xtbh && state() != State::Edit)
                showVoucher(xtbh);
        });
    }
}

} // namespace varnock
