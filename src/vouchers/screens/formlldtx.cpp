#include "vouchers/screens/formlldtx.h"

#include "master/screens/masterpickers.h"
#include "plans/plancheck.h"
#include "vouchers/issuelinemodel.h"
#include "vouchers/issuevouchers.h"
#include "vouchers/screens/conversionunitdelegate.h"
#include "vouchers/screens/issuematerialpicker.h"
#include "vouchers/screens/voucherfinder.h"
#include "widgets/datepicker.h"
#include "widgets/editablegrid.h"
#include "widgets/messages.h"
#include "widgets/numericdelegate.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace varnock {

namespace {

bool isTransfer(const QString &zl)
{
    return zl == IssueVouchers::TransferOut;
}

VoucherEntryScreen::Look look(const QString &zl)
{
    using A = VoucherEntryScreen::Action;
    const QString title = isTransfer(zl) ? QStringLiteral("材料出库凭单填制")
                                         : QStringLiteral("材料领料出库凭单填制");
    return {
        QStringLiteral("FormLLDTX"),
        title,
        title,
        FormLLDTX::helpTopic(),
        QStringLiteral("已记帐"),
        ScreenParts::buttons(
            QStringLiteral("增 加(&A)|修  改(&G)|保 存(&S)|删  除(&D)|恢 复(&H)|查 询(&F)|"
                           "打 印(&P)|记   账(&J)|退 出(&X)"),
            {A::Add, A::Change, A::Save, A::DeleteLine, A::Restore, A::Search, A::Print, A::Post,
             A::Exit}),
        {QStringLiteral("领 料 人："), QStringLiteral("材料会计："), QStringLiteral("主    管：")},
        QSize(1080, 580),
        true};
}

} // namespace

FormLLDTX::FormLLDTX(Database &db, const QString &zl, int accountingMode, const Formats &formats,
                     QWidget *parent)
    : FamilyScreen(std::make_unique<IssueVouchers>(db, zl, accountingMode, formats), look(zl),
                   parent)
    , m_formats(formats)
    , m_ysdjh(choiceBox(QStringLiteral("Combo1"), 150))
    , m_lldwbh(new QLineEdit(this))
    , m_lldwmc(new QLineEdit(this))
    , m_pickUnit(nullptr)
    , m_sgbw(choiceBox(QStringLiteral("CmbSgbw"), 150))
    , m_dh(choiceBox(QStringLiteral("CmbDh"), 150))
    , m_total(new QLineEdit(this))
    , m_pickMaterial(new QPushButton(QStringLiteral("…"), this))
{
    m_ysdjh->setMinimumWidth(190);
    m_lldwbh->setObjectName(QStringLiteral("TxtDwbh"));
    m_lldwmc->setMinimumWidth(180);
    m_total->setObjectName(QStringLiteral("TxtZje"));
    m_total->setAlignment(Qt::AlignRight);
    systemNumberLabel()->setMinimumWidth(80);
    systemNumberLabel()->setFrameShape(QFrame::StyledPanel);

    // Tab and Enter: the number, the unit, the site, the building; the date is today's.
    placeSystemNumber(QStringLiteral("凭证编号"), 0, 0);
    using V = IssueVoucher;
    placeDate(QStringLiteral("凭单日期"), 0, 4);
    addField(QStringLiteral("单据编号"), m_ysdjh, 0, 2, &V::ysdjh);
    m_pickUnit =
        addCodeField(isTransfer(zl) ? QStringLiteral("调拨单位") : QStringLiteral("耗料单位"),
                     m_lldwbh, m_lldwmc, 1, 0, MasterPickers::pickUnit(database(), this),
                     [this](const QString &code) { return family().unitName(code); });
    addShown(m_lldwmc, 1, 2, 2);
    addField(QStringLiteral("总 金 额"), m_total, 1, 4, 1, false);
    addField(QStringLiteral("施工部位"), m_sgbw, 2, 0, &V::sgbw);
    addField(QStringLiteral("栋/楼号"), m_dh, 2, 2, &V::dh);
    placeState(0, 6, 3);
    header()->setColumnStretch(3, 1);
    m_total->setFocusPolicy(Qt::NoFocus);
    m_pickUnit->setObjectName(QStringLiteral("CmdDw"));
    bind(m_lldwbh, &V::lldwbh);
    bind(m_lldwmc, &V::lldwmc);
    setStartField(m_ysdjh);

    grid()->setObjectName(QStringLiteral("MFGM"));
    setLines(m_model, IssueLineModel::Code, IssueLineModel::Quantity,
             {0, 80, 110, 80, 60, 60, 75, 75, 80, 75, 85, 60, 100});
    grid()->setIdColumn(IssueLineModel::Id);
    grid()->setLookupColumn(IssueLineModel::Code);
    grid()->setNumericColumn(IssueLineModel::Price, m_formats.amountDecimals());
    grid()
        ->setNumericColumn(IssueLineModel::Quantity, m_formats.quantityDecimals())
        ->setFigure(Limits::Figure::Quantity);
    grid()->setItemDelegateForColumn(
        IssueLineModel::ConversionUnit,
        new ConversionUnitDelegate(IssueLineModel::ConversionUnitsRole, grid()));
    // Under first in first out the posting prices the lines: no price or amount at entry.
    grid()->setColumnHidden(IssueLineModel::Price, family().isFirstInFirstOut());
    grid()->setColumnHidden(IssueLineModel::Amount, family().isFirstInFirstOut());

    m_pickMaterial->setObjectName(QStringLiteral("CmdCl"));
    m_pickMaterial->setToolTip(QStringLiteral("出库材料选择"));
    m_pickMaterial->setFixedWidth(28);
    m_pickMaterial->setAutoDefault(false);
    connect(m_pickMaterial, &QPushButton::clicked, this, [this] { pickMaterial(); });
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this] { showTotal(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { showTotal(); });
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, [this] { showTotal(); });
    setPostingWindow({isTransfer(zl) ? QStringLiteral("DBDDZ") : QStringLiteral("LLDDZ")});
    finish(m_pickMaterial);
}

const QString &FormLLDTX::zl() const
{
    return family().zl();
}

void FormLLDTX::stateChanged(State state)
{
    m_pickMaterial->setEnabled(state == State::New || state == State::Edit);
}

void FormLLDTX::fillChoices()
{
    offerChoices({{m_ysdjh, [this] { return family().documentNumbers(); }},
                  {m_sgbw, [this] { return family().sites(); }},
                  {m_dh, [this] { return family().buildings(); }}});
}

void FormLLDTX::showTotal()
{
    m_total->setText(m_formats.amountText(m_model->total()));
}

void FormLLDTX::propose()
{
    m_ysdjh->setEditText(family().proposeDocumentNumber());
    fillChoices();
}

void FormLLDTX::pickMaterial(int row)
{
    if (!m_model->isEditable())
        return;
    RowPicker picker(issueMaterialPicker(database(), m_formats), this);
    const std::optional<IssueMaterials::Row> material = picker.pick();
    if (!material)
        return;
    if (row < 0 || row >= m_model->rowCount())
        row = m_model->firstEmptyRow();
    bool placed = false;
    runOperation(this, [&] { placed = m_model->setMaterial(row, *material); });
    materialPlaced(row, placed);
}

qint64 FormLLDTX::saveShown(bool isNew)
{
    const qint64 xtbh = FamilyScreen::saveShown(isNew);
    // A warning, never a refusal: the voucher is saved.
    const QString overPlan = PlanCheck::warning(database(), xtbh, m_formats);
    if (!overPlan.isEmpty())
        Messages::warn(this, overPlan);
    return xtbh;
}

} // namespace varnock
