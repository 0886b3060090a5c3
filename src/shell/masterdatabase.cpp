#include "shell/masterdatabase.h"

#include "shell/accountsets.h"
#include "shell/datafolder.h"
#include "shell/passwords.h"
#include "shell/permissions.h"
#include "store/database.h"
#include "store/errors.h"
#include "store/materiallibraries.h"
#include "store/schema.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryFile>

namespace varnock {

namespace {

void removeDatabaseFiles(const QString &path)
{
    for (const char *suffix : {"", "-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
}

} // namespace

std::unique_ptr<Database> MasterDatabase::ensure(const DataFolder &folder)
{
    const QString masterPath = folder.masterDatabasePath();
    if (QFileInfo::exists(masterPath))
        return open(folder);

    if (!folder.ensureExists())
        throw StoreError(QStringLiteral("无法创建数据文件夹：%1").arg(folder.path()));

    QString tempPath;
    {
        QTemporaryFile temp(folder.filePath(QStringLiteral("kvmt-XXXXXX.db.new")));
        temp.setAutoRemove(false);
        if (!temp.open()) {
            throw StoreError(
                QStringLiteral("无法在数据文件夹中创建文件：%1").arg(temp.errorString()));
        }
        tempPath = temp.fileName();
    }
    try {
        Database db(tempPath, Database::Access::Create);
        populate(db);
        // Leave no write-ahead log behind: the renamed file must stand on its own.
        db.exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
    } catch (...) {
        removeDatabaseFiles(tempPath);
        throw;
    }
    if (!QFile::rename(tempPath, masterPath)) {
        removeDatabaseFiles(tempPath);
        // Another program may have created it in the meantime; that one serves as well.
        if (!QFileInfo::exists(masterPath))
            throw StoreError(QStringLiteral("无法创建主数据库：%1").arg(masterPath));
    }
    return open(folder);
}

std::unique_ptr<Database> MasterDatabase::open(const DataFolder &folder)
{
    auto db = std::make_unique<Database>(folder.masterDatabasePath());
    Schema::upgrade(*db);
    if (!db->isReadOnly())
        AccountSets(*db, folder).tidyInterruptedCreations();
    return db;
}

void MasterDatabase::populate(Database &db)
{
    Transaction tx(db);
    Schema::createMaster(db);
    MaterialLibraries::seed(db);
    db.exec(QStringLiteral("INSERT INTO CZY (BH, CZY, PASS) VALUES (1, ?, ?)"),
            {QString::fromLatin1(DefaultOperator),
             Passwords::hash(QString::fromLatin1(DefaultPassword))});
    QStringList fields{QStringLiteral("BH")};
    QStringList marks{QStringLiteral("1")};
    for (int f = 0; f < Permissions::FlagCount; ++f) {
        fields << Permissions::fieldName(Permissions::Flag(f));
        marks << QStringLiteral("1");
    }
    db.exec(QStringLiteral("INSERT INTO CZYQX (%1) VALUES (%2)")
                .arg(fields.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
    tx.commit();
}

} // namespace varnock
