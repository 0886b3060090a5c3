#include "plans/plans.h"

#include "store/database.h"
#include "store/limits.h"
#include "store/rowreader.h"
#include "vouchers/voucherbook.h"

#include <QSqlQuery>

namespace varnock {

namespace {

const QString Title = QStringLiteral("提示");

VoucherService::Table familyTable()
{
    VoucherService::Table t{QStringLiteral("CLJH"), QStringLiteral("CZRQ"), {}, {}, {}};
    t.systemColumn = QStringLiteral("CZRQ");
    t.ledger = false;
    return t;
}

VoucherService::Rules familyRules()
{
    const Refusal none(Title, QString());
    return {none, none, QStringLiteral("该日期没有计划！"), false};
}

} // namespace

const QString Plans::ListName = QStringLiteral("计划数量填写资料");

Plans::Plans(Database &db, const Formats &formats)
    : VoucherFamily(db, familyTable(), familyRules(), QString(), 0, formats)
{}

QVariant Plans::storedKey(qint64 key) const
{
    return VoucherBook::dateText(dateOf(key));
}

QList<Refusal> Plans::refusals(const PlanVoucher &v) const
{
    QList<Refusal> found;
    if (!v.czrq.isValid())
        found.append(Refusal(Title, QStringLiteral("请选择计划日期！")));
    else if (const std::optional<QString> problem = VoucherBook::dateProblem(v.czrq))
        found.append(Refusal(Title, *problem));
    // Each line needs a material of the catalogue and a quantity; a plan of 0 is a plan.
    for (int row = 0; row < v.lines.size(); ++row) {
        const PlanLine &line = v.lines.at(row);
        if (!line.hasMaterial() && line.quantity.isZero() && line.bz.trimmed().isEmpty())
            continue;
        const Decimal quantity = formats().roundQuantity(line.quantity);
        if (!line.hasMaterial() || !isMaterial(line.clbh) || quantity.isNegative() ||
            Limits::figureProblem(Limits::Figure::Quantity, quantity)) {
            found.append(Refusal(Title, QStringLiteral("第 ") + QString::number(row + 1) +
                                            QStringLiteral(" 数据输入错误")));
            return found;
        }
    }
    return found;
}

QList<VoucherService::Row> Plans::rows(const PlanVoucher &v, qint64) const
{
    QList<Row> rows;
    for (const PlanLine &line : v.lines) {
        if (!line.hasMaterial())
            continue;
        rows.append(Row(line.id)
                        .set("CLBH", line.clbh.trimmed())
                        .set("SL", formats().roundQuantity(line.quantity).toVariant())
                        .set("BZ", line.bz));
    }
    return rows;
}

std::optional<PlanVoucher> Plans::load(qint64 key) const
{
    PlanVoucher v;
    v.xtbh = key;
    v.czrq = dateOf(key);
    QSqlQuery q = database().exec(QStringLiteral("SELECT P.ID, P.CLBH, C.CLMC, C.CLGG, C.JZDW, "
                                                 "P.SL, P.BZ, P.SJDD FROM CLJH P "
                                                 "LEFT JOIN CLJBXXB C ON C.CLBH = P.CLBH "
                                                 "WHERE P.CZRQ = ? ORDER BY P.CLBH, P.ID"),
                                  {storedKey(key)});
    while (q.next()) {
        PlanLine l;
        readRow(q, l.id, l.clbh, l.clmc, l.clgg, l.jzdw, l.quantity, l.bz, l.sjdd);
        v.lines.append(l);
    }
    if (v.lines.isEmpty())
        return std::nullopt;
    return v;
}

void Plans::removeLine(qint64 id) const
{
    Transaction tx(database());
    database().exec(QStringLiteral("DELETE FROM CLJH WHERE ID = ?"), {id});
    tx.commit();
}

QList<PlanQueryRow> Plans::find(const PlanConditions &c) const
{
    if (c.from > c.to)
        throw Refusal(Title, QStringLiteral("起始日期不可大以终始日期"));
    QString where = QStringLiteral("P.CZRQ BETWEEN ? AND ?");
    QVariantList values{VoucherBook::dateText(c.from), VoucherBook::dateText(c.to)};
    if (!c.clbh.trimmed().isEmpty()) {
        where += QStringLiteral(" AND P.CLBH = ?");
        values << c.clbh.trimmed();
    } else if (!c.bz.trimmed().isEmpty()) {
        where += QStringLiteral(" AND P.BZ = ?");
        values << c.bz.trimmed();
    } else if (!c.category.trimmed().isEmpty()) {
        // Through the tree: a material of the category, or of one of its categories.
        where += QStringLiteral(" AND (C.SJBH = ? OR C.SJBH IN "
                                "(SELECT CLBH FROM CLJBXXB WHERE SJBH = ?))");
        values << c.category.trimmed() << c.category.trimmed();
    }
    return readRows<PlanQueryRow>(
        database().exec(QStringLiteral("SELECT P.CLBH, C.CLMC, C.CLGG, C.JZDW, C.JHDJ, P.SL, "
                                       "SMUL(P.SL, C.JHDJ, 4), P.CZRQ, P.BZ, "
                                       "(SELECT SUM(K.JE) FROM CLKVMT K WHERE K.CLBH = P.CLBH "
                                       "AND K.CZRQ = P.CZRQ) FROM CLJH P "
                                       "LEFT JOIN CLJBXXB C ON C.CLBH = P.CLBH WHERE ") +
                            where + QStringLiteral(" ORDER BY P.CLBH, P.CZRQ, P.ID"),
                        values),
        &PlanQueryRow::clbh, &PlanQueryRow::clmc, &PlanQueryRow::clgg, &PlanQueryRow::jzdw,
        &PlanQueryRow::jhdj, &PlanQueryRow::sl, &PlanQueryRow::jhje, &PlanQueryRow::czrq,
        &PlanQueryRow::bz, &PlanQueryRow::clje);
}

ReportTable Plans::queryReport(const QList<PlanQueryRow> &rows)
{
    using Column = ReportTable::Column;
    ReportTable table(
        QStringLiteral("工程材料计划单查询"), QStringLiteral("工程材料计划单查询"),
        {{QStringLiteral("XH"), QStringLiteral(" 序 号"), Column::Integer},
         {QStringLiteral("CLBH"), QStringLiteral("    材 料 编 号"), Column::Text},
         {QStringLiteral("CLMC"), QStringLiteral("    材 料 名 称"), Column::Text},
         {QStringLiteral("CLGG"), QStringLiteral("    材 料 规 格"), Column::Text},
         {QStringLiteral("JZDW"), QStringLiteral("    单       位"), Column::Text},
         {QStringLiteral("JHDJ"), QStringLiteral("    计 划 单 价"), Column::Price},
         {QStringLiteral("SL"), QStringLiteral("    数       量"), Column::Quantity},
         {QStringLiteral("JHJE"), QStringLiteral("    计 划 金 额"), Column::Amount},
         {QStringLiteral("CZRQ"), QStringLiteral("    操 作 日 期"), Column::Text},
         {QStringLiteral("BZ"), QStringLiteral("    备       注"), Column::Text},
         {QStringLiteral("CLJE"), QStringLiteral("    处 理 金 额"), Column::Amount}});
    qint64 number = 0;
    for (const PlanQueryRow &r : rows) {
        table.addRow({++number, r.clbh, r.clmc, r.clgg, r.jzdw, ReportTable::figure(r.jhdj),
                      ReportTable::figure(r.sl), ReportTable::figure(r.jhje),
                      VoucherBook::dateText(r.czrq), r.bz, ReportTable::figure(r.clje)});
    }
    return table;
}

ReportTable Plans::list(const ReportPeriod &period) const
{
    using Column = ReportTable::Column;
    using Style = ReportTable::RowStyle;
    ReportTable table(ListName, ListName,
                      {{QStringLiteral("CLBH"), QStringLiteral("材料编号"), Column::Text},
                       {QStringLiteral("CLMC"), QStringLiteral("材料名称"), Column::Text},
                       {QStringLiteral("CLGG"), QStringLiteral("材料规格"), Column::Text},
                       {QStringLiteral("JZDW"), QStringLiteral("单位"), Column::Text},
                       {QStringLiteral("CZRQ"), QStringLiteral("计划日期"), Column::Text},
                       {QStringLiteral("SL"), QStringLiteral("数量"), Column::Quantity},
                       {QStringLiteral("BZ"), QStringLiteral("备注"), Column::Text}});
    table.setPeriod(period);
    QSqlQuery q = database().exec(
        QStringLiteral(
            "SELECT P.CLBH, C.CLMC, C.CLGG, C.JZDW, P.CZRQ, P.SL, P.BZ, "
            "A.CLBH, A.CLMC, G.CLBH, G.CLMC FROM CLJH P "
            "LEFT JOIN CLJBXXB C ON C.CLBH = P.CLBH "
            "LEFT JOIN CLJBXXB A ON A.CLBH = C.SJBH "
            "LEFT JOIN CLJBXXB G ON G.CLBH = A.SJBH "
            "WHERE P.CZRQ BETWEEN ? AND ? ORDER BY G.CLBH, A.CLBH, P.CLBH, P.CZRQ, P.ID"),
        {VoucherBook::dateText(period.from), VoucherBook::dateText(period.to)});
    struct Group
    {
        QString code;
        QString name;
        Decimal sum;
        bool open = false;
    };
    Group parent;
    Group grandparent;
    Decimal total;
    const auto close = [&table](Group &g, const QString &suffix, Style style) {
        if (g.open)
            table.addRow({g.code, g.name + suffix, {}, {}, {}, ReportTable::figure(g.sum)}, style);
        g = Group{};
    };
    const auto add = [](Group &g, const QString &code, const QString &name, Decimal quantity) {
        if (code.isEmpty())
            return;
        g.open = true;
        g.code = code;
        g.name = name;
        g.sum += quantity;
    };
    while (q.next()) {
        if (parent.open && parent.code != q.value(7).toString())
            close(parent, QStringLiteral(" 小计"), Style::Subtotal);
        if (grandparent.open && grandparent.code != q.value(9).toString())
            close(grandparent, QStringLiteral(" 合计"), Style::Total);
        const Decimal quantity = Decimal::fromVariant(q.value(5));
        add(parent, q.value(7).toString(), q.value(8).toString(), quantity);
        add(grandparent, q.value(9).toString(), q.value(10).toString(), quantity);
        total += quantity;
        table.addRow({q.value(0), q.value(1), q.value(2), q.value(3), q.value(4),
                      ReportTable::figure(quantity), q.value(6)});
    }
    if (table.isEmpty())
        return table;
    close(parent, QStringLiteral(" 小计"), Style::Subtotal);
    close(grandparent, QStringLiteral(" 合计"), Style::Total);
    table.addRow({QStringLiteral("0"),
                  QStringLiteral("全部材料 总计"),
                  {},
                  {},
                  {},
                  ReportTable::figure(total)},
                 Style::Total);
    return table;
}

} // namespace varnock
