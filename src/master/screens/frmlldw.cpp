#include "master/screens/frmlldw.h"

#include "master/consumingunits.h"
#include "shell/screens/help.h"
#include "widgets/codelist.h"
#include "widgets/entermovesfocus.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/operation.h"
#include "widgets/screenparts.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace varnock {

namespace {

const char *const FieldLabels[] = {"编  号：", "名  称：", "地  址：",
                                   "联系人：", "电  话：", "备  注："};
const QString AddCaption = QStringLiteral("增加(&A)");
const QString ChangeCaption = QStringLiteral("修改(&G)");
const QString SaveCaption = QStringLiteral("保存(&S)");

} // namespace

FrmLldw::FrmLldw(Database &db, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
{
    setObjectName(QStringLiteral("FrmLldw"));
    setWindowTitle(QStringLiteral("耗料单位设置"));
    Help::install(this, helpTopic());

    m_list = new CodeList(this);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setFixedWidth(210);

    auto *frame = new QGroupBox(QStringLiteral("耗料单位资料"), this);
    auto *grid = new QGridLayout(frame);
    grid->setVerticalSpacing(10);
    for (int f = 0; f < FieldCount; ++f) {
        auto *edit = new QLineEdit(frame);
        edit->setObjectName(QStringLiteral("Text%1").arg(f + 1));
        m_fields[f] = edit;
        auto *label = new QLabel(QString::fromUtf8(FieldLabels[f]), frame);
        label->setBuddy(edit);
        grid->addWidget(label, f, 0);
        grid->addWidget(edit, f, 1);
    }
    grid->setRowStretch(FieldCount, 1);

    m_buttons = new IndexedButtonGroup({AddCaption, ChangeCaption, QStringLiteral("删除(&D)"),
                                        QStringLiteral("打印(&P)"), QStringLiteral("取消(&Q)"),
                                        QStringLiteral("退出(&X)")},
                                       Qt::Horizontal, this);
    m_buttons->setAlignment(Qt::AlignHCenter);
    for (int i = 0; i < m_buttons->count(); ++i)
        m_buttons->button(i)->setAutoDefault(false);
    m_buttons->button(Print)->setEnabled(false);
    m_buttons->button(Print)->setToolTip(QStringLiteral("打印功能尚未提供"));

    auto *top = new QHBoxLayout;
    top->addWidget(m_list);
    top->addWidget(frame, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(m_buttons);
    resize(600, 340);

    new EnterMovesFocus(this);
    connect(m_list, &QListWidget::currentRowChanged, this, [this] {
        if (m_state != State::Browse)
            setState(State::Browse);
        showSelected();
    });
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        switch (index) {
        case Add:
            addOrSave();
            break;
        case Change:
            changeOrSave();
            break;
        case Delete:
            remove();
            break;
        case Cancel:
            setState(State::Browse);
            showSelected();
            break;
        case Exit:
            ScreenParts::close(this);
            break;
        default:
            break;
        }
    });

    reload();
    setState(State::Browse);
}

void FrmLldw::reload(const QString &select)
{
    QList<ConsumingUnits::Unit> units;
    if (!runOperation(this, [&] { units = ConsumingUnits(m_db).list(); }))
        return;
    QList<CodeList::Entry> rows;
    for (const ConsumingUnits::Unit &u : units)
        rows.append({u.bh, u.mc});
    m_list->setEntries(rows, select);
    showSelected();
}

void FrmLldw::showSelected()
{
    for (QLineEdit *edit : m_fields)
        edit->clear();
    const QString bh = m_list->selectedCode();
    if (bh.isEmpty())
        return;
    std::optional<ConsumingUnits::Unit> u;
    if (!runOperation(this, [&] { u = ConsumingUnits(m_db).find(bh); }) || !u)
        return;
    const QString texts[FieldCount] = {u->bh, u->mc, u->dz, u->lxr, u->dh, u->bz};
    for (int f = 0; f < FieldCount; ++f)
        m_fields[f]->setText(texts[f]);
}

void FrmLldw::setState(State state)
{
    m_state = state;
    for (int f = 0; f < FieldCount; ++f) {
        m_fields[f]->setReadOnly(state == State::Browse || (f == BH && state == State::Editing));
    }
    m_buttons->button(Add)->setText(state == State::Adding ? SaveCaption : AddCaption);
    m_buttons->button(Change)->setText(state == State::Editing ? SaveCaption : ChangeCaption);
    m_buttons->button(Add)->setEnabled(state != State::Editing);
    m_buttons->button(Change)->setEnabled(state != State::Adding);
    m_buttons->button(Delete)->setEnabled(state == State::Browse);
    m_buttons->button(Cancel)->setEnabled(state != State::Browse);
}

void FrmLldw::addOrSave()
{
    if (m_state == State::Adding) {
        save();
        return;
    }
    setState(State::Adding);
    for (QLineEdit *edit : m_fields)
        edit->clear();
    m_fields[BH]->setFocus();
}

void FrmLldw::changeOrSave()
{
    if (m_state == State::Editing) {
        save();
        return;
    }
    if (m_list->selectedCode().isEmpty()) {
        Messages::warn(this, QStringLiteral("请选中记录！"), QStringLiteral("提示"));
        return;
    }
    setState(State::Editing);
    m_fields[MC]->setFocus();
}

void FrmLldw::save()
{
    const ConsumingUnits::Unit u{m_fields[BH]->text().trimmed(), m_fields[MC]->text().trimmed(),
                                 m_fields[DZ]->text(),           m_fields[LXR]->text(),
                                 m_fields[DH]->text(),           m_fields[BZ]->text()};
    ConsumingUnits units(m_db);
    const bool adding = m_state == State::Adding;
    if (!runOperation(this, [&] { adding ? units.add(u) : units.update(u); }))
        return;
    setState(State::Browse);
    reload(u.bh);
}

void FrmLldw::remove()
{
    const QString bh = m_list->selectedCode();
    if (bh.isEmpty()) {
        Messages::warn(this, QStringLiteral("请选中记录！"), QStringLiteral("提示"));
        return;
    }
    if (runOperation(this, [&] { ConsumingUnits(m_db).remove(bh); }))
        reload();
}

} // namespace varnock
