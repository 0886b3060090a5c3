#include "reports/screens/formtjcxct.h"

#include "master/screens/masterpickers.h"
#include "reports/screens/formpmcxjg.h"
#include "reports/screens/stockreportparts.h"
#include "shell/screens/help.h"
#include "widgets/datepicker.h"
#include "widgets/entermovesfocus.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/lookupedit.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace varnock {

namespace {

const QString NumberCaption = QStringLiteral("单据编号");
const QString StockInNumberCaption = QStringLiteral("入库编号");

QComboBox *choices(const QStringList &items, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->addItem(QString());
    combo->addItems(items);
    combo->setCurrentIndex(0);
    return combo;
}

// A code field whose picker fills it with the chosen code.
void pickInto(LookupEdit *edit, const CounterpartyPick &pick)
{
    QObject::connect(edit, &LookupEdit::lookupRequested, edit, [edit, pick] {
        if (const std::optional<Counterparty> c = pick())
            edit->setText(c->code);
    });
}

} // namespace

FormTJCXCT::FormTJCXCT(Database &db, int mode, const Formats &formats, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_mode(mode)
    , m_formats(formats)
    , m_kinds(new QComboBox(this))
    , m_from(new DatePicker(this))
    , m_to(new DatePicker(this))
    , m_supplier(new LookupEdit(this))
    , m_name(new QLineEdit(this))
    , m_spec(new QLineEdit(this))
    , m_material(new LookupEdit(this))
    , m_numberLabel(new QLabel(NumberCaption, this))
    , m_number(new QLineEdit(this))
    , m_unit(new LookupEdit(this))
    , m_buttons(new IndexedButtonGroup({QStringLiteral("查询(&F)"), QStringLiteral("退出(&X)")},
                                       Qt::Horizontal, this))
{
    setObjectName(QStringLiteral("FormTJCXCT"));
    setWindowTitle(QStringLiteral("账务条件查询"));
    Help::install(this, QStringLiteral("品名查询"));

    QStringList sites;
    QStringList buildings;
    runOperation(this, [&] {
        const LedgerQuery query(m_db, m_mode, m_formats);
        sites = query.sites();
        buildings = query.buildings();
    });
    m_site = choices(sites, this);
    m_building = choices(buildings, this);

    m_kinds->setObjectName(QStringLiteral("Combo1"));
    m_kinds->addItems(LedgerQuery::kindTexts());
    m_kinds->setMaxVisibleItems(LedgerQuery::KindCount);
    m_kinds->setCurrentIndex(-1);
    connect(m_kinds, &QComboBox::currentIndexChanged, this, [this](int index) {
        const bool stockIn = index >= 0 && LedgerQuery::numbersStockIn(LedgerQuery::Kind(index));
        m_numberLabel->setText(stockIn ? StockInNumberCaption : NumberCaption);
    });
    auto *kindBox = new QGroupBox(QStringLiteral("选择帐类"), this);
    auto *kindLayout = new QVBoxLayout(kindBox);
    kindLayout->addWidget(m_kinds);

    m_from->setObjectName(QStringLiteral("DTP1"));
    m_from->setDate(StockReportParts::monthStart());
    m_to->setObjectName(QStringLiteral("DTP2"));
    QWidget *dates = StockReportParts::form(
        QStringLiteral("选择日期"),
        {{QStringLiteral("起始时间"), m_from}, {QStringLiteral("终止时间"), m_to}}, this);

    m_supplier->setObjectName(QStringLiteral("Text1"));
    pickInto(m_supplier, MasterPickers::pickSupplier(m_db, this));
    m_unit->setObjectName(QStringLiteral("Text7"));
    pickInto(m_unit, MasterPickers::pickUnit(m_db, this));
    m_material->setObjectName(QStringLiteral("Text4"));
    connect(m_material, &LookupEdit::lookupRequested, this, &FormTJCXCT::pickMaterial);
    m_name->setObjectName(QStringLiteral("Text2"));
    m_spec->setObjectName(QStringLiteral("Text3"));
    m_site->setObjectName(QStringLiteral("Combo2"));
    m_number->setObjectName(QStringLiteral("Text6"));
    m_building->setObjectName(QStringLiteral("Combo3"));

    auto *conditions = new QGroupBox(QStringLiteral("选择条件"), this);
    auto *grid = new QGridLayout(conditions);
    const QList<std::pair<QWidget *, QWidget *>> fields = {
        {new QLabel(QStringLiteral("供 应 商"), this), m_supplier},
        {new QLabel(QStringLiteral("材料名称"), this), m_name},
        {new QLabel(QStringLiteral("材料规格"), this), m_spec},
        {new QLabel(QStringLiteral("材料编号"), this), m_material},
        {new QLabel(QStringLiteral("施工部位"), this), m_site},
        {m_numberLabel, m_number},
        {new QLabel(QStringLiteral("耗料单位"), this), m_unit},
        {new QLabel(QStringLiteral("栋 /楼号"), this), m_building}};
    for (int i = 0; i < fields.size(); ++i) {
        grid->addWidget(fields.at(i).first, i / 2, (i % 2) * 2);
        grid->addWidget(fields.at(i).second, i / 2, (i % 2) * 2 + 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    auto *top = new QHBoxLayout;
    top->addWidget(kindBox, 1);
    top->addWidget(dates, 1);
    m_buttons->setAlignment(Qt::AlignHCenter);
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(windowTitle(), this);
    ScreenParts::styleHeading(heading);
    layout->addWidget(heading);
    layout->addLayout(top);
    layout->addWidget(conditions);
    layout->addStretch();
    layout->addWidget(m_buttons);

    const QList<QWidget *> order{m_kinds,
                                 m_from,
                                 m_to,
                                 m_supplier->lineEdit(),
                                 m_name,
                                 m_spec,
                                 m_material->lineEdit(),
                                 m_site,
                                 m_number,
                                 m_unit->lineEdit(),
                                 m_building};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
    new EnterMovesFocus(this);
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == Query)
            query();
        else
            ScreenParts::close(this);
    });
    resize(640, 380);
}

void FormTJCXCT::pickMaterial()
{
    const std::optional<MaterialLookup::Row> row =
        RowPicker(MasterPickers::materials(m_db, m_formats), this).pick();
    if (!row)
        return;
    m_material->setText(row->clbh);
    m_name->setText(row->clmc);
    m_spec->setText(row->clgg);
}

LedgerQuery::Conditions FormTJCXCT::conditions() const
{
    LedgerQuery::Conditions c;
    if (m_kinds->currentIndex() >= 0)
        c.kind = LedgerQuery::Kind(m_kinds->currentIndex());
    c.from = m_from->date();
    c.to = m_to->date();
    c.supplier = m_supplier->text();
    c.name = m_name->text();
    c.spec = m_spec->text();
    c.material = m_material->text();
    c.site = m_site->currentText();
    c.number = m_number->text();
    c.unit = m_unit->text();
    c.building = m_building->currentText();
    return c;
}

FormPMCXJG *FormTJCXCT::query()
{
    LedgerQuery::Result result;
    if (!runOperation(
            this, [&] { result = LedgerQuery(m_db, m_mode, m_formats).conditions(conditions()); }))
        return nullptr;
    return FormPMCXJG::open(this, m_db, m_mode, m_formats, result);
}

} // namespace varnock
