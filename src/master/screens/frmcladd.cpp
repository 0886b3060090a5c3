#include "master/screens/frmcladd.h"

#include "shell/screens/formtt.h"
#include "widgets/entermovesfocus.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/numericedit.h"
#include "widgets/operation.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace varnock {
namespace {

QLineEdit *field(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

NumericEdit *numberField(QWidget *parent, const char *name, int decimals,
                         Limits::Figure figure = Limits::Figure::Price)
{
    auto *edit = new NumericEdit(decimals, false, parent);
    edit->setFigure(figure);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

} // namespace

FrmCLADD::FrmCLADD(Database &db, QWidget *parent)
    : QDialog(parent)
    , m_catalogue(db)
    , m_parent(field(this, "SSLB"))
    , m_code(field(this, "CLBH"))
    , m_name(field(this, "CLMC"))
    , m_spec(field(this, "CLGG"))
    , m_unit(field(this, "JZDW"))
    , m_convUnit(field(this, "HSDW"))
    , m_convFactor(numberField(this, "HSXS", -1))
    , m_price(numberField(this, "JHDJ", 4))
    , m_quantity(numberField(this, "JHSL", 4, Limits::Figure::Quantity))
    , m_amount(field(this, "JHJE"))
    , m_actual(new QRadioButton(QStringLiteral("实际单价"), this))
    , m_planned(new QRadioButton(QStringLiteral("计划单价"), this))
    , m_picture(new QToolButton(this))
    , m_buttons(new IndexedButtonGroup({QStringLiteral("保 存 (&S)"), QStringLiteral("修 改 (&G)"),
                                        QStringLiteral("删 除 (&D)"), QStringLiteral("退 出 (&X)")},
                                       Qt::Horizontal, this))
{
    setObjectName(QStringLiteral("FrmCLADD"));
    setWindowTitle(QStringLiteral("材料设置"));
    m_parent->setReadOnly(true);
    m_parent->setFocusPolicy(Qt::NoFocus);
    m_amount->setReadOnly(true);
    m_amount->setFocusPolicy(Qt::NoFocus);
    m_amount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_actual->setObjectName(QStringLiteral("Option1"));
    m_planned->setObjectName(QStringLiteral("Option2"));
    m_actual->setChecked(true);

    m_picture->setObjectName(QStringLiteral("Picture1"));
    m_picture->setText(QStringLiteral("Ω"));
    m_picture->setAutoRaise(true);
    QFont symbolFont = m_picture->font();
    symbolFont.setPointSize(16);
    m_picture->setFont(symbolFont);
    m_picture->setFixedSize(40, 40);
    m_picture->setCursor(Qt::PointingHandCursor);
    m_picture->setToolTip(QStringLiteral("点击图片选择特殊符号"));

    auto *grid = new QGridLayout;
    const auto addRow = [&](int row, int col, const QString &caption, QWidget *w) {
        grid->addWidget(new QLabel(caption, this), row, col * 2);
        grid->addWidget(w, row, col * 2 + 1);
    };
    addRow(0, 0, QStringLiteral("所属类别："), m_parent);
    addRow(0, 1, QStringLiteral("材料编号："), m_code);
    addRow(1, 0, QStringLiteral("材料名称："), m_name);
    addRow(1, 1, QStringLiteral("材料规格："), m_spec);
    addRow(2, 0, QStringLiteral("计量单位："), m_unit);
    addRow(2, 1, QStringLiteral("换算单位："), m_convUnit);
    addRow(3, 0, QStringLiteral("换算系数："), m_convFactor);
    addRow(3, 1, QStringLiteral("计划单价："), m_price);
    addRow(4, 0, QStringLiteral("计划数量："), m_quantity);
    addRow(4, 1, QStringLiteral("计划金额："), m_amount);
    grid->setColumnMinimumWidth(1, 150);
    grid->setColumnMinimumWidth(3, 150);

    auto *frame = new QGroupBox(QStringLiteral("计价方式"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *frameLayout = new QHBoxLayout(frame);
    frameLayout->addWidget(m_actual);
    frameLayout->addWidget(m_planned);
    frameLayout->addStretch();

    auto *middle = new QHBoxLayout;
    middle->addWidget(frame, 1);
    middle->addWidget(m_picture);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(middle);
    layout->addSpacing(6);
    layout->addWidget(m_buttons);
    m_buttons->setAlignment(Qt::AlignCenter);

    setTabOrder(m_code, m_name);
    setTabOrder(m_name, m_spec);
    setTabOrder(m_spec, m_unit);
    setTabOrder(m_unit, m_convUnit);
    setTabOrder(m_convUnit, m_convFactor);
    setTabOrder(m_convFactor, m_price);
    setTabOrder(m_price, m_quantity);
    new EnterMovesFocus(this);

    connect(m_picture, &QToolButton::clicked, this, &FrmCLADD::openSpecialCharacters);
    connect(m_code, &QLineEdit::editingFinished, this, &FrmCLADD::checkCode);
    connect(m_price, &QLineEdit::textChanged, this, &FrmCLADD::updateAmount);
    connect(m_quantity, &QLineEdit::textChanged, this, &FrmCLADD::updateAmount);
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        switch (index) {
        case Save:
            save();
            break;
        case Edit:
            edit();
            break;
        case Delete:
            remove();
            break;
        default:
            reject();
        }
    });
    updateAmount();
    resize(520, 250);
}

MaterialDraft FrmCLADD::draft() const
{
    MaterialDraft d;
    d.clbh = m_code->text();
    d.sjbh = m_parentCode;
    d.clmc = m_name->text();
    d.clgg = m_spec->text();
    d.jzdw = m_unit->text();
    d.hsdw = m_convUnit->text();
    d.hsxs = m_convFactor->text();
    d.jhdj = m_price->text();
    d.jhsl = m_quantity->text();
    d.jjfs = m_planned->isChecked();
    return d;
}

void FrmCLADD::startAdd(const QString &parentCode, const QString &parentName, const QString &code)
{
    m_adding = true;
    m_parentCode = parentCode;
    m_parent->setText(parentName);
    m_code->setText(code);
    m_code->setReadOnly(false);
    clearEntries();
    m_buttons->button(Save)->setEnabled(true);
    m_buttons->button(Edit)->setEnabled(false);
    m_buttons->button(Delete)->setEnabled(false);
    m_picture->setEnabled(true);
    m_name->setFocus();
}

void FrmCLADD::startEdit(const CatalogueRow &row, const QString &parentName)
{
    m_adding = false;
    m_parentCode = row.sjbh;
    m_parent->setText(parentName);
    const MaterialDraft d = MaterialDraft::of(row);
    m_code->setText(d.clbh);
    m_code->setReadOnly(true);
    m_name->setText(d.clmc);
    m_spec->setText(d.clgg);
    m_unit->setText(d.jzdw);
    m_convUnit->setText(d.hsdw);
    m_convFactor->setText(d.hsxs);
    m_price->setText(d.jhdj);
    m_quantity->setText(d.jhsl);
    (d.jjfs ? m_planned : m_actual)->setChecked(true);
    updateAmount();
    m_buttons->button(Save)->setEnabled(false);
    m_buttons->button(Edit)->setEnabled(true);
    m_buttons->button(Delete)->setEnabled(true);
    m_picture->setEnabled(false);
    m_name->setFocus();
}

void FrmCLADD::clearEntries()
{
    for (QLineEdit *e : {m_name, m_spec, m_unit, m_convUnit, static_cast<QLineEdit *>(m_convFactor),
                         static_cast<QLineEdit *>(m_price), static_cast<QLineEdit *>(m_quantity)})
        e->clear();
    m_actual->setChecked(true);
    updateAmount();
}

void FrmCLADD::openSpecialCharacters()
{
    // Only while a new material is being entered, as the save button is.
    if (!m_buttons->button(Save)->isEnabled())
        return;
    if (!m_specialCharacters) {
        m_specialCharacters = new FormTT(this);
        m_specialCharacters->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_specialCharacters->show();
    m_specialCharacters->raise();
}

void FrmCLADD::updateAmount()
{
    m_amount->setText(Catalogue::plannedAmountText(m_price->text(), m_quantity->text()));
}

bool FrmCLADD::confirm(const QString &question)
{
    return Messages::ask(this, question, Catalogue::Title);
}

void FrmCLADD::checkCode()
{
    if (!m_adding || m_code->text().trimmed().isEmpty())
        return;
    if (!runOperation(this, [&] { Catalogue::checkPrefix(m_code->text(), m_parentCode); }))
        m_code->setFocus();
}

void FrmCLADD::save()
{
    if (!m_adding)
        return;
    const MaterialDraft d = draft();
    bool saved = false;
    const auto ask = [this](const QString &q) { return confirm(q); };
    if (!runOperation(this, [&] { saved = m_catalogue.addMaterial(d, ask); }) || !saved)
        return;
    CatalogueRow row;
    runOperation(this, [&] { row = m_catalogue.find(d.clbh.trimmed()).value_or(row); });
    emit added(row);

    QString next;
    if (runOperation(this, [&] { next = m_catalogue.proposeCode(m_parentCode); }))
        m_code->setText(next);
    else
        m_code->clear();
    clearEntries();
    m_name->setFocus();
}

void FrmCLADD::edit()
{
    if (m_adding)
        return;
    const MaterialDraft d = draft();
    bool saved = false;
    const auto ask = [this](const QString &q) { return confirm(q); };
    if (!runOperation(this, [&] { saved = m_catalogue.updateMaterial(d, ask); }) || !saved)
        return;
    emit changed(d.clbh);
    accept();
}

void FrmCLADD::remove()
{
    if (m_adding)
        return;
    const QString code = m_code->text();
    bool removed = false;
    const auto ask = [this](const QString &q) { return confirm(q); };
    if (!runOperation(this, [&] { removed = m_catalogue.remove(code, ask); }) || !removed)
        return;
    emit this->removed(code);
    accept();
}

} // namespace varnock
