#include "ledger/screens/formkcpd.h"

#include "ledger/screens/ledgerscreenparts.h"
#include "ledger/stockcountmodel.h"
#include "master/materiallookup.h"
#include "shell/screens/help.h"
#include "store/clock.h"
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

QComboBox *operatorCombo(const QString &name, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->addItem(QString());
    combo->addItems(StockCount::Operators);
    return combo;
}

} // namespace

FormKCPD::FormKCPD(Database &db, int accountingMode, const Formats &formats, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_count(db, accountingMode, formats)
{
    setObjectName(QStringLiteral("FormKCPD"));
    setWindowTitle(QStringLiteral("材料库存盘点"));

    auto *frame = new QGroupBox(QStringLiteral("选择条件"), this);
    m_by = new QComboBox(frame);
    m_by->setObjectName(QStringLiteral("Combo1"));
    m_by->addItems({QStringLiteral("无条件查询"), QStringLiteral("按材料编号查询"),
                    QStringLiteral("按材料名称查询")});
    m_value = new QComboBox(frame);
    m_value->setObjectName(QStringLiteral("Combo2"));
    m_value->setEditable(true);
    m_value->setMinimumWidth(160);
    m_quantityOp = operatorCombo(QStringLiteral("Combo3"), frame);
    m_quantity = new QLineEdit(frame);
    m_quantity->setObjectName(QStringLiteral("Text1"));
    m_amountOp = operatorCombo(QStringLiteral("Combo4"), frame);
    m_amount = new QLineEdit(frame);
    m_amount->setObjectName(QStringLiteral("Text2"));
    m_findButton = new QPushButton(QStringLiteral("查 询(&F)"), frame);
    m_findButton->setObjectName(QStringLiteral("Command1"));

    auto *conditions = new QGridLayout(frame);
    conditions->addWidget(m_by, 0, 0);
    conditions->addWidget(m_value, 0, 1);
    conditions->addWidget(new QLabel(QStringLiteral("库存数量"), frame), 0, 2);
    conditions->addWidget(m_quantityOp, 0, 3);
    conditions->addWidget(m_quantity, 0, 4);
    conditions->addWidget(new QLabel(QStringLiteral("库存金额"), frame), 0, 5);
    conditions->addWidget(m_amountOp, 0, 6);
    conditions->addWidget(m_amount, 0, 7);
    conditions->addWidget(m_findButton, 0, 8);

    m_model = new StockCountModel(formats, this);
    m_grid = new EditableGrid(this);
    m_grid->setObjectName(QStringLiteral("MFG1"));
    m_grid->setModel(m_model);
    m_grid->setNumericColumn(StockCountModel::Counted, formats.quantityDecimals())
        ->setFigure(Limits::Figure::Quantity);
    m_grid->setNumericColumn(StockCountModel::Price, formats.amountDecimals());
    m_grid->setColumnWidths({90, 140, 100, 60, 90, 100, 90, 90});
    m_grid->horizontalHeader()->setStretchLastSection(true);

    m_buttons = new IndexedButtonGroup({QStringLiteral("保 存(&S)"), QStringLiteral("退 出(&X)")},
                                       Qt::Horizontal, this);
    m_buttons->setAlignment(Qt::AlignHCenter);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_buttons);
    resize(960, 560);
    Help::install(this, QStringLiteral("库存盘点"));

    connect(m_by, &QComboBox::currentIndexChanged, this, [this] { fillValues(); });
    connect(m_findButton, &QPushButton::clicked, this, [this] { find(); });
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == Save)
            save();
        else if (index == Exit)
            ScreenParts::close(this);
    });

    QList<StockCount::Row> rows;
    if (runOperation(this, [&] { rows = m_count.rows(); }))
        m_model->setRows(rows);
}

void FormKCPD::fillValues()
{
    m_value->clear();
    const int by = m_by->currentIndex();
    if (by == 0)
        return;
    QList<MaterialLookup::Row> leaves;
    if (!runOperation(this, [&] { leaves = MaterialLookup(m_db).search(); }))
        return;
    QStringList values;
    for (const MaterialLookup::Row &r : std::as_const(leaves))
        values << (by == 1 ? r.clbh : r.clmc);
    m_value->addItems(values);
    m_value->setCurrentText(QString());
}

void FormKCPD::find()
{
    StockCount::Filter f;
    f.by = static_cast<StockCount::Filter::By>(m_by->currentIndex());
    f.text = m_value->currentText();
    // A comparison chosen without a value compares with 0, after saying so.
    const auto figure = [this](QComboBox *op, QLineEdit *edit, const QString &noValue) {
        if (op->currentText().isEmpty())
            return Decimal();
        const auto value = Decimal::parse(edit->text().trimmed());
        if (!value)
            Messages::inform(this, noValue);
        return value.value_or(Decimal());
    };
    f.quantityOperator = m_quantityOp->currentText();
    f.quantity = figure(m_quantityOp, m_quantity, StockCount::NoQuantityText);
    f.amountOperator = m_amountOp->currentText();
    f.amount = figure(m_amountOp, m_amount, StockCount::NoAmountText);
    QList<StockCount::Row> rows;
    if (!runOperation(this, [&] { rows = m_count.rows(f); }))
        return;
    m_filter = f;
    m_model->setRows(rows);
}

void FormKCPD::save()
{
    const QDate today = Clock::today();
    QList<OperationStep> steps;
    if (!runOperation(this, [&] { steps = m_count.steps(today); }) ||
        !LedgerScreenParts::confirm(this, steps))
        return;
    const QList<StockCount::Counted> lines = m_model->counted();
    if (!runOperation(this, [&] { m_count.save(lines, today); }))
        return;
    QList<StockCount::Row> rows;
    if (runOperation(this, [&] { rows = m_count.rows(m_filter); }))
        m_model->setRows(rows);
}

} // namespace varnock
