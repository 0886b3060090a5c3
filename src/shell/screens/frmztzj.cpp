#include "shell/screens/frmztzj.h"

#include "shell/masterdatabase.h"
#include "shell/screens/frmxzms.h"
#include "shell/screens/help.h"
#include "store/clock.h"
#include "widgets/datepicker.h"
#include "widgets/entermovesfocus.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/operation.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>

namespace varnock {
namespace {

QLabel *hint(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setFrameShape(QFrame::StyledPanel);
    label->setMargin(8);
    return label;
}

} // namespace

FrmZtzj::FrmZtzj(AccountSets &sets, const DataFolder &folder, QWidget *parent)
    : QDialog(parent)
    , m_sets(sets)
    , m_folder(folder)
{
    setObjectName(QStringLiteral("FrmZtzj"));
    setWindowTitle(QStringLiteral("账套信息"));
    setModal(true);
    Help::install(this, helpTopic());

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));

    auto *setPage = new QWidget(m_tabs);
    m_number = new QLineEdit(setPage);
    m_number->setObjectName(QStringLiteral("Text1"));
    m_number->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{1,15}")), m_number));
    m_name = new QLineEdit(setPage);
    m_name->setObjectName(QStringLiteral("Text2"));
    m_password = new QLineEdit(setPage);
    m_password->setObjectName(QStringLiteral("Text3"));
    m_password->setEchoMode(QLineEdit::Password);
    m_date = new DatePicker(setPage);
    m_date->setObjectName(QStringLiteral("DTPicker1"));

    auto *setForm = new QGridLayout;
    setForm->setHorizontalSpacing(8);
    setForm->setVerticalSpacing(10);
    setForm->addWidget(new QLabel(QStringLiteral("账套编号："), setPage), 0, 0);
    setForm->addWidget(m_number, 0, 1);
    setForm->addWidget(new QLabel(QStringLiteral("账套名称："), setPage), 1, 0);
    setForm->addWidget(m_name, 1, 1);
    setForm->addWidget(new QLabel(QStringLiteral("账套密码："), setPage), 2, 0);
    setForm->addWidget(m_password, 2, 1);
    setForm->addWidget(new QLabel(QStringLiteral("建账日期："), setPage), 3, 0);
    setForm->addWidget(m_date, 3, 1);
    setForm->setColumnStretch(1, 1);
    auto *setLayout = new QVBoxLayout(setPage);
    setLayout->setContentsMargins(20, 16, 20, 12);
    setLayout->setSpacing(14);
    setLayout->addLayout(setForm);
    setLayout->addWidget(hint(QStringLiteral("说明：账套名称是您在选择账套时识别本账套的标志，"
                                             "名称中不能有空格，也不能与已有的账套重名。"
                                             "删除账套时需要输入账套密码。"),
                              setPage));
    setLayout->addStretch();
    m_tabs->addTab(setPage, QStringLiteral("账套信息"));

    auto *operatorPage = new QWidget(m_tabs);
    m_operator = new QLineEdit(operatorPage);
    m_operator->setObjectName(QStringLiteral("Text4"));
    m_operatorPassword = new QLineEdit(operatorPage);
    m_operatorPassword->setObjectName(QStringLiteral("Text5"));
    m_operatorPassword->setEchoMode(QLineEdit::Password);
    m_operatorRepeat = new QLineEdit(operatorPage);
    m_operatorRepeat->setObjectName(QStringLiteral("Text6"));
    m_operatorRepeat->setEchoMode(QLineEdit::Password);

    auto *operatorForm = new QGridLayout;
    operatorForm->setHorizontalSpacing(8);
    operatorForm->setVerticalSpacing(10);
    operatorForm->addWidget(new QLabel(QStringLiteral("操 作 员："), operatorPage), 0, 0);
    operatorForm->addWidget(m_operator, 0, 1);
    operatorForm->addWidget(new QLabel(QStringLiteral("口    令："), operatorPage), 1, 0);
    operatorForm->addWidget(m_operatorPassword, 1, 1);
    operatorForm->addWidget(new QLabel(QStringLiteral("口令验证："), operatorPage), 2, 0);
    operatorForm->addWidget(m_operatorRepeat, 2, 1);
    operatorForm->setColumnStretch(1, 1);
    auto *operatorLayout = new QVBoxLayout(operatorPage);
    operatorLayout->setContentsMargins(20, 16, 20, 12);
    operatorLayout->setSpacing(14);
    operatorLayout->addLayout(operatorForm);
    operatorLayout->addWidget(
        hint(QStringLiteral("说明：此管理员是本账套的第一个用户。口令需输入两次，登录时核对口令。"
                            "如不填写操作员，账套保留模板中的系统操作员“%1”（口令“%2”）；"
                            "只填操作员不填口令时，口令仍为“%2”。请登录后及时修改口令。")
                 .arg(QLatin1String(MasterDatabase::DefaultOperator),
                      QLatin1String(MasterDatabase::DefaultPassword)),
             operatorPage));
    operatorLayout->addStretch();
    m_tabs->addTab(operatorPage, QStringLiteral("系统管理员"));

    m_buttons = new IndexedButtonGroup({QStringLiteral("完  成(&Q)"), QStringLiteral("退  出(&X)")},
                                       Qt::Horizontal, this);
    m_buttons->setAlignment(Qt::AlignRight);
    for (int i = 0; i < m_buttons->count(); ++i)
        m_buttons->button(i)->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);
    layout->addWidget(m_tabs);
    layout->addWidget(m_buttons);
    resize(420, 330);

    new EnterMovesFocus(this);
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == 0)
            finish();
        else
            reject();
    });

    m_number->setText(QString::number(m_sets.proposedNumber()));
    m_name->clear();
    m_date->setDate(Clock::today());
    m_tabs->setCurrentIndex(0);
    m_name->setFocus();
}

NewAccountSet FrmZtzj::request() const
{
    NewAccountSet r;
    r.number = m_number->text().toLongLong();
    r.name = m_name->text();
    r.password = m_password->text();
    r.date = m_date->date();
    r.operatorName = m_operator->text();
    r.operatorPassword = m_operatorPassword->text();
    r.operatorPasswordRepeat = m_operatorRepeat->text();
    return r;
}

void FrmZtzj::finish()
{
    NewAccountSet r = request();
    std::optional<AccountSets::Check> problem;
    if (!runOperation(this, [&] { problem = m_sets.check(r); }))
        return;
    if (problem) {
        showProblem(*problem);
        return;
    }
    // The mode belongs to the set: it is chosen now, before the set's first business.
    const std::optional<int> mode = FrmXzms::choose(m_folder, this);
    if (!mode)
        return;
    r.mode = *mode;
    std::optional<AccountSetInfo> made;
    if (!runOperation(this, [&] { made = m_sets.create(r); }))
        return;
    m_created = made;
    accept();
}

void FrmZtzj::showProblem(const AccountSets::Check &check)
{
    Messages::show(this, AccountSets::refusalFor(check));
    QWidget *focus = m_name;
    switch (check.problem) {
    case AccountSets::Problem::EmptyName:
    case AccountSets::Problem::NameWithSpaces:
        m_name->selectAll();
        break;
    case AccountSets::Problem::EmptyPassword:
        focus = m_password;
        break;
    case AccountSets::Problem::DuplicateName:
        m_name->clear();
        break;
    case AccountSets::Problem::IncompleteOperator:
        focus = m_operator->text().trimmed().isEmpty() ? m_operator : m_operatorPassword;
        break;
    case AccountSets::Problem::PasswordMismatch:
        m_operatorPassword->clear();
        m_operatorRepeat->clear();
        focus = m_operatorPassword;
        break;
    case AccountSets::Problem::InvalidNumber:
    case AccountSets::Problem::NumberTaken:
        m_number->selectAll();
        focus = m_number;
        break;
    case AccountSets::Problem::InvalidDate:
        focus = m_date;
        break;
    }
    m_tabs->setCurrentIndex(m_tabs->indexOf(focus->parentWidget()));
    focus->setFocus();
}

} // namespace varnock
