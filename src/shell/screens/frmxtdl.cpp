#include "shell/screens/frmxtdl.h"

#include "shell/operators.h"
#include "shell/screens/frmczy.h"
#include "shell/screens/help.h"
#include "store/clock.h"
#include "widgets/datepicker.h"
#include "widgets/entermovesfocus.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/operation.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace varnock {

FrmXtdl::FrmXtdl(Database &db, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
{
    setObjectName(QStringLiteral("FrmXtdl"));
    setWindowTitle(QStringLiteral("系统登录"));
    setModal(true);
    Help::install(this, helpTopic());

    m_date = new DatePicker(this);
    m_date->setObjectName(QStringLiteral("DTPicker1"));
    m_date->setDate(Clock::today());
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("Text1"));
    m_pick = new QToolButton(this);
    m_pick->setObjectName(QStringLiteral("Command2"));
    m_pick->setText(QStringLiteral("…"));
    m_pick->setFocusPolicy(Qt::ClickFocus);
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("Text2"));
    m_password->setEchoMode(QLineEdit::Password);
    m_buttons = new IndexedButtonGroup({QStringLiteral("确  定(&Q)"), QStringLiteral("退  出(&X)")},
                                       Qt::Horizontal, this);
    m_buttons->setAlignment(Qt::AlignHCenter);
    for (int i = 0; i < m_buttons->count(); ++i)
        m_buttons->button(i)->setAutoDefault(false);

    auto label = [this](const QString &text, QWidget *buddy) {
        auto *l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    auto *nameRow = new QHBoxLayout;
    nameRow->setSpacing(2);
    nameRow->addWidget(m_name, 1);
    nameRow->addWidget(m_pick);

    auto *form = new QGridLayout;
    form->setHorizontalSpacing(8);
    form->setVerticalSpacing(12);
    form->addWidget(label(QStringLiteral("登录日期(&D)："), m_date), 0, 0);
    form->addWidget(m_date, 0, 1);
    form->addWidget(label(QStringLiteral("操 作 员(&U)："), m_name), 1, 0);
    form->addLayout(nameRow, 1, 1);
    form->addWidget(label(QStringLiteral("口    令(&P)："), m_password), 2, 0);
    form->addWidget(m_password, 2, 1);
    form->setColumnStretch(1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 22, 28, 16);
    layout->setSpacing(18);
    layout->addLayout(form);
    layout->addWidget(m_buttons);
    setFixedSize(340, sizeHint().height());

    setTabOrder(m_date, m_name);
    setTabOrder(m_name, m_password);
    setTabOrder(m_password, m_buttons->button(0));
    setTabOrder(m_buttons->button(0), m_buttons->button(1));
    auto *enter = new EnterMovesFocus(this);
    enter->setJump(m_password, m_buttons->button(0));

    connect(m_pick, &QToolButton::clicked, this, &FrmXtdl::pickOperator);
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == 0)
            login();
        else
            quit();
    });

    m_name->setFocus();
}

void FrmXtdl::pickOperator()
{
    FrmCZY picker(m_db, this);
    if (const auto chosen = picker.pick()) {
        // Only the name is kept: the login looks the operator up by name and takes the
        // number from the row it verifies.
        m_name->setText(chosen->name.trimmed());
        m_password->setFocus();
    }
}

void FrmXtdl::login()
{
    std::optional<Operators::Login> found;
    bool wrongPassword = false;
    runOperation(this, [&] {
        try {
            found = Operators(m_db).login(m_name->text(), m_password->text());
        } catch (const Operators::WrongPassword &) {
            wrongPassword = true;
            throw;
        }
    });
    if (!found) {
        if (wrongPassword) {
            m_password->setFocus();
            m_password->selectAll();
        }
        return;
    }
    Messages::inform(this, QStringLiteral("口令正确！欢迎使用本系统！"));
    // The number comes from the row the login verified, not from the picker.
    m_result = {found->number, found->name, Clock::today(), Clock::now(), found->permissions};
    m_outcome = Outcome::LoggedIn;
    accept();
}

void FrmXtdl::quit()
{
    if (!Messages::ask(this, QStringLiteral("您确认要退出本系统吗?")))
        return;
    m_outcome = Outcome::Quit;
    QDialog::reject();
}

void FrmXtdl::reject()
{
    quit();
}

} // namespace varnock
