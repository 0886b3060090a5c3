#include "ledger/screens/fkvmtcx.h"

#include "ledger/postinggridmodel.h"
#include "ledger/screens/ledgerscreenparts.h"
#include "master/catalogue.h"
#include "shell/screens/help.h"
#include "shell/screens/mdifrmmain.h"
#include "store/clock.h"
#include "widgets/datepicker.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace varnock {

namespace {

constexpr int CodeRole = Qt::UserRole;

} // namespace

Fkvmtcx::Fkvmtcx(Database &db, const Formats &formats, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_formats(formats)
{
    setObjectName(QStringLiteral("Fkvmtcx"));
    setWindowTitle(QStringLiteral("数据处理查询"));

    auto *dates = new QGroupBox(QStringLiteral("选择日期"), this);
    const QDate today = Clock::today();
    m_from = new DatePicker(dates);
    m_from->setObjectName(QStringLiteral("DTPicker1"));
    m_from->setDate(QDate(today.year(), today.month(), 1));
    m_to = new DatePicker(dates);
    m_to->setObjectName(QStringLiteral("DTPicker2"));
    m_to->setDate(today);
    auto *dateLayout = new QFormLayout(dates);
    dateLayout->addRow(QStringLiteral("起始时间"), m_from);
    dateLayout->addRow(QStringLiteral("终止时间"), m_to);

    auto *groupFrame = new QGroupBox(QStringLiteral("选择材料类别"), this);
    m_groups = new QTreeWidget(groupFrame);
    m_groups->setObjectName(QStringLiteral("TreeView1"));
    m_groups->setHeaderHidden(true);
    auto *groupLayout = new QVBoxLayout(groupFrame);
    groupLayout->addWidget(m_groups);

    auto *materialFrame = new QGroupBox(QStringLiteral("选择明细材料"), this);
    m_materials = new QComboBox(materialFrame);
    m_materials->setObjectName(QStringLiteral("Combo1"));
    auto *materialLayout = new QVBoxLayout(materialFrame);
    materialLayout->addWidget(m_materials);
    auto *remarkFrame = new QGroupBox(QStringLiteral("备注选择"), this);
    m_remark = new QLineEdit(remarkFrame);
    m_remark->setObjectName(QStringLiteral("Text1"));
    auto *remarkLayout = new QVBoxLayout(remarkFrame);
    remarkLayout->addWidget(m_remark);

    m_buttons = new IndexedButtonGroup({QStringLiteral("查询 (&F)"), QStringLiteral("关闭 (&X)")},
                                       Qt::Vertical, this);

    auto *side = new QVBoxLayout;
    side->addWidget(dates);
    side->addWidget(materialFrame);
    side->addWidget(remarkFrame);
    side->addStretch();
    side->addWidget(m_buttons);
    auto *top = new QHBoxLayout;
    top->addWidget(groupFrame, 1);
    top->addLayout(side);

    m_model = new PostingGridModel(this);
    m_view = LedgerScreenParts::gridView(m_model, QStringLiteral("MFG"), this);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 2);
    layout->addWidget(m_view, 3);
    resize(860, 620);
    Help::install(this, QStringLiteral("数据处理"));

    connect(m_groups, &QTreeWidget::currentItemChanged, this, [this] { fillMaterials(); });
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == Find)
            find();
        else
            ScreenParts::close(this);
    });
    fillGroups();
}

Fkvmtcx *Fkvmtcx::open(QWidget *from, Database &db, const Formats &formats)
{
    auto *query = new Fkvmtcx(db, formats);
    query->setAttribute(Qt::WA_DeleteOnClose);
    if (auto *main = qobject_cast<MDIFrmMain *>(from ? from->window() : nullptr)) {
        QMdiSubWindow *sub = main->mdiArea()->addSubWindow(query);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->show();
    } else {
        query->setParent(from, Qt::Window);
        query->show();
    }
    return query;
}

void Fkvmtcx::fillGroups()
{
    auto *root = new QTreeWidgetItem(m_groups, {QStringLiteral("全部材料")});
    const Catalogue catalogue(m_db);
    // The categories only: materials are chosen beside the tree.
    const std::function<void(QTreeWidgetItem *, const QString &)> addChildren =
        [&](QTreeWidgetItem *item, const QString &code) {
            for (const CatalogueRow &row : catalogue.children(code)) {
                if (row.sfmj)
                    continue;
                auto *child =
                    new QTreeWidgetItem(item, {row.clbh + QStringLiteral(" ") + row.clmc});
                child->setData(0, CodeRole, row.clbh);
                addChildren(child, row.clbh);
            }
        };
    runOperation(this, [&] { addChildren(root, QStringLiteral("0")); });
    root->setExpanded(true);
    m_groups->setCurrentItem(root);
}

void Fkvmtcx::fillMaterials()
{
    m_materials->clear();
    m_materials->addItem(QString());
    const QTreeWidgetItem *item = m_groups->currentItem();
    const QString group = item ? item->data(0, CodeRole).toString() : QString();
    if (group.isEmpty())
        return;
    QList<CatalogueRow> rows;
    runOperation(this, [&] { rows = Catalogue(m_db).children(group); });
    for (const CatalogueRow &row : std::as_const(rows)) {
        if (row.sfmj)
            m_materials->addItem(row.clbh + QStringLiteral(" ") + row.clmc, row.clbh);
    }
}

void Fkvmtcx::find()
{
    if (m_from->date() > m_to->date()) {
        Messages::warn(this, QStringLiteral("起始日期不可大以终始日期"), QStringLiteral("提示"));
        return;
    }
    AmountAdjustments::Filter filter;
    filter.from = m_from->date();
    filter.to = m_to->date();
    if (const QTreeWidgetItem *item = m_groups->currentItem())
        filter.group = item->data(0, CodeRole).toString();
    filter.clbh = m_materials->currentData().toString();
    filter.bz = m_remark->text();
    QList<AmountAdjustments::Line> lines;
    if (!runOperation(this, [&] { lines = AmountAdjustments(m_db).find(filter); }))
        return;
    PostingGrid grid;
    grid.columns = {QStringLiteral("材料编号"), QStringLiteral("材料名称"),
                    QStringLiteral("材料规格"), QStringLiteral("单位"),
                    QStringLiteral("操作日期"), QStringLiteral("处理金额"),
                    QStringLiteral("备注")};
    grid.numeric = {false, false, false, false, false, true, false};
    for (const AmountAdjustments::Line &l : std::as_const(lines)) {
        grid.keys.append(l.id);
        grid.rows.append({l.clbh, l.clmc, l.clgg, l.jzdw, l.czrq.toString(Qt::ISODate),
                          m_formats.amountText(l.je), l.bz});
    }
    m_model->setGrid(grid);
    LedgerScreenParts::fitColumns(m_view);
}

} // namespace varnock
