#include "shell/screens/frmxtcssz.h"

#include "shell/accountsetsession.h"
#include "shell/screens/fxxz.h"
#include "shell/screens/help.h"
#include "widgets/entermovesfocus.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/operation.h"

#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace varnock {

FrmXtcssz::FrmXtcssz(Database &db, const DataFolder &folder, const Formats &inUse, QWidget *parent)
    : QDialog(parent)
    , m_inUse(inUse)
    , m_parameters(db, folder)
{
    setObjectName(QStringLiteral("FrmXtcssz"));
    setWindowTitle(QStringLiteral("系统环境设置"));
    Help::install(this, helpTopic());

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("SSTab1"));
    m_pages->addTab(firmPage(), QStringLiteral("单位信息"));
    m_pages->addTab(settingsPage(), QStringLiteral("系统参数"));
    m_pages->addTab(captionsPage(), QStringLiteral("小票签字"));
    m_pages->addTab(reportsPage(), QStringLiteral("报表还原"));

    m_buttons = new IndexedButtonGroup(
        {QStringLiteral("确 定(&Q)"), QStringLiteral("取 消(&U)"), QStringLiteral("退 出(&X)")},
        Qt::Horizontal, this);
    m_buttons->setAlignment(Qt::AlignRight);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addWidget(m_buttons);
    new EnterMovesFocus(this);

    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        switch (index) {
        case Confirm:
            confirm();
            break;
        case Cancel:
            // The fields go back to what is saved; the screen stays open.
            showValues();
            break;
        default:
            reject();
        }
    });
    showValues();
    m_firm.first()->setFocus();
}

QWidget *FrmXtcssz::firmPage()
{
    auto *page = new QWidget(this);
    auto *form = new QFormLayout(page);
    form->setContentsMargins(40, 30, 40, 30);
    form->setVerticalSpacing(14);
    const QStringList labels = {QStringLiteral("公司名称"), QStringLiteral("公司地址"),
                                QStringLiteral("联 系 人"), QStringLiteral("联系电话"),
                                QStringLiteral("邮政编码")};
    for (int i = 0; i < labels.size(); ++i) {
        auto *field = new QLineEdit(page);
        field->setObjectName(QStringLiteral("Text%1").arg(i + 1));
        field->setMinimumWidth(360);
        form->addRow(labels.at(i) + QStringLiteral("："), field);
        m_firm << field;
    }
    return page;
}

QWidget *FrmXtcssz::settingsPage()
{
    auto *page = new QWidget(this);
    auto *decimals = new QGroupBox(QStringLiteral("系统保留小数位"), page);
    m_amount = new QComboBox(decimals);
    m_amount->setObjectName(QStringLiteral("Combo1"));
    m_quantity = new QComboBox(decimals);
    m_quantity->setObjectName(QStringLiteral("Combo2"));
    for (QComboBox *combo : {m_amount, m_quantity}) {
        combo->addItems(SystemParameters::formatChoices());
        combo->setMinimumWidth(100);
    }
    auto *formats = new QFormLayout(decimals);
    formats->addRow(QStringLiteral("金额保留位数："), m_amount);
    formats->addRow(QStringLiteral("数量保留位数："), m_quantity);

    auto *backup = new QGroupBox(QStringLiteral("数据备份路径选择"), page);
    m_default = new QRadioButton(QStringLiteral("系统默认路径"), backup);
    m_default->setObjectName(QStringLiteral("Option1"));
    m_custom = new QRadioButton(QStringLiteral("自   定   义"), backup);
    m_custom->setObjectName(QStringLiteral("Option2"));
    m_folder = new QLineEdit(backup);
    m_folder->setObjectName(QStringLiteral("Text6"));
    m_folder->setMinimumWidth(360);
    m_browse = new QPushButton(QStringLiteral("选择目录…"), backup);
    auto *options = new QHBoxLayout;
    options->addWidget(m_default);
    options->addWidget(m_custom);
    options->addStretch();
    auto *path = new QHBoxLayout;
    path->addWidget(m_folder, 1);
    path->addWidget(m_browse);
    auto *folders = new QVBoxLayout(backup);
    folders->addLayout(options);
    folders->addLayout(path);

    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->addWidget(decimals);
    layout->addWidget(backup);
    layout->addStretch();

    connect(m_default, &QRadioButton::toggled, this, &FrmXtcssz::folderOptionChanged);
    connect(m_browse, &QPushButton::clicked, this, &FrmXtcssz::chooseFolder);
    return page;
}

QWidget *FrmXtcssz::captionsPage()
{
    auto *page = new QWidget(this);
    auto *layout = new QHBoxLayout(page);
    layout->setContentsMargins(16, 16, 16, 16);
    const auto group = [&](const QString &title, const QStringList &fixed,
                           QList<QLineEdit *> &fields, int firstNumber) {
        auto *box = new QGroupBox(title, page);
        auto *grid = new QGridLayout(box);
        grid->setVerticalSpacing(12);
        for (int i = 0; i < fixed.size(); ++i) {
            auto *field = new QLineEdit(box);
            field->setObjectName(QStringLiteral("Text%1").arg(firstNumber + i));
            field->setMinimumWidth(120);
            grid->addWidget(new QLabel(fixed.at(i), box), i, 0);
            grid->addWidget(new QLabel(QStringLiteral("替换为："), box), i, 1);
            grid->addWidget(field, i, 2);
            fields << field;
        }
        layout->addWidget(box);
    };
    group(QStringLiteral("入库单签字栏"), SlipCaptions::DefaultReceipt, m_receipt, 7);
    group(QStringLiteral("领料单签字栏"), SlipCaptions::DefaultIssue, m_issue, 12);
    return page;
}

QWidget *FrmXtcssz::reportsPage()
{
    auto *page = new QWidget(this);
    m_reports = new QTreeWidget(page);
    m_reports->setObjectName(QStringLiteral("List1"));
    m_reports->setColumnCount(2);
    m_reports->setHeaderLabels({QStringLiteral("报表名称"), QString()});
    m_reports->setColumnWidth(0, 300);
    // The template's name travels with the row, hidden.
    m_reports->hideColumn(1);
    m_reports->setRootIsDecorated(false);
    m_reports->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const SystemParameters::Report &report : m_parameters.reports())
        new QTreeWidgetItem(m_reports, {report.title, report.name});

    m_restore = new QPushButton(QStringLiteral("还  原(&Y)"), page);
    m_restore->setObjectName(QStringLiteral("Command4"));
    auto *note =
        new QLabel(QStringLiteral("选择要恢复为初始状态的报表（可多选），再按“还原”。"), page);
    auto *row = new QHBoxLayout;
    row->addWidget(note, 1);
    row->addWidget(m_restore);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(m_reports);
    layout->addLayout(row);
    connect(m_restore, &QPushButton::clicked, this, &FrmXtcssz::restoreReports);
    return page;
}

void FrmXtcssz::showValues()
{
    SystemParameters::Values values;
    if (!runOperation(this, [&] { values = m_parameters.load(); }))
        return;
    const QStringList firm = {values.firmName, values.address, values.contact, values.phone,
                              values.postcode};
    for (int i = 0; i < m_firm.size(); ++i)
        m_firm.at(i)->setText(firm.at(i));
    m_amount->setCurrentText(values.amountFormat);
    m_quantity->setCurrentText(values.quantityFormat);
    m_folder->setText(QDir::toNativeSeparators(values.backupFolder));
    (values.defaultBackupFolder ? m_default : m_custom)->setChecked(true);
    folderOptionChanged();
    for (int i = 0; i < m_receipt.size(); ++i) {
        m_receipt.at(i)->setText(values.receiptCaptions.value(i));
        m_issue.at(i)->setText(values.issueCaptions.value(i));
    }
}

void FrmXtcssz::folderOptionChanged()
{
    const bool custom = m_custom->isChecked();
    m_folder->setReadOnly(!custom);
    m_browse->setEnabled(custom);
    if (!custom)
        m_folder->setText(QDir::toNativeSeparators(m_parameters.defaultBackupFolder()));
}

void FrmXtcssz::chooseFolder()
{
    if (const auto folder = Fxxz::choose(QDir::fromNativeSeparators(m_folder->text()), this))
        m_folder->setText(QDir::toNativeSeparators(*folder));
}

void FrmXtcssz::confirm()
{
    SystemParameters::Values values;
    values.firmName = m_firm.at(0)->text();
    values.address = m_firm.at(1)->text();
    values.contact = m_firm.at(2)->text();
    values.phone = m_firm.at(3)->text();
    values.postcode = m_firm.at(4)->text();
    values.defaultBackupFolder = m_default->isChecked();
    values.backupFolder = QDir::fromNativeSeparators(m_folder->text().trimmed());
    values.amountFormat = m_amount->currentText();
    values.quantityFormat = m_quantity->currentText();
    for (int i = 0; i < m_receipt.size(); ++i) {
        values.receiptCaptions << m_receipt.at(i)->text();
        values.issueCaptions << m_issue.at(i)->text();
    }
    bool restart = false;
    if (!runOperation(this, [&] { restart = m_parameters.save(values, m_inUse); }))
        return;
    emit windowTitleChanged(AccountSetSession::windowTitleFor(values.firmName));
    const OperationStep question = SystemParameters::restartQuestion();
    if (restart && Messages::ask(this, question.text, question.title, question.icon)) {
        accept();
        emit restartRequested();
        return;
    }
    accept();
}

void FrmXtcssz::restoreReports()
{
    QStringList names;
    for (const QTreeWidgetItem *item : m_reports->selectedItems())
        names << item->text(1);
    if (names.isEmpty())
        return;
    const OperationStep question = SystemParameters::restoreQuestion();
    if (!Messages::ask(this, question.text, question.title, question.icon))
        return;
    QString text;
    if (runOperation(this, [&] { text = m_parameters.restoreReports(names); }))
        Messages::inform(this, text);
}

} // namespace varnock
