#pragma once

#include "master/counterparty.h"
#include "store/decimal.h"

#include <QList>
#include <QString>

#include <optional>

namespace varnock {

class Database;

// The suppliers (GYS): upkeep, code proposal, deletion guard and the picker's search.
class Suppliers
{
public:
    struct Supplier
    {
        QString bh;   // 编号
        QString mc;   // 名称
        QString zcdd; // 注册地点
        QString zcbh; // 注册编号
        QString fr;   // 法人代表
        QString dz;   // 单位地址
        QString yzbm; // 邮政编码
        QString lxdh; // 联系电话
        QString khyh; // 开户银行
        QString khzh; // 银行帐号
        QString zgcp; // 主供产品
        Decimal csqk; // 初始欠款: owed to the supplier when the books were opened
        QString bz;   // 备注
    };

    struct Entry
    {
        QString bh;
        QString mc;
    };

    static const QString Title; // "提示窗口"

    explicit Suppliers(Database &db);

    // Code and name of every supplier, in numeric order of the code.
    QList<Entry> list() const;
    std::optional<Supplier> find(const QString &bh) const;

    // One more than the greatest numeric code ("11" after 1, 2 and 10); "1" for none.
    QString proposeCode() const;

    // The refusals of a new supplier, in their order: code taken, name taken. The screen
    // asks about an empty opening debt only after these pass.
    void checkNew(const Supplier &supplier) const;
    // Checks again and inserts. Throws Refusal.
    void add(const Supplier &supplier);
    // Changes everything but the code. Throws Refusal (empty name, name taken, unknown code).
    void update(const Supplier &supplier);
    // Refused while stock-in lines name the supplier; otherwise its payments (FQFSAVE) go
    // with it, in the same transaction. Its repayment records (HZCL) stay.
    void remove(const QString &bh);

    // The picker rows: by code or name prefix (the text matches literally), ordered by code.
    QList<Counterparty> search(CounterpartySearch by, const QString &text) const;
    // The texts a picker offers for a condition: every code or every name.
    QStringList values(CounterpartySearch by) const;

    // Leading number of a code as the code proposal reads it: "12" → 12, "7a" → 7, "A1" → 0.
    static qint64 numericValue(const QString &code);

private:
    Database &m_db;
};

} // namespace varnock
