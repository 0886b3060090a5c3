#include "ledger/screens/fdz.h"

#include "ledger/adjustmentlinemodel.h"
#include "ledger/screens/fkvmtcx.h"
#include "ledger/screens/ledgerscreenparts.h"
#include "master/screens/masterpickers.h"
#include "print/screens/reportwindow.h"
#include "shell/screens/help.h"
#include "store/clock.h"
#include "widgets/datepicker.h"
#include "widgets/editablegrid.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/numericdelegate.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace varnock {

FDZ::FDZ(Database &db, const Formats &formats, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_formats(formats)
    , m_adjustments(db)
{
    setObjectName(QStringLiteral("FDZ"));
    setWindowTitle(QStringLiteral("数据处理"));

    auto *heading = new QLabel(QStringLiteral("数据处理填写"), this);
    heading->setObjectName(QStringLiteral("Label1"));
    ScreenParts::styleHeading(heading);
    m_date = new DatePicker(this);
    m_date->setObjectName(QStringLiteral("DTPicker1"));
    m_date->setDate(Clock::today());
    m_project = new QLineEdit(this);
    m_project->setObjectName(QStringLiteral("Text1"));
    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("Label4"));
    auto *header = new QHBoxLayout;
    header->addWidget(new QLabel(QStringLiteral("操作日期："), this));
    header->addWidget(m_date);
    header->addSpacing(24);
    header->addWidget(new QLabel(QStringLiteral("工程项目："), this));
    header->addWidget(m_project, 1);
    header->addSpacing(24);
    header->addWidget(m_state);

    m_model = new AdjustmentLineModel(formats, this);
    m_grid = new EditableGrid(this);
    m_grid->setObjectName(QStringLiteral("MFG"));
    m_grid->setModel(m_model);
    m_grid->setIdColumn(AdjustmentLineModel::Id);
    m_grid->setLookupColumn(AdjustmentLineModel::Code);
    m_grid->setNumericColumn(AdjustmentLineModel::Amount, formats.amountDecimals(), true)
        ->setFigure(Limits::Figure::Amount);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setColumnWidths({0, 100, 150, 100, 60, 100, 100, 150});
    m_grid->horizontalHeader()->setStretchLastSection(true);

    m_buttons = new IndexedButtonGroup({QStringLiteral("增  加(&A)"), QStringLiteral("保  存(&S)"),
                                        QStringLiteral("修  改(&U)"), QStringLiteral("删  除(&D)"),
                                        QStringLiteral("恢  复(&R)"), QStringLiteral("查  询(&F)"),
                                        QStringLiteral("打  印(&P)"), QStringLiteral("退  出(&X)")},
                                       Qt::Horizontal, this);
    m_buttons->setAlignment(Qt::AlignHCenter);
    for (int i = 0; i < m_buttons->count(); ++i)
        m_buttons->button(i)->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(header);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_buttons);
    resize(980, 520);
    Help::install(this, QStringLiteral("数据处理"));

    connect(m_date, &QDateEdit::dateChanged, this, [this] {
        if (m_current == State::Browse)
            reload();
    });
    connect(m_grid, &EditableGrid::lookupRequested, this,
            [this](int row, int) { lookUpMaterial(row); });
    connect(m_grid, &EditableGrid::pastLastCell, this, [this] {
        if (m_current == State::Add)
            m_grid->setCurrentIndex(
                m_model->index(m_model->appendNew(), AdjustmentLineModel::Code));
    });
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        switch (index) {
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
            remove();
            break;
        case Restore:
            reload();
            break;
        case Find:
            Fkvmtcx::open(this, m_db, m_formats);
            break;
        case Print:
            ReportWindow::open(this, m_db, m_formats, QStringLiteral("CLKVMT"),
                               ReportPeriod{m_date->date(), m_date->date()});
            break;
        case Exit:
            ScreenParts::close(this);
            break;
        }
    });
    reload();
}

void FDZ::setState(State state)
{
    m_current = state;
    m_state->setText(state == State::Add      ? QStringLiteral("凭证增加")
                     : state == State::Change ? QStringLiteral("凭证修改")
                                              : QStringLiteral("凭证浏览"));
    const bool browsing = state == State::Browse;
    m_model->setEntering(!browsing);
    for (int b : {Add, Change, Delete, Find, Print})
        m_buttons->button(b)->setEnabled(browsing);
    m_buttons->button(Save)->setEnabled(!browsing);
}

void FDZ::reload()
{
    QList<AmountAdjustments::Line> lines;
    if (!runOperation(this, [&] { lines = m_adjustments.onDay(m_date->date()); }))
        return;
    m_model->load(lines);
    if (!lines.isEmpty())
        m_project->setText(lines.first().gcxm);
    setState(State::Browse);
}

void FDZ::add()
{
    m_model->load({});
    setState(State::Add);
    m_grid->setFocus();
    m_grid->setCurrentIndex(m_model->index(m_model->appendNew(), AdjustmentLineModel::Code));
}

void FDZ::change()
{
    if (m_model->rowCount() == 0)
        return;
    setState(State::Change);
    m_grid->setFocus();
    m_grid->setCurrentIndex(m_model->index(0, AdjustmentLineModel::Amount));
}

void FDZ::save()
{
    const auto entries = m_model->entries();
    const bool saved = runOperation(this, [&] {
        if (m_current == State::Add) {
            QList<AmountAdjustments::Entry> fresh;
            for (const auto &[id, entry] : entries)
                fresh.append(entry);
            m_adjustments.add(m_date->date(), m_project->text(), fresh);
        } else {
            m_adjustments.change(m_date->date(), m_project->text(), entries);
        }
    });
    if (saved)
        reload();
}

void FDZ::remove()
{
    const int row = m_grid->currentIndex().row();
    const qint64 id = m_model->idAt(row);
    if (id == 0 || !Messages::ask(this, QStringLiteral("您确定要删除该记录吗？")))
        return;
    if (runOperation(this, [&] { m_adjustments.remove(id); }))
        reload();
}

void FDZ::lookUpMaterial(int row)
{
    if (m_model->idAt(row) != 0)
        return;
    RowPicker lookup(MasterPickers::materials(m_db, m_formats), this);
    if (const std::optional<MaterialLookup::Row> material = lookup.pick()) {
        m_model->setMaterial(row, *material);
        m_grid->setCurrentIndex(m_model->index(row, AdjustmentLineModel::Amount));
    }
}

} // namespace varnock
