#include "master/openingbalances.h"

#include "store/database.h"
#include "store/errors.h"

#include <QSqlQuery>

namespace varnock {

const QString OpeningBalances::Title = QStringLiteral("提示");
const QString OpeningBalances::ClosedText = QStringLiteral("已经做过业务不允许再做初始化！！！");
const QString OpeningBalances::EmptyFigures = QStringLiteral("具体数据不允许为空！");

OpeningBalances::OpeningBalances(Database &db, int mode, const Formats &formats)
    : m_db(db)
    , m_fifo(mode == 1)
    , m_formats(formats)
{}

QList<OpeningBalances::Row> OpeningBalances::rows() const
{
    QList<Row> rows;
    QSqlQuery q = m_db.exec(QStringLiteral(
        "SELECT ZWCSH.ID, CLJBXXB.CLBH, CLJBXXB.CLMC, CLJBXXB.CLGG, CLJBXXB.JZDW, CLJBXXB.JJFS, "
        "ZWCSH.KCDJ, ZWCSH.KCSL, ZWCSH.KCJE, CLJBXXB.JHDJ FROM CLJBXXB INNER JOIN ZWCSH "
        "ON CLJBXXB.CLBH = ZWCSH.CLBH ORDER BY ZWCSH.ID"));
    while (q.next()) {
        Row row;
        row.id = q.value(0).toLongLong();
        row.clbh = q.value(1).toString();
        row.clmc = q.value(2).toString();
        row.clgg = q.value(3).toString();
        row.jzdw = q.value(4).toString();
        row.jjfs = q.value(5).toInt() != 0;
        row.kcdj = Decimal::fromVariant(q.value(6));
        row.kcsl = Decimal::fromVariant(q.value(7));
        row.kcje = Decimal::fromVariant(q.value(8));
        row.jhdj = Decimal::fromVariant(q.value(9));
        rows.append(row);
    }
    return rows;
}

Decimal OpeningBalances::total() const
{
    return Decimal::fromVariant(m_db.scalar(QStringLiteral("SELECT SUM(KCJE) FROM ZWCSH")));
}

bool OpeningBalances::isClosed() const
{
    return m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM YJSJB")).toInt() != 0;
}

void OpeningBalances::refuseWhenClosed() const
{
    if (isClosed())
        throw Refusal(Title, ClosedText);
}

OpeningBalances::Checked OpeningBalances::checked(const Figures &f) const
{
    if (!f.price || !f.quantity || !f.amount)
        throw Refusal(Title, EmptyFigures);
    // A negative opening stock has nothing to issue from and would turn the first layer
    // and the stock upside down.
    if (f.quantity->isNegative())
        throw Refusal(Title, QStringLiteral("库存数量不允许为负数！"));
    if (f.price->isNegative() || f.amount->isNegative())
        throw Refusal(Title, QStringLiteral("库存单价和库存金额不允许为负数！"));
    return {m_formats.roundAmount(*f.price), m_formats.roundQuantity(*f.quantity),
            m_formats.roundAmount(*f.amount)};
}

void OpeningBalances::refuseDuplicate(const QString &clbh, Decimal price, qint64 exceptId) const
{
    const QString name =
        m_db.scalar(QStringLiteral("SELECT CLMC FROM CLJBXXB WHERE CLBH = ?"), {clbh}).toString();
    if (m_fifo) {
        if (m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM ZWCSH WHERE CLBH = ? AND KCDJ = ? "
                                       "AND ID <> ?"),
                        {clbh, price.toVariant(), exceptId})
                .toInt() != 0) {
            throw Refusal(Title, clbh + QLatin1Char(' ') + name + QStringLiteral("单价为") +
                                     m_formats.amountText(price) +
                                     QStringLiteral("已经做过初始化！"));
        }
    } else if (m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM ZWCSH WHERE CLBH = ? AND ID <> ?"),
                           {clbh, exceptId})
                   .toInt() != 0) {
        throw Refusal(Title, clbh + QLatin1Char(' ') + name + QStringLiteral("已经做过初始化！"));
    }
}

void OpeningBalances::addToStock(const QString &clbh, Decimal quantity, Decimal amount)
{
    QSqlQuery m =
        m_db.exec(QStringLiteral("SELECT JJFS, JHDJ FROM CLJBXXB WHERE CLBH = ?"), {clbh});
    const bool planned = m.next() && m.value(0).toInt() != 0;
    const Decimal jhdj = planned ? Decimal::fromVariant(m.value(1)) : Decimal();
    m.finish();

    QSqlQuery q = m_db.exec(QStringLiteral("SELECT KCSL, KCJE FROM KC WHERE CLBH = ?"), {clbh});
    const bool exists = q.next();
    Decimal kcsl = quantity;
    Decimal kcje = amount;
    if (exists) {
        kcsl += Decimal::fromVariant(q.value(0));
        kcje += Decimal::fromVariant(q.value(1));
    }
    q.finish();
    // Stock of a planned-price material is worth its quantity at plan, whatever was paid.
    if (planned)
        kcje = plannedValue(kcsl, jhdj);
    if (exists) {
        m_db.exec(QStringLiteral("UPDATE KC SET KCSL = ?, KCJE = ? WHERE CLBH = ?"),
                  {kcsl.toVariant(), kcje.toVariant(), clbh});
    } else {
        m_db.exec(QStringLiteral("INSERT INTO KC (CLBH, KCSL, KCJE) VALUES (?, ?, ?)"),
                  {clbh, kcsl.toVariant(), kcje.toVariant()});
    }
}

void OpeningBalances::add(const QList<NewRow> &rows)
{
    Transaction tx(m_db);
    refuseWhenClosed();
    for (const NewRow &row : rows) {
        const Checked f = checked(row.figures);
        if (row.clbh.isEmpty())
            throw Refusal(Title, QStringLiteral("材料编号不允许为空！"));
        // The listing joins the catalogue: a code without a material would vanish from the
        // screen while its stock stayed.
        if (m_db.scalar(QStringLiteral("SELECT COUNT(*) FROM CLJBXXB WHERE CLBH = ? AND SFMJ = 1"),
                        {row.clbh})
                .toInt() == 0) {
            throw Refusal(Title, QStringLiteral("材料编号") + row.clbh +
                                     QStringLiteral("不存在，请重新选择！"));
        }
        refuseDuplicate(row.clbh, f.price, 0);
        m_db.exec(QStringLiteral("INSERT INTO ZWCSH (CLBH, KCDJ, KCJE, KCSL) VALUES (?, ?, ?, ?)"),
                  {row.clbh, f.price.toVariant(), f.amount.toVariant(), f.quantity.toVariant()});
        addToStock(row.clbh, f.quantity, f.amount);
    }
    tx.commit();
}

void OpeningBalances::update(qint64 id, const Figures &figures)
{
    const Checked f = checked(figures);
    Transaction tx(m_db);
    refuseWhenClosed();
    QSqlQuery old =
        m_db.exec(QStringLiteral("SELECT CLBH, KCSL, KCJE FROM ZWCSH WHERE ID = ?"), {id});
    if (!old.next())
        throw Refusal(Title, QStringLiteral("该记录已经不存在！"));
    const QString clbh = old.value(0).toString();
    const Decimal oldQuantity = Decimal::fromVariant(old.value(1));
    const Decimal oldAmount = Decimal::fromVariant(old.value(2));
    // A changed price must not give a material two layers at the same price.
    refuseDuplicate(clbh, f.price, id);
    addToStock(clbh, f.quantity - oldQuantity, f.amount - oldAmount);
    m_db.exec(QStringLiteral("UPDATE ZWCSH SET KCDJ = ?, KCSL = ?, KCJE = ? WHERE ID = ?"),
              {f.price.toVariant(), f.quantity.toVariant(), f.amount.toVariant(), id});
    tx.commit();
}

void OpeningBalances::save(const QList<NewRow> &rows, const QList<QPair<qint64, Figures>> &changes)
{
    Transaction tx(m_db);
    if (!rows.isEmpty())
        add(rows);
    for (const auto &change : changes)
        update(change.first, change.second);
    tx.commit();
}

void OpeningBalances::remove(qint64 id)
{
    Transaction tx(m_db);
    refuseWhenClosed();
    QSqlQuery row =
        m_db.exec(QStringLiteral("SELECT CLBH, KCSL, KCJE FROM ZWCSH WHERE ID = ?"), {id});
    if (!row.next())
        throw Refusal(Title, QStringLiteral("该记录已经不存在！"));
    const QString clbh = row.value(0).toString();
    if (m_fifo) {
        addToStock(clbh, -Decimal::fromVariant(row.value(1)), -Decimal::fromVariant(row.value(2)));
    } else {
        m_db.exec(QStringLiteral("DELETE FROM KC WHERE CLBH = ?"), {clbh});
    }
    m_db.exec(QStringLiteral("DELETE FROM ZWCSH WHERE ID = ?"), {id});
    tx.commit();
}

namespace {

// a × b ÷ c rounded once, straight to `decimals` places: rounding first to four places and
// then to the format could move a half-cent the wrong way.
Decimal roundedOnce(Decimal a, Decimal b, Decimal c, int decimals)
{
    std::int64_t shift = 1;
    for (int i = decimals; i < Decimal::Places; ++i)
        shift *= 10;
    const Decimal step = Decimal::fromInt(shift);
    return Decimal::mulDiv(a, b, c * step) * step;
}

} // namespace

Decimal OpeningBalances::amountFor(Decimal price, Decimal quantity) const
{
    return roundedOnce(price, quantity, Decimal::fromInt(1), m_formats.amountDecimals());
}

std::optional<Decimal> OpeningBalances::priceFor(Decimal amount, Decimal quantity) const
{
    if (quantity.isZero())
        return std::nullopt;
    return roundedOnce(amount, Decimal::fromInt(1), quantity, m_formats.amountDecimals());
}

} // namespace varnock
