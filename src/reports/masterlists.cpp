#include "reports/masterlists.h"

#include "store/database.h"

namespace varnock::MasterLists {

namespace {

using Column = ReportTable::Column;

QVariant yesNo(const QVariant &flag)
{
    return flag.toInt() != 0 ? QStringLiteral("是") : QStringLiteral("否");
}

// Reads every row of `sql` into the table, one cell per column in column order; figure
// columns read stored ten-thousandths.
void readRows(Database &db, const QString &sql, ReportTable &table)
{
    QSqlQuery q = db.exec(sql);
    while (q.next()) {
        QVariantList cells;
        for (int c = 0; c < table.columnCount(); ++c) {
            const QVariant v = q.value(c);
            cells << (table.columns().at(c).isFigure() ? ReportTable::figureOrEmpty(v) : v);
        }
        table.addRow(cells);
    }
}

} // namespace

ReportTable catalogue(Database &db)
{
    ReportTable table(QStringLiteral("材料信息一览表"), QStringLiteral("材料信息一览表"),
                      {{QStringLiteral("CLBH"), QStringLiteral("材料编号"), Column::Text},
                       {QStringLiteral("SJBH"), QStringLiteral("上级编号"), Column::Text},
                       {QStringLiteral("CLMC"), QStringLiteral("材料名称"), Column::Text},
                       {QStringLiteral("CLGG"), QStringLiteral("材料规格"), Column::Text},
                       {QStringLiteral("JZDW"), QStringLiteral("记账单位"), Column::Text},
                       {QStringLiteral("HSDW"), QStringLiteral("换算单位"), Column::Text},
                       {QStringLiteral("HSXS"), QStringLiteral("换算系数"), Column::Number},
                       {QStringLiteral("JHDJ"), QStringLiteral("计划单价"), Column::Price},
                       {QStringLiteral("JHSL"), QStringLiteral("计划数量"), Column::Quantity},
                       {QStringLiteral("JJFS"), QStringLiteral("计价方式"), Column::Text},
                       {QStringLiteral("SFMJ"), QStringLiteral("是否末级"), Column::Text},
                       {QStringLiteral("CRKBZ"), QStringLiteral("出入库标志"), Column::Text}});
    QSqlQuery q = db.exec(QStringLiteral("SELECT CLBH, SJBH, CLMC, CLGG, JZDW, HSDW, HSXS, JHDJ, "
                                         "JHSL, JJFS, SFMJ, CRKBZ FROM CLJBXXB ORDER BY CLBH"));
    while (q.next()) {
        const bool leaf = q.value(10).toInt() != 0;
        // A category has no unit, price or pricing method of its own.
        const QVariant factor =
            q.value(6).isNull() || !leaf
                ? QVariant()
                : ReportTable::figure(Decimal::fromDouble(q.value(6).toDouble()));
        table.addRow({q.value(0), q.value(1), q.value(2), q.value(3), q.value(4), q.value(5),
                      factor, leaf ? ReportTable::figureOrEmpty(q.value(7)) : QVariant(),
                      leaf ? ReportTable::figureOrEmpty(q.value(8)) : QVariant(),
                      leaf ? QVariant(q.value(9).toInt() != 0 ? QStringLiteral("计划单价")
                                                              : QStringLiteral("实际单价"))
                           : QVariant(),
                      yesNo(q.value(10)), yesNo(q.value(11))});
    }
    return table;
}

ReportTable suppliers(Database &db)
{
    ReportTable table(QStringLiteral("供应商设置一览表"), QStringLiteral("供应商设置一览表"),
                      {{QStringLiteral("BH"), QStringLiteral("编号"), Column::Text},
                       {QStringLiteral("MC"), QStringLiteral("名称"), Column::Text},
                       {QStringLiteral("ZCDD"), QStringLiteral("注册地点"), Column::Text},
                       {QStringLiteral("ZCBH"), QStringLiteral("注册编号"), Column::Text},
                       {QStringLiteral("FR"), QStringLiteral("法人代表"), Column::Text},
                       {QStringLiteral("DZ"), QStringLiteral("单位地址"), Column::Text},
                       {QStringLiteral("YZBM"), QStringLiteral("邮政编码"), Column::Text},
                       {QStringLiteral("LXDH"), QStringLiteral("联系电话"), Column::Text},
                       {QStringLiteral("KHYH"), QStringLiteral("开户银行"), Column::Text},
                       {QStringLiteral("KHZH"), QStringLiteral("银行帐号"), Column::Text},
                       {QStringLiteral("ZGCP"), QStringLiteral("主供产品"), Column::Text},
                       {QStringLiteral("BZ"), QStringLiteral("备注"), Column::Text},
                       {QStringLiteral("CSQK"), QStringLiteral("初始欠款"), Column::Amount}});
    readRows(db,
             QStringLiteral("SELECT BH, MC, ZCDD, ZCBH, FR, DZ, YZBM, LXDH, KHYH, KHZH, ZGCP, BZ, "
                            "CSQK FROM GYS ORDER BY BH"),
             table);
    return table;
}

ReportTable units(Database &db)
{
    ReportTable table(QStringLiteral("领料单位设置一览表"), QStringLiteral("领料单位设置一览表"),
                      {{QStringLiteral("BH"), QStringLiteral("编号"), Column::Text},
                       {QStringLiteral("MC"), QStringLiteral("名称"), Column::Text},
                       {QStringLiteral("DZ"), QStringLiteral("地址"), Column::Text},
                       {QStringLiteral("LXR"), QStringLiteral("联系人"), Column::Text},
                       {QStringLiteral("DH"), QStringLiteral("电话"), Column::Text},
                       {QStringLiteral("BZ"), QStringLiteral("备注"), Column::Text}});
    readRows(db, QStringLiteral("SELECT BH, MC, DZ, LXR, DH, BZ FROM LLDW ORDER BY BH"), table);
    return table;
}

ReportTable openingBalances(Database &db)
{
    ReportTable table(QStringLiteral("账务初始资料"), QStringLiteral("账务初始资料"),
                      {{QStringLiteral("CLBH"), QStringLiteral("材料编号"), Column::Text},
                       {QStringLiteral("CLMC"), QStringLiteral("材料名称"), Column::Text},
                       {QStringLiteral("CLGG"), QStringLiteral("材料规格"), Column::Text},
                       {QStringLiteral("JZDW"), QStringLiteral("记账单位"), Column::Text},
                       {QStringLiteral("KCDJ"), QStringLiteral("库存单价"), Column::Price},
                       {QStringLiteral("KCSL"), QStringLiteral("库存数量"), Column::Quantity},
                       {QStringLiteral("KCJE"), QStringLiteral("库存金额"), Column::Amount}});

    // The groups are the catalogue's: a material's parent and the parent's parent. Sorting
    // by them keeps each group together even where codes of several levels interleave.
    QSqlQuery q = db.exec(QStringLiteral(
        "SELECT Z.CLBH, C.CLMC, C.CLGG, C.JZDW, Z.KCDJ, Z.KCSL, Z.KCJE, "
        "P.CLBH, P.CLMC, G.CLBH, G.CLMC FROM ZWCSH Z "
        "LEFT JOIN CLJBXXB C ON C.CLBH = Z.CLBH LEFT JOIN CLJBXXB P ON P.CLBH = C.SJBH "
        "LEFT JOIN CLJBXXB G ON G.CLBH = P.SJBH "
        "ORDER BY G.CLBH, P.CLBH, Z.CLBH, Z.ID"));
    struct Group
    {
        QString code;
        QString name;
        Decimal amount;
        bool open = false;
    };
    Group parent;
    Group grandparent;
    Decimal total;
    const auto closeGroup = [&table](Group &g, const QString &suffix, ReportTable::RowStyle style) {
        if (!g.open)
            return;
        table.addRow({g.code, g.name + suffix, {}, {}, {}, {}, ReportTable::figure(g.amount)},
                     style);
        g = Group{};
    };
    while (q.next()) {
        const QString parentCode = q.value(7).toString();
        const QString grandparentCode = q.value(9).toString();
        if (parent.open && parent.code != parentCode)
            closeGroup(parent, QStringLiteral(" 小计"), ReportTable::RowStyle::Subtotal);
        if (grandparent.open && grandparent.code != grandparentCode)
            closeGroup(grandparent, QStringLiteral(" 合计"), ReportTable::RowStyle::Total);
        const Decimal amount = Decimal::fromVariant(q.value(6));
        if (!parentCode.isEmpty()) {
            parent.open = true;
            parent.code = parentCode;
            parent.name = q.value(8).toString();
            parent.amount += amount;
        }
        if (!grandparentCode.isEmpty()) {
            grandparent.open = true;
            grandparent.code = grandparentCode;
            grandparent.name = q.value(10).toString();
            grandparent.amount += amount;
        }
        total += amount;
        table.addRow(
            {q.value(0), q.value(1), q.value(2), q.value(3), ReportTable::figureOrEmpty(q.value(4)),
             ReportTable::figureOrEmpty(q.value(5)), ReportTable::figureOrEmpty(q.value(6))});
    }
    closeGroup(parent, QStringLiteral(" 小计"), ReportTable::RowStyle::Subtotal);
    closeGroup(grandparent, QStringLiteral(" 合计"), ReportTable::RowStyle::Total);
    if (!table.isEmpty())
        table.addRow({QStringLiteral("0"),
                      QStringLiteral("全部材料 总计"),
                      {},
                      {},
                      {},
                      {},
                      ReportTable::figure(total)},
                     ReportTable::RowStyle::Total);
    return table;
}

} // namespace varnock::MasterLists
