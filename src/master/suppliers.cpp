#include "master/suppliers.h"

#include "store/database.h"
#include "store/errors.h"

#include <QSqlQuery>

#include <algorithm>

namespace varnock {

namespace {

const QString NameTaken = QStringLiteral("这个名称已经存在，请重新输入！！！");

const char *const SupplierColumns =
    "BH, MC, ZCDD, ZCBH, FR, DZ, YZBM, LXDH, KHYH, KHZH, ZGCP, CSQK, BZ";

Suppliers::Supplier supplierFrom(const QSqlQuery &q)
{
    Suppliers::Supplier s;
    s.bh = q.value(0).toString();
    s.mc = q.value(1).toString();
    s.zcdd = q.value(2).toString();
    s.zcbh = q.value(3).toString();
    s.fr = q.value(4).toString();
    s.dz = q.value(5).toString();
    s.yzbm = q.value(6).toString();
    s.lxdh = q.value(7).toString();
    s.khyh = q.value(8).toString();
    s.khzh = q.value(9).toString();
    s.zgcp = q.value(10).toString();
    s.csqk = Decimal::fromVariant(q.value(11));
    s.bz = q.value(12).toString();
    return s;
}

} // namespace

const QString Suppliers::Title = QStringLiteral("提示窗口");

Suppliers::Suppliers(Database &db)
    : m_db(db)
{}

qint64 Suppliers::numericValue(const QString &code)
{
    int i = 0;
    while (i < code.size() && code.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < code.size() && (code.at(i) == QLatin1Char('-') || code.at(i) == QLatin1Char('+'))) {
        negative = code.at(i) == QLatin1Char('-');
        ++i;
    }
    qint64 value = 0;
    int digits = 0;
    // 18 digits always fit; a longer code reads as its first 18 digits.
    for (; i < code.size() && digits < 18; ++i, ++digits) {
        const QChar c = code.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        value = value * 10 + (c.unicode() - '0');
    }
    return negative ? -value : value;
}

QList<Suppliers::Entry> Suppliers::list() const
{
    QList<Entry> entries;
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT BH, MC FROM GYS ORDER BY BH"));
    while (q.next())
        entries.append({q.value(0).toString(), q.value(1).toString()});
    std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        return numericValue(a.bh) < numericValue(b.bh);
    });
    return entries;
}

std::optional<Suppliers::Supplier> Suppliers::find(const QString &bh) const
{
    QSqlQuery q = m_db.exec(
        QStringLiteral("SELECT %1 FROM GYS WHERE BH = ?").arg(QLatin1String(SupplierColumns)),
        {bh});
    if (!q.next())
        return std::nullopt;
    return supplierFrom(q);
}

QString Suppliers::proposeCode() const
{
    QSqlQuery q = m_db.exec(QStringLiteral("SELECT BH FROM GYS"));
    bool any = false;
    qint64 greatest = 0;
    while (q.next()) {
        const qint64 value = numericValue(q.value(0).toString());
        greatest = any ? std::max(greatest, value) : value;
        any = true;
    }
    return any ? QString::number(greatest + 1) : QStringLiteral("1");
}

void Suppliers::checkNew(const Supplier &supplier) const
{
    // A supplier without a code or a name could never be told apart on a voucher.
    if (supplier.bh.trimmed().isEmpty())
        throw Refusal(Title, QStringLiteral("供应商编号不得为空！！！"));
    if (!m_db.scalar(QStringLiteral("SELECT BH FROM GYS WHERE BH = ?"), {supplier.bh}).isNull())
        throw Refusal(Title, QStringLiteral("这个编号已经存在，请重新输入！！！"));
    if (supplier.mc.trimmed().isEmpty())
        throw Refusal(Title, QStringLiteral("供应单位名称不得为空！！！"));
    if (!m_db.scalar(QStringLiteral("SELECT MC FROM GYS WHERE MC = ?"), {supplier.mc}).isNull())
        throw Refusal(Title, NameTaken);
}

void Suppliers::add(const Supplier &s)
{
    Transaction tx(m_db);
    checkNew(s);
    m_db.exec(QStringLiteral("INSERT INTO GYS (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                  .arg(QLatin1String(SupplierColumns)),
              {s.bh, s.mc, s.zcdd, s.zcbh, s.fr, s.dz, s.yzbm, s.lxdh, s.khyh, s.khzh, s.zgcp,
               s.csqk.toVariant(), s.bz});
    tx.commit();
}

void Suppliers::update(const Supplier &s)
{
    if (s.mc.trimmed().isEmpty())
        throw Refusal(Title, QStringLiteral("供应单位名称不得为空！！！"));
    Transaction tx(m_db);
    if (!m_db.scalar(QStringLiteral("SELECT MC FROM GYS WHERE BH <> ? AND MC = ?"), {s.bh, s.mc})
             .isNull())
        throw Refusal(Title, NameTaken);
    const QSqlQuery q = m_db.exec(
        QStringLiteral("UPDATE GYS SET MC = ?, ZCDD = ?, ZCBH = ?, FR = ?, DZ = ?, YZBM = ?, "
                       "LXDH = ?, KHYH = ?, KHZH = ?, ZGCP = ?, BZ = ?, CSQK = ? WHERE BH = ?"),
        {s.mc, s.zcdd, s.zcbh, s.fr, s.dz, s.yzbm, s.lxdh, s.khyh, s.khzh, s.zgcp, s.bz,
         s.csqk.toVariant(), s.bh});
    if (q.numRowsAffected() == 0)
        throw Refusal(Title, QStringLiteral("这个供应商已经不存在！"));
    tx.commit();
}

void Suppliers::remove(const QString &bh)
{
    Transaction tx(m_db);
    if (!m_db.scalar(QStringLiteral("SELECT 1 FROM RKD WHERE GYSBH = ? LIMIT 1"), {bh}).isNull())
        throw Refusal(Title, QStringLiteral("这个供应商已经做过入库操作！\n不能删除！！！"));
    m_db.exec(QStringLiteral("DELETE FROM FQFSAVE WHERE GYSBH = ?"), {bh});
    m_db.exec(QStringLiteral("DELETE FROM GYS WHERE BH = ?"), {bh});
    tx.commit();
}

QList<Counterparty> Suppliers::search(CounterpartySearch by, const QString &text) const
{
    return CounterpartyQueries::search(m_db, QStringLiteral("GYS"),
                                       QStringLiteral("BH, MC, DZ, FR, LXDH"), by, text);
}

QStringList Suppliers::values(CounterpartySearch by) const
{
    return CounterpartyQueries::values(m_db, QStringLiteral("GYS"), by);
}

} // namespace varnock
