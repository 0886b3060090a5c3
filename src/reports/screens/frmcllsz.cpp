#include "reports/screens/frmcllsz.h"

#include "print/screens/reportwindow.h"
#include "reports/materialledger.h"
#include "reports/screens/stockreportparts.h"
#include "shell/screens/help.h"
#include "widgets/datepicker.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace varnock {

namespace {

const QString DateFormat = QStringLiteral("yyyy-MM-dd");

} // namespace

FrmCllsz::FrmCllsz(Database &db, int mode, const Formats &formats, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_mode(mode)
    , m_formats(formats)
    , m_tree(StockReportParts::categoryTree(db, this))
    , m_materials(new QComboBox(this))
    , m_from(new DatePicker(this))
    , m_to(new DatePicker(this))
    , m_closings(new QComboBox(this))
    , m_buttons(new IndexedButtonGroup({QStringLiteral("查询 (&F)"), QStringLiteral("关闭 (&X)")},
                                       Qt::Horizontal, this))
{
    setObjectName(QStringLiteral("FrmCllsz"));
    setWindowTitle(MaterialLedger::Name);

    auto *category = new QGroupBox(QStringLiteral("选择材料类别"), this);
    auto *categoryLayout = new QVBoxLayout(category);
    categoryLayout->addWidget(m_tree);

    m_materials->setObjectName(QStringLiteral("Combo1"));
    m_materials->setMinimumWidth(260);
    auto *material = new QGroupBox(QStringLiteral("选择明细材料"), this);
    auto *materialLayout = new QVBoxLayout(material);
    materialLayout->addWidget(m_materials);

    m_from->setObjectName(QStringLiteral("DTP1"));
    m_from->setDate(StockReportParts::monthStart());
    m_to->setObjectName(QStringLiteral("DTP2"));
    m_closings->setObjectName(QStringLiteral("ComboBox1"));
    m_closings->addItem(QString());
    runOperation(this, [this] {
        for (const QDate &day : MaterialLedger(m_db, m_mode).closingDays())
            m_closings->addItem(day.toString(DateFormat), day);
    });
    // A month-end chosen starts the ledger the day after it: what it froze is carried over.
    connect(m_closings, &QComboBox::currentIndexChanged, this, [this] {
        const QDate day = m_closings->currentData().toDate();
        if (day.isValid())
            m_from->setDate(day.addDays(1));
    });
    auto *dates = new QGroupBox(QStringLiteral("选择日期"), this);
    auto *dateForm = new QFormLayout(dates);
    dateForm->addRow(QStringLiteral("起始时间"), m_from);
    dateForm->addRow(QStringLiteral("终止时间"), m_to);
    dateForm->addRow(QStringLiteral("月结日期"), m_closings);

    auto *right = new QVBoxLayout;
    right->addWidget(material);
    right->addWidget(dates);
    right->addStretch();
    auto *body = new QHBoxLayout;
    body->addWidget(category, 1);
    body->addLayout(right, 1);
    m_buttons->setAlignment(Qt::AlignHCenter);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addWidget(m_buttons);

    connect(m_tree, &QTreeWidget::currentItemChanged, this, &FrmCllsz::fillMaterials);
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == Query)
            query();
        else
            ScreenParts::close(this);
    });
    fillMaterials();
    Help::install(this, QStringLiteral("统计报表"));
    resize(640, 420);
}

void FrmCllsz::fillMaterials()
{
    StockReportParts::fillMaterials(m_db, m_tree, m_materials);
}

ReportWindow *FrmCllsz::query()
{
    const QString clbh = m_materials->currentData().toString();
    return StockReportParts::openLedger(this, m_db, m_mode, m_formats,
                                        clbh.isEmpty() ? QStringList() : QStringList{clbh},
                                        m_from->date(), m_to->date());
}

} // namespace varnock
