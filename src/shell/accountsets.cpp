#include "shell/accountsets.h"

#include "shell/accountsetlock.h"
#include "shell/passwords.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/errors.h"
#include "store/limits.h"
#include "store/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSqlQuery>

namespace varnock {
namespace {

const QString Title = QStringLiteral("提示");
const QString NumberTakenText = QStringLiteral("账套编号已被使用！");

bool hasWhitespace(const QString &text)
{
    for (const QChar c : text) {
        if (c.isSpace())
            return true;
    }
    return false;
}

// Removes a half-made account-set folder; the caller reports the original failure.
void removeFolder(const QString &path)
{
    QDir dir(path);
    if (dir.exists())
        dir.removeRecursively();
}

// A new set is built in "<number>.new" beside the sets and renamed into place when complete;
// the lock beside it is held while it is being built.
const QString BuildingSuffix = QStringLiteral(".new");

QString lockOf(const QString &buildingFolder)
{
    return buildingFolder + QStringLiteral(".lock");
}

} // namespace

AccountSets::AccountSets(Database &master, const DataFolder &folder)
    : m_master(master)
    , m_folder(folder)
{}

QList<AccountSetInfo> AccountSets::list() const
{
    QList<AccountSetInfo> sets;
    QSqlQuery q = m_master.exec(QStringLiteral("SELECT BH, ZTMC, JZRQ FROM ZTXX ORDER BY BH"));
    while (q.next()) {
        sets.append({q.value(0).toLongLong(), q.value(1).toString(),
                     QDate::fromString(q.value(2).toString(), QStringLiteral("yyyy-MM-dd"))});
    }
    return sets;
}

QList<AccountSetInfo> AccountSets::readable(QStringList &notes) const
{
    QList<AccountSetInfo> sets;
    for (const AccountSetInfo &set : list()) {
        try {
            Database db(m_folder.accountSetDatabasePath(set.number), Database::Access::ReadOnly);
            Schema::upgrade(db);
            sets.append(set);
        } catch (const StoreError &e) {
            notes.append(QStringLiteral("%1 %2：%3").arg(set.number).arg(set.name, e.text));
        } catch (const Refusal &r) {
            notes.append(QStringLiteral("%1 %2：%3").arg(set.number).arg(set.name, r.text));
        }
    }
    return sets;
}

std::optional<AccountSetInfo> AccountSets::find(qint64 number) const
{
    QSqlQuery q =
        m_master.exec(QStringLiteral("SELECT BH, ZTMC, JZRQ FROM ZTXX WHERE BH = ?"), {number});
    if (!q.next())
        return std::nullopt;
    return AccountSetInfo{q.value(0).toLongLong(), q.value(1).toString(),
                          QDate::fromString(q.value(2).toString(), QStringLiteral("yyyy-MM-dd"))};
}

qint64 AccountSets::proposedNumber() const
{
    const QVariant max = m_master.scalar(QStringLiteral("SELECT MAX(BH) FROM ZTXX"));
    qint64 number = max.isNull() ? qint64(Clock::today().year()) * 1000 + 1 : max.toLongLong() + 1;
    // A folder left without its list row (a crash during creation, a copy put there by hand)
    // is never overwritten: propose the next free number instead.
    while (QFileInfo::exists(m_folder.accountSetFolder(number)))
        ++number;
    return number;
}

std::optional<AccountSets::Check> AccountSets::check(const NewAccountSet &request) const
{
    // A password of spaces only would be stored as an empty one, so it counts as empty.
    if (request.name.trimmed().isEmpty())
        return Check{Problem::EmptyName, QStringLiteral("账套名称和密码不允许为空！")};
    if (request.password.trimmed().isEmpty())
        return Check{Problem::EmptyPassword, QStringLiteral("账套名称和密码不允许为空！")};
    if (hasWhitespace(request.name))
        return Check{Problem::NameWithSpaces, QStringLiteral("账套名称中不允许有空格！")};
    if (m_master.scalar(QStringLiteral("SELECT COUNT(*) FROM ZTXX WHERE ZTMC = ?"), {request.name})
            .toLongLong() != 0) {
        return Check{Problem::DuplicateName, QStringLiteral("账套名称不允许重复！")};
    }
    const bool operatorGiven = request.operatorGiven || !request.operatorName.trimmed().isEmpty() ||
                               !request.operatorPassword.isEmpty();
    if (operatorGiven && request.operatorName.trimmed().isEmpty())
        return Check{Problem::IncompleteOperator, QStringLiteral("操作员姓名不允许为空！")};
    if (operatorGiven && request.operatorPassword.trimmed().isEmpty())
        return Check{Problem::IncompleteOperator, QStringLiteral("操作员口令不允许为空！")};
    if (operatorGiven && request.operatorPassword != request.operatorPasswordRepeat) {
        return Check{Problem::PasswordMismatch, QStringLiteral("验证密码不同！，请重新输入！")};
    }
    // Bounded so that the next proposed number and the folder name always fit.
    if (request.number <= 0 || request.number > MaxNumber)
        return Check{Problem::InvalidNumber,
                     QStringLiteral("账套编号必须是1至%1之间的整数！").arg(MaxNumber)};
    if (find(request.number) || QFileInfo::exists(m_folder.accountSetFolder(request.number)))
        return Check{Problem::NumberTaken, NumberTakenText};
    if (!Limits::dateInRange(request.date))
        return Check{Problem::InvalidDate, QStringLiteral("建账") + Limits::dateRangeText()};
    return std::nullopt;
}

Refusal AccountSets::refusalFor(const Check &check)
{
    return Refusal(Title, check.text, Refusal::Icon::Exclamation);
}

AccountSetInfo AccountSets::create(const NewAccountSet &request)
{
    if (const auto problem = check(request))
        throw refusalFor(*problem);

    const QString folderPath = m_folder.accountSetFolder(request.number);
    const QString building = folderPath + BuildingSuffix;
    // Two programs cannot build the same number, and a start elsewhere leaves this one be.
    const auto lock = AccountSetLock::acquire(lockOf(building), NumberTakenText);
    if (!lock) {
        throw StoreError(QStringLiteral("数据文件夹不能写入，无法建立账套：%1\n"
                                        "请检查该文件夹的写入权限。")
                             .arg(QDir::toNativeSeparators(m_folder.path())));
    }
    removeFolder(building);
    if (!QDir(m_folder.path()).mkdir(QFileInfo(building).fileName())) {
        throw StoreError(QStringLiteral("无法创建账套文件夹：%1\n请检查数据文件夹的写入权限。")
                             .arg(QDir::toNativeSeparators(building)));
    }

    try {
        const QString filePath = QDir(building).filePath(DataFolder::DatabaseFileName);
        // A consistent snapshot of the template, even while the master is being written.
        m_master.exec(QStringLiteral("VACUUM INTO ?"), {filePath});
        {
            Database set(filePath);
            Transaction tx(set);
            set.exec(QStringLiteral("DROP TABLE IF EXISTS ZTXX"));
            const QString operatorName = request.operatorName.trimmed();
            if (!operatorName.isEmpty()) {
                QSqlQuery q =
                    set.exec(QStringLiteral("UPDATE CZY SET CZY = ?, PASS = ? WHERE BH = 1"),
                             {operatorName, Passwords::hash(request.operatorPassword)});
                if (q.numRowsAffected() != 1)
                    throw StoreError(QStringLiteral("模板数据库中没有 1 号操作员。"));
            }
            set.exec(QStringLiteral("DELETE FROM ZTMS"));
            set.exec(QStringLiteral("INSERT INTO ZTMS (MS) VALUES (?)"),
                     {request.mode == 1 ? 1 : 2});
            tx.commit();
        }
        // Listed before the folder is renamed: a start after a crash in between finds a
        // complete, listed set and puts its folder into place.
        Transaction tx(m_master);
        if (find(request.number) || QFileInfo::exists(folderPath))
            throw refusalFor({Problem::NumberTaken, NumberTakenText});
        m_master.exec(
            QStringLiteral("INSERT INTO ZTXX (BH, ZTMC, JZRQ, PASS) VALUES (?, ?, ?, ?)"),
            {request.number, request.name, request.date, Passwords::hash(request.password)});
        tx.commit();
    } catch (...) {
        removeFolder(building);
        throw;
    }
    if (!QDir().rename(building, folderPath)) {
        Transaction undo(m_master);
        m_master.exec(QStringLiteral("DELETE FROM ZTXX WHERE BH = ?"), {request.number});
        undo.commit();
        removeFolder(building);
        throw StoreError(
            QStringLiteral("无法将新账套移入其文件夹：%1\n请检查数据文件夹的写入权限。")
                .arg(QDir::toNativeSeparators(folderPath)));
    }
    return AccountSetInfo{request.number, request.name, request.date};
}

void AccountSets::tidyInterruptedCreations()
{
    const QDir dir(m_folder.path());
    const QStringList leftovers =
        dir.entryList({QStringLiteral("*") + BuildingSuffix}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : leftovers) {
        bool isNumber = false;
        const qint64 number = name.chopped(BuildingSuffix.size()).toLongLong(&isNumber);
        if (!isNumber)
            continue;
        const QString building = dir.filePath(name);
        std::unique_ptr<QLockFile> lock;
        try {
            lock = AccountSetLock::acquire(lockOf(building), QString());
        } catch (const Refusal &) {
            continue; // still being built
        }
        if (!lock)
            return; // a folder that cannot be written keeps what it holds
        const QString folderPath = m_folder.accountSetFolder(number);
        if (find(number) && !QFileInfo::exists(folderPath))
            QDir().rename(building, folderPath);
        else
            removeFolder(building);
    }
}

void AccountSets::remove(qint64 number, const QString &typedPassword)
{
    const QVariant stored =
        m_master.scalar(QStringLiteral("SELECT PASS FROM ZTXX WHERE BH = ?"), {number});
    if (!stored.isValid())
        throw Refusal(Title, QStringLiteral("该账套不存在！"));
    if (!Passwords::matches(stored.toString(), typedPassword))
        throw Refusal(Title, QStringLiteral("密码错误！！不允许删除！！"));

    const QString folderPath = m_folder.accountSetFolder(number);
    const QString lockPath = m_folder.accountSetLockPath(number);
    const bool folderExists = QFileInfo::exists(folderPath);
    std::unique_ptr<QLockFile> lock;
    if (folderExists) {
        lock = AccountSetLock::acquire(lockPath,
                                       QStringLiteral("该账套正在使用中，请先关闭它再删除！"));
        if (!lock) {
            throw StoreError(QStringLiteral("账套文件夹不能写入，无法删除：%1\n"
                                            "请检查该文件夹的写入权限。")
                                 .arg(QDir::toNativeSeparators(folderPath)));
        }
    }

    Transaction tx(m_master);
    m_master.exec(QStringLiteral("DELETE FROM ZTXX WHERE BH = ?"), {number});
    // The database file goes first: while it cannot be removed the set stays listed.
    const QString dbPath = m_folder.accountSetDatabasePath(number);
    if (QFileInfo::exists(dbPath) && !QFile::remove(dbPath))
        throw StoreError(QStringLiteral("无法删除账套文件：%1").arg(dbPath));
    tx.commit();

    if (!folderExists)
        return;
    QDir dir(folderPath);
    const QString lockName = QFileInfo(lockPath).fileName();
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    bool complete = true;
    for (const QFileInfo &entry : entries) {
        if (entry.fileName() == lockName)
            continue;
        if (entry.isDir() && !entry.isSymLink())
            complete = QDir(entry.filePath()).removeRecursively() && complete;
        else
            complete = QFile::remove(entry.filePath()) && complete;
    }
    lock.reset();
    if (!complete || !dir.rmdir(folderPath)) {
        throw StoreError(QStringLiteral("账套已删除，但其文件夹未能完全删除：%1").arg(folderPath));
    }
}

} // namespace varnock
