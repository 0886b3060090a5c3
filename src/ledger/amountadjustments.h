#pragma once

#include "store/decimal.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace varnock {

class Database;

// Amount adjustments (数据处理): a CLKVMT row changes the stock amount KCJE of a material by its
// amount at once, never its quantity. Deleting the row takes its amount back out.
//
// A closed month stays closed: an adjustment dated on or before the latest closing is refused,
// and so are the change and the deletion of one. Cancel posting re-applies those dated after
// the closing to the rebuilt stock. A planned-price material is refused: its stock is worth
// its quantity at plan.
class AmountAdjustments
{
public:
    static const QString ClosedText; // "操作时间不允许小于月结时间！"

    // One adjustment with its material and the material's present stock amount.
    struct Line
    {
        qint64 id = 0;
        QString clbh;
        QString clmc;
        QString clgg;
        QString jzdw;
        QDate czrq;
        Decimal kcje; // KC.KCJE now
        Decimal je;
        QString bz;
        QString gcxm; // the project
    };

    // What is entered on one grid line.
    struct Entry
    {
        QString clbh;
        Decimal je;
        QString bz;
    };

    // The query screen's conditions; empty ones do not restrict.
    struct Filter
    {
        QDate from;
        QDate to;
        QString group; // a catalogue node: the adjustments of the materials below it
        QString clbh;
        QString bz; // equal to the remark
    };

    explicit AmountAdjustments(Database &db);

    // The adjustments dated `day`, by material.
    QList<Line> onDay(const QDate &day) const;
    QList<Line> find(const Filter &filter) const;
    std::optional<Line> line(qint64 id) const;

    // Saves the lines of one day ("凭证增加") and returns their IDs. A line without a material
    // that has stock, or without an amount, is refused as "第 n 数据输入错误" (n from 1). One
    // transaction.
    QList<qint64> add(const QDate &day, const QString &project, const QList<Entry> &entries);
    // Rewrites adjustments ("凭证修改"), each (ID, what it now holds): the old amount leaves the
    // old material's stock, the new amount enters the new one's. One transaction.
    void change(const QDate &day, const QString &project,
                const QList<std::pair<qint64, Entry>> &lines);
    // Deletes adjustment `id` and takes its amount back out of the stock.
    void remove(qint64 id);

private:
    void checkDay(const QDate &day) const;
    void checkMaterial(const QString &clbh, int row) const;
    void addToStock(const QString &clbh, Decimal amount);

    Database &m_db;
};

} // namespace varnock
