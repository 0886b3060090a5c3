#include "shell/accountsetsession.h"

#include "ledger/closingsums.h"
#include "ledger/directdeliveries.h"
#include "shell/accountsetlock.h"
#include "shell/displaysettings.h"
#include "store/database.h"
#include "store/errors.h"
#include "store/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <filesystem>
#include <system_error>

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
    m_access = access;
    open();
}

void AccountSetSession::open()
{
    m_db = std::make_unique<Database>(m_folder.accountSetDatabasePath(number()),
                                      m_access == Access::Work ? Database::Access::ReadWrite
                                                               : Database::Access::ReadOnly);
    const int version = m_db->userVersion();
    Schema::upgrade(*m_db);
    const QVariant mode = m_db->scalar(QStringLiteral("SELECT MS FROM ZTMS"));
    m_mode = mode.toInt() == 1 ? 1 : 2;
    if (m_access == Access::Work && !m_db->isReadOnly()) {
        // Reversed direct deliveries of an older version lack their mirror pieces.
        if (version < 13)
            DirectDeliveries(*m_db, m_mode, Formats()).restoreMirrorPieces();
        // Closings made by an older version have no movement sums yet.
        ClosingSums(*m_db, m_mode).fillMissing();
    }
    m_formats = DisplaySettings(m_folder).readFormats();
    const QString firm = m_db->scalar(QStringLiteral("SELECT GSMC FROM YHZL")).toString();
    m_firmName = firm.trimmed().isEmpty() ? DefaultFirmName : firm;
}

void AccountSetSession::replaceDatabase(const QString &stagedFile)
{
    const QString path = m_folder.accountSetDatabasePath(number());
    const QString file = QDir::toNativeSeparators(path);
    if (isReadOnly()) {
        throw Refusal(QStringLiteral("提示"),
                      QStringLiteral("数据文件只读，不能还原：%1").arg(file),
                      Refusal::Icon::Critical);
    }
    const QString kept = path + QStringLiteral(".old");
    m_db.reset();
    // Another program still reading the set keeps its journal beside the file; the journal
    // would be applied to the new file and spoil it.
    if (QFileInfo(path + QStringLiteral("-wal")).size() > 0) {
        open();
        throw Refusal(QStringLiteral("提示"), InUseText);
    }
    QFile::remove(kept);
    std::error_code error;
    const auto native = [](const QString &p) { return std::filesystem::path(p.toStdU16String()); };
    // A second name for the old file; a copy where the disk takes no links.
    std::filesystem::create_hard_link(native(path), native(kept), error);
    if (error && !QFile::copy(path, kept)) {
        open();
        throw StoreError(QStringLiteral("无法写入文件：%1").arg(QDir::toNativeSeparators(kept)));
    }
    std::filesystem::rename(native(stagedFile), native(path), error);
    if (error) {
        QFile::remove(kept);
        open();
        throw StoreError(QStringLiteral("无法写入文件：%1\n%2")
                             .arg(file, QString::fromLocal8Bit(error.message())));
    }
    try {
        open();
    } catch (...) {
        std::filesystem::rename(native(kept), native(path), error);
        try {
            open();
        } catch (...) {
            // Neither file opens: the session stays closed (isOpen() says so).
            m_db.reset();
        }
        throw;
    }
    QFile::remove(kept);
}

AccountSetSession::~AccountSetSession()
{
    // The connection closes before the lock is given up.
    m_db.reset();
    m_lock.reset();
}

QString AccountSetSession::windowTitle() const
{
    return windowTitleFor(m_firmName);
}

QString AccountSetSession::windowTitleFor(const QString &firmName)
{
    const QString firm = firmName.trimmed().isEmpty() ? DefaultFirmName : firmName;
    return QStringLiteral("Varnock系统 - [ ") + firm + QStringLiteral(" ]");
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
