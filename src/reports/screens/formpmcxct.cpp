#include "reports/screens/formpmcxct.h"

#include "reports/cataloguetree.h"
#include "reports/ledgerquery.h"
#include "reports/screens/formpmcxjg.h"
#include "reports/screens/stockreportparts.h"
#include "shell/screens/help.h"
#include "widgets/datepicker.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace varnock {

FormPMCXCT::FormPMCXCT(Database &db, int mode, const Formats &formats, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_mode(mode)
    , m_formats(formats)
    , m_tree(StockReportParts::categoryTree(db, this))
    , m_materials(new QComboBox(this))
    , m_from(new DatePicker(this))
    , m_to(new DatePicker(this))
    , m_buttons(new IndexedButtonGroup({QStringLiteral("查询 (&C)"), QStringLiteral("关闭 (&X)")},
                                       Qt::Horizontal, this))
{
    setObjectName(QStringLiteral("FormPMCXCT"));
    setWindowTitle(QStringLiteral("品名查询"));
    Help::install(this, QStringLiteral("品名查询"));

    m_materials->setObjectName(QStringLiteral("Combo1"));
    m_materials->setMinimumWidth(260);
    m_from->setObjectName(QStringLiteral("DTP1"));
    m_from->setDate(StockReportParts::monthStart());
    m_to->setObjectName(QStringLiteral("DTP2"));

    auto *right = new QVBoxLayout;
    right->addWidget(StockReportParts::frame(QStringLiteral("选择明细材料"), m_materials, this));
    right->addWidget(StockReportParts::form(
        QStringLiteral("选择日期"),
        {{QStringLiteral("起始时间"), m_from}, {QStringLiteral("终止时间"), m_to}}, this));
    right->addStretch();
    auto *body = new QHBoxLayout;
    body->addWidget(StockReportParts::frame(QStringLiteral("选择材料类别"), m_tree, this), 1);
    body->addLayout(right, 1);
    m_buttons->setAlignment(Qt::AlignHCenter);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(m_buttons);

    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this] { StockReportParts::fillMaterials(m_db, m_tree, m_materials); });
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == Query)
            query();
        else
            ScreenParts::close(this);
    });
    StockReportParts::fillMaterials(m_db, m_tree, m_materials);
    resize(640, 420);
}

FormPMCXJG *FormPMCXCT::query()
{
    LedgerQuery::Result result;
    if (!runOperation(this, [&] {
            const LedgerQuery query(m_db, m_mode, m_formats);
            const QString material = m_materials->currentData().toString();
            const QString node = StockReportParts::chosenNode(m_tree);
            std::optional<QStringList> materials;
            if (!material.isEmpty())
                materials = QStringList{material};
            else if (node != CatalogueTree::Root)
                materials = query.materialsOf(node);
            result = query.items(materials, m_from->date(), m_to->date());
        }))
        return nullptr;
    return FormPMCXJG::open(this, m_db, m_mode, m_formats, result);
}

} // namespace varnock
