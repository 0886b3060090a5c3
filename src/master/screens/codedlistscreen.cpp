#include "master/screens/codedlistscreen.h"

#include "shell/screens/help.h"
#include "widgets/entermovesfocus.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/numericedit.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace varnock {

namespace {

const QString SaveCaption = QStringLiteral("保存(&S)");

} // namespace

CodedListScreen::CodedListScreen(Database &db, const Look &look, QWidget *parent,
                                 const QList<int> &amountFields)
    : QDialog(parent)
    , m_db(db)
    , m_look(look)
    , m_list(new CodeList(this))
{
    setObjectName(look.objectName);
    setWindowTitle(look.title);
    Help::install(this, look.helpTopic);

    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setFixedWidth(210);

    auto *frame = new QGroupBox(look.frameTitle, this);
    auto *grid = new QGridLayout(frame);
    grid->setVerticalSpacing(8);
    const auto fieldEdit = [&](int f) -> QLineEdit * {
        if (!amountFields.contains(f))
            return new QLineEdit(frame);
        auto *amount = new NumericEdit(4, true, frame);
        amount->setFigure(Limits::Figure::Amount);
        return amount;
    };
    const int count = int(look.labels.size());
    for (int f = 0; f < count; ++f) {
        QLineEdit *edit = fieldEdit(f);
        edit->setObjectName(QStringLiteral("Text%1").arg(f + 1));
        m_fields.append(edit);
        auto *label = new QLabel(look.labels.at(f), frame);
        label->setBuddy(edit);
        const int row = f / look.columns;
        const int column = (f % look.columns) * 2;
        grid->addWidget(label, row, column);
        // A last field alone in its row takes the whole row.
        const bool alone = f == count - 1 && column == 0;
        grid->addWidget(edit, row, column + 1, 1, alone ? look.columns * 2 - 1 : 1);
    }
    for (int c = 0; c < look.columns; ++c)
        grid->setColumnStretch(c * 2 + 1, 1);
    if (look.columns == 1)
        grid->setRowStretch(count, 1);

    QStringList captions;
    for (const Button &b : look.buttons)
        captions.append(b.caption);
    m_buttons = new IndexedButtonGroup(captions, Qt::Horizontal, this);
    m_buttons->setAlignment(Qt::AlignHCenter);
    for (int i = 0; i < m_buttons->count(); ++i)
        m_buttons->button(i)->setAutoDefault(false);
    enable(Action::Print, false);

    auto *top = new QHBoxLayout;
    top->addWidget(m_list);
    top->addWidget(frame, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(m_buttons);
    resize(look.size);

    new EnterMovesFocus(this);
    // The selection, not the current row: a mouse click makes the row current before it
    // selects it, and the fields would be read from a row not yet selected.
    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] {
        if (m_state != State::Browse)
            setState(State::Browse);
        showSelected();
    });
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) { run(index); });
}

int CodedListScreen::buttonOf(Action action) const
{
    return ScreenParts::indexOf(m_look.buttons, action);
}

void CodedListScreen::enable(Action action, bool enabled)
{
    if (const int i = buttonOf(action); i >= 0)
        m_buttons->button(i)->setEnabled(enabled);
}

QString CodedListScreen::text(int field) const
{
    return m_fields.at(field)->text();
}

void CodedListScreen::reload(const QString &code)
{
    QList<CodeList::Entry> rows;
    if (!runOperation(this, [&] { rows = entries(); }))
        return;
    m_list->setEntries(rows, code);
    showSelected();
    setState(State::Browse);
}

void CodedListScreen::showSelected()
{
    for (QLineEdit *edit : std::as_const(m_fields))
        edit->clear();
    const QString code = m_list->selectedCode();
    if (code.isEmpty())
        return;
    std::optional<QStringList> texts;
    if (!runOperation(this, [&] { texts = record(code); }) || !texts)
        return;
    for (int f = 0; f < m_fields.size() && f < texts->size(); ++f)
        m_fields.at(f)->setText(texts->at(f));
}

void CodedListScreen::setState(State state)
{
    m_state = state;
    const bool entering = state != State::Browse;
    for (int f = 0; f < m_fields.size(); ++f)
        m_fields.at(f)->setReadOnly(!entering || (f == 0 && state == State::Editing));
    enable(Action::Save, entering);
    enable(Action::Cancel, entering);
    enable(Action::Delete, !entering);
    if (m_look.savesThroughItsButton) {
        m_buttons->button(buttonOf(Action::Add))
            ->setText(state == State::Adding ? SaveCaption
                                             : m_look.buttons.at(buttonOf(Action::Add)).caption);
        m_buttons->button(buttonOf(Action::Change))
            ->setText(state == State::Editing
                          ? SaveCaption
                          : m_look.buttons.at(buttonOf(Action::Change)).caption);
        enable(Action::Add, state != State::Editing);
        enable(Action::Change, state != State::Adding);
    } else {
        enable(Action::Add, !entering);
        enable(Action::Change, !entering);
    }
}

void CodedListScreen::setPrinter(Printer printer)
{
    m_printer = std::move(printer);
    enable(Action::Print, bool(m_printer));
}

bool CodedListScreen::selected()
{
    if (!m_list->selectedCode().isEmpty())
        return true;
    Messages::warn(this, QStringLiteral("请选中记录！"), m_look.selectTitle);
    return false;
}

void CodedListScreen::run(int index)
{
    switch (m_look.buttons.at(index).action) {
    case Action::Add:
        add();
        break;
    case Action::Change:
        change();
        break;
    case Action::Delete:
        remove();
        break;
    case Action::Save:
        save();
        break;
    case Action::Cancel:
        setState(State::Browse);
        showSelected();
        break;
    case Action::Print:
        if (m_printer)
            m_printer();
        break;
    case Action::Exit:
        ScreenParts::close(this);
        break;
    }
}

void CodedListScreen::add()
{
    if (m_state == State::Adding) {
        save();
        return;
    }
    QString code;
    if (!runOperation(this, [&] { code = proposeCode(); }))
        return;
    setState(State::Adding);
    for (QLineEdit *edit : std::as_const(m_fields))
        edit->clear();
    m_fields.first()->setText(code);
    m_fields.first()->setFocus();
    m_fields.first()->selectAll();
}

void CodedListScreen::change()
{
    if (m_state == State::Editing) {
        save();
        return;
    }
    if (!selected())
        return;
    setState(State::Editing);
    m_fields.at(1)->setFocus();
}

void CodedListScreen::remove()
{
    if (!selected())
        return;
    if (erase(m_list->selectedCode()))
        reload();
}

void CodedListScreen::save()
{
    if (m_state != State::Browse && store(m_state == State::Adding))
        reload(text(0).trimmed());
}

} // namespace varnock
