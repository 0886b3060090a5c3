#include "vouchers/screens/formlldtx.h"

#include "ledger/screens/postingscreen.h"
#include "master/screens/formlldwxzct.h"
#include "shell/screens/help.h"
#include "store/clock.h"
#include "store/database.h"
#include "vouchers/issuelinemodel.h"
#include "vouchers/screens/conversionunitdelegate.h"
#include "vouchers/screens/formclxzct.h"
#include "vouchers/screens/formpdcx.h"
#include "vouchers/voucherbook.h"
#include "widgets/datepicker.h"
#include "widgets/editablegrid.h"
#include "widgets/entermovesfocus.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/numericdelegate.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace varnock {

namespace {

bool isTransfer(const QString &zl)
{
    return zl == IssueVouchers::TransferOut;
}

} // namespace

FormLLDTX::FormLLDTX(Database &db, const QString &zl, int accountingMode, const Formats &formats,
                     QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_vouchers(db, zl, accountingMode, formats)
    , m_formats(formats)
    , m_heading(new QLabel(this))
    , m_stateLabel(new VoucherStateLabel(QStringLiteral("已记帐"), this))
    , m_xtbhLabel(new QLabel(this))
    , m_ysdjh(new QComboBox(this))
    , m_date(new DatePicker(this))
    , m_lldwbh(new QLineEdit(this))
    , m_lldwmc(new QLineEdit(this))
    , m_pickUnit(new QPushButton(QStringLiteral("…"), this))
    , m_sgbw(new QComboBox(this))
    , m_dh(new QComboBox(this))
    , m_total(new QLineEdit(this))
    , m_pickMaterial(new QPushButton(QStringLiteral("…"), this))
    , m_grid(new EditableGrid(this))
    , m_model(new IssueLineModel(m_vouchers, this))
    , m_buttons(new IndexedButtonGroup(
          {QStringLiteral("增 加(&A)"), QStringLiteral("修  改(&G)"), QStringLiteral("保 存(&S)"),
           QStringLiteral("删  除(&D)"), QStringLiteral("恢 复(&H)"), QStringLiteral("查 询(&F)"),
           QStringLiteral("打 印(&P)"), QStringLiteral("记   账(&J)"), QStringLiteral("退 出(&X)")},
          Qt::Horizontal, this))
{
    setObjectName(QStringLiteral("FormLLDTX"));
    const QString title = isTransfer(zl) ? QStringLiteral("材料出库凭单填制")
                                         : QStringLiteral("材料领料出库凭单填制");
    setWindowTitle(title);
    Help::install(this, helpTopic());

    m_heading->setText(title);
    ScreenParts::styleHeading(m_heading);

    m_stateLabel->setMinimumWidth(80);
    QGroupBox *stateFrame = m_stateLabel->framed();

    m_xtbhLabel->setObjectName(QStringLiteral("LblXtbh"));
    m_xtbhLabel->setMinimumWidth(80);
    m_xtbhLabel->setFrameShape(QFrame::StyledPanel);
    m_ysdjh->setObjectName(QStringLiteral("Combo1"));
    m_ysdjh->setEditable(true);
    m_ysdjh->setInsertPolicy(QComboBox::NoInsert);
    m_ysdjh->setMinimumWidth(190);
    m_lldwbh->setObjectName(QStringLiteral("TxtDwbh"));
    m_lldwmc->setReadOnly(true);
    m_lldwmc->setMinimumWidth(180);
    m_pickUnit->setObjectName(QStringLiteral("CmdDw"));
    m_pickUnit->setFixedWidth(28);
    m_pickUnit->setAutoDefault(false);
    for (QComboBox *combo : {m_sgbw, m_dh}) {
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setMinimumWidth(150);
    }
    m_sgbw->setObjectName(QStringLiteral("CmbSgbw"));
    m_dh->setObjectName(QStringLiteral("CmbDh"));
    m_total->setObjectName(QStringLiteral("TxtZje"));
    m_total->setReadOnly(true);
    m_total->setAlignment(Qt::AlignRight);
    m_total->setFocusPolicy(Qt::NoFocus);

    auto *frame = new QGroupBox(this);
    auto *header = new QGridLayout(frame);
    const auto label = [this](const QString &text) { return new QLabel(text, this); };
    header->addWidget(label(QStringLiteral("凭证编号")), 0, 0);
    header->addWidget(m_xtbhLabel, 0, 1);
    header->addWidget(label(QStringLiteral("单据编号")), 0, 2);
    header->addWidget(m_ysdjh, 0, 3);
    header->addWidget(label(QStringLiteral("凭单日期")), 0, 4);
    header->addWidget(m_date, 0, 5);
    header->addWidget(
        label(isTransfer(zl) ? QStringLiteral("调拨单位") : QStringLiteral("耗料单位")), 1, 0);
    auto *unit = new QHBoxLayout;
    unit->addWidget(m_lldwbh, 1);
    unit->addWidget(m_pickUnit);
    header->addLayout(unit, 1, 1);
    header->addWidget(m_lldwmc, 1, 2, 1, 2);
    header->addWidget(label(QStringLiteral("总 金 额")), 1, 4);
    header->addWidget(m_total, 1, 5);
    header->addWidget(label(QStringLiteral("施工部位")), 2, 0);
    header->addWidget(m_sgbw, 2, 1);
    header->addWidget(label(QStringLiteral("栋/楼号")), 2, 2);
    header->addWidget(m_dh, 2, 3);
    header->addWidget(stateFrame, 0, 6, 3, 1);
    header->setColumnStretch(3, 1);
    new EnterMovesFocus(frame);

    m_grid->setObjectName(QStringLiteral("MFGM"));
    m_grid->setModel(m_model);
    m_grid->setIdColumn(IssueLineModel::Id);
    m_grid->setLookupColumn(IssueLineModel::Code);
    m_grid->setNumericColumn(IssueLineModel::Price, m_formats.amountDecimals());
    m_grid->setNumericColumn(IssueLineModel::Quantity, m_formats.quantityDecimals())
        ->setFigure(Limits::Figure::Quantity);
    m_grid->setItemDelegateForColumn(
        IssueLineModel::ConversionUnit,
        new ConversionUnitDelegate(IssueLineModel::ConversionUnitsRole, m_grid));
    m_grid->setColumnWidths({0, 80, 110, 80, 60, 60, 75, 75, 80, 75, 85, 60, 100});
    // Under first in first out the posting prices the lines: no price or amount at entry.
    m_grid->setColumnHidden(IssueLineModel::Price, m_vouchers.isFirstInFirstOut());
    m_grid->setColumnHidden(IssueLineModel::Amount, m_vouchers.isFirstInFirstOut());

    m_pickMaterial->setObjectName(QStringLiteral("CmdCl"));
    m_pickMaterial->setToolTip(QStringLiteral("出库材料选择"));
    m_pickMaterial->setFixedWidth(28);
    m_pickMaterial->setAutoDefault(false);
    auto *lines = new QHBoxLayout;
    lines->addWidget(m_grid, 1);
    auto *side = new QVBoxLayout;
    side->addWidget(m_pickMaterial);
    side->addStretch();
    lines->addLayout(side);

    QHBoxLayout *footer = ScreenParts::signatures(
        {QStringLiteral("领 料 人："), QStringLiteral("材料会计："), QStringLiteral("主    管：")},
        this);

    m_buttons->setAlignment(Qt::AlignCenter);
    ScreenParts::printPending(m_buttons->button(Print));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(frame);
    layout->addLayout(lines, 1);
    layout->addLayout(footer);
    layout->addWidget(m_buttons);

    connect(m_grid, &EditableGrid::lookupRequested, this,
            [this](int row, int) { pickMaterial(row); });
    connect(m_grid, &EditableGrid::pastLastCell, this, [this] {
        if (m_model->isEditable() && m_model->line(m_model->rowCount() - 1).hasMaterial()) {
            const int row = m_model->appendEmpty();
            m_grid->setCurrentIndex(m_model->index(row, IssueLineModel::Code));
        }
    });
    connect(m_pickMaterial, &QPushButton::clicked, this, [this] { pickMaterial(); });
    connect(m_pickUnit, &QPushButton::clicked, this, [this] { pickUnit(); });
    connect(m_lldwbh, &QLineEdit::editingFinished, this, [this] { unitTyped(); });
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this] { showTotal(); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { showTotal(); });
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, [this] { showTotal(); });
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        switch (index) {
        case Add:
            add();
            break;
        case Change:
            change();
            break;
        case Save:
            save();
            break;
        case Delete:
            deleteRow();
            break;
        case Restore:
            restore();
            break;
        case Search:
            search();
            break;
        case Post:
            openPosting();
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
    resize(1080, 580);
}

bool FormLLDTX::mayOpen(QWidget *parent, Database &db)
{
    return runOperation(
        parent, [&] { IssueVouchers(db, IssueVouchers::Requisition, 2, {}).checkCanOpen(); });
}

void FormLLDTX::setState(State state)
{
    m_stateLabel->setState(state);
    const bool entering = m_stateLabel->isEntering();
    m_date->setReadOnly(!entering);
    m_ysdjh->setEnabled(entering);
    m_lldwbh->setReadOnly(!entering);
    m_pickUnit->setEnabled(entering);
    m_sgbw->setEnabled(entering);
    m_dh->setEnabled(entering);
    m_pickMaterial->setEnabled(entering);
    m_model->setEditable(entering);
}

void FormLLDTX::clearScreen()
{
    m_xtbh = 0;
    m_xtbhLabel->clear();
    m_ysdjh->clear();
    m_date->setDate(Clock::today());
    m_lldwbh->clear();
    m_lldwmc->clear();
    m_sgbw->clear();
    m_dh->clear();
    m_model->clear();
    showTotal();
}

void FormLLDTX::fillChoices()
{
    QStringList numbers;
    QStringList sites;
    QStringList buildings;
    runOperation(this, [&] {
        numbers = m_vouchers.documentNumbers();
        sites = m_vouchers.sites();
        buildings = m_vouchers.buildings();
    });
    const QString number = m_ysdjh->currentText();
    const QString site = m_sgbw->currentText();
    const QString building = m_dh->currentText();
    m_ysdjh->clear();
    m_ysdjh->addItems(numbers);
    m_ysdjh->setEditText(number);
    m_sgbw->clear();
    m_sgbw->addItems(sites);
    m_sgbw->setEditText(site);
    m_dh->clear();
    m_dh->addItems(buildings);
    m_dh->setEditText(building);
}

void FormLLDTX::showTotal()
{
    m_total->setText(m_formats.amountText(m_model->total()));
}

IssueVoucher FormLLDTX::voucherShown() const
{
    IssueVoucher v;
    v.xtbh = m_xtbh;
    v.ysdjh = m_ysdjh->currentText();
    v.czrq = m_date->date();
    v.lldwbh = m_lldwbh->text().trimmed();
    v.lldwmc = m_lldwmc->text();
    v.sgbw = m_sgbw->currentText();
    v.dh = m_dh->currentText();
    v.lines = m_model->lines();
    return v;
}

void FormLLDTX::showVoucher(qint64 xtbh)
{
    std::optional<IssueVoucher> v;
    if (!runOperation(this, [&] { v = m_vouchers.load(xtbh); }) || !v)
        return;
    clearScreen();
    m_xtbh = xtbh;
    m_xtbhLabel->setText(QString::number(xtbh));
    m_date->setDate(v->czrq);
    m_lldwbh->setText(v->lldwbh);
    m_lldwmc->setText(v->lldwmc);
    m_ysdjh->setEditText(v->ysdjh);
    m_sgbw->setEditText(v->sgbw);
    m_dh->setEditText(v->dh);
    fillChoices();
    m_model->setLines(v->lines);
    m_grid->scrollTo(m_model->index(0, IssueLineModel::Code));
    setState(v->posted ? State::Posted : State::Browse);
}

void FormLLDTX::add()
{
    QString proposal;
    qint64 next = 0;
    if (!runOperation(this, [&] {
            proposal = m_vouchers.proposeDocumentNumber();
            next = m_vouchers.nextSystemNumber();
        }))
        return;
    clearScreen();
    m_ysdjh->setEditText(proposal);
    fillChoices();
    m_xtbhLabel->setText(QString::number(next));
    setState(State::New);
    m_ysdjh->setFocus();
}

void FormLLDTX::change()
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

void FormLLDTX::save()
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

void FormLLDTX::deleteRow()
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

void FormLLDTX::restore()
{
    // Unsaved input goes: an edited voucher comes back as stored, a new one is dropped.
    if (state() == State::Edit && m_xtbh != 0) {
        showVoucher(m_xtbh);
        return;
    }
    clearScreen();
    setState(State::Browse);
}

void FormLLDTX::search()
{
    FormPDCX finder(m_vouchers, this);
    if (const std::optional<qint64> xtbh = finder.pick())
        showVoucher(*xtbh);
}

void FormLLDTX::openPosting()
{
    PostingScreen::open(this, isTransfer(zl()) ? QStringLiteral("DBDDZ") : QStringLiteral("LLDDZ"));
}

void FormLLDTX::pickMaterial(int row)
{
    if (!m_model->isEditable())
        return;
    FormCLXZCT picker(m_db, m_formats, this);
    const std::optional<IssueMaterials::Row> material = picker.pick();
    if (!material)
        return;
    if (row < 0 || row >= m_model->rowCount())
        row = m_model->firstEmptyRow();
    std::optional<bool> placed;
    runOperation(this, [&] { placed = m_model->setMaterial(row, *material); });
    if (!placed.value_or(false))
        return;
    if (row == m_model->rowCount() - 1)
        m_model->appendEmpty();
    m_grid->setCurrentIndex(m_model->index(row, IssueLineModel::Quantity));
}

void FormLLDTX::pickUnit()
{
    FormLLDWXZCT picker(m_db, FormLLDWXZCT::Mode::Units, this);
    if (const std::optional<Counterparty> chosen = picker.pick()) {
        m_lldwbh->setText(chosen->code);
        m_lldwmc->setText(chosen->name);
    }
}

void FormLLDTX::unitTyped()
{
    if (m_lldwbh->isReadOnly())
        return;
    std::optional<QString> name;
    runOperation(this, [&] { name = m_vouchers.unitName(m_lldwbh->text()); });
    m_lldwmc->setText(name.value_or(QString()));
}

} // namespace varnock
