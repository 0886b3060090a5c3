#include "shell/screens/fxbf.h"

#include "shell/accountsetrestore.h"
#include "shell/backuppieces.h"
#include "shell/backups.h"
#include "shell/operationlog.h"
#include "shell/screens/fxxz.h"
#include "shell/screens/help.h"
#include "store/clock.h"
#include "store/database.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"
#include "widgets/operation.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace varnock {
namespace {

const QString SplitterTitle = QStringLiteral("文件分割机");

QComboBox *mediumTypes(QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->addItems(FXBF::MediumTypes);
    // No type until one is chosen: pieces are written only for a medium the user named.
    combo->setCurrentIndex(-1);
    combo->setPlaceholderText(QStringLiteral("软盘类型"));
    return combo;
}

} // namespace

const QStringList FXBF::MediumTypes = {QStringLiteral("1.44M软盘"), QStringLiteral("1.2M软盘!")};

FXBF::FXBF(Database &db, int operatorNumber, QWidget *parent)
    : QDialog(parent)
    , m_db(db)
    , m_operator(operatorNumber)
{
    setObjectName(QStringLiteral("FXBF"));
    setWindowTitle(QStringLiteral("数据备份"));
    Help::install(this, helpTopic());

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(backupSide());
    layout->addWidget(restoreSide(), 1);

    QString folder;
    runOperation(this, [&] { folder = Backups::folder(m_db); });
    m_backupFolder->setText(QDir::toNativeSeparators(folder));
    m_source->setText(QDir::toNativeSeparators(m_db.filePath()));
    listCopies();
}

QWidget *FXBF::backupSide()
{
    auto *side = new QGroupBox(QStringLiteral("数据备份"), this);
    m_source = new QLineEdit(side);
    m_source->setObjectName(QStringLiteral("Text1"));
    m_source->setReadOnly(true);
    m_source->setMinimumWidth(300);

    auto *where = new QGroupBox(QStringLiteral("路径选择"), side);
    m_backupWhole = new QRadioButton(QStringLiteral("硬   盘"), where);
    m_backupWhole->setObjectName(QStringLiteral("Option1"));
    m_backupWhole->setChecked(true);
    m_backupPieces = new QRadioButton(QStringLiteral("软   盘"), where);
    m_backupPieces->setObjectName(QStringLiteral("Option2"));
    m_backupMedium = mediumTypes(where);
    m_backupMedium->setObjectName(QStringLiteral("Combo1"));
    m_backupFolder = new QLineEdit(where);
    m_backupFolder->setObjectName(QStringLiteral("Text2"));
    auto *choose = new QPushButton(QStringLiteral("选择目录"), where);
    auto *grid = new QGridLayout(where);
    grid->addWidget(m_backupWhole, 0, 0);
    grid->addWidget(m_backupPieces, 1, 0);
    grid->addWidget(m_backupMedium, 1, 1);
    grid->addWidget(m_backupFolder, 2, 0, 1, 2);
    grid->addWidget(choose, 3, 1);

    m_working = new QLabel(QStringLiteral("数据正在备份请稍等。。。"), side);
    m_working->setVisible(false);
    m_backupButtons = new IndexedButtonGroup(
        {QStringLiteral("备   份(&B)"), QStringLiteral("取  消(&X)")}, Qt::Horizontal, side);
    m_backupButtons->setAlignment(Qt::AlignHCenter);

    auto *form = new QGridLayout;
    form->addWidget(new QLabel(QStringLiteral("数据源路径"), side), 0, 0);
    form->addWidget(m_source, 0, 1);
    form->addWidget(new QLabel(QStringLiteral("当前日期："), side), 1, 0);
    form->addWidget(new QLabel(Clock::today().toString(QStringLiteral("yyyy-MM-dd")), side), 1, 1);
    auto *layout = new QVBoxLayout(side);
    layout->addLayout(form);
    layout->addWidget(where);
    layout->addWidget(m_working);
    layout->addStretch();
    layout->addWidget(m_backupButtons);

    connect(choose, &QPushButton::clicked, this, &FXBF::chooseBackupFolder);
    connect(m_backupButtons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == BackUp)
            backUp();
        else
            reject();
    });
    return side;
}

QWidget *FXBF::restoreSide()
{
    auto *side = new QGroupBox(QStringLiteral("数据还原"), this);
    auto *where = new QGroupBox(QStringLiteral("数据还原路径"), side);
    m_restoreWhole = new QRadioButton(QStringLiteral("硬   盘"), where);
    m_restoreWhole->setObjectName(QStringLiteral("Option3"));
    m_restoreWhole->setChecked(true);
    m_restorePieces = new QRadioButton(QStringLiteral("软   盘"), where);
    m_restorePieces->setObjectName(QStringLiteral("Option4"));
    m_restoreMedium = mediumTypes(where);
    m_restoreMedium->setObjectName(QStringLiteral("Combo2"));
    auto *options = new QHBoxLayout(where);
    options->addWidget(m_restoreWhole);
    options->addWidget(m_restorePieces);
    options->addWidget(m_restoreMedium);
    options->addStretch();

    m_copies = new QTreeWidget(side);
    m_copies->setObjectName(QStringLiteral("List1"));
    m_copies->setHeaderLabels({QStringLiteral("备份时间"), QStringLiteral("类型"),
                               QStringLiteral("大小"), QStringLiteral("文件")});
    m_copies->setRootIsDecorated(false);
    m_copies->setColumnWidth(0, 140);
    m_copies->setColumnWidth(1, 80);
    m_copies->setColumnWidth(2, 80);
    m_copies->setMinimumSize(520, 240);

    m_restorePath = new QLineEdit(side);
    m_restorePath->setObjectName(QStringLiteral("Text3"));
    auto *choose = new QPushButton(QStringLiteral("选择目录"), side);
    auto *path = new QHBoxLayout;
    path->addWidget(m_restorePath, 1);
    path->addWidget(choose);

    m_restoreButtons = new IndexedButtonGroup(
        {QStringLiteral("还    原"), QStringLiteral("取  消")}, Qt::Horizontal, side);
    m_restoreButtons->setAlignment(Qt::AlignHCenter);
    auto *layout = new QVBoxLayout(side);
    layout->addWidget(where);
    layout->addWidget(new QLabel(QStringLiteral("本账套的备份（选中一份即可还原）："), side));
    layout->addWidget(m_copies, 1);
    layout->addLayout(path);
    layout->addWidget(m_restoreButtons);

    connect(m_copies, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (!item)
            return;
        m_restoreWhole->setChecked(true);
        m_restorePath->setText(item->text(3));
    });
    connect(choose, &QPushButton::clicked, this, &FXBF::chooseRestoreSource);
    connect(m_restoreButtons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == Restore)
            restore();
        else
            reject();
    });
    return side;
}

void FXBF::listCopies()
{
    QList<Backups::Copy> copies;
    runOperation(this, [&] { copies = Backups::list(m_db); });
    m_copies->clear();
    const QLocale locale;
    for (const Backups::Copy &copy : copies) {
        const QString taken = copy.kind == Backups::Kind::BeforeChange
                                  ? copy.taken.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))
                                  : copy.taken.toString(QStringLiteral("yyyy-MM-dd"));
        auto *item = new QTreeWidgetItem(m_copies, {taken, Backups::kindName(copy.kind),
                                                    locale.formattedDataSize(copy.size),
                                                    QDir::toNativeSeparators(copy.path)});
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
}

void FXBF::chooseBackupFolder()
{
    if (const auto folder = Fxxz::choose(QDir::fromNativeSeparators(m_backupFolder->text()), this))
        m_backupFolder->setText(QDir::toNativeSeparators(*folder));
}

void FXBF::chooseRestoreSource()
{
    const QString start = QDir::fromNativeSeparators(m_backupFolder->text());
    if (m_restorePieces->isChecked()) {
        if (const auto folder = Fxxz::choose(start, this))
            m_restorePath->setText(QDir::toNativeSeparators(*folder));
        return;
    }
    const QString file =
        QFileDialog::getOpenFileName(this, QStringLiteral("选择备份文件"), start,
                                     QStringLiteral("账套备份 (*.db);;所有文件 (*)"));
    if (!file.isEmpty())
        m_restorePath->setText(QDir::toNativeSeparators(file));
}

void FXBF::backUp()
{
    if (m_backupPieces->isChecked())
        backUpInPieces();
    else
        backUpWhole();
}

void FXBF::backUpWhole()
{
    const QString folder = QDir::fromNativeSeparators(m_backupFolder->text().trimmed());
    if (!runOperation(this, [&] { Backups::targetFolder(m_db, folder); }))
        return;
    if (!Messages::ask(this, QStringLiteral("您确定要数据备份吗？"), QStringLiteral("提示"),
                       Messages::Icon::Exclamation)) {
        return;
    }
    m_working->setVisible(true);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QString path;
    const bool done = runOperation(this, [&] {
        OperationLog(m_db).record(QString::number(m_operator), QStringLiteral("数据备份"));
        path = Backups::backUp(m_db, folder, Clock::today());
    });
    m_working->setVisible(false);
    if (!done)
        return;
    listCopies();
    Messages::inform(
        this, QStringLiteral("数据备份完毕！\n备份文件：%1").arg(QDir::toNativeSeparators(path)));
}

void FXBF::backUpInPieces()
{
    if (m_backupMedium->currentIndex() < 0) {
        Messages::warn(this, QStringLiteral("请选择备份软盘类型"), QStringLiteral("提示"));
        return;
    }
    const QString medium = m_backupMedium->currentText();
    const QString folder = QDir::fromNativeSeparators(m_backupFolder->text().trimmed());
    const QString name = QFileInfo(m_db.filePath()).fileName();
    const auto begin = [&](int count) {
        if (!Messages::ask(this,
                           QStringLiteral("确定要分割文件") + name + QStringLiteral(" 表保存到 ") +
                               QDir::toNativeSeparators(folder) + QStringLiteral(" 吗？"),
                           SplitterTitle)) {
            return false;
        }
        Messages::inform(
            this, QStringLiteral("请准备好 %1 张 %2 ,请先插入第一张 %2").arg(count).arg(medium),
            SplitterTitle);
        return true;
    };
    const auto next = [this](const QString &text) {
        const bool missing = text == Backups::MediumMissingText;
        return Messages::ask(this, text, SplitterTitle,
                             missing ? Messages::Icon::Critical : Messages::Icon::Information);
    };
    m_working->setVisible(true);
    const bool done = runOperation(this, [&] {
        OperationLog(m_db).record(QString::number(m_operator), QStringLiteral("数据备份"));
        BackupPieces::splitAccountSet(m_db, folder, next, BackupPieces::PieceSize, begin);
    });
    m_working->setVisible(false);
    if (done) {
        Messages::inform(this, name + QStringLiteral(" 分割完成!\n你可以选择备份还原,还原数据库"),
                         SplitterTitle);
    }
}

void FXBF::restore()
{
    const bool pieces = m_restorePieces->isChecked();
    if (pieces && m_restoreMedium->currentIndex() < 0) {
        Messages::warn(this, QStringLiteral("请选择备份软盘类型"), QStringLiteral("提示"));
        return;
    }
    const QString source = QDir::fromNativeSeparators(m_restorePath->text().trimmed());
    if (source.isEmpty()) {
        Messages::warn(this,
                       pieces ? QStringLiteral("请选择存放备份盘片的目录")
                              : QStringLiteral("请选择要还原的备份文件"),
                       QStringLiteral("提示"));
        return;
    }
    AccountSetRestore candidate(m_db);
    const auto ask = [this](const QString &text) {
        return Messages::ask(this, text, SplitterTitle, Messages::Icon::Critical);
    };
    if (pieces)
        Messages::inform(this, QStringLiteral("请插入第一张软盘"), SplitterTitle);
    if (!runOperation(this, [&] {
            if (pieces)
                candidate.stageJoined(source, ask);
            else
                candidate.stageFile(source);
        })) {
        return;
    }
    if (pieces)
        Messages::inform(this, QStringLiteral("合并完成!"), QStringLiteral("提示"));
    const OperationStep question = AccountSetRestore::question();
    if (!Messages::ask(this, question.text, question.title, question.icon))
        return;
    accept();
    emit restoreRequested(&candidate);
}

} // namespace varnock
