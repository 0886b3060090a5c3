#include "plans/screens/fjhtxd.h"

#include "master/screens/masterpickers.h"
#include "plans/screens/fgccx.h"
#include "print/paper/tablelayout.h"
#include "print/screens/printing.h"
#include "print/voucherslip.h"
#include "widgets/datepicker.h"
#include "widgets/editablegrid.h"
#include "widgets/messages.h"
#include "widgets/numericdelegate.h"
#include "widgets/operation.h"

#include <QGridLayout>
#include <QSignalBlocker>
#include <QTimer>

namespace varnock {

namespace {

VoucherEntryScreen::Look look()
{
    using A = VoucherEntryScreen::Action;
    VoucherEntryScreen::Look l{QStringLiteral("FJHTXD"),
                               QStringLiteral("工程材料计划填写单"),
                               QStringLiteral("工程材料计划填写单"),
                               FJHTXD::helpTopic(),
                               QStringLiteral("凭证浏览"),
                               {{QStringLiteral("增  加(&A)"), A::Add},
                                {QStringLiteral("保  存(&S)"), A::Save},
                                {QStringLiteral("修  改(&G)"), A::Change},
                                {QStringLiteral("删  除(&D)"), A::Own},
                                {QStringLiteral("恢  复(&H)"), A::Restore},
                                {QStringLiteral("查  询(&F)"), A::Own},
                                {QStringLiteral("打  印(&P)"), A::Print},
                                {QStringLiteral("退  出(&X)"), A::Exit}},
                               {},
                               QSize(900, 540)};
    l.newCaption = QStringLiteral("凭证增加");
    return l;
}

} // namespace

FJHTXD::FJHTXD(Database &db, const Formats &formats, QWidget *parent)
    : FamilyScreen(std::make_unique<Plans>(db, formats), look(), parent)
    , m_formats(formats)
{
    dateField()->setObjectName(QStringLiteral("DTP"));
    // A plan is known by its date alone: no system number is shown.
    systemNumberLabel()->hide();
    placeDate(QStringLiteral("计划日期："), 0, 0);
    placeState(0, 2);
    header()->setColumnStretch(2, 1);
    setStartField(grid());

    grid()->setObjectName(QStringLiteral("MFG"));
    setLines(m_model, PlanLineModel::Code, PlanLineModel::Quantity,
             {0, 100, 160, 120, 70, 100, 200});
    grid()->setIdColumn(PlanLineModel::Id);
    grid()->setLookupColumn(PlanLineModel::Code);
    grid()
        ->setNumericColumn(PlanLineModel::Quantity, m_formats.quantityDecimals())
        ->setFigure(Limits::Figure::Quantity);
    // Followed once the change is over: the screen sets the date itself while it clears or
    // shows a plan, and a new plan's date is only chosen.
    connect(dateField(), &QDateEdit::dateChanged, this,
            [this] { QTimer::singleShot(0, this, [this] { followDate(); }); });
    // The printed plan of the shown date, as the list of plans prints it.
    setPrinter([this](const VoucherEntryScreen &, qint64 key) {
        ReportTable table;
        QString firm;
        const QDate date = Plans::dateOf(key);
        if (!runOperation(this, [&] {
                table = family().list(ReportPeriod{date, date});
                firm = VoucherSlips::firmName(database());
            }))
            return;
        Printing::preview(this, TableLayout::pageLayout(table, m_formats), table.name(),
                          [this, table, firm](QPagedPaintDevice *device) {
                              TableLayout::print(device, table, m_formats, firm);
                          });
    });
    finish();
    followDate();
}

void FJHTXD::stateChanged(State state)
{
    // A plan is its date's: the date is chosen while browsing or adding, never while editing.
    dateField()->setReadOnly(state == State::Edit);
}

void FJHTXD::followDate()
{
    if (state() != State::Browse)
        return;
    const QDate date = dateField()->date();
    const qint64 key = Plans::keyOf(date);
    if (key == systemNumber())
        return;
    std::optional<PlanVoucher> plan;
    runOperation(this, [&] { plan = family().load(key); });
    if (plan) {
        showVoucher(key);
        return;
    }
    const QSignalBlocker still(dateField());
    clearScreen();
    dateField()->setDate(date);
    setState(State::Browse);
}

void FJHTXD::own(int index)
{
    if (index == Delete) {
        deleteLine();
        return;
    }
    Fgccx query(database(), m_formats, this);
    query.exec();
}

void FJHTXD::deleteLine()
{
    const QModelIndex current = grid()->currentIndex();
    const int row = current.isValid() ? current.row() : -1;
    if (row < 0 || row >= m_model->rowCount() || !m_model->hasMaterial(row))
        return;
    if (!Messages::ask(this, QStringLiteral("您确定要删除该记录吗？")))
        return;
    const qint64 id = m_model->line(row).id;
    if (id != 0 && !runOperation(this, [&] { family().removeLine(id); }))
        return;
    m_model->removeLine(row);
}

void FJHTXD::pickMaterial(int row)
{
    if (!m_model->isEditable() || row < 0 || row >= m_model->rowCount())
        return;
    RowPicker lookup(MasterPickers::materials(database(), m_formats), this);
    if (const std::optional<MaterialLookup::Row> material = lookup.pick())
        materialPlaced(row, m_model->setCatalogueMaterial(row, *material));
}

} // namespace varnock
