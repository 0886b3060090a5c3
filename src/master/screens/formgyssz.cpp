#include "master/screens/formgyssz.h"

#include "master/suppliers.h"
#include "shell/screens/help.h"
#include "widgets/codelist.h"
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

const char *const FieldLabels[] = {"编    号", "名    称", "注册地点", "注册编号", "法人代表",
                                   "单位地址", "邮政编码", "联系电话", "开户银行", "银行帐号",
                                   "主供产品", "初始欠款", "备    注"};

} // namespace

FormGYSSZ::FormGYSSZ(Database &db, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
{
    setObjectName(QStringLiteral("FormGYSSZ"));
    setWindowTitle(QStringLiteral("供应商操作"));
    Help::install(this, helpTopic());

    m_list = new CodeList(this);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setFixedWidth(210);

    m_frame = new QGroupBox(QStringLiteral("供应商资料"), this);
    auto *grid = new QGridLayout(m_frame);
    grid->setVerticalSpacing(8);
    for (int f = 0; f < FieldCount; ++f) {
        QLineEdit *edit = nullptr;
        if (f == CSQK) {
            m_debt = new NumericEdit(4, true, m_frame);
            m_debt->setFigure(Limits::Figure::Amount);
            edit = m_debt;
        } else {
            edit = new QLineEdit(m_frame);
        }
        edit->setObjectName(QStringLiteral("Text%1").arg(f + 1));
        m_fields[f] = edit;
        auto *label = new QLabel(QString::fromUtf8(FieldLabels[f]), m_frame);
        label->setBuddy(edit);
        // Two columns of fields; the remark takes the whole last line.
        if (f == BZ) {
            grid->addWidget(label, 7, 0);
            grid->addWidget(edit, 7, 1, 1, 3);
        } else {
            grid->addWidget(label, f / 2, (f % 2) * 2);
            grid->addWidget(edit, f / 2, (f % 2) * 2 + 1);
        }
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    m_buttons = new IndexedButtonGroup({QStringLiteral("增加(&A)"), QStringLiteral("删除(&D)"),
                                        QStringLiteral("修改(&G)"), QStringLiteral("取消(&Q)"),
                                        QStringLiteral("退出(&X)"), QStringLiteral("保存(&S)"),
                                        QStringLiteral("打印(&P)")},
                                       Qt::Horizontal, this);
    m_buttons->setAlignment(Qt::AlignHCenter);
    for (int i = 0; i < m_buttons->count(); ++i)
        m_buttons->button(i)->setAutoDefault(false);
    m_buttons->button(Print)->setEnabled(false);
    m_buttons->button(Print)->setToolTip(QStringLiteral("打印功能尚未提供"));

    auto *top = new QHBoxLayout;
    top->addWidget(m_list);
    top->addWidget(m_frame, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(m_buttons);
    resize(760, 400);

    new EnterMovesFocus(this);
    connect(m_list, &QListWidget::currentRowChanged, this, [this] {
        if (m_state != State::Browse)
            setState(State::Browse);
        showSelected();
    });
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        switch (index) {
        case Add:
            add();
            break;
        case Delete:
            remove();
            break;
        case Change:
            change();
            break;
        case Cancel:
            setState(State::Browse);
            showSelected();
            break;
        case Exit:
            ScreenParts::close(this);
            break;
        case Save:
            save();
            break;
        default:
            break;
        }
    });

    reload();
    setState(State::Browse);
}

void FormGYSSZ::reload(const QString &select)
{
    QList<Suppliers::Entry> entries;
    if (!runOperation(this, [&] { entries = Suppliers(m_db).list(); }))
        return;
    QList<CodeList::Entry> rows;
    for (const Suppliers::Entry &e : entries)
        rows.append({e.bh, e.mc});
    m_list->setEntries(rows, select);
    showSelected();
}

void FormGYSSZ::clearFields()
{
    for (QLineEdit *edit : m_fields)
        edit->clear();
}

void FormGYSSZ::showSelected()
{
    clearFields();
    const QString bh = m_list->selectedCode();
    if (bh.isEmpty())
        return;
    std::optional<Suppliers::Supplier> s;
    if (!runOperation(this, [&] { s = Suppliers(m_db).find(bh); }) || !s)
        return;
    const QString texts[FieldCount] = {s->bh,   s->mc,   s->zcdd, s->zcbh,
                                       s->fr,   s->dz,   s->yzbm, s->lxdh,
                                       s->khyh, s->khzh, s->zgcp, s->csqk.toString(),
                                       s->bz};
    for (int f = 0; f < FieldCount; ++f)
        m_fields[f]->setText(texts[f]);
}

void FormGYSSZ::setState(State state)
{
    m_state = state;
    const bool entering = state != State::Browse;
    for (int f = 0; f < FieldCount; ++f)
        m_fields[f]->setReadOnly(!entering || (f == BH && state == State::Editing));
    m_buttons->button(Save)->setEnabled(entering);
    m_buttons->button(Cancel)->setEnabled(entering);
    m_buttons->button(Add)->setEnabled(!entering);
    m_buttons->button(Change)->setEnabled(!entering);
    m_buttons->button(Delete)->setEnabled(!entering);
}

void FormGYSSZ::add()
{
    QString code;
    if (!runOperation(this, [&] { code = Suppliers(m_db).proposeCode(); }))
        return;
    setState(State::Adding);
    clearFields();
    m_fields[BH]->setText(code);
    m_fields[BH]->setFocus();
    m_fields[BH]->selectAll();
}

void FormGYSSZ::change()
{
    if (m_list->selectedCode().isEmpty()) {
        Messages::warn(this, QStringLiteral("请选中记录！"), QStringLiteral("提示窗口！！！"));
        return;
    }
    setState(State::Editing);
    m_fields[MC]->setFocus();
}

void FormGYSSZ::remove()
{
    const QString bh = m_list->selectedCode();
    if (bh.isEmpty()) {
        Messages::warn(this, QStringLiteral("请选中记录！"), QStringLiteral("提示窗口！！！"));
        return;
    }
    if (!Messages::ask(this, QStringLiteral("你确实要删除这个供应商吗？"),
                       QStringLiteral("提示窗口")))
        return;
    if (runOperation(this, [&] { Suppliers(m_db).remove(bh); }))
        reload();
}

void FormGYSSZ::save()
{
    Suppliers::Supplier s;
    s.bh = m_fields[BH]->text().trimmed();
    s.mc = m_fields[MC]->text().trimmed();
    s.zcdd = m_fields[ZCDD]->text();
    s.zcbh = m_fields[ZCBH]->text();
    s.fr = m_fields[FR]->text();
    s.dz = m_fields[DZ]->text();
    s.yzbm = m_fields[YZBM]->text();
    s.lxdh = m_fields[LXDH]->text();
    s.khyh = m_fields[KHYH]->text();
    s.khzh = m_fields[KHZH]->text();
    s.zgcp = m_fields[ZGCP]->text();
    s.bz = m_fields[BZ]->text();
    const std::optional<Decimal> debt = m_debt->value();
    s.csqk = debt.value_or(Decimal());

    if (m_state == State::Adding) {
        Suppliers suppliers(m_db);
        if (!runOperation(this, [&] { suppliers.checkNew(s); }))
            return;
        if (!debt && Messages::ask(this, QStringLiteral("是否输入供应商初始欠款！！"),
                                   QStringLiteral("提示窗口"))) {
            m_debt->setFocus();
            return;
        }
        if (!runOperation(this, [&] { suppliers.add(s); }))
            return;
    } else if (m_state == State::Editing) {
        if (!runOperation(this, [&] { Suppliers(m_db).update(s); }))
            return;
    } else {
        return;
    }
    setState(State::Browse);
    reload(s.bh);
}

} // namespace varnock
