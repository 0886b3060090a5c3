#include "readonlyfolder.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace varnock::test {
namespace {

constexpr uid_t Nobody = 65534;

const QFileDevice::Permissions ReadOnlyFile =
    QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
const QFileDevice::Permissions ReadOnlyFolderBits =
    ReadOnlyFile | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;

void setAll(const QString &path, bool writable)
{
    QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    QStringList entries{path};
    while (it.hasNext())
        entries << it.next();
    for (const QString &entry : std::as_const(entries)) {
        const bool folder = QFileInfo(entry).isDir();
        QFileDevice::Permissions bits = folder ? ReadOnlyFolderBits : ReadOnlyFile;
        if (writable)
            bits |= QFileDevice::WriteOwner;
        QFile::setPermissions(entry, bits);
    }
}

} // namespace

ReadOnlyFolder::ReadOnlyFolder(const QString &path)
    : m_path(path)
    , m_wasRoot(::geteuid() == 0)
{
    setAll(m_path, false);
    if (m_wasRoot)
        (void)!::seteuid(Nobody);
}

ReadOnlyFolder::~ReadOnlyFolder()
{
    if (m_wasRoot)
        (void)!::seteuid(0);
    setAll(m_path, true);
}

} // namespace varnock::test
