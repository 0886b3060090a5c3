#include "ledger/invariantchecker.h"

#include "ledger/closingsums.h"
#include "ledger/costengine.h"
#include "ledger/issuetotals.h"
#include "ledger/layersnapshot.h"
#include "ledger/plannedstock.h"
#include "store/database.h"
#include "store/decimal.h"

#include <QMap>
#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>

namespace varnock {

namespace {

struct Figures
{
    Decimal quantity;
    Decimal amount;
};

// Adds the rows (CLBH, quantity, amount) of `sql` to `into` with `sign`.
void addRows(const Database &db, const QString &sql, const QVariantList &values, int sign,
             QMap<QString, Figures> &into)
{
    QSqlQuery q = db.exec(sql, values);
    while (q.next()) {
        Figures &f = into[q.value(0).toString().trimmed()];
        const Decimal quantity = Decimal::fromVariant(q.value(1));
        const Decimal amount = Decimal::fromVariant(q.value(2));
        f.quantity += sign < 0 ? -quantity : quantity;
        f.amount += sign < 0 ? -amount : amount;
    }
}

// Value of a movement of `quantity` with its own `amount`: planned-price materials at
// quantity × JHDJ. C is the catalogue row joined to the line.
QString valued(const QString &quantity, const QString &amount)
{
    return QStringLiteral("CASE WHEN C.JJFS <> 0 THEN SMUL(%1, C.JHDJ, ?) "
                          "ELSE SROUND(%2, ?) END")
        .arg(quantity, amount);
}

// The materials of either map, each once, in code order.
template <typename A, typename B> QStringList materialsOfEither(const A &a, const B &b)
{
    QStringList codes = a.keys();
    for (auto it = b.cbegin(); it != b.cend(); ++it) {
        if (!a.contains(it.key()))
            codes.append(it.key());
    }
    codes.sort();
    return codes;
}

QString text(Decimal value)
{
    return value.toString();
}

} // namespace

QList<InvariantBreach> InvariantChecker::check(Database &db, int mode, const Formats &formats)
{
    QList<InvariantBreach> breaches;
    const int d = formats.amountDecimals();

    QMap<QString, Figures> expected;
    addRows(db, QStringLiteral("SELECT CLBH, SUM(KCSL), SUM(KCJE) FROM ZWCSH GROUP BY CLBH"), {}, 1,
            expected);
    addRows(db,
            QStringLiteral("SELECT R.CLBH, SUM(R.SJSL), SUM(%1) FROM RKD R "
                           "LEFT JOIN CLJBXXB C ON C.CLBH = R.CLBH "
                           "WHERE R.JZBZ <> 0 AND COALESCE(R.XTBH, 0) <> 0 "
                           "AND COALESCE(R.CKID, 0) = 0 GROUP BY R.CLBH")
                .arg(valued(QStringLiteral("R.SJSL"), QStringLiteral("R.SJJE"))),
            {d, d}, 1, expected);
    addRows(db,
            QStringLiteral("SELECT T.CLBH, SUM(T.THSL), SUM(%1) FROM THD T "
                           "LEFT JOIN CLJBXXB C ON C.CLBH = T.CLBH "
                           "WHERE T.JZBZ <> 0 GROUP BY T.CLBH")
                .arg(valued(QStringLiteral("T.THSL"), QStringLiteral("T.THJE"))),
            {d, d}, -1, expected);
    addRows(db,
            QStringLiteral("SELECT CLBH, SUM(SJSL), SUM(SROUND(SJJE, ?)) FROM LLD "
                           "WHERE JZBZ <> 0 AND ZJZC = 0 AND COALESCE(XTBH, 0) <> 0 "
                           "GROUP BY CLBH"),
            {d}, -1, expected);
    addRows(db,
            QStringLiteral("SELECT T.CLBH, SUM(T.THSL), SUM(%1) FROM TKD T "
                           "LEFT JOIN CLJBXXB C ON C.CLBH = T.CLBH "
                           "WHERE T.JZBZ <> 0 GROUP BY T.CLBH")
                .arg(valued(QStringLiteral("T.THSL"), QStringLiteral("T.THJE"))),
            {d, d}, 1, expected);
    addRows(db, QStringLiteral("SELECT CLBH, SUM(PDSL), SUM(PDJE) FROM PYK GROUP BY CLBH"), {}, 1,
            expected);
    addRows(db, QStringLiteral("SELECT CLBH, 0, SUM(JE) FROM CLKVMT GROUP BY CLBH"), {}, 1,
            expected);

    QMap<QString, Figures> stock;
    addRows(db, QStringLiteral("SELECT CLBH, KCSL, KCJE FROM KC"), {}, 1, stock);

    QSet<QString> planned;
    QSqlQuery p = db.exec(QStringLiteral("SELECT CLBH FROM CLJBXXB WHERE JJFS <> 0"));
    while (p.next())
        planned.insert(p.value(0).toString().trimmed());
    p.finish();

    for (const QString &clbh : materialsOfEither(expected, stock)) {
        const Figures kc = stock.value(clbh);
        const Figures sum = expected.value(clbh);
        if (kc.quantity != sum.quantity || (!planned.contains(clbh) && kc.amount != sum.amount)) {
            breaches.append(
                {clbh,
                 QStringLiteral("KC %1 / %2, movements %3 / %4")
                     .arg(text(kc.quantity), text(kc.amount), text(sum.quantity), text(sum.amount)),
                 InvariantBreach::Kind::Stock});
        }
        if (stock.contains(clbh) && kc.quantity.isZero() && !kc.amount.isZero()) {
            breaches.append({clbh, QStringLiteral("KC quantity 0, amount %1").arg(text(kc.amount)),
                             InvariantBreach::Kind::ZeroQuantityAmount});
        }
    }

    for (const PlannedStock::OffPlan &row : PlannedStock(db, formats).offPlan()) {
        breaches.append({row.clbh,
                         QStringLiteral("KC %1 / %2, planned value %3")
                             .arg(text(row.quantity), text(row.amount), text(row.planned)),
                         InvariantBreach::Kind::OffPlan});
    }

    for (const ClosingSums::Difference &diff : ClosingSums(db, mode).latestDifferences())
        breaches.append({diff.clbh, diff.what, InvariantBreach::Kind::Sums});
    for (const IssueTotals::Difference &diff : IssueTotals(db, mode).latestDifferences())
        breaches.append({diff.clbh, diff.what, InvariantBreach::Kind::Totals});

    if (mode != CostEngine::FirstInFirstOut)
        return breaches;

    // Layers: size less posted returns less the net of the pieces drawn.
    QMap<QString, Decimal> inLayers;
    const auto checkLayers = [&](const QString &sql, const QString &name) {
        QSqlQuery q = db.exec(sql);
        while (q.next()) {
            const QString clbh = q.value(1).toString().trimmed();
            const Decimal size = Decimal::fromVariant(q.value(2));
            const Decimal left =
                size - Decimal::fromVariant(q.value(3)) - Decimal::fromVariant(q.value(4));
            if (left.isNegative() || left > size) {
                breaches.append({clbh,
                                 QStringLiteral("%1 %2: size %3, left %4")
                                     .arg(name, q.value(0).toString(), text(size), text(left)),
                                 InvariantBreach::Kind::Layer});
            }
            inLayers[clbh] += left;
        }
    };
    checkLayers(QStringLiteral("SELECT Z.ID, Z.CLBH, Z.KCSL, 0, "
                               "(SELECT SUM(X.CKSL) FROM XJXCSJB X WHERE X.CSHID = Z.ID) "
                               "FROM ZWCSH Z"),
                QStringLiteral("ZWCSH"));
    checkLayers(QStringLiteral("SELECT R.ID, R.CLBH, R.SJSL, "
                               "(SELECT SUM(T.THSL) FROM THD T WHERE T.RKID = R.ID "
                               "AND T.JZBZ <> 0), "
                               "(SELECT SUM(X.CKSL) FROM XJXCSJB X WHERE X.RKID = R.ID) "
                               "FROM RKD R WHERE R.JZBZ <> 0 AND R.CZBZ = 0 "
                               "AND COALESCE(R.CKID, 0) = 0"),
                QStringLiteral("RKD"));

    for (const QString &clbh : materialsOfEither(inLayers, stock)) {
        const Decimal kc = stock.value(clbh).quantity;
        const Decimal layers = inLayers.value(clbh);
        if (kc != layers) {
            breaches.append(
                {clbh, QStringLiteral("KC quantity %1, layers hold %2").arg(text(kc), text(layers)),
                 InvariantBreach::Kind::Layer});
        }
    }

    // Each material's newest piece, where its next issue starts, as its pieces say.
    if (db.connection().record(QStringLiteral("KC")).contains(QStringLiteral("SJID"))) {
        QMap<QString, qint64> newest;
        QSqlQuery pieces = db.exec(QStringLiteral(
            "SELECT X.CLBH, MAX(X.ID) FROM XJXCSJB X LEFT JOIN RKD R ON R.ID = X.RKID "
            "WHERE X.CKSL >= 0 AND (X.RKID IS NULL OR R.CKID IS NULL OR R.CKID = 0) "
            "GROUP BY X.CLBH"));
        while (pieces.next())
            newest.insert(pieces.value(0).toString(), pieces.value(1).toLongLong());
        QMap<QString, qint64> kept;
        QSqlQuery cursor =
            db.exec(QStringLiteral("SELECT CLBH, SJID FROM KC WHERE SJID IS NOT NULL"));
        while (cursor.next())
            kept.insert(cursor.value(0).toString(), cursor.value(1).toLongLong());
        for (const QString &clbh : materialsOfEither(newest, kept)) {
            if (newest.value(clbh) != kept.value(clbh)) {
                breaches.append({clbh.trimmed(),
                                 QStringLiteral("newest piece %1, KC %2")
                                     .arg(newest.value(clbh))
                                     .arg(kept.value(clbh)),
                                 InvariantBreach::Kind::Layer});
            }
        }
    }

    for (const LayerSnapshot::Difference &diff : LayerSnapshot(db).latestDifferences(formats))
        breaches.append({diff.clbh, diff.what, InvariantBreach::Kind::Snapshot});
    return breaches;
}

} // namespace varnock
