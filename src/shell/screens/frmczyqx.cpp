#include "shell/screens/frmczyqx.h"

#include "shell/operators.h"
#include "shell/screens/frmma.h"
#include "shell/screens/help.h"
#include "widgets/entermovesfocus.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/operation.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace varnock {

FrmCzyQx::FrmCzyQx(Database &db, int loggedInOperator, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
    , m_loggedIn(loggedInOperator)
{
    setObjectName(QStringLiteral("FrmCzyQx"));
    setWindowTitle(QStringLiteral("操作员设置"));
    Help::install(this, helpTopic());

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({QStringLiteral("编号"), QStringLiteral("操作员")});
    m_list->setRootIsDecorated(false);
    m_list->setColumnWidth(0, 60);
    m_list->header()->setStretchLastSection(true);
    m_list->setFixedWidth(220);

    auto edit = [this](const char *name) {
        auto *e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        return e;
    };
    m_number = edit("Text1");
    m_name = edit("Text2");
    m_phone = edit("Text3");
    m_password = edit("Text4");
    m_password->setEchoMode(QLineEdit::Password);
    // The number is drawn by 增加 and names the row 保存 writes: it is never typed.
    m_number->setReadOnly(true);
    m_number->setFocusPolicy(Qt::NoFocus);

    auto *fields = new QGridLayout;
    fields->setVerticalSpacing(10);
    const QList<QPair<QString, QLineEdit *>> rows = {{QStringLiteral("编    号："), m_number},
                                                     {QStringLiteral("操 作 员："), m_name},
                                                     {QStringLiteral("电    话："), m_phone},
                                                     {QStringLiteral("操作密码："), m_password}};
    for (int r = 0; r < rows.size(); ++r) {
        fields->addWidget(new QLabel(rows[r].first, this), r, 0);
        fields->addWidget(rows[r].second, r, 1);
    }

    auto *rights = new QGroupBox(this);
    auto *boxes = new QGridLayout(rights);
    for (int f = 0; f < Permissions::FlagCount; ++f) {
        const auto flag = Permissions::Flag(f);
        auto *box = new QCheckBox(Permissions::caption(flag), rights);
        box->setObjectName(Permissions::fieldName(flag));
        boxes->addWidget(box, f / 2, f % 2);
        m_flags[f] = box;
    }

    m_buttons = new IndexedButtonGroup({QStringLiteral("增 加(&A)"), QStringLiteral("修 改(&G)"),
                                        QStringLiteral("删 除(&D)"), QStringLiteral("退 出(&X)"),
                                        QStringLiteral("保 存(&S)")},
                                       Qt::Horizontal, this);
    m_buttons->setAlignment(Qt::AlignHCenter);
    for (int i = 0; i < m_buttons->count(); ++i)
        m_buttons->button(i)->setAutoDefault(false);

    auto *right = new QVBoxLayout;
    right->addLayout(fields);
    right->addWidget(rights);
    right->addStretch();
    auto *top = new QHBoxLayout;
    top->addWidget(m_list);
    top->addLayout(right, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(m_buttons);
    resize(620, 420);

    new EnterMovesFocus(this);
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this] {
        // Moving in the list abandons an unsaved edit, as picking another record does.
        if (m_state != State::Browse)
            setState(State::Browse);
        showSelected();
    });
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        switch (index) {
        case Add:
            add();
            break;
        case Change:
            change();
            break;
        case Delete:
            remove();
            break;
        case Exit:
            close();
            break;
        case Save:
            save();
            break;
        }
    });

    setState(State::Browse);
    reload();
}

bool FrmCzyQx::selectOperator(int number)
{
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = m_list->topLevelItem(i);
        if (item->data(0, Qt::UserRole).toInt() == number) {
            m_list->setCurrentItem(item);
            return true;
        }
    }
    return false;
}

void FrmCzyQx::reload(int select)
{
    QList<Operators::Entry> entries;
    runOperation(this, [&] { entries = Operators(m_db).list(); });
    {
        const QSignalBlocker blocker(m_list);
        m_list->clear();
        for (const Operators::Entry &e : entries) {
            auto *item = new QTreeWidgetItem(m_list, {QString::number(e.number), e.name});
            item->setData(0, Qt::UserRole, e.number);
        }
    }
    if (!select || !selectOperator(select)) {
        m_list->setCurrentItem(nullptr);
        clearFields();
    }
}

int FrmCzyQx::selectedNumber() const
{
    const QTreeWidgetItem *item = m_list->currentItem();
    return item ? item->data(0, Qt::UserRole).toInt() : 0;
}

void FrmCzyQx::clearFields()
{
    m_number->clear();
    m_name->clear();
    m_phone->clear();
    m_password->clear();
    for (QCheckBox *box : m_flags)
        box->setChecked(false);
}

void FrmCzyQx::showSelected()
{
    clearFields();
    const int number = selectedNumber();
    if (!number)
        return;
    std::optional<Operators::Details> details;
    runOperation(this, [&] { details = Operators(m_db).find(number); });
    if (!details)
        return;
    m_number->setText(QString::number(details->number));
    m_name->setText(details->name);
    m_phone->setText(details->phone);
    // The stored password is a hash: the field stays blank, and blank keeps it on 保存.
    for (int f = 0; f < Permissions::FlagCount; ++f)
        m_flags[f]->setChecked(details->permissions.allowed[f]);
}

void FrmCzyQx::setState(State state)
{
    m_state = state;
    const bool editing = state != State::Browse;
    for (QLineEdit *e : {m_name, m_phone, m_password})
        e->setReadOnly(!editing);
    for (QCheckBox *box : m_flags)
        box->setEnabled(editing);
    m_password->setPlaceholderText(state == State::Editing ? QStringLiteral("不修改请留空")
                                                           : QString());
    m_buttons->button(Save)->setEnabled(editing);
}

bool FrmCzyQx::mayTouchSelected(const QString &refusal)
{
    if (Operators::actsFreely(m_loggedIn))
        return true;
    const QString typed = FrmMa::ask(this);
    if (typed == FrmMa::cancelled())
        return false;
    bool matches = false;
    if (!runOperation(this,
                      [&] { matches = Operators(m_db).passwordMatches(selectedNumber(), typed); }))
        return false;
    if (!matches)
        Messages::warn(this, refusal, QStringLiteral("提示"));
    return matches;
}

void FrmCzyQx::add()
{
    int next = 0;
    if (!runOperation(this, [&] { next = Operators(m_db).nextNumber(); }))
        return;
    {
        const QSignalBlocker blocker(m_list);
        m_list->setCurrentItem(nullptr);
        m_list->clearSelection();
    }
    clearFields();
    m_number->setText(QString::number(next));
    setState(State::Adding);
    m_name->setFocus();
}

void FrmCzyQx::change()
{
    if (!selectedNumber())
        return;
    if (!mayTouchSelected(QStringLiteral("密码错误！，不允许修改！！！")))
        return;
    setState(State::Editing);
    m_name->setFocus();
}

void FrmCzyQx::remove()
{
    const int number = selectedNumber();
    if (!number)
        return;
    if (!mayTouchSelected(QStringLiteral("密码错误！，不允许删除！！！")))
        return;
    if (runOperation(this, [&] { Operators(m_db).remove(number); })) {
        setState(State::Browse);
        reload();
    }
}

void FrmCzyQx::save()
{
    if (m_state == State::Browse)
        return;
    const int number = m_number->text().toInt();
    Permissions p;
    for (int f = 0; f < Permissions::FlagCount; ++f)
        p.allowed[f] = m_flags[f]->isChecked();
    const bool saved = runOperation(this, [&] {
        Operators ops(m_db);
        if (m_state == State::Adding)
            ops.add(number, m_name->text(), m_phone->text(), m_password->text(), p);
        else
            ops.update(number, m_name->text(), m_phone->text(), m_password->text(), p);
    });
    if (!saved)
        return;
    setState(State::Browse);
    reload(number);
}

} // namespace varnock
