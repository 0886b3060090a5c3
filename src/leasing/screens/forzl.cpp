#include "leasing/screens/forzl.h"

#include "leasing/screens/fzl.h"
#include "master/screens/masterpickers.h"
#include "print/paper/tablelayout.h"
#include "print/screens/printing.h"
#include "print/voucherslip.h"
#include "widgets/editablegrid.h"
#include "widgets/numericdelegate.h"
#include "widgets/operation.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace varnock {

namespace {

VoucherEntryScreen::Look look()
{
    using A = VoucherEntryScreen::Action;
    VoucherEntryScreen::Look l{
        QStringLiteral("Forzl"),
        QStringLiteral("租 赁 凭 单 添 制"),
        QStringLiteral("租 赁 凭 单 添 制"),
        Forzl::helpTopic(),
        QStringLiteral("已记帐"),
        {{QStringLiteral("增   加(&A)"), A::Add},
         {QStringLiteral("保  存(&S)"), A::Save},
         {QStringLiteral("修 改(&G)"), A::Change},
         {QStringLiteral("删 除(&D)"), A::Delete},
         {QStringLiteral("恢 复(&R)"), A::Restore},
         {QStringLiteral("查 询(&F)"), A::Search},
         {QStringLiteral("打 印(&P)"), A::Print},
         {QStringLiteral("退 出(&X)"), A::Exit}},
        {QStringLiteral("经 手 人："), QStringLiteral("材料会计："), QStringLiteral("主    管：")},
        QSize(1000, 560)};
    l.deleteQuestion = QStringLiteral("您确定要删除本租赁小票吗,一旦删除将不能还原?");
    return l;
}

} // namespace

Forzl::Forzl(Database &db, const Formats &formats, QWidget *parent)
    : FamilyScreen(std::make_unique<Leases>(db, formats), look(), parent)
    , m_formats(formats)
    , m_gysbh(new QLineEdit(this))
    , m_gysmc(new QLineEdit(this))
    , m_lldwbh(new QLineEdit(this))
    , m_lldwmc(new QLineEdit(this))
{
    m_gysbh->setObjectName(QStringLiteral("TxtGysbh"));
    m_lldwbh->setObjectName(QStringLiteral("TxtLldwbh"));
    m_gysmc->setMinimumWidth(200);
    m_lldwmc->setMinimumWidth(200);
    systemNumberLabel()->setFrameShape(QFrame::StyledPanel);

    placeSystemNumber(QStringLiteral("租赁单据编号："), 0, 0);
    placeDate(QStringLiteral("租  赁  日  期："), 0, 2);
    addCodeField(QStringLiteral("租赁供应商编号："), m_gysbh, m_gysmc, 1, 0,
                 MasterPickers::pickSupplier(database(), this),
                 [this](const QString &code) { return family().supplierName(code); })
        ->setObjectName(QStringLiteral("CmdGys"));
    addField(QStringLiteral("租赁供应商名称："), m_gysmc, 1, 2, 1, false);
    addCodeField(QStringLiteral("耗料单位编号："), m_lldwbh, m_lldwmc, 2, 0,
                 MasterPickers::pickUnit(database(), this),
                 [this](const QString &code) { return family().unitName(code); })
        ->setObjectName(QStringLiteral("CmdDw"));
    addField(QStringLiteral("耗料单位名称："), m_lldwmc, 2, 2, 1, false);
    placeState(0, 4, 3);
    header()->setColumnStretch(3, 1);
    setStartField(m_gysbh);
    using V = LeaseVoucher;
    bind(m_gysbh, &V::gysbh);
    bind(m_gysmc, &V::gysmc);
    bind(m_lldwbh, &V::lldwbh);
    bind(m_lldwmc, &V::lldwmc);

    grid()->setObjectName(QStringLiteral("MFG"));
    setLines(m_model, LeaseLineModel::Code, LeaseLineModel::Quantity,
             {0, 90, 140, 100, 70, 90, 90, 90, 100, 90});
    grid()->setIdColumn(LeaseLineModel::Id);
    grid()->setLookupColumn(LeaseLineModel::Code);
    grid()
        ->setNumericColumn(LeaseLineModel::Quantity, m_formats.quantityDecimals())
        ->setFigure(Limits::Figure::Quantity);
    grid()
        ->setNumericColumn(LeaseLineModel::Rent, m_formats.amountDecimals())
        ->setFigure(Limits::Figure::Price);
    grid()
        ->setNumericColumn(LeaseLineModel::Deposit, m_formats.amountDecimals())
        ->setFigure(Limits::Figure::Amount);
    // The printed voucher is a table of its lines, previewed before it goes to paper or PDF.
    setPrinter([this](const VoucherEntryScreen &, qint64 djbh) {
        ReportTable table;
        QString firm;
        if (!runOperation(this, [&] {
                table = family().slip(djbh);
                firm = VoucherSlips::firmName(database());
            }))
            return;
        Printing::preview(this, TableLayout::pageLayout(table, m_formats), table.name(),
                          [this, table, firm](QPagedPaintDevice *device) {
                              TableLayout::print(device, table, m_formats, firm);
                          });
    });
    finish();
}

std::optional<qint64> Forzl::find()
{
    Fzl finder(family(), this);
    return finder.pick();
}

void Forzl::pickMaterial(int row)
{
    if (!m_model->isEditable() || row < 0 || row >= m_model->rowCount())
        return;
    RowPicker lookup(MasterPickers::materials(database(), m_formats), this);
    if (const std::optional<MaterialLookup::Row> material = lookup.pick())
        materialPlaced(row, m_model->setCatalogueMaterial(row, *material));
}

} // namespace varnock
