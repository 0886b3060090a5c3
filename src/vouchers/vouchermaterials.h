#pragma once

#include "store/decimal.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace varnock {

class Database;

// The materials that stored vouchers of one family name, for picking a material out of
// existing vouchers: the opening balances, stock-in lines, returns to suppliers or issue lines,
// either those not reversed or those reversed. Direct deliveries stay with their own screens.
// Opening balances and returns to suppliers are never reversed: they have no reversed lines.
class VoucherMaterials
{
public:
    // In the order the families are offered.
    enum class Family { Opening, StockIn, StockInReturn, Issue };
    // In the order the conditions are offered.
    enum class By { Code, Name };

    static const QStringList
        FamilyNames; // "初始化数据", "入库单据", "入库退货单据", "领料出库单据"
    static const QStringList StateNames; // "未冲帐材料", "已冲帐材料"

    // One material and what the family's lines of it hold together.
    struct Row
    {
        QString clbh;
        QString clmc;
        QString clgg;
        QString jzdw;
        qint64 vouchers = 0; // the vouchers (opening rows) naming it
        Decimal quantity;
        Decimal amount;
    };

    explicit VoucherMaterials(Database &db);

    // The materials of `family`'s lines reversed or not, whose code or name begins with `text`
    // (matched literally; empty: every one), by code.
    QList<Row> find(Family family, bool reversed, By by = By::Code,
                    const QString &text = QString()) const;

private:
    Database &m_db;
};

} // namespace varnock
