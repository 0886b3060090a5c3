#include "widgets/searchpicker.h"

#include "widgets/indexedbuttongroup.h"
#include "widgets/operation.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace varnock {

SearchPicker::SearchPicker(const Look &look, bool withValues, QWidget *parent)
    : PickerDialog(parent, look.title)
    , m_condition(new QComboBox(this))
    , m_search(new QPushButton(look.searchCaption, this))
    , m_model(new QStandardItemModel(0, int(look.headers.size()), this))
    , m_figures(look.figures)
    , m_widths(look.widths)
{
    setObjectName(look.name);
    m_condition->setObjectName(QStringLiteral("Combo1"));
    m_condition->addItems(look.conditions);
    if (withValues) {
        m_value = new QComboBox(this);
        m_value->setObjectName(QStringLiteral("Combo2"));
        m_value->setEditable(true);
        m_value->setInsertPolicy(QComboBox::NoInsert);
        m_value->setMinimumWidth(180);
        m_text = m_value->lineEdit();
        connect(m_condition, &QComboBox::currentIndexChanged, this, [this] { fillValues(); });
    } else {
        m_text = new QLineEdit(this);
        m_text->setObjectName(QStringLiteral("Text1"));
    }
    m_search->setAutoDefault(false);
    buttons()->button(0)->setText(look.okCaption);
    buttons()->button(1)->setText(QStringLiteral("退 出(&X)"));

    auto *row = new QHBoxLayout;
    if (!look.conditionCaption.isEmpty())
        row->addWidget(new QLabel(look.conditionCaption, this));
    row->addWidget(m_condition);
    row->addWidget(m_value ? static_cast<QWidget *>(m_value) : m_text, 1);
    row->addWidget(m_search);
    contentLayout()->insertLayout(0, row);

    m_model->setHorizontalHeaderLabels(look.headers);
    view()->setObjectName(QStringLiteral("MFG"));
    connect(m_search, &QPushButton::clicked, this, [this] { search(); });
    connect(m_text, &QLineEdit::returnPressed, this, [this] { search(); });
    resize(look.size);
}

void SearchPicker::showOpening(const std::function<QList<QStringList>()> &fetch)
{
    list(fetch);
    setModel(m_model);
    for (const auto &[column, width] : m_widths)
        view()->setColumnWidth(column, width);
}

int SearchPicker::rowCount() const
{
    return m_model->rowCount();
}

void SearchPicker::search()
{
    const int condition = m_condition->currentIndex();
    const QString text = m_text->text();
    list([&] { return find(condition, text); });
}

void SearchPicker::list(const std::function<QList<QStringList>()> &fetch)
{
    QList<QStringList> rows;
    if (!runOperation(this, [&] { rows = fetch(); }))
        return;
    m_model->setRowCount(0);
    for (const QStringList &texts : rows) {
        QList<QStandardItem *> items;
        for (const QString &text : texts) {
            auto *item = new QStandardItem(text);
            if (m_figures.contains(int(items.size())))
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            items.append(item);
        }
        m_model->appendRow(items);
    }
    if (!rows.isEmpty())
        view()->selectRow(0);
}

void SearchPicker::fillValues()
{
    const int condition = m_condition->currentIndex();
    QStringList values;
    runOperation(this, [&] { values = valuesOf(condition); });
    m_value->clear();
    m_value->addItems(values);
    m_value->setEnabled(condition != 0);
    m_value->setCurrentIndex(-1);
    m_value->setEditText(QString());
}

} // namespace varnock
