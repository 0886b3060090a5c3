#include "shell/screens/frmztxx.h"

#include "shell/screens/frmma.h"
#include "shell/screens/frmztzj.h"
#include "shell/screens/help.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/operation.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

namespace varnock {
namespace {

enum Column { BlankColumn, NumberColumn, NameColumn, DateColumn, ColumnCount };

} // namespace

FrmZtxx::FrmZtxx(Database &master, const DataFolder &folder, QWidget *parent)
    : QDialog(parent)
    , m_sets(master, folder)
    , m_folder(folder)
{
    setObjectName(QStringLiteral("FrmZtxx"));
    setWindowTitle(QStringLiteral("选择账套"));
    setModal(true);
    Help::install(this, helpTopic());

    m_grid = new QTableWidget(0, ColumnCount, this);
    m_grid->setObjectName(QStringLiteral("MFG"));
    m_grid->setHorizontalHeaderLabels({QString(), QStringLiteral("   账套编号"),
                                       QStringLiteral("账  套  名  称"),
                                       QStringLiteral("   建账日期")});
    m_grid->verticalHeader()->hide();
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setAlternatingRowColors(true);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    m_grid->setColumnWidth(BlankColumn, 18);
    m_grid->setColumnWidth(NumberColumn, 100);
    m_grid->setColumnWidth(DateColumn, 100);

    m_buttons =
        new IndexedButtonGroup({QStringLiteral("新建账套(&N)"), QStringLiteral("删除账套(&D)"),
                                QStringLiteral("确    定(&Q)"), QStringLiteral("退出系统(&X)")},
                               Qt::Vertical, this);
    m_buttons->setAlignment(Qt::AlignTop);
    for (int i = 0; i < m_buttons->count(); ++i)
        m_buttons->button(i)->setMinimumHeight(30);
    // Enter on the list opens the chosen set.
    m_buttons->button(2)->setDefault(true);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(12);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_buttons);
    resize(560, 300);

    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        switch (index) {
        case 0:
            createSet();
            break;
        case 1:
            deleteSet();
            break;
        case 2:
            choose();
            break;
        default:
            quit();
            break;
        }
    });
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, [this] { choose(); });

    reload();
}

void FrmZtxx::reload(std::optional<qint64> current)
{
    QList<AccountSetInfo> sets;
    QStringList unreadable;
    runOperation(this, [&] { sets = m_sets.readable(unreadable); });
    if (!unreadable.isEmpty()) {
        Messages::warn(this,
                       QStringLiteral("以下账套的数据文件无法读取，未列出：\n\n") +
                           unreadable.join(QStringLiteral("\n\n")),
                       QStringLiteral("提示"));
    }
    m_grid->clearContents();
    m_grid->setRowCount(int(sets.size()));
    int currentRow = sets.isEmpty() ? -1 : 0;
    for (int row = 0; row < sets.size(); ++row) {
        const AccountSetInfo &set = sets.at(row);
        auto *blank = new QTableWidgetItem;
        blank->setFlags(Qt::ItemIsEnabled);
        blank->setBackground(palette().button());
        auto *number = new QTableWidgetItem(QString::number(set.number));
        number->setData(Qt::UserRole, set.number);
        m_grid->setItem(row, BlankColumn, blank);
        m_grid->setItem(row, NumberColumn, number);
        m_grid->setItem(row, NameColumn, new QTableWidgetItem(set.name));
        m_grid->setItem(row, DateColumn,
                        new QTableWidgetItem(set.created.toString(QStringLiteral("yyyy-MM-dd"))));
        if (current && set.number == *current)
            currentRow = row;
    }
    if (currentRow >= 0)
        m_grid->selectRow(currentRow);
}

std::optional<qint64> FrmZtxx::currentNumber() const
{
    const QList<QTableWidgetItem *> selected = m_grid->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    const QTableWidgetItem *number = m_grid->item(selected.first()->row(), NumberColumn);
    if (!number)
        return std::nullopt;
    return number->data(Qt::UserRole).toLongLong();
}

void FrmZtxx::createSet()
{
    FrmZtzj wizard(m_sets, m_folder, this);
    if (wizard.exec() == QDialog::Accepted && wizard.created())
        reload(wizard.created()->number);
}

void FrmZtxx::deleteSet()
{
    const std::optional<qint64> number = currentNumber();
    if (!number)
        return;
    if (!Messages::ask(this, QStringLiteral("账套一旦删除，所有数据都将丢失，你确定要删除吗？")))
        return;
    const QString typed = FrmMa::ask(this);
    if (typed == FrmMa::cancelled())
        return;
    runOperation(this, [&] { m_sets.remove(*number, typed); });
    // Also after a failure: the list shows what the master holds now.
    reload(number);
}

void FrmZtxx::choose()
{
    const std::optional<qint64> number = currentNumber();
    if (!number)
        return;
    m_chosen = number;
    m_outcome = Outcome::Chosen;
    accept();
}

void FrmZtxx::quit()
{
    if (!Messages::ask(this, QStringLiteral("您确认要退出本系统吗?")))
        return;
    m_outcome = Outcome::Quit;
    QDialog::reject();
}

void FrmZtxx::reject()
{
    quit();
}

} // namespace varnock
