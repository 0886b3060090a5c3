#include "master/screens/frmladd.h"

#include "widgets/entermovesfocus.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/operation.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace varnock {

FrmLADD::FrmLADD(Database &db, QWidget *parent)
    : QDialog(parent)
    , m_catalogue(db)
    , m_code(new QLineEdit(this))
    , m_name(new QLineEdit(this))
    , m_parent(new QLineEdit(this))
    , m_buttons(new IndexedButtonGroup({QStringLiteral("保 存 (&S)"), QStringLiteral("修 改 (&G)"),
                                        QStringLiteral("退 出 (&X)")},
                                       Qt::Horizontal, this))
{
    setObjectName(QStringLiteral("FrmLADD"));
    setWindowTitle(QStringLiteral("类别设置"));
    m_code->setObjectName(QStringLiteral("CLBH"));
    m_name->setObjectName(QStringLiteral("CLMC"));
    m_parent->setObjectName(QStringLiteral("SSLB"));
    m_parent->setReadOnly(true);
    m_parent->setFocusPolicy(Qt::NoFocus);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("所属类别："), m_parent);
    form->addRow(QStringLiteral("类别编码："), m_code);
    form->addRow(QStringLiteral("类别名称："), m_name);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addWidget(m_buttons);
    m_buttons->setAlignment(Qt::AlignCenter);
    new EnterMovesFocus(this);

    connect(m_code, &QLineEdit::editingFinished, this, &FrmLADD::checkCode);
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == Save)
            save();
        else if (index == Edit)
            edit();
        else
            reject();
    });
    resize(360, 170);
}

void FrmLADD::startAdd(const QString &parentCode, const QString &parentName, const QString &code)
{
    m_adding = true;
    m_parentCode = parentCode;
    m_parent->setText(parentName);
    m_code->setText(code);
    m_code->setReadOnly(false);
    m_name->clear();
    m_buttons->button(Save)->setEnabled(true);
    m_buttons->button(Edit)->setEnabled(false);
    m_name->setFocus();
}

void FrmLADD::startEdit(const CatalogueRow &row, const QString &parentName)
{
    m_adding = false;
    m_parentCode = row.sjbh;
    m_parent->setText(parentName);
    m_code->setText(row.clbh);
    m_code->setReadOnly(true);
    m_name->setText(row.clmc);
    m_buttons->button(Save)->setEnabled(false);
    m_buttons->button(Edit)->setEnabled(true);
    m_name->setFocus();
}

void FrmLADD::checkCode()
{
    if (!m_adding || m_code->text().trimmed().isEmpty())
        return;
    if (!runOperation(this, [&] { Catalogue::checkPrefix(m_code->text(), m_parentCode); }))
        m_code->setFocus();
}

void FrmLADD::save()
{
    if (!m_adding)
        return;
    CatalogueRow row;
    row.clbh = m_code->text().trimmed();
    row.clmc = m_name->text();
    row.sjbh = m_parentCode;
    if (!runOperation(this, [&] { m_catalogue.addCategory(row.clbh, row.clmc, row.sjbh); }))
        return;
    emit added(row);
    m_name->clear();
    QString next;
    if (runOperation(this, [&] { next = m_catalogue.proposeCode(m_parentCode); }))
        m_code->setText(next);
    else
        m_code->clear();
    m_name->setFocus();
}

void FrmLADD::edit()
{
    if (m_adding)
        return;
    const QString code = m_code->text();
    if (!runOperation(this, [&] { m_catalogue.renameCategory(code, m_name->text()); }))
        return;
    emit changed(code);
    accept();
}

} // namespace varnock
