#include "shell/screens/fxxz.h"

#include "shell/backups.h"
#include "shell/screens/help.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/messages.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStorageInfo>
#include <QTreeView>
#include <QVBoxLayout>

namespace varnock {
namespace {

// The drives of the computer: its roots and every mounted volume (removable disks included).
QStringList driveList()
{
    QStringList drives;
    for (const QFileInfo &root : QDir::drives())
        drives << QDir::toNativeSeparators(root.absoluteFilePath());
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        const QString path = QDir::toNativeSeparators(volume.rootPath());
        if (volume.isValid() && volume.isReady() && !drives.contains(path))
            drives << path;
    }
    return drives;
}

// The drive a folder lies on: the longest listed root that holds it.
QString driveOf(const QStringList &drives, const QString &folder)
{
    const QString native = QDir::toNativeSeparators(QDir::cleanPath(folder));
    QString best;
    for (const QString &drive : drives) {
        const bool holds =
            native == QDir::toNativeSeparators(QDir::cleanPath(drive)) ||
            native.startsWith(drive.endsWith(QDir::separator()) ? drive
                                                                : drive + QDir::separator());
        if (holds && drive.size() > best.size())
            best = drive;
    }
    return best;
}

} // namespace

Fxxz::Fxxz(const QString &start, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Fxxz"));
    setWindowTitle(QStringLiteral("数据备份路径设置"));
    Help::install(this, QStringLiteral("数据备份"));

    m_drives = new QComboBox(this);
    m_drives->setObjectName(QStringLiteral("Drive1"));
    m_drives->addItems(driveList());

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_model->setRootPath(QString());
    m_folders = new QTreeView(this);
    m_folders->setObjectName(QStringLiteral("Dir1"));
    m_folders->setModel(m_model);
    for (int column = 1; column < m_model->columnCount(); ++column)
        m_folders->hideColumn(column);
    m_folders->header()->hide();
    m_folders->setMinimumSize(360, 280);

    m_path = new QLineEdit(this);
    m_path->setObjectName(QStringLiteral("Text1"));

    m_buttons = new IndexedButtonGroup({QStringLiteral("确 定(&Q)"), QStringLiteral("退 出(&X)")},
                                       Qt::Horizontal, this);
    m_buttons->setAlignment(Qt::AlignHCenter);

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("驱动器："), this), 0, 0);
    grid->addWidget(m_drives, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("文件夹："), this), 1, 0, Qt::AlignTop);
    grid->addWidget(m_folders, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("路    径："), this), 2, 0);
    grid->addWidget(m_path, 2, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_buttons);

    connect(m_drives, &QComboBox::currentIndexChanged, this, &Fxxz::driveChanged);
    connect(m_folders->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    m_path->setText(QDir::toNativeSeparators(m_model->filePath(current)));
            });
    connect(m_buttons, &IndexedButtonGroup::clicked, this, [this](int index) {
        if (index == 0)
            confirm();
        else
            reject();
    });
    showFolder(start);
}

std::optional<QString> Fxxz::choose(const QString &start, QWidget *parent)
{
    Fxxz chooser(start, parent);
    chooser.exec();
    return chooser.chosen();
}

void Fxxz::showFolder(const QString &path)
{
    const QString drive = driveOf(driveList(), path);
    const int at = m_drives->findText(drive);
    if (at >= 0) {
        const QSignalBlocker quiet(m_drives);
        m_drives->setCurrentIndex(at);
        m_folders->setRootIndex(m_model->index(m_drives->currentText()));
    } else {
        driveChanged();
    }
    const QModelIndex folder = m_model->index(path);
    if (folder.isValid()) {
        m_folders->setCurrentIndex(folder);
        m_folders->scrollTo(folder);
    }
    m_path->setText(QDir::toNativeSeparators(path));
}

void Fxxz::driveChanged()
{
    m_folders->setRootIndex(m_model->index(m_drives->currentText()));
    m_path->setText(m_drives->currentText());
}

void Fxxz::confirm()
{
    const QString path = QDir::cleanPath(QDir::fromNativeSeparators(m_path->text().trimmed()));
    if (m_path->text().trimmed().isEmpty() || !QFileInfo(path).isDir()) {
        Messages::warn(this, Backups::InvalidFolderText, QStringLiteral("提示"));
        return;
    }
    m_chosen = path;
    accept();
}

} // namespace varnock
