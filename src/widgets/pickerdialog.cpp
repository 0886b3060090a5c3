#include "widgets/pickerdialog.h"

#include "widgets/indexedbuttongroup.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace varnock {

PickerDialog::PickerDialog(QWidget *parent, const QString &title)
    : QDialog(parent)
    , m_view(new QTableView(this))
    , m_buttons(new IndexedButtonGroup({QStringLiteral("确  定(&Q)"), QStringLiteral("退  出(&X)")},
                                       Qt::Horizontal, this))
    , m_layout(new QVBoxLayout)
{
    setWindowTitle(title);
    setModal(true);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setAlternatingRowColors(true);
    m_view->verticalHeader()->hide();
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 10);
    m_view->horizontalHeader()->setStretchLastSection(true);
    m_view->installEventFilter(this);
    connect(m_view, &QTableView::doubleClicked, this, [this] { choose(); });

    m_buttons->setAlignment(Qt::AlignRight);
    m_buttons->button(0)->setDefault(true);
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == 0)
            choose();
        else
            reject();
    });

    auto *outer = new QVBoxLayout(this);
    m_layout->addWidget(m_view, 1);
    outer->addLayout(m_layout, 1);
    outer->addWidget(m_buttons);
    resize(480, 360);
}

void PickerDialog::setModel(QAbstractItemModel *model)
{
    m_view->setModel(model);
    m_view->resizeColumnsToContents();
    for (int column = 0; model && column < model->columnCount(); ++column)
        m_view->setColumnWidth(column, m_view->columnWidth(column) + 12);
    if (model && model->rowCount() > 0)
        m_view->selectRow(0);
    m_view->setFocus();
}

bool PickerDialog::acceptRow(int row)
{
    return row >= 0;
}

int PickerDialog::currentRow() const
{
    const QModelIndex current = m_view->currentIndex();
    if (!current.isValid() || !m_view->selectionModel() ||
        !m_view->selectionModel()->isRowSelected(current.row(), current.parent()))
        return -1;
    return current.row();
}

void PickerDialog::choose()
{
    const int row = currentRow();
    if (!acceptRow(row))
        return;
    m_chosenRow = row;
    accept();
}

bool PickerDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            choose();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace varnock
