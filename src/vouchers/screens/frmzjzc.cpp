#include "vouchers/screens/frmzjzc.h"

#include "ledger/screens/frmzjzcdz.h"
#include "ledger/screens/ledgerscreenparts.h"
#include "master/screens/masterpickers.h"
#include "vouchers/screens/stockinscreen.h"
#include "vouchers/screens/voucherfinder.h"
#include "vouchers/stockinlinemodel.h"
#include "widgets/datepicker.h"
#include "widgets/editablegrid.h"
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

VoucherEntryScreen::Look look()
{
    using A = VoucherEntryScreen::Action;
    const QString title = QStringLiteral("材料直进直出凭单填制");
    return {QStringLiteral("FrmZjzc"),
            title,
            title,
            QStringLiteral("直进直出"),
            QStringLiteral("已记帐"),
            ScreenParts::buttons(
                QStringLiteral("查 询(&F)|增 加(&A)|保 存(&S)|修 改(&G)|删 除(&D)|恢 复(&H)|"
                               "打 印(&P)|退 出(&X)|记 账(&J)"),
                {A::Search, A::Add, A::Save, A::Change, A::Own, A::Restore, A::Print, A::Exit,
                 A::Post}),
            {QStringLiteral("主    管："), QStringLiteral("材料会计："),
             QStringLiteral("验 收 员："), QStringLiteral("领 料 人：")},
            QSize(1080, 600)};
}

} // namespace

FrmZjzc::FrmZjzc(Database &db, int accountingMode, const Formats &formats, QWidget *parent)
    : FamilyScreen(std::make_unique<DirectVouchers>(db, accountingMode, formats), look(), parent)
    , m_formats(formats)
    , m_ysdjh(choiceBox(QStringLiteral("Combo1"), 170))
    , m_issueYsdjh(choiceBox(QStringLiteral("Combo2"), 170))
    , m_gysbh(new QLineEdit(this))
    , m_gysmc(new QLineEdit(this))
    , m_lldwbh(new QLineEdit(this))
    , m_lldwmc(new QLineEdit(this))
    , m_sgbw(choiceBox(QStringLiteral("CmbSgbw"), 170))
    , m_dh(choiceBox(QStringLiteral("CmbDh"), 170))
    , m_zph(new QLineEdit(this))
    , m_fpbh(new QLineEdit(this))
{
    m_gysbh->setObjectName(QStringLiteral("TxtGysbh"));
    m_lldwbh->setObjectName(QStringLiteral("TxtDwbh"));
    m_zph->setObjectName(QStringLiteral("TxtZph"));
    m_fpbh->setObjectName(QStringLiteral("TxtFpbh"));

    // Tab and Enter: the numbers, the supplier, the unit, where it goes, the payment.
    using V = DirectVoucher;
    placeFirstRow(QStringLiteral("入库单号："), m_ysdjh, &V::ysdjh);
    addField(QStringLiteral("出库单号："), m_issueYsdjh, 1, 2, &V::issueYsdjh);
    QPushButton *pickSupplier =
        addCodeField(QStringLiteral("供应商编号："), m_gysbh, m_gysmc, 2, 0,
                     MasterPickers::pickSupplier(database(), this),
                     [this](const QString &code) { return family().supplierName(code); });
    pickSupplier->setObjectName(QStringLiteral("CmdGys"));
    addField(QStringLiteral("供应商名称："), m_gysmc, 2, 2, &V::gysmc, 3, false);
    QPushButton *pickUnit =
        addCodeField(QStringLiteral("耗料单位编号："), m_lldwbh, m_lldwmc, 3, 0,
                     MasterPickers::pickUnit(database(), this),
                     [this](const QString &code) { return family().unitName(code); });
    pickUnit->setObjectName(QStringLiteral("CmdDw"));
    addField(QStringLiteral("耗料单位名称："), m_lldwmc, 3, 2, &V::lldwmc, 3, false);
    addField(QStringLiteral("施工部位："), m_sgbw, 4, 0, &V::sgbw);
    addField(QStringLiteral("栋/楼号："), m_dh, 4, 2, &V::dh);
    addField(QStringLiteral("支 票 号："), m_zph, 5, 0, &V::zph);
    addField(QStringLiteral("发 票 号："), m_fpbh, 5, 2, &V::fpbh);
    header()->setColumnStretch(6, 1);
    bind(m_gysbh, &V::gysbh);
    bind(m_lldwbh, &V::lldwbh);
    setStartField(m_ysdjh);

    setLines(m_model, StockInLineModel::Code, StockInLineModel::Price, StockInScreen::widths());
    StockInScreen::formatLines(grid(), m_formats);
    setPostingWindow({QStringLiteral("ZJZCDZ")});
    // A delivery prints a receipt slip and an issue slip of its own, not the purchase slip
    // its receipt table would give it.
    setPrinter({});
    finish();
}

void FrmZjzc::fillChoices()
{
    offerChoices({{m_ysdjh, [this] { return family().documentNumbers(); }},
                  {m_issueYsdjh, [this] { return family().issueDocumentNumbers(); }},
                  {m_sgbw, [this] { return family().sites(); }},
                  {m_dh, [this] { return family().buildings(); }}});
}

void FrmZjzc::propose()
{
    m_ysdjh->setEditText(family().proposeDocumentNumber());
    m_issueYsdjh->setEditText(family().proposeIssueDocumentNumber());
    fillChoices();
}

void FrmZjzc::own(int)
{
    if (state() == State::New || state() == State::Edit)
        deleteLine();
    else
        deleteVoucher();
}

bool FrmZjzc::confirmSave()
{
    // Asked once a screen: every new voucher after the first would only repeat it.
    if (state() != State::New || m_movementsConfirmed)
        return true;
    std::optional<QString> question;
    if (!runOperation(this, [&] { question = family().initialisationQuestion(); }))
        return false;
    if (question && !Messages::ask(this, *question))
        return false;
    m_movementsConfirmed = question.has_value();
    return true;
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
