#pragma once

#include "master/counterparty.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace varnock {

class Database;

// The consuming units (LLDW) that draw material: upkeep, deletion guard, picker search.
class ConsumingUnits
{
public:
    struct Unit
    {
        QString bh;  // 编号
        QString mc;  // 名称
        QString dz;  // 地址
        QString lxr; // 联系人
        QString dh;  // 电话
        QString bz;  // 备注
    };

    static const QString Title; // "提示"

    explicit ConsumingUnits(Database &db);

    // Every unit, in text order of the code.
    QList<Unit> list() const;
    std::optional<Unit> find(const QString &bh) const;

    // Refusals in order: empty code, empty name, code taken. Throws Refusal.
    void add(const Unit &unit);
    // Changes everything but the code.
    void update(const Unit &unit);
    // Refused while issue lines (LLD) name the unit.
    void remove(const QString &bh);

    // The picker rows: by code or name prefix (the text matches literally), ordered by code.
    QList<Counterparty> search(CounterpartySearch by, const QString &text) const;
    // The texts a picker offers for a condition: every code or every name.
    QStringList values(CounterpartySearch by) const;

private:
    Database &m_db;
};

} // namespace varnock
