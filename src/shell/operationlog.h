#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace varnock {

class Database;

// The operation log (CZRZ): one record per command that opens a working screen, browsed,
// filtered and cleared on the log browser.
class OperationLog
{
public:
    struct Row
    {
        qint64 id = 0;
        QString operatorName; // CZY.CZY of the operator who wrote the record
        QDate date;
        QString time; // "hh:mm:ss"
        QString text;
    };

    explicit OperationLog(Database &db);

    // Writes one record: the operator number as the status bar shows it, today, the
    // command's fixed text and the current time. Throws StoreError.
    void record(const QString &operatorNumber, const QString &text);

    // Every record whose operator exists, oldest first.
    QList<Row> browse() const;
    // The records between two dates (both included), of one operator or of all.
    // Refuses a start after the end ("起始日期不允许大于终止日期").
    QList<Row> filter(QDate from, QDate to, std::optional<int> operatorNumber) const;

    // Deletes every record once the logged-in operator's password is given. Refuses a wrong
    // password ("密码错误！，不允许删除！！！") and keeps every record.
    void clear(int loggedInOperator, const QString &typedPassword);

    static QString wrongPasswordText() { return QStringLiteral("密码错误！，不允许删除！！！"); }

private:
    QList<Row> rows(const QString &where, const QVariantList &values) const;

    Database &m_db;
};

} // namespace varnock
