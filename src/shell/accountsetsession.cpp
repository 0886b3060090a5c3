#include "shell/accountsetsession.h"

#include "shell/accountsetlock.h"
#include "shell/displaysettings.h"
#include "store/database.h"
#include "store/errors.h"
#include "store/schema.h"

#include <QFileInfo>
#include <QLockFile>

namespace varnock {

const QString AccountSetSession::DefaultFirmName = QStringLiteral("建筑公司材料核算");
const QString AccountSetSession::InUseText =
    QStringLiteral("该账套已被另一个程序打开，请先关闭它！");

AccountSetSession::AccountSetSession(const DataFolder &folder, Database &master, qint64 number,
                                     Access access)
    : m_folder(folder)
{
    const QString title = QStringLiteral("提示");
    const auto info = AccountSets(master, folder).find(number);
    if (!info)
        throw Refusal(title, QStringLiteral("该账套不存在！"));
    m_info = *info;

    const QString dbPath = folder.accountSetDatabasePath(number);
    // Opening a missing file would create an empty database in its place.
    if (!QFileInfo::exists(dbPath))
        throw Refusal(title, QStringLiteral("找不到账套数据文件：%1").arg(dbPath),
                      Refusal::Icon::Critical);

    if (access == Access::Work)
        m_lock = AccountSetLock::acquire(folder.accountSetLockPath(number), InUseText);
    m_db = std::make_unique<Database>(dbPath, access == Access::Work ? Database::Access::ReadWrite
                                                                     : Database::Access::ReadOnly);
    Schema::upgrade(*m_db);
    const QVariant mode = m_db->scalar(QStringLiteral("SELECT MS FROM ZTMS"));
    m_mode = mode.toInt() == 1 ? 1 : 2;
    m_formats = DisplaySettings(folder).readFormats();
    const QString firm = m_db->scalar(QStringLiteral("SELECT GSMC FROM YHZL")).toString();
    m_firmName = firm.trimmed().isEmpty() ? DefaultFirmName : firm;
}

AccountSetSession::~AccountSetSession()
{
    // The connection closes before the lock is given up.
    m_db.reset();
    m_lock.reset();
}

QString AccountSetSession::windowTitle() const
{
    return QStringLiteral("Varnock系统 - [ ") + m_firmName + QStringLiteral(" ]");
}

bool AccountSetSession::isReadOnly() const
{
    return m_db->isReadOnly();
}

bool AccountSetSession::hasClosing() const
{
    return m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM YJSJB")).toLongLong() > 0;
}

} // namespace varnock
