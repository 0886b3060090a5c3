#include "vouchers/screens/stockinreturnscreen.h"

#include "ledger/screens/postingscreen.h"
#include "shell/screens/help.h"
#include "store/clock.h"
#include "vouchers/screens/frmdjcxjg.h"
#include "vouchers/screens/frmdjcxth.h"
#include "vouchers/stockinreturnlinemodel.h"
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
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace varnock {

StockInReturnScreen::StockInReturnScreen(Database &db, StockInKind::Kind kind, int accountingMode,
                                         const Formats &formats, QWidget *parent)
    : QWidget(parent)
    , m_returns(db, StockInKind::of(kind), accountingMode, formats)
    , m_stockIns(db, StockInKind::of(kind), accountingMode, formats)
    , m_formats(formats)
    , m_stateLabel(new VoucherStateLabel(QStringLiteral("已记帐"), this))
    , m_date(new DatePicker(this))
    , m_thdjh(new QLineEdit(this))
    , m_ysbh(new QLineEdit(this))
    , m_fpbh(new QLineEdit(this))
    , m_zph(new QLineEdit(this))
    , m_gysbh(new QLineEdit(this))
    , m_gysmc(new QLineEdit(this))
    , m_xtbhLabel(new QLabel(this))
    , m_grid(new EditableGrid(this))
    , m_model(new StockInReturnLineModel(m_returns, this))
    , m_buttons(new IndexedButtonGroup(
          {QStringLiteral("查 询(&F)"), StockInReturnKind::of(kind).chooseCaption,
           QStringLiteral("保 存(&S)"), QStringLiteral("修 改(&G)"), QStringLiteral("删 除(&D)"),
           QStringLiteral("恢 复(&H)"), QStringLiteral("打 印(&P)"), QStringLiteral("退 出(&X)"),
           QStringLiteral("记 账(&J)")},
          Qt::Horizontal, this))
{
    const StockInReturnKind &k = m_returns.kind();
    setObjectName(k.screen);
    setWindowTitle(k.caption);
    Help::install(this, helpTopic());

    auto *heading = new QLabel(k.heading, this);
    ScreenParts::styleHeading(heading);

    m_thdjh->setObjectName(QStringLiteral("TxtThdjh"));
    m_thdjh->setMinimumWidth(180);
    // Everything but the date and the return's own number comes from the stock-in voucher.
    for (QLineEdit *field : {m_ysbh, m_fpbh, m_zph, m_gysbh, m_gysmc})
        field->setReadOnly(true);
    m_xtbhLabel->setObjectName(QStringLiteral("LblXtbh"));
    m_xtbhLabel->setMinimumWidth(60);

    auto *frame = new QGroupBox(this);
    auto *header = new QGridLayout(frame);
    const auto label = [this](const QString &text) { return new QLabel(text, this); };
    header->addWidget(label(QStringLiteral("凭单日期：")), 0, 0);
    header->addWidget(m_date, 0, 1);
    header->addWidget(label(QStringLiteral("原始单号：")), 0, 2);
    header->addWidget(m_thdjh, 0, 3);
    header->addWidget(label(QStringLiteral("系统编号：")), 0, 4);
    header->addWidget(m_xtbhLabel, 0, 5);
    header->addWidget(m_stateLabel, 0, 6, Qt::AlignRight);
    header->addWidget(label(QStringLiteral("入库编号：")), 1, 0);
    header->addWidget(m_ysbh, 1, 1);
    header->addWidget(label(QStringLiteral("发 票 号：")), 1, 2);
    header->addWidget(m_fpbh, 1, 3);
    header->addWidget(label(QStringLiteral("支  票  号：")), 1, 4);
    header->addWidget(m_zph, 1, 5);
    header->addWidget(label(k.partnerCode), 2, 0);
    header->addWidget(m_gysbh, 2, 1);
    header->addWidget(label(k.partnerName), 2, 2);
    header->addWidget(m_gysmc, 2, 3, 1, 3);
    header->setColumnStretch(6, 1);

    m_grid->setObjectName(QStringLiteral("MFG"));
    m_grid->setModel(m_model);
    m_grid->setIdColumn(StockInReturnLineModel::Id);
    m_grid->setNumericColumn(StockInReturnLineModel::Quantity, m_formats.quantityDecimals())
        ->setFigure(Limits::Figure::Quantity);
    m_grid->setColumnWidths({80, 110, 80, 50, 75, 75, 85, 75, 75, 85, 80, 75});

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

    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        switch (index) {
        case Search:
            search();
            break;
        case Choose:
            choose();
            break;
        case Save:
            save();
            break;
        case Change:
            change();
            break;
        case Delete:
            deleteVoucher();
            break;
        case Restore:
            restore();
            break;
        case Exit:
            ScreenParts::close(this);
            break;
        case Post:
            openPosting();
            break;
        default:
            break;
        }
    });

    clearAll();
    setState(State::Browse);
    resize(1060, 560);
}

bool StockInReturnScreen::mayOpen(QWidget *parent, Database &db, StockInKind::Kind kind)
{
    return runOperation(parent,
                        [&] { StockInReturns(db, StockInKind::of(kind), 2, {}).checkCanOpen(); });
}

void StockInReturnScreen::setState(State state)
{
    m_stateLabel->setState(state);
    const bool entering = m_stateLabel->isEntering();
    m_date->setReadOnly(!entering);
    m_thdjh->setReadOnly(!entering);
    m_model->setEditable(entering);
}

void StockInReturnScreen::clearAll()
{
    m_xtbh = 0;
    m_stockInXtbh = 0;
    m_date->setDate(Clock::today());
    for (QLineEdit *field : {m_thdjh, m_ysbh, m_fpbh, m_zph, m_gysbh, m_gysmc})
        field->clear();
    m_xtbhLabel->clear();
    m_model->clear();
}

void StockInReturnScreen::showHeader(const StockInReturnVoucher &v)
{
    m_stockInXtbh = v.stockInXtbh;
    m_date->setDate(v.czrq);
    m_thdjh->setText(v.thdjh);
    m_ysbh->setText(v.ysbh);
    m_fpbh->setText(v.fpbh);
    m_zph->setText(v.zph);
    m_gysbh->setText(v.gysbh);
    m_gysmc->setText(v.gysmc);
}

StockInReturnVoucher StockInReturnScreen::voucherShown() const
{
    StockInReturnVoucher v;
    v.xtbh = m_xtbh;
    v.stockInXtbh = m_stockInXtbh;
    v.czrq = m_date->date();
    v.thdjh = m_thdjh->text();
    v.ysbh = m_ysbh->text();
    v.fpbh = m_fpbh->text();
    v.zph = m_zph->text();
    v.gysbh = m_gysbh->text();
    v.gysmc = m_gysmc->text();
    v.lines = m_model->lines();
    return v;
}

void StockInReturnScreen::showVoucher(qint64 xtbh)
{
    std::optional<StockInReturnVoucher> v;
    if (!runOperation(this, [&] { v = m_returns.load(xtbh); }) || !v)
        return;
    clearAll();
    m_xtbh = xtbh;
    showHeader(*v);
    m_xtbhLabel->setText(QString::number(xtbh));
    m_model->setLines(v->lines);
    setState(v->posted ? State::Posted : State::Browse);
}

void StockInReturnScreen::choose()
{
    clearAll();
    QString proposal;
    qint64 next = 0;
    QList<StockInListRow> offered;
    if (!runOperation(this, [&] {
            proposal = m_returns.proposeDocumentNumber();
            next = m_returns.nextSystemNumber();
            offered = m_returns.offerableStockIns();
        }))
        return;
    m_thdjh->setText(proposal);
    m_xtbhLabel->setText(QString::number(next));
    setState(State::New);

    FrmDjcxjg list(m_stockIns, offered, this);
    const std::optional<qint64> chosen = list.pick();
    if (!chosen) {
        restore();
        return;
    }
    startReturn(*chosen);
}

void StockInReturnScreen::startReturn(qint64 stockInXtbh)
{
    const QDate date = m_date->date();
    const QString number = m_thdjh->text();
    std::optional<StockInReturnVoucher> v;
    if (!runOperation(this, [&] { v = m_returns.draft(stockInXtbh, date); })) {
        restore();
        return;
    }
    showHeader(*v);
    m_date->setDate(date);
    if (!number.isEmpty())
        m_thdjh->setText(number);
    if (m_xtbhLabel->text().isEmpty())
        m_xtbhLabel->setText(QString::number(m_returns.nextSystemNumber()));
    m_model->setLines(v->lines);
    setState(State::New);
    if (m_model->rowCount() > 0) {
        const QModelIndex first = m_model->index(0, StockInReturnLineModel::Quantity);
        m_grid->setCurrentIndex(first);
        m_grid->setFocus();
    }
}

void StockInReturnScreen::search()
{
    FrmDjcxth finder(m_returns, this);
    if (const std::optional<qint64> xtbh = finder.pick())
        showVoucher(*xtbh);
}

void StockInReturnScreen::save()
{
    if (state() != State::New && state() != State::Edit)
        return;
    // A later date keeps the books from being closed until then: asked, never taken silently.
    if (const auto later = VoucherBook::laterDateQuestion(voucherShown().czrq);
        later && !Messages::ask(this, *later))
        return;
    if (state() == State::New) {
        qint64 xtbh = 0;
        if (runOperation(this, [&] { xtbh = m_returns.saveNew(voucherShown()); }))
            showVoucher(xtbh);
    } else if (state() == State::Edit) {
        if (runOperation(this, [&] { m_returns.saveEdit(voucherShown()); }))
            showVoucher(m_xtbh);
    }
}

void StockInReturnScreen::change()
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

void StockInReturnScreen::deleteVoucher()
{
    if (m_xtbh == 0)
        return;
    bool posted = false;
    if (!runOperation(this, [&] { posted = m_returns.isPosted(m_xtbh); }))
        return;
    if (posted) {
        Messages::warn(this, QStringLiteral("该票据已经记账，请做冲帐处理！"),
                       QStringLiteral("提示"));
        return;
    }
    if (!Messages::ask(this, QStringLiteral("您确定要删除该票据吗？")))
        return;
    if (runOperation(this, [&] { m_returns.remove(m_xtbh); }))
        restore();
}

void StockInReturnScreen::restore()
{
    clearAll();
    setState(State::Browse);
}

void StockInReturnScreen::openPosting()
{
    PostingScreen::open(this, QStringLiteral("THDQBDZ"), kind().selectorIndex());
}

} // namespace varnock
