#include "ledger/stockcount.h"

#include "ledger/costengine.h"
#include "store/database.h"
#include "store/errors.h"
#include "vouchers/voucherbook.h"

namespace varnock {

const QString StockCount::NoQuantityText =
    QStringLiteral("数量查询未输入数据查询条件，数量按零查询");
const QString StockCount::NoAmountText = QStringLiteral("金额查询未输入金额查询条件，金额按零查询");
const QStringList StockCount::Operators = {QStringLiteral("="),  QStringLiteral(">"),
                                           QStringLiteral("<"),  QStringLiteral(">="),
                                           QStringLiteral("<="), QStringLiteral("<>")};

struct StockCount::Book
{
    bool planned = false;
    Decimal plannedPrice;
    Decimal quantity;
    Decimal amount; // at plan for a planned-price material
};

namespace {

// The comparison, checked against the fixed list: it becomes part of the statement.
QString comparison(const QString &op, const QString &column)
{
    const QString trimmed = op.trimmed();
    if (!StockCount::Operators.contains(trimmed))
        throw Refusal(QStringLiteral("提示"), QStringLiteral("查询条件有误：") + op);
    return QStringLiteral(" AND %1 %2 ?").arg(column, trimmed);
}

} // namespace

StockCount::StockCount(Database &db, int accountingMode, const Formats &formats)
    : m_db(db)
    , m_mode(accountingMode)
    , m_formats(formats)
{}

QList<StockCount::Row> StockCount::rows() const
{
    return rows(Filter());
}

QList<StockCount::Row> StockCount::rows(const Filter &filter) const
{
    QString sql = QStringLiteral("SELECT K.CLBH, C.CLMC, C.CLGG, C.JZDW, K.KCSL, "
                                 "CASE WHEN C.JJFS <> 0 THEN SMUL(K.KCSL, C.JHDJ, ?) "
                                 "ELSE K.KCJE END "
                                 "FROM KC K JOIN CLJBXXB C ON C.CLBH = K.CLBH WHERE 1 = 1");
    QVariantList values{m_formats.amountDecimals()};
    if (filter.by == Filter::By::Code) {
        sql += QStringLiteral(" AND K.CLBH LIKE ? ESCAPE '\\'");
        values << Database::likeEscaped(filter.text.trimmed()) + QLatin1Char('%');
    } else if (filter.by == Filter::By::Name) {
        sql += QStringLiteral(" AND C.CLMC LIKE ? ESCAPE '\\'");
        values << Database::likeEscaped(filter.text.trimmed()) + QLatin1Char('%');
    }
    if (!filter.quantityOperator.trimmed().isEmpty()) {
        sql += comparison(filter.quantityOperator, QStringLiteral("K.KCSL"));
        values << filter.quantity.toVariant();
    }
    if (!filter.amountOperator.trimmed().isEmpty()) {
        sql += comparison(filter.amountOperator, QStringLiteral("K.KCJE"));
        values << filter.amount.toVariant();
    }
    sql += QStringLiteral(" ORDER BY K.CLBH");
    QList<Row> rows;
    Query q = m_db.query(sql, values);
    while (q.next()) {
        rows.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                     q.value(3).toString(), Decimal::fromVariant(q.value(4)),
                     Decimal::fromVariant(q.value(5))});
    }
    return rows;
}

QList<OperationStep> StockCount::steps(const QDate &day) const
{
    const std::optional<QDate> latest = VoucherBook(m_db).latestClosing();
    if (latest && *latest >= day) {
        return {OperationStep::refusal(QStringLiteral("提示窗口！！！"),
                                       QStringLiteral("系统日期至少大于月结日期！！！\n"
                                                      "请修改系统日期！！！"))};
    }
    return {};
}

std::optional<StockCount::Book> StockCount::book(const QString &clbh) const
{
    Query q = m_db.query(QStringLiteral("SELECT K.KCSL, K.KCJE, C.JJFS, C.JHDJ FROM KC K "
                                        "LEFT JOIN CLJBXXB C ON C.CLBH = K.CLBH "
                                        "WHERE K.CLBH = ?"),
                         {clbh});
    if (!q.next())
        return std::nullopt;
    Book b;
    b.quantity = Decimal::fromVariant(q.value(0));
    b.planned = q.value(2).toInt() != 0;
    b.plannedPrice = Decimal::fromVariant(q.value(3));
    b.amount = b.planned ? m_formats.amountAt(b.quantity, b.plannedPrice)
                         : Decimal::fromVariant(q.value(1));
    return b;
}

QList<StockCount::Booked> StockCount::save(const QList<Counted> &lines, const QDate &day)
{
    Transaction tx(m_db);
    OperationStep::throwRefusal(steps(day));
    const QString dayText = VoucherBook::dateText(day);
    QList<Booked> booked;
    for (const Counted &line : lines) {
        const QString clbh = line.clbh.trimmed();
        if (line.quantity.isNegative())
            throw Refusal(QStringLiteral("提示"), QStringLiteral("盘存数量不能小于零：") + clbh);
        const std::optional<Book> b = book(clbh);
        if (!b)
            throw Refusal(QStringLiteral("提示"), QStringLiteral("库存中没有该材料：") + clbh);
        Counted counted = line;
        counted.clbh = clbh;
        counted.quantity = m_formats.roundQuantity(line.quantity);
        if (counted.quantity == b->quantity)
            continue;
        if (m_mode != CostEngine::FirstInFirstOut)
            booked.append(bookAverage(*b, counted, dayText));
        else if (counted.quantity < b->quantity)
            booked.append(bookDeficit(*b, counted, dayText));
        else
            booked.append(bookSurplus(*b, counted, dayText));
    }
    tx.commit();
    return booked;
}

StockCount::Booked StockCount::bookAverage(const Book &b, const Counted &line, const QString &day)
{
    const Decimal d = line.quantity - b.quantity;
    Decimal amount;
    Decimal stockAmount;
    if (b.planned) {
        amount = m_formats.amountAt(d, b.plannedPrice);
        stockAmount = m_formats.amountAt(line.quantity, b.plannedPrice);
    } else {
        // At the book average; counting a material down to nothing takes its whole amount, so
        // that no value stays behind without quantity.
        if (line.quantity.isZero())
            amount = -b.amount;
        else if (!b.quantity.isZero())
            amount = m_formats.roundAmount(Decimal::mulDiv(d, b.amount, b.quantity));
        stockAmount = b.amount + amount;
    }
    m_db.query(QStringLiteral("INSERT INTO PYK (CLBH, RQ, PDSL, PDJE) VALUES (?, ?, ?, ?)"),
               {line.clbh, day, d.toVariant(), amount.toVariant()});
    m_db.query(QStringLiteral("UPDATE KC SET KCSL = ?, KCJE = ? WHERE CLBH = ?"),
               {line.quantity.toVariant(), stockAmount.toVariant(), line.clbh});
    return {line.clbh, b.quantity, d, amount};
}

StockCount::Booked StockCount::bookDeficit(const Book &b, const Counted &line, const QString &day)
{
    const Decimal taken = b.quantity - line.quantity;
    m_db.query(QStringLiteral("INSERT INTO LLD (CLBH, SJSL, CZRQ, ZL, JZBZ, ZJZC) "
                              "VALUES (?, ?, ?, '1', 1, 0)"),
               {line.clbh, taken.toVariant(), day});
    const qint64 lldId = m_db.scalar(QStringLiteral("SELECT MAX(ID) FROM LLD")).toLongLong();
    CostEngine(m_db, m_mode, m_formats).removeIssueLineFromStock(lldId);
    const Decimal cost = Decimal::fromVariant(
        m_db.scalar(QStringLiteral("SELECT SJJE FROM LLD WHERE ID = ?"), {lldId}));

    // One row per unit price drawn, so that the closing's stock per price loses exactly what
    // the count took from each layer; the last row carries the rounding rest of the cost.
    struct Part
    {
        Decimal price;
        Decimal quantity;
        Decimal amount;
    };
    QList<Part> parts;
    if (b.planned) {
        parts.append({b.plannedPrice, taken, cost});
    } else {
        Query q = m_db.query(QStringLiteral("SELECT A.P, SUM(A.Q) FROM ("
                                            "SELECT R.SJDJ AS P, X.CKSL AS Q FROM XJXCSJB X "
                                            "JOIN RKD R ON R.ID = X.RKID WHERE X.CKID = ? "
                                            "UNION ALL SELECT Z.KCDJ, X.CKSL FROM XJXCSJB X "
                                            "JOIN ZWCSH Z ON Z.ID = X.CSHID WHERE X.CKID = ?) AS A "
                                            "GROUP BY A.P ORDER BY A.P"),
                             {lldId, lldId});
        Decimal rest = cost;
        while (q.next()) {
            const Decimal price = Decimal::fromVariant(q.value(0));
            const Decimal quantity = Decimal::fromVariant(q.value(1));
            const Decimal amount = m_formats.amountAt(quantity, price);
            parts.append({price, quantity, amount});
            rest -= amount;
        }
        if (parts.isEmpty())
            parts.append({Decimal(), taken, Decimal()});
        parts.last().amount += rest;
    }
    for (const Part &p : std::as_const(parts)) {
        m_db.query(QStringLiteral("INSERT INTO PYK (CLBH, RQ, PDDJ, PDSL, PDJE) "
                                  "VALUES (?, ?, ?, ?, ?)"),
                   {line.clbh, day, p.price.toVariant(), (-p.quantity).toVariant(),
                    (-p.amount).toVariant()});
    }
    return {line.clbh, b.quantity, -taken, -cost};
}

StockCount::Booked StockCount::bookSurplus(const Book &b, const Counted &line, const QString &day)
{
    const Decimal d = line.quantity - b.quantity;
    // A planned-price material enters at plan, as its receipts do.
    const Decimal price = b.planned ? b.plannedPrice : line.unitPrice;
    const Decimal amount = m_formats.amountAt(d, price);
    m_db.query(QStringLiteral("INSERT INTO RKD (CLBH, CZRQ, SJDJ, SJSL, SJJE, JZBZ, GYSBH) "
                              "VALUES (?, ?, ?, ?, ?, 1, ' ')"),
               {line.clbh, day, price.toVariant(), d.toVariant(), amount.toVariant()});
    const qint64 rkdId = m_db.scalar(QStringLiteral("SELECT MAX(ID) FROM RKD")).toLongLong();
    m_db.query(
        QStringLiteral("INSERT INTO PYK (CLBH, RQ, PDDJ, PDSL, PDJE) VALUES (?, ?, ?, ?, ?)"),
        {line.clbh, day, price.toVariant(), d.toVariant(), amount.toVariant()});
    CostEngine(m_db, m_mode, m_formats).addReceiptLineToStock(rkdId);
    return {line.clbh, b.quantity, d, amount};
}

} // namespace varnock
