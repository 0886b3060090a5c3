#include "widgets/conditiondialog.h"

#include "widgets/datepicker.h"
#include "widgets/entermovesfocus.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/operation.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace varnock {

ConditionDialog::ConditionDialog(const QString &objectName, const QString &title, QWidget *parent)
    : QDialog(parent)
    , m_grid(new QGridLayout)
    , m_buttons(new IndexedButtonGroup({QStringLiteral("查 询(&F)"), QStringLiteral("退 出(&X)")},
                                       Qt::Horizontal, this))
    , m_enter(new EnterMovesFocus(this))
{
    setObjectName(objectName);
    setWindowTitle(title);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(m_grid);
    m_buttons->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_buttons);
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == 0)
            search();
        else
            reject();
    });
}

void ConditionDialog::startRow()
{
    m_cells += m_cells % 2;
}

std::pair<int, int> ConditionDialog::nextCell()
{
    const int cell = m_cells++;
    return {cell / 2, (cell % 2) * 2};
}

void ConditionDialog::addStop(QWidget *field)
{
    addTabStop(field);
    m_enter->watch(field);
}

void ConditionDialog::addTabStop(QWidget *field)
{
    if (m_lastStop)
        setTabOrder(m_lastStop, field);
    setTabOrder(field, m_buttons->button(0));
    setTabOrder(m_buttons->button(0), m_buttons->button(1));
    if (m_skipPicker) {
        m_enter->setJump(m_skipPicker, field);
        m_skipPicker = nullptr;
    }
    m_lastStop = field;
}

QLineEdit *ConditionDialog::addField(const QString &caption)
{
    auto *edit = new QLineEdit(this);
    const auto [row, column] = nextCell();
    m_grid->addWidget(new QLabel(caption, this), row, column);
    m_grid->addWidget(edit, row, column + 1);
    addStop(edit);
    return edit;
}

QComboBox *ConditionDialog::addChoiceField(const QString &caption, const QStringList &choices)
{
    auto *combo = new QComboBox(this);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMinimumWidth(150);
    combo->addItems(choices);
    combo->setEditText(QString());
    const auto [row, column] = nextCell();
    m_grid->addWidget(new QLabel(caption, this), row, column);
    m_grid->addWidget(combo, row, column + 1);
    addStop(combo);
    return combo;
}

ConditionDialog::PickedField ConditionDialog::addPickedField(const QString &codeCaption,
                                                             const QString &nameCaption,
                                                             const Pick &pick)
{
    startRow();
    PickedField field{new QLineEdit(this), new QLineEdit(this)};
    field.name->setReadOnly(true);
    field.name->setFocusPolicy(Qt::NoFocus);
    auto *button = new QPushButton(QStringLiteral("…"), this);
    button->setAutoDefault(false);
    button->setFixedWidth(28);
    connect(button, &QPushButton::clicked, this, [this, field, pick] {
        if (const std::optional<Counterparty> chosen = pick()) {
            field.code->setText(chosen->code);
            field.name->setText(chosen->name);
        }
        field.code->setFocus();
    });

    const auto [row, column] = nextCell();
    m_grid->addWidget(new QLabel(codeCaption, this), row, column);
    auto *code = new QHBoxLayout;
    code->addWidget(field.code, 1);
    code->addWidget(button);
    m_grid->addLayout(code, row, column + 1);
    nextCell();
    if (nameCaption.isEmpty()) {
        m_grid->addWidget(field.name, row, column + 2, 1, 2);
    } else {
        m_grid->addWidget(new QLabel(nameCaption, this), row, column + 2);
        m_grid->addWidget(field.name, row, column + 3);
    }
    addStop(field.code);
    // Tab reaches the button; Enter goes on to the next field.
    addTabStop(button);
    m_skipPicker = field.code;
    return field;
}

void ConditionDialog::addDates(const std::function<QDate()> &start, const QString &fromCaption,
                               const QString &toCaption, const QString &frameCaption)
{
    startRow();
    m_from = new DatePicker(this);
    m_to = new DatePicker(this);
    runOperation(this, [&] { m_from->setDate(start()); });
    const auto [row, column] = nextCell();
    nextCell();
    QGridLayout *grid = m_grid;
    int line = row;
    int first = column;
    if (!frameCaption.isEmpty()) {
        auto *frame = new QGroupBox(frameCaption, this);
        frame->setObjectName(QStringLiteral("Frame1"));
        grid = new QGridLayout(frame);
        line = 0;
        first = 0;
        m_grid->addWidget(frame, row, column, 1, 4);
    }
    grid->addWidget(new QLabel(fromCaption, this), line, first);
    grid->addWidget(m_from, line, first + 1);
    grid->addWidget(new QLabel(toCaption, this), line, first + 2);
    grid->addWidget(m_to, line, first + 3);
    addStop(m_from);
    addStop(m_to);
}

void ConditionDialog::search()
{
    if (m_from && m_to && m_to->date() < m_from->date()) {
        Messages::warn(this, QStringLiteral("终止日期不能大于起始日期！"), QStringLiteral("提示"));
        return;
    }
    accept();
}

bool ConditionDialog::run()
{
    return exec() == QDialog::Accepted;
}

} // namespace varnock
