#include "shell/accountsetrestore.h"

#include "shell/accountsetsession.h"
#include "shell/backups.h"
#include "store/database.h"
#include "store/errors.h"
#include "store/schema.h"
#include "store/snapshot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace varnock {
namespace {

const QString Title = QStringLiteral("提示");

[[noreturn]] void refuse(const QString &path, const QString &why)
{
    throw Refusal(Title,
                  QStringLiteral("文件 %1 不能用于还原，账套数据未被改动。\n%2")
                      .arg(QDir::toNativeSeparators(path), why),
                  Refusal::Icon::Critical);
}

// The first lines of a long report are enough to say what is wrong.
QString firstLines(const QString &text, int count)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() > count) {
        lines = lines.mid(0, count);
        lines << QStringLiteral("……");
    }
    return lines.join(QLatin1Char('\n'));
}

// Why the file is no account set of this program that can be restored; empty when it is one.
QString reasonAgainst(const QString &path)
{
    try {
        Database candidate(path, Database::Access::ReadWrite);
        const QString faults = integrityFaults(candidate);
        if (!faults.isEmpty())
            return QStringLiteral("文件已损坏：\n") + firstLines(faults, 5);
        if (candidate.tableExists(QStringLiteral("ZTXX")))
            return QStringLiteral("这是账套列表（主数据库）文件，不是账套的数据文件。");
        Schema::upgrade(candidate);
        const QStringList missing = Schema::missingAccountSetTables(candidate);
        if (!missing.isEmpty()) {
            return QStringLiteral("不是本系统的账套数据文件，缺少数据表：%1")
                .arg(missing.join(QStringLiteral("、")));
        }
    } catch (const StoreError &error) {
        return error.text;
    } catch (const Refusal &refusal) {
        return refusal.text;
    }
    return QString();
}

} // namespace

AccountSetRestore::AccountSetRestore(const Database &accountSet)
    : m_setFile(accountSet.filePath())
{}

AccountSetRestore::~AccountSetRestore()
{
    if (m_staged)
        QFile::remove(stagingPath());
}

QString AccountSetRestore::stagingPath() const
{
    return m_setFile + QStringLiteral(".restore");
}

void AccountSetRestore::check(const QString &path)
{
    const QString why = reasonAgainst(path);
    if (!why.isEmpty())
        refuse(path, why);
}

void AccountSetRestore::stageFile(const QString &file)
{
    const QString staging = stagingPath();
    if (!QFileInfo(file).isFile())
        refuse(file, QStringLiteral("文件不存在。"));
    if (QFileInfo(file) == QFileInfo(m_setFile))
        refuse(file, QStringLiteral("这是账套正在使用的数据文件。"));
    QFile::remove(staging);
    m_staged = true;
    if (!QFile::copy(file, staging)) {
        throw StoreError(
            QStringLiteral("无法复制文件 %1 到 %2")
                .arg(QDir::toNativeSeparators(file), QDir::toNativeSeparators(staging)));
    }
    QFile(staging).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                  QFile::ReadOther);
    check(staging);
}

void AccountSetRestore::stageJoined(const QString &folder, const BackupPieces::Ask &ask,
                                    qint64 pieceSize)
{
    m_staged = true;
    BackupPieces::join(folder, stagingPath(), ask, pieceSize);
    check(stagingPath());
}

OperationStep AccountSetRestore::question()
{
    return OperationStep::question(QStringLiteral("数据还原"),
                                   QStringLiteral("还原将用备份的数据替换本账套现有的全部数据。\n"
                                                  "现有数据会先备份到备份目录。您确定要还原吗？"),
                                   Refusal::Icon::Exclamation);
}

QString AccountSetRestore::replace(AccountSetSession &session, const QDateTime &now)
{
    if (!m_staged || QFileInfo(session.database().filePath()) != QFileInfo(m_setFile))
        throw StoreError(QStringLiteral("没有可还原的数据：%1").arg(m_setFile));
    const QString before = Backups::timestampedPath(session.database(), now);
    writeSnapshot(session.database(), before);
    session.replaceDatabase(stagingPath());
    m_staged = false;
    return before;
}

QString AccountSetRestore::finishedText(const QString &before)
{
    return QStringLiteral("数据还原完毕！\n还原前的数据已备份到：%1")
        .arg(QDir::toNativeSeparators(before));
}

} // namespace varnock
