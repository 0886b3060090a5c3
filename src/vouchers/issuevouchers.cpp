#include "vouchers/issuevouchers.h"

#include "ledger/costengine.h"
#include "store/database.h"
#include "store/limits.h"
#include "vouchers/voucherbook.h"

#include <QHash>
#include <QSet>
#include <QSqlQuery>

namespace varnock {

namespace {

[[noreturn]] void refuse(const QString &title, const QString &text)
{
    throw Refusal(title, text);
}

QString rowText(int row)
{
    return QStringLiteral("第") + QString::number(row + 1);
}

} // namespace

const QString IssueVouchers::Requisition = QStringLiteral("1");
const QString IssueVouchers::TransferOut = QStringLiteral("2");

IssueVouchers::IssueVouchers(Database &db, const QString &zl, int accountingMode,
                             const Formats &formats)
    : m_db(db)
    , m_zl(zl)
    , m_mode(accountingMode)
    , m_fifo(accountingMode == CostEngine::FirstInFirstOut)
    , m_formats(formats)
{}

void IssueVouchers::checkCanOpen() const
{
    VoucherBook(m_db).checkCanOpen();
}

std::optional<QDate> IssueVouchers::latestClosing() const
{
    return VoucherBook(m_db).latestClosing();
}

qint64 IssueVouchers::nextSystemNumber() const
{
    return VoucherBook(m_db).nextSystemNumber(QStringLiteral("LLD"));
}

QString IssueVouchers::proposeDocumentNumber() const
{
    return VoucherBook(m_db).monthlyDocumentNumber(QStringLiteral("LLD"));
}

QStringList IssueVouchers::documentNumbers() const
{
    return VoucherBook(m_db).texts(QStringLiteral("SELECT YSDJH FROM LLD WHERE ZL = ? "
                                                  "GROUP BY YSDJH ORDER BY YSDJH"),
                                   {m_zl});
}

QStringList IssueVouchers::sites() const
{
    return VoucherBook(m_db).texts(QStringLiteral("SELECT DISTINCT SGBW FROM LLD ORDER BY SGBW"));
}

QStringList IssueVouchers::buildings() const
{
    return VoucherBook(m_db).texts(QStringLiteral("SELECT DISTINCT DH FROM LLD ORDER BY DH"));
}

std::optional<QString> IssueVouchers::unitName(const QString &lldwbh) const
{
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT MC FROM LLDW WHERE BH = ?"), {lldwbh.trimmed()});
    if (lldwbh.trimmed().isEmpty() || !q.next())
        return std::nullopt;
    return q.value(0).toString();
}

IssueVouchers::Conversion IssueVouchers::conversionOf(const QString &clbh) const
{
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT HSDW, HSXS FROM CLJBXXB WHERE CLBH = ?"),
                            {clbh.trimmed()});
    Conversion c;
    if (q.next()) {
        c.hsdw = q.value(0).toString().trimmed();
        c.hsxs = q.value(1).toDouble();
    }
    return c;
}

IssueVouchers::StoredFigures IssueVouchers::storedFigures(const IssueLine &line) const
{
    StoredFigures f;
    f.sjsl = line.quantity;
    f.sjdj = line.price;
    if (line.inConversionUnit() && line.hsxs > 0) {
        f.sjsl = line.quantity.timesFactor(line.hsxs);
        f.sjdj = line.price / Decimal::fromDouble(line.hsxs);
    }
    f.sjsl = m_formats.roundQuantity(f.sjsl);
    f.sjdj = m_formats.roundAmount(f.sjdj);
    f.sjje = m_formats.roundAmount(line.amount);
    // Under first in first out the posting costs the line; nothing is priced before.
    if (m_fifo) {
        f.sjdj = Decimal();
        f.sjje = Decimal();
    }
    return f;
}

void IssueVouchers::priceLine(IssueLine &line) const
{
    if (!line.hasMaterial())
        return;
    const QString clbh = line.clbh.trimmed();
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT KCSL, KCJE FROM KC WHERE CLBH = ?"), {clbh});
    line.stockQuantity = q.next() ? Decimal::fromVariant(q.value(0)) : Decimal();
    line.stockAmount = q.isValid() ? Decimal::fromVariant(q.value(1)) : Decimal();
    q.finish();
    if (m_fifo) {
        line.price = Decimal();
        line.amount = Decimal();
        return;
    }
    const bool converted = line.inConversionUnit() && line.hsxs > 0;
    const Decimal quantity = converted ? line.quantity.timesFactor(line.hsxs) : line.quantity;
    const CostEngine::IssuePrice p =
        CostEngine(m_db, m_mode, m_formats).priceIssueLine(clbh, quantity);
    line.price =
        converted ? m_formats.roundAmount(p.unitPrice.timesFactor(line.hsxs)) : p.unitPrice;
    line.amount = p.amount;
}

void IssueVouchers::price(IssueVoucher &voucher) const
{
    for (IssueLine &line : voucher.lines)
        priceLine(line);
}

QList<Refusal> IssueVouchers::refusals(const IssueVoucher &v, bool firstOnly) const
{
    const QString title = QStringLiteral("提示窗口");
    QList<Refusal> found;
    const auto stop = [&] { return firstOnly && !found.isEmpty(); };
    // A code that names no unit is as wrong as none: the voucher would drop out of every
    // list that shows the unit's name.
    if (!unitName(v.lldwbh))
        found.append(Refusal(title, QStringLiteral("请选择单位名称！")));
    if (stop())
        return found;
    if (const auto problem = VoucherBook::dateProblem(v.czrq))
        found.append(Refusal(title, *problem));
    const std::optional<QDate> closing = latestClosing();
    if (!v.czrq.isValid() || (closing && v.czrq <= *closing))
        found.append(Refusal(title, QStringLiteral("操作日期应大于月结时间，请选择其他日期！")));
    if (stop())
        return found;
    bool anyLine = false;
    for (const IssueLine &line : v.lines)
        anyLine = anyLine || line.hasMaterial();
    if (!anyLine) {
        found.append(
            Refusal(QStringLiteral("提示窗口！！！"), QStringLiteral("数据库里没有数据！！！")));
        return found;
    }

    QStringList rows;
    for (int row = 0; row < v.lines.size(); ++row) {
        const IssueLine &line = v.lines.at(row);
        if (!line.hasMaterial())
            continue;
        if (m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM CLJBXXB WHERE CLBH = ? AND SFMJ <> 0"),
                        {line.clbh.trimmed()})
                .toLongLong() == 0) {
            rows.append(rowText(row) + QStringLiteral("行材料编号不存在!"));
            continue;
        }
        if (line.inConversionUnit() && !(line.hsxs > 0)) {
            rows.append(rowText(row) + QStringLiteral("行换算系数无效!"));
            continue;
        }
        // A negative quantity would put goods back into stock behind the returns' back.
        const Decimal quantity = storedFigures(line).sjsl;
        if (quantity.isZero() || quantity.isNegative())
            rows.append(rowText(row) + QStringLiteral("行请输入数据!"));
        else if (const auto problem = Limits::figureProblem(Limits::Figure::Quantity, quantity))
            rows.append(rowText(row) + QStringLiteral("行") + *problem);
    }
    if (!rows.isEmpty())
        found.append(Refusal(title, rows.join(QLatin1Char('\n'))));
    return found;
}

QStringList IssueVouchers::validate(const IssueVoucher &v) const
{
    QStringList messages;
    for (const Refusal &r : refusals(v, false))
        messages.append(r.text.split(QLatin1Char('\n')));
    return messages;
}

void IssueVouchers::refuseIfInvalid(const IssueVoucher &voucher) const
{
    const QList<Refusal> found = refusals(voucher, true);
    if (!found.isEmpty())
        throw found.first();
}

void IssueVouchers::insertLine(qint64 xtbh, const IssueVoucher &v, const IssueLine &line)
{
    const StoredFigures f = storedFigures(line);
    m_db.exec(QStringLiteral("INSERT INTO LLD (XTBH, YSDJH, LLDWBH, CZRQ, SGBW, DH, CLBH, SJDJ, "
                             "SJSL, SJJE, ZL, BZ) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
              {xtbh, v.ysdjh, v.lldwbh.trimmed(), VoucherBook::dateText(v.czrq), v.sgbw, v.dh,
               line.clbh.trimmed(), f.sjdj.toVariant(), f.sjsl.toVariant(), f.sjje.toVariant(),
               m_zl, line.bz});
}

qint64 IssueVouchers::saveNew(const IssueVoucher &voucher)
{
    Transaction tx(m_db);
    refuseIfInvalid(voucher);
    // Drawn now, not when the voucher was begun, so two vouchers never share a number.
    const qint64 xtbh = nextSystemNumber();
    for (const IssueLine &line : voucher.lines) {
        if (line.hasMaterial())
            insertLine(xtbh, voucher, line);
    }
    tx.commit();
    return xtbh;
}

bool IssueVouchers::isPosted(qint64 xtbh) const
{
    return m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM LLD WHERE XTBH = ? AND JZBZ <> 0"),
                       {xtbh})
               .toLongLong() > 0;
}

void IssueVouchers::refuseIfNotEditable(qint64 xtbh) const
{
    const QString title = QStringLiteral("提示");
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT COUNT(*), SUM(CASE WHEN ZL = ? THEN 1 ELSE 0 "
                                           "END), MAX(JZBZ), MAX(ZJZC) FROM LLD WHERE XTBH = ?"),
                            {m_zl, xtbh});
    q.next();
    if (q.value(0).toLongLong() == 0 || q.value(1).toLongLong() != q.value(0).toLongLong())
        refuse(title, QStringLiteral("该单据不存在！"));
    if (q.value(2).toInt() != 0)
        refuse(title, QStringLiteral("该单据已经记账，不允许修改！"));
    // A direct delivery is one with its stock-in half; it is changed only together with it.
    if (q.value(3).toInt() != 0)
        refuse(title, QStringLiteral("直进直出单据不允许在此修改！"));
}

Decimal IssueVouchers::returnedQuantity(qint64 lineId) const
{
    return Decimal::fromVariant(
        m_db.scalar(QStringLiteral("SELECT SUM(THSL) FROM TKD WHERE LLID = ?"), {lineId}));
}

void IssueVouchers::saveEdit(const IssueVoucher &voucher)
{
    Transaction tx(m_db);
    refuseIfNotEditable(voucher.xtbh);
    refuseIfInvalid(voucher);

    struct Stored
    {
        QString clbh;
        bool returned = false;
    };
    QHash<qint64, Stored> stored;
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT ID, CLBH, (SELECT COUNT(*) FROM TKD "
                                           "WHERE TKD.LLID = LLD.ID) FROM LLD WHERE XTBH = ?"),
                            {voucher.xtbh});
    while (q.next())
        stored.insert(q.value(0).toLongLong(),
                      {q.value(1).toString().trimmed(), q.value(2).toLongLong() > 0});
    q.finish();

    // Return lines point at issue lines by ID: such a line keeps its ID and its material and
    // never issues less than was returned.
    const QString title = QStringLiteral("提示");
    QSet<qint64> kept;
    for (int row = 0; row < voucher.lines.size(); ++row) {
        const IssueLine &line = voucher.lines.at(row);
        if (!line.hasMaterial() || line.id == 0)
            continue;
        if (!stored.contains(line.id))
            throw StoreError(QStringLiteral("LLD line %1 is not part of voucher %2")
                                 .arg(line.id)
                                 .arg(voucher.xtbh));
        kept.insert(line.id);
        const Stored &s = stored.value(line.id);
        if (!s.returned)
            continue;
        if (s.clbh != line.clbh.trimmed())
            refuse(title, rowText(row) + QStringLiteral("行已做退库，不能更换材料！"));
        if (storedFigures(line).sjsl < returnedQuantity(line.id))
            refuse(title, rowText(row) + QStringLiteral("行出库数量不能小于已退库数量！"));
    }
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        if (it.value().returned && !kept.contains(it.key()))
            refuse(title, QStringLiteral("材料") + it.value().clbh +
                              QStringLiteral("已做退库，不能删除！"));
    }

    for (const IssueLine &line : voucher.lines) {
        if (!line.hasMaterial())
            continue;
        if (line.id == 0) {
            insertLine(voucher.xtbh, voucher, line);
            continue;
        }
        const StoredFigures f = storedFigures(line);
        m_db.exec(QStringLiteral("UPDATE LLD SET YSDJH = ?, LLDWBH = ?, CZRQ = ?, SGBW = ?, "
                                 "DH = ?, CLBH = ?, SJDJ = ?, SJSL = ?, SJJE = ?, BZ = ? "
                                 "WHERE ID = ?"),
                  {voucher.ysdjh, voucher.lldwbh.trimmed(), VoucherBook::dateText(voucher.czrq),
                   voucher.sgbw, voucher.dh, line.clbh.trimmed(), f.sjdj.toVariant(),
                   f.sjsl.toVariant(), f.sjje.toVariant(), line.bz, line.id});
    }
    // Lines taken off the grid go too: the voucher is what the grid shows.
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        if (!kept.contains(it.key()))
            m_db.exec(QStringLiteral("DELETE FROM LLD WHERE ID = ?"), {it.key()});
    }
    tx.commit();
}

void IssueVouchers::remove(qint64 xtbh)
{
    Transaction tx(m_db);
    refuseIfNotEditable(xtbh);
    if (m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM TKD WHERE LLID IN "
                                   "(SELECT ID FROM LLD WHERE XTBH = ?)"),
                    {xtbh})
            .toLongLong() > 0)
        refuse(QStringLiteral("提示"), QStringLiteral("该单据已做退库，不能删除！"));
    m_db.exec(QStringLiteral("DELETE FROM LLD WHERE XTBH = ?"), {xtbh});
    tx.commit();
}

std::optional<IssueVoucher> IssueVouchers::load(qint64 xtbh) const
{
    QSqlQuery q = m_db.exec(
        QStringLiteral("SELECT L.ID, L.YSDJH, L.LLDWBH, W.MC, L.CZRQ, L.SGBW, L.DH, L.CLBH, "
                       "C.CLMC, C.CLGG, C.JZDW, C.HSDW, C.HSXS, C.JJFS, L.SJDJ, L.SJSL, L.SJJE, "
                       "L.BZ, L.JZBZ, K.KCSL, K.KCJE FROM LLD L "
                       "LEFT JOIN CLJBXXB C ON C.CLBH = L.CLBH "
                       "LEFT JOIN LLDW W ON W.BH = L.LLDWBH "
                       "LEFT JOIN KC K ON K.CLBH = L.CLBH "
                       "WHERE L.XTBH = ? AND L.ZL = ? AND L.CZBZ = 0 ORDER BY L.ID"),
        {xtbh, m_zl});
    IssueVoucher v;
    v.xtbh = xtbh;
    bool any = false;
    while (q.next()) {
        if (!any) {
            v.ysdjh = q.value(1).toString();
            v.lldwbh = q.value(2).toString();
            v.lldwmc = q.value(3).toString();
            v.czrq = VoucherBook::dateOf(q.value(4));
            v.sgbw = q.value(5).toString();
            v.dh = q.value(6).toString();
            any = true;
        }
        IssueLine line;
        line.id = q.value(0).toLongLong();
        line.clbh = q.value(7).toString();
        line.clmc = q.value(8).toString();
        line.clgg = q.value(9).toString();
        line.jzdw = q.value(10).toString();
        line.materialHsdw = q.value(11).toString().trimmed();
        line.hsxs = q.value(12).toDouble();
        line.plannedPrice = q.value(13).toInt() != 0;
        // Stored lines are in the accounting unit.
        line.price = Decimal::fromVariant(q.value(14));
        line.quantity = Decimal::fromVariant(q.value(15));
        line.amount = Decimal::fromVariant(q.value(16));
        line.bz = q.value(17).toString();
        if (q.value(18).toInt() != 0)
            v.posted = true;
        line.stockQuantity = Decimal::fromVariant(q.value(19));
        line.stockAmount = Decimal::fromVariant(q.value(20));
        v.lines.append(line);
    }
    if (!any)
        return std::nullopt;
    return v;
}

QList<IssueListRow> IssueVouchers::list(const QString &where, const QVariantList &values) const
{
    QString sql = QStringLiteral("SELECT L.XTBH, MAX(L.JZBZ), L.YSDJH, L.CZRQ, L.LLDWBH, W.MC, "
                                 "L.SGBW, L.DH FROM LLD L LEFT JOIN LLDW W ON W.BH = L.LLDWBH "
                                 "WHERE L.ZL = ? AND L.ZJZC = 0");
    if (!where.isEmpty())
        sql += QStringLiteral(" AND ") + where;
    sql += QStringLiteral(" GROUP BY L.XTBH, L.YSDJH, L.CZRQ, L.LLDWBH, W.MC, L.SGBW, L.DH "
                          "ORDER BY L.XTBH");
    QVariantList all{m_zl};
    all.append(values);
    QSqlQuery q = m_db.exec(sql, all);
    QList<IssueListRow> rows;
    while (q.next()) {
        IssueListRow row;
        row.xtbh = q.value(0).toLongLong();
        row.posted = q.value(1).toInt() != 0;
        row.ysdjh = q.value(2).toString();
        row.czrq = VoucherBook::dateOf(q.value(3));
        row.lldwbh = q.value(4).toString();
        row.lldwmc = q.value(5).toString();
        row.sgbw = q.value(6).toString();
        row.dh = q.value(7).toString();
        rows.append(row);
    }
    return rows;
}

QList<IssueListRow> IssueVouchers::currentMonth() const
{
    FinderConditions c;
    c.currentMonth(QStringLiteral("L.CZRQ"));
    return list(c.where(), c.values());
}

QList<IssueListRow> IssueVouchers::find(const IssueConditions &c) const
{
    FinderConditions f;
    f.equal(QStringLiteral("L.LLDWBH"), c.lldwbh);
    f.equal(QStringLiteral("L.SGBW"), c.sgbw);
    f.equal(QStringLiteral("L.YSDJH"), c.ysdjh);
    f.equal(QStringLiteral("L.DH"), c.dh);
    f.equal(QStringLiteral("L.CLBH"), c.clbh);
    f.between(QStringLiteral("L.CZRQ"), c.from, c.to);
    return list(f.where(), f.values());
}

QDate IssueVouchers::finderStart() const
{
    return VoucherBook(m_db).finderStart();
}

} // namespace varnock
