#include "shell/screens/frmczrz.h"

#include "shell/operationlog.h"
#include "shell/operationlogmodel.h"
#include "shell/screens/frmczrzcx.h"
#include "shell/screens/frmma.h"
#include "shell/screens/help.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>

namespace varnock {

FrmCzrz::FrmCzrz(Database &db, int loggedInOperator, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
    , m_loggedIn(loggedInOperator)
{
    setObjectName(QStringLiteral("FrmCzrz"));
    setWindowTitle(QStringLiteral("操作日志浏览"));

    m_model = new OperationLogModel(this);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("MFG"));
    m_grid->setModel(m_model);
    m_grid->setColumnHidden(OperationLogModel::Id, true);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setAlternatingRowColors(true);
    m_grid->verticalHeader()->setDefaultSectionSize(24);
    m_grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_grid->setColumnWidth(OperationLogModel::Operator, 100);
    m_grid->setColumnWidth(OperationLogModel::Date, 100);
    m_grid->setColumnWidth(OperationLogModel::Time, 90);
    m_grid->horizontalHeader()->setStretchLastSection(true);

    m_buttons = new IndexedButtonGroup(
        {QStringLiteral("查 询(&F)"), QStringLiteral("清 空(&D)"), QStringLiteral("退 出(&X)")},
        Qt::Horizontal, this);
    m_buttons->setAlignment(Qt::AlignRight);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_buttons);

    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        switch (index) {
        case Query:
            query();
            break;
        case Clear:
            clear();
            break;
        case Exit:
            leave();
            break;
        }
    });
    Help::install(this, helpTopic());
    resize(640, 420);
    reload();
}

void FrmCzrz::reload()
{
    QList<OperationLog::Row> rows;
    if (runOperation(this, [&] { rows = OperationLog(m_db).browse(); }))
        m_model->setRows(rows);
}

void FrmCzrz::query()
{
    FrmCzrzCx filter(m_db, this);
    if (filter.exec() == QDialog::Accepted)
        m_model->setRows(filter.rows());
}

void FrmCzrz::clear()
{
    if (!Messages::ask(this, QStringLiteral("操作日志一旦被清除，以前操作信息将丢失！"),
                       QStringLiteral("提示"), Messages::Icon::Exclamation))
        return;
    const QString typed = FrmMa::ask(this);
    if (typed == FrmMa::cancelled())
        return;
    if (runOperation(this, [&] { OperationLog(m_db).clear(m_loggedIn, typed); }))
        m_model->setRows({});
}

void FrmCzrz::leave()
{
    ScreenParts::close(this);
}

} // namespace varnock
