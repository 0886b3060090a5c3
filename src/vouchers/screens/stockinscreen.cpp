#include "vouchers/screens/stockinscreen.h"

#include "ledger/screens/postingscreen.h"
#include "master/screens/frmclcx.h"
#include "master/screens/frmgysxz.h"
#include "master/suppliers.h"
#include "shell/screens/help.h"
#include "store/clock.h"
#include "store/database.h"
#include "vouchers/screens/conversionunitdelegate.h"
#include "vouchers/screens/frmdjcxjg.h"
#include "vouchers/stockinlinemodel.h"
#include "vouchers/voucherbook.h"
#include "widgets/datepicker.h"
#include "widgets/editablegrid.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/numericdelegate.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace varnock {

namespace {

QStringList buttonCaptions(const StockInKind &kind)
{
    QStringList captions{
        QStringLiteral("查 询(&F)"), QStringLiteral("增 加(&A)"), QStringLiteral("保 存(&S)"),
        QStringLiteral("修 改(&G)"), QStringLiteral("删 除(&D)"), QStringLiteral("恢 复(&H)"),
        QStringLiteral("打 印(&P)"), QStringLiteral("退 出(&X)"), QStringLiteral("记  账(&J)")};
    if (kind.isProvisional())
        captions.append(QStringLiteral("追 加(&Z)"));
    return captions;
}

} // namespace

StockInScreen::StockInScreen(Database &db, StockInKind::Kind kind, int accountingMode,
                             const Formats &formats, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_vouchers(db, StockInKind::of(kind), accountingMode, formats)
    , m_formats(formats)
    , m_stateLabel(new VoucherStateLabel(QStringLiteral("已记帐"), this))
    , m_date(new DatePicker(this))
    , m_ysdjh(new QComboBox(this))
    , m_fpbh(new QLineEdit(this))
    , m_zph(new QLineEdit(this))
    , m_gysbh(new QLineEdit(this))
    , m_gysmc(new QLineEdit(this))
    , m_pickPartner(new QPushButton(QStringLiteral("…"), this))
    , m_xtbhLabel(new QLabel(this))
    , m_grid(new EditableGrid(this))
    , m_model(new StockInLineModel(m_vouchers, this))
    , m_buttons(new IndexedButtonGroup(buttonCaptions(m_vouchers.kind()), Qt::Horizontal, this))
{
    const StockInKind &k = m_vouchers.kind();
    setObjectName(k.screen);
    setWindowTitle(k.caption);
    Help::install(this, helpTopic());

    auto *heading = new QLabel(k.heading, this);
    ScreenParts::styleHeading(heading);

    m_ysdjh->setObjectName(QStringLiteral("Combo1"));
    m_ysdjh->setEditable(true);
    m_ysdjh->setInsertPolicy(QComboBox::NoInsert);
    m_ysdjh->setMinimumWidth(180);
    m_gysmc->setReadOnly(true);
    m_pickPartner->setObjectName(QStringLiteral("CmdGys"));
    m_pickPartner->setFixedWidth(28);
    m_pickPartner->setAutoDefault(false);
    m_xtbhLabel->setObjectName(QStringLiteral("LblXtbh"));
    m_xtbhLabel->setMinimumWidth(60);

    auto *frame = new QGroupBox(this);
    auto *header = new QGridLayout(frame);
    const auto label = [this](const QString &text) { return new QLabel(text, this); };
    header->addWidget(label(QStringLiteral("凭单日期：")), 0, 0);
    header->addWidget(m_date, 0, 1);
    header->addWidget(label(QStringLiteral("原始单号：")), 0, 2);
    header->addWidget(m_ysdjh, 0, 3);
    header->addWidget(label(QStringLiteral("系统编号：")), 0, 4);
    header->addWidget(m_xtbhLabel, 0, 5);
    header->addWidget(m_stateLabel, 0, 6, Qt::AlignRight);
    header->addWidget(label(QStringLiteral("发 票 号：")), 1, 0);
    header->addWidget(m_fpbh, 1, 1);
    header->addWidget(label(QStringLiteral("支  票  号：")), 1, 2);
    header->addWidget(m_zph, 1, 3);
    header->addWidget(label(k.partnerCode), 2, 0);
    auto *partner = new QHBoxLayout;
    partner->addWidget(m_gysbh, 1);
    partner->addWidget(m_pickPartner);
    header->addLayout(partner, 2, 1);
    header->addWidget(label(k.partnerName), 2, 2);
    header->addWidget(m_gysmc, 2, 3, 1, 3);
    header->setColumnStretch(6, 1);

    m_grid->setObjectName(QStringLiteral("MFG"));
    m_grid->setModel(m_model);
    m_grid->setIdColumn(StockInLineModel::Id);
    m_grid->setLookupColumn(StockInLineModel::Code);
    const int q = m_formats.quantityDecimals();
    const int a = m_formats.amountDecimals();
    m_grid->setNumericColumn(StockInLineModel::Price, a);
    m_grid->setNumericColumn(StockInLineModel::Quantity, q)->setFigure(Limits::Figure::Quantity);
    m_grid->setNumericColumn(StockInLineModel::Amount, a)->setFigure(Limits::Figure::Amount);
    m_grid->setNumericColumn(StockInLineModel::Paid, a)->setFigure(Limits::Figure::Amount);
    m_grid->setItemDelegateForColumn(
        StockInLineModel::ConversionUnit,
        new ConversionUnitDelegate(StockInLineModel::ConversionUnitsRole, m_grid));
    m_grid->setColumnWidths({80, 110, 80, 60, 60, 75, 75, 70, 80, 85, 85, 100});

    QHBoxLayout *footer = ScreenParts::signatures(
        {QStringLiteral("主    管："), QStringLiteral("材料会计："), k.receiverLabel}, this);

    m_buttons->setAlignment(Qt::AlignCenter);
    ScreenParts::printPending(m_buttons->button(Print));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(frame);
    layout->addWidget(m_grid, 1);
    layout->addLayout(footer);
    layout->addWidget(m_buttons);

    connect(m_grid, &EditableGrid::lookupRequested, this,
            [this](int row, int) { lookUpMaterial(row); });
    connect(m_grid, &EditableGrid::pastLastCell, this, [this] {
        if (m_model->isEditable() && m_model->line(m_model->rowCount() - 1).hasMaterial()) {
            const int row = m_model->appendEmpty();
            m_grid->setCurrentIndex(m_model->index(row, StockInLineModel::Code));
        }
    });
    connect(m_pickPartner, &QPushButton::clicked, this, [this] { pickPartner(); });
    connect(m_gysbh, &QLineEdit::editingFinished, this, [this] { partnerTyped(); });
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        switch (index) {
        case Search:
            search();
            break;
        case Add:
            add();
            break;
        case Save:
            save();
            break;
        case Change:
            change();
            break;
        case Delete:
            deleteRow();
            break;
        case Restore:
            restore();
            break;
        case Exit:
            ScreenParts::close(this);
            break;
        case Append:
            append();
            break;
        case Post:
            PostingScreen::open(this, QStringLiteral("RKDZ"), m_vouchers.kind().selectorIndex());
            break;
        default:
            break;
        }
    });

    clearHeader();
    setState(State::Browse);
    resize(1040, 560);
}

bool StockInScreen::mayOpen(QWidget *parent, Database &db, StockInKind::Kind kind)
{
    return runOperation(parent,
                        [&] { StockInVouchers(db, StockInKind::of(kind), 2, {}).checkCanOpen(); });
}

void StockInScreen::setState(State state)
{
    m_stateLabel->setState(state);
    const bool entering = m_stateLabel->isEntering();
    m_date->setReadOnly(!entering);
    m_ysdjh->setEnabled(entering);
    m_fpbh->setReadOnly(!entering);
    m_zph->setReadOnly(!entering);
    m_gysbh->setReadOnly(!entering);
    m_pickPartner->setEnabled(entering);
    // The actual figures of a provisional line are typed over the posted line before "追 加".
    m_model->setEditable(entering || (state == State::Posted && kind().isProvisional()));
    if (kind().isProvisional())
        m_buttons->button(Append)->setEnabled(state == State::Posted);
}

void StockInScreen::clearHeader()
{
    m_xtbh = 0;
    m_date->setDate(Clock::today());
    m_ysdjh->clear();
    m_fpbh->clear();
    m_zph->clear();
    m_gysbh->clear();
    m_gysmc->clear();
    m_xtbhLabel->clear();
    m_model->clear();
}

StockInVoucher StockInScreen::voucherShown() const
{
    StockInVoucher v;
    v.xtbh = m_xtbh;
    v.czrq = m_date->date();
    v.ysdjh = m_ysdjh->currentText();
    v.fpbh = m_fpbh->text();
    v.zph = m_zph->text();
    v.gysbh = m_gysbh->text();
    v.gysmc = m_gysmc->text();
    v.lines = m_model->lines();
    return v;
}

void StockInScreen::showVoucher(qint64 xtbh)
{
    std::optional<StockInVoucher> v;
    if (!runOperation(this, [&] { v = m_vouchers.load(xtbh); }) || !v)
        return;
    m_xtbh = xtbh;
    m_date->setDate(v->czrq);
    m_ysdjh->clear();
    m_ysdjh->setEditText(v->ysdjh);
    m_fpbh->setText(v->fpbh);
    m_zph->setText(v->zph);
    m_gysbh->setText(v->gysbh);
    m_gysmc->setText(v->gysmc);
    m_xtbhLabel->setText(QString::number(xtbh));
    m_model->setLines(v->lines);
    m_grid->scrollTo(m_model->index(0, StockInLineModel::Code));
    setState(v->posted ? State::Posted : State::Browse);
}

void StockInScreen::search()
{
    FrmDjcxjg finder(m_vouchers, this);
    if (const std::optional<qint64> xtbh = finder.pick())
        showVoucher(*xtbh);
}

void StockInScreen::add()
{
    clearHeader();
    QStringList numbers;
    QString proposal;
    qint64 next = 0;
    if (!runOperation(this, [&] {
            numbers = m_vouchers.documentNumbers();
            proposal = m_vouchers.proposeDocumentNumber();
            next = m_vouchers.nextSystemNumber();
        }))
        return;
    m_ysdjh->addItems(numbers);
    m_ysdjh->setEditText(proposal);
    m_xtbhLabel->setText(QString::number(next));
    setState(State::New);
    m_ysdjh->setFocus();
}

void StockInScreen::save()
{
    if (state() != State::New && state() != State::Edit)
        return;
    // A later date keeps the books from being closed until then: asked, never taken silently.
    if (const auto later = VoucherBook::laterDateQuestion(voucherShown().czrq);
        later && !Messages::ask(this, *later))
        return;
    if (state() == State::New) {
        qint64 xtbh = 0;
        if (runOperation(this, [&] { xtbh = m_vouchers.saveNew(voucherShown()); }))
            showVoucher(xtbh);
    } else if (state() == State::Edit) {
        if (runOperation(this, [&] { m_vouchers.saveEdit(voucherShown()); }))
            showVoucher(m_xtbh);
    }
}

void StockInScreen::change()
{
    if (m_xtbh == 0)
        return;
    if (state() == State::Posted) {
        Messages::warn(this, QStringLiteral("该单据已经记账，不允许修改！"),
                       QStringLiteral("提示"));
        return;
    }
    setState(State::Edit);
}

void StockInScreen::deleteRow()
{
    if (!m_stateLabel->isEntering())
        return;
    const int row = m_grid->currentIndex().isValid() ? m_grid->currentIndex().row() : -1;
    if (row < 0)
        return;
    if (!Messages::ask(this,
                       QStringLiteral("你确实要删除第 ") + QString::number(row + 1) +
                           QStringLiteral(" 记录吗？"),
                       QStringLiteral("删除窗口")))
        return;
    m_model->removeLine(row);
}

void StockInScreen::restore()
{
    clearHeader();
    setState(State::Browse);
}

void StockInScreen::append()
{
    const QModelIndex current = m_grid->currentIndex();
    const int row = current.isValid() ? current.row() : -1;
    const qint64 id = row >= 0 ? m_model->line(row).id : 0;
    if (!runOperation(this, [&] { m_vouchers.checkAppend(id); }))
        return;
    if (!Messages::ask(this, QStringLiteral("暂估材料原始资料将被冲掉,现时追加将被入帐!"
                                            "您确定要进行此操作吗?")))
        return;
    if (!Messages::ask(this, QStringLiteral("每次只能追加一条记录，第 ") +
                                 QString::number(row + 1) + QStringLiteral(" 条记录将被追加")))
        return;
    const StockInVoucher shown = voucherShown();
    if (runOperation(this, [&] { m_vouchers.append(shown, shown.lines.at(row)); }))
        showVoucher(m_xtbh);
}

void StockInScreen::lookUpMaterial(int row)
{
    if (!m_model->isEditable() || row < 0 || row >= m_model->rowCount())
        return;
    FrmClcx lookup(m_db, m_formats, this);
    const std::optional<MaterialLookup::Row> material = lookup.pick();
    if (!material || !m_model->setMaterial(row, *material))
        return;
    // The last row gets an empty row below it, ready for the next material.
    if (row == m_model->rowCount() - 1) {
        const int next = m_model->appendEmpty();
        m_grid->setCurrentIndex(m_model->index(next, StockInLineModel::Code));
    } else {
        m_grid->setCurrentIndex(m_model->index(row, StockInLineModel::Price));
    }
}

void StockInScreen::pickPartner()
{
    FrmGysxz picker(m_db, this);
    if (const std::optional<Counterparty> chosen = picker.pick()) {
        m_gysbh->setText(chosen->code);
        m_gysmc->setText(chosen->name);
    }
}

void StockInScreen::partnerTyped()
{
    if (m_gysbh->isReadOnly())
        return;
    std::optional<Suppliers::Supplier> found;
    runOperation(this, [&] { found = Suppliers(m_db).find(m_gysbh->text().trimmed()); });
    m_gysmc->setText(found ? found->mc : QString());
}

} // namespace varnock
