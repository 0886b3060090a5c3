#include "master/screens/frmzwcsh.h"

#include "master/openingbalancemodel.h"
#include "master/openingbalances.h"
#include "master/screens/masterpickers.h"
#include "print/screens/reportwindow.h"
#include "shell/screens/help.h"
#include "widgets/editablegrid.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/numericdelegate.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace varnock {

FrmZwcsh::FrmZwcsh(Database &db, int mode, const Formats &formats, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
    , m_formats(formats)
    , m_balances(std::make_unique<OpeningBalances>(db, mode, formats))
{
    setObjectName(QStringLiteral("FrmZwcsh"));
    setWindowTitle(QStringLiteral("帐务初始化"));
    Help::install(this, helpTopic());

    m_model = new OpeningBalanceModel(db, *m_balances, this);
    m_grid = new EditableGrid(this);
    m_grid->setObjectName(QStringLiteral("MFG"));
    m_grid->setModel(m_model);
    m_grid->setIdColumn(OpeningBalanceModel::Id);
    m_grid->setLookupColumn(OpeningBalanceModel::Code);
    m_grid->setNumericColumn(OpeningBalanceModel::Price, formats.amountDecimals());
    m_grid->setNumericColumn(OpeningBalanceModel::Quantity, formats.quantityDecimals())
        ->setFigure(Limits::Figure::Quantity);
    m_grid->setNumericColumn(OpeningBalanceModel::Amount, formats.amountDecimals())
        ->setFigure(Limits::Figure::Amount);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setColumnWidths({0, 110, 160, 120, 70, 90, 90, 100, 100});
    m_grid->horizontalHeader()->setStretchLastSection(true);

    auto *frame = new QGroupBox(QStringLiteral("账务初始化数据"), this);
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(m_grid);

    auto *totalCaption = new QLabel(QStringLiteral("总金额："), this);
    totalCaption->setObjectName(QStringLiteral("Label1"));
    m_total = new QLabel(this);
    m_total->setObjectName(QStringLiteral("Label2"));
    m_total->setMinimumWidth(120);
    auto *totalRow = new QHBoxLayout;
    totalRow->addStretch();
    totalRow->addWidget(totalCaption);
    totalRow->addWidget(m_total);

    m_buttons = new IndexedButtonGroup({QStringLiteral("增 加(&A)"), QStringLiteral("修 改(&G)"),
                                        QStringLiteral("保 存(&S)"), QStringLiteral("删 除(&D)"),
                                        QStringLiteral("恢 复(&H)"), QStringLiteral("打 印(&P)"),
                                        QStringLiteral("退 出(&X)")},
                                       Qt::Horizontal, this);
    m_buttons->setAlignment(Qt::AlignHCenter);
    for (int i = 0; i < m_buttons->count(); ++i)
        m_buttons->button(i)->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addLayout(totalRow);
    layout->addWidget(m_buttons);
    resize(960, 480);

    connect(m_grid, &EditableGrid::lookupRequested, this,
            [this](int row, int) { lookUpMaterial(row); });
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
            remove();
            break;
        case Restore:
            reload();
            break;
        case Print:
            ReportWindow::open(this, m_db, m_formats, QStringLiteral("ZWCSH"), std::nullopt,
                               QStringLiteral("没有记录"));
            break;
        case Exit:
            ScreenParts::close(this);
            break;
        default:
            break;
        }
    });

    reload();
}

FrmZwcsh::~FrmZwcsh() = default;

void FrmZwcsh::reload()
{
    QList<OpeningBalances::Row> rows;
    Decimal total;
    if (!runOperation(this, [&] {
            rows = m_balances->rows();
            total = m_balances->total();
        }))
        return;
    m_model->load(rows);
    m_total->setText(m_formats.amountText(total));
}

int FrmZwcsh::selectedRow() const
{
    const QModelIndex current = m_grid->currentIndex();
    if (!current.isValid() || !m_grid->selectionModel()->isRowSelected(current.row(), {}))
        return -1;
    return current.row();
}

void FrmZwcsh::editCell(int row, int column)
{
    const QModelIndex cell = m_model->index(row, column);
    m_grid->setCurrentIndex(cell);
    m_grid->setFocus();
    m_grid->edit(cell);
}

void FrmZwcsh::add()
{
    editCell(m_model->appendNew(), OpeningBalanceModel::Code);
}

void FrmZwcsh::change()
{
    const int row = selectedRow();
    if (row < 0 || !m_model->beginChange(row)) {
        if (row < 0 || m_model->stateAt(row) == OpeningBalanceModel::State::New)
            Messages::warn(this, QStringLiteral("请选中记录！"), OpeningBalances::Title);
        return;
    }
    editCell(row, OpeningBalanceModel::Price);
}

void FrmZwcsh::lookUpMaterial(int row)
{
    if (m_model->stateAt(row) != OpeningBalanceModel::State::New)
        return;
    RowPicker lookup(MasterPickers::materials(m_db, m_formats), this);
    const std::optional<MaterialLookup::Row> material = lookup.pick();
    if (!material || !m_model->setMaterial(row, *material))
        return;
    // The last row gets an empty row below it, ready for the next material.
    if (row == m_model->rowCount() - 1)
        editCell(m_model->appendNew(), OpeningBalanceModel::Code);
    else
        editCell(row, OpeningBalanceModel::Price);
}

void FrmZwcsh::save()
{
    // A cell still being typed in counts as typed.
    const QModelIndex cell = m_grid->currentIndex();
    if (QWidget *editor = m_grid->isEditing() ? m_grid->indexWidget(cell) : nullptr)
        m_grid->itemDelegateForIndex(cell)->setModelData(editor, m_model, cell);
    const auto rows = m_model->newRows();
    const auto changes = m_model->changedRows();
    if (rows.isEmpty() && changes.isEmpty())
        return;
    // A refusal keeps the grid as typed, so it can be corrected and saved again.
    if (runOperation(this, [&] { m_balances->save(rows, changes); }))
        reload();
}

void FrmZwcsh::remove()
{
    const int row = selectedRow();
    if (row < 0 || m_model->stateAt(row) == OpeningBalanceModel::State::New) {
        Messages::warn(this, QStringLiteral("请选中记录！"), OpeningBalances::Title);
        return;
    }
    const qint64 id = m_model->idAt(row);
    if (!Messages::ask(this, QStringLiteral("您确定要删除该记录吗？"), OpeningBalances::Title))
        return;
    if (runOperation(this, [&] { m_balances->remove(id); }))
        reload();
}

} // namespace varnock
