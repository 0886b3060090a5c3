#include "ledger/layersnapshot.h"

#include "ledger/costengine.h"
#include "ledger/invariantchecker.h"
#include "ledger/monthend.h"
#include "ledger/posting.h"
#include "store/clock.h"
#include "store/errors.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"

#include <QRandomGenerator>

#include <algorithm>

#include <gtest/gtest.h>

namespace varnock {
namespace {

using test::dec;

const int Fifo = CostEngine::FirstInFirstOut;
const QStringList Materials = {QStringLiteral("1001"), QStringLiteral("1002"),
                               QStringLiteral("1003")};

QStringList texts(const QList<LayerSnapshot::Pair> &pairs)
{
    QStringList out;
    for (const LayerSnapshot::Pair &p : pairs) {
        out << QStringLiteral("%1 %2 %3 %4")
                   .arg(p.clbh,
                        p.price.isNull() ? QStringLiteral("NULL")
                                         : Decimal::fromVariant(p.price).toString(),
                        p.quantity.toString(), p.amount.toString());
    }
    out.sort();
    return out;
}

// Books under first in first out with a random history of receipts, returns to suppliers,
// issues, reversals, issue returns and count differences, closed month after month.
class Books
{
public:
    explicit Books(quint32 history)
        : seed(set.db())
        , m_random(history)
    {
        set.setMode(Fifo);
        set.addMaterial(Materials[0], QStringLiteral("钢筋"));
        set.addMaterial(Materials[1], QStringLiteral("铁丝"));
        set.addMaterial(Materials[2], QStringLiteral("水泥"), QStringLiteral("1"), true,
                        dec("2.50"));
        set.addSupplier(QStringLiteral("G1"), QStringLiteral("第一建材"));
        set.addUnit(QStringLiteral("U1"), QStringLiteral("一工区"));
    }

    ~Books() { Clock::setToday(std::nullopt); }

    Database &db() { return set.db(); }
    LayerSnapshot snapshot() { return LayerSnapshot(db()); }
    Posting posting() { return Posting(db(), Fifo, formats); }

    QStringList differences()
    {
        QStringList out;
        for (const LayerSnapshot::Difference &d : snapshot().latestDifferences(formats))
            out << d.clbh + QLatin1Char(' ') + d.what;
        return out;
    }

    int close(const QDate &day)
    {
        Clock::setToday(day);
        return MonthEnd(db(), Fifo, formats).close(day);
    }

    void redate(const char *table, qint64 id, const QDate &day)
    {
        db().exec(QStringLiteral("UPDATE %1 SET CZRQ = ? WHERE ID = ?").arg(QLatin1String(table)),
                  {day, id});
    }

    Decimal figure(int from, int to, int decimals)
    {
        const qint64 raw = qint64(m_random.bounded(from, to)) * Decimal::Scale;
        const qint64 step = decimals >= 4 ? 1 : decimals == 2 ? 100 : Decimal::Scale;
        return Decimal::fromRaw(raw + m_random.bounded(qint64(0), Decimal::Scale / step) * step);
    }

    QString anyMaterial() { return Materials.at(m_random.bounded(int(Materials.size()))); }

    void receive(const QDate &day)
    {
        const Decimal quantity = figure(1, 40, m_random.bounded(2) ? 0 : 2);
        // Prices of four places make amounts that pieces of a layer never add up to exactly.
        const Decimal amount = formats.roundAmount(quantity * figure(2, 30, 4));
        const qint64 id = seed.receipt(++m_voucher, anyMaterial(), quantity, amount);
        redate("RKD", id, day);
        posting().post(Posting::Family::StockIn, QStringLiteral("采购入库"), m_voucher);
        m_receipts.append(id);
    }

    void returnToSupplier(const QDate &day)
    {
        if (m_receipts.isEmpty())
            return;
        const qint64 rkid = m_receipts.at(m_random.bounded(int(m_receipts.size())));
        const QString clbh =
            db().scalar(QStringLiteral("SELECT CLBH FROM RKD WHERE ID = ?"), {rkid}).toString();
        const Decimal quantity = Decimal::fromInt(1);
        const qint64 id = seed.stockReturn(++m_voucher, rkid, clbh, quantity, figure(1, 20, 2));
        redate("THD", id, day);
        try {
            posting().post(Posting::Family::StockInReturn, QStringLiteral("采购退货"), m_voucher);
        } catch (const Refusal &) {
            // Goods of that layer were issued already.
            db().exec(QStringLiteral("DELETE FROM THD WHERE ID = ?"), {id});
        }
    }

    void issue(const QDate &day)
    {
        const QString clbh = anyMaterial();
        const Decimal stock = seed.kc(clbh).quantity;
        if (stock < Decimal::fromInt(1))
            return;
        const Decimal quantity = formats.roundQuantity(
            Decimal::mulDiv(stock, Decimal::fromInt(m_random.bounded(1, 101)), dec("100")));
        const qint64 id = seed.issue(++m_voucher, clbh, quantity);
        redate("LLD", id, day);
        posting().post(Posting::Family::Issue, QStringLiteral("1"), m_voucher);
        m_issues.append(id);
    }

private:
    qint64 takeIssueLine()
    {
        if (m_issues.isEmpty())
            return 0;
        return m_issues.takeAt(m_random.bounded(int(m_issues.size())));
    }

    void reverseIssue(const QDate &day)
    {
        if (const qint64 line = takeIssueLine()) {
            redate("LLD", seed.reverseIssueLine(line, Fifo), day);
            // The mirror line took the next voucher number of its table.
            m_voucher = std::max(
                m_voucher, db().scalar(QStringLiteral("SELECT MAX(XTBH) FROM LLD")).toLongLong());
        }
    }

    void returnIssue(const QDate &day)
    {
        const qint64 line = takeIssueLine();
        if (!line)
            return;
        const QString clbh =
            db().scalar(QStringLiteral("SELECT CLBH FROM LLD WHERE ID = ?"), {line}).toString();
        const Decimal issued = Decimal::fromVariant(
            db().scalar(QStringLiteral("SELECT SJSL FROM LLD WHERE ID = ?"), {line}));
        const Decimal cost = seed.issueAmount(line);
        const Decimal quantity = issued < Decimal::fromInt(2) ? issued : Decimal::fromInt(1);
        const Decimal price = cost / issued;
        const qint64 id = seed.issueReturn(++m_voucher, line, clbh, quantity, price,
                                           formats.roundAmount(quantity * price));
        redate("TKD", id, day);
        posting().post(Posting::Family::IssueReturn, QStringLiteral("1"), m_voucher);
    }

    // A count surplus books a layer without a voucher number; a deficit an issue line without
    // one, costed from the layers.
    void count(const QDate &day)
    {
        // Materials at actual prices: a planned-price material is counted at its plan.
        const QString clbh = Materials.at(m_random.bounded(2));
        Transaction tx(db());
        if (m_random.bounded(2) == 0) {
            const Decimal quantity = figure(1, 5, 0);
            const Decimal price = figure(2, 20, 2);
            const Decimal amount = formats.roundAmount(quantity * price);
            db().exec(QStringLiteral("INSERT INTO RKD (CLBH, CZRQ, SJDJ, SJSL, SJJE, JZBZ) "
                                     "VALUES (?, ?, ?, ?, ?, 1)"),
                      {clbh, day, price.toVariant(), quantity.toVariant(), amount.toVariant()});
            db().exec(QStringLiteral("INSERT INTO KC (CLBH, KCSL, KCJE) VALUES (?, ?, ?) "
                                     "ON CONFLICT (CLBH) DO UPDATE SET KCSL = KCSL + "
                                     "excluded.KCSL, KCJE = KCJE + excluded.KCJE"),
                      {clbh, quantity.toVariant(), amount.toVariant()});
            db().exec(QStringLiteral("INSERT INTO PYK (CLBH, RQ, PDSL, PDJE, PDDJ) "
                                     "VALUES (?, ?, ?, ?, ?)"),
                      {clbh, day, quantity.toVariant(), amount.toVariant(), price.toVariant()});
        } else {
            if (seed.kc(clbh).quantity < Decimal::fromInt(1))
                return;
            const Decimal quantity = Decimal::fromInt(1);
            db().exec(QStringLiteral("INSERT INTO LLD (CLBH, SJSL, CZRQ, ZL, JZBZ) "
                                     "VALUES (?, ?, ?, '1', 1)"),
                      {clbh, quantity.toVariant(), day});
            const qint64 id = db().scalar(QStringLiteral("SELECT MAX(ID) FROM LLD")).toLongLong();
            CostEngine(db(), Fifo, formats).removeIssueLineFromStock(id);
            const Decimal cost = seed.issueAmount(id);
            db().exec(QStringLiteral("INSERT INTO PYK (CLBH, RQ, PDSL, PDJE, PDDJ) "
                                     "VALUES (?, ?, ?, ?, ?)"),
                      {clbh, day, (-quantity).toVariant(), (-cost).toVariant(), cost.toVariant()});
        }
        tx.commit();
    }

public:
    void openBooks()
    {
        for (const QString &clbh : Materials) {
            for (int layer = m_random.bounded(1, 3); layer > 0; --layer) {
                const Decimal quantity = figure(5, 50, 0);
                seed.opening(clbh, quantity, formats.roundAmount(quantity * figure(2, 30, 4)));
            }
        }
    }

    // One month of random business dated after `from`, before `to`.
    void month(const QDate &from, const QDate &to)
    {
        for (int n = m_random.bounded(6, 16); n > 0; --n) {
            const QDate day = from.addDays(m_random.bounded(qint64(1), from.daysTo(to)));
            Clock::setToday(day);
            switch (m_random.bounded(10)) {
            case 0:
                returnToSupplier(day);
                break;
            case 1:
                reverseIssue(day);
                break;
            case 2:
                returnIssue(day);
                break;
            case 3:
                count(day);
                break;
            case 4:
            case 5:
            case 6:
                issue(day);
                break;
            default:
                receive(day);
                break;
            }
        }
    }

    test::TestAccountSet set;
    test::LedgerSeed seed;
    Formats formats;

private:
    QRandomGenerator m_random;
    qint64 m_voucher = 0;
    QList<qint64> m_receipts;
    QList<qint64> m_issues;
};

TEST(LayerSnapshotTest, EveryClosingEqualsTheWholeHistoryRegrouped)
{
    for (quint32 history = 1; history <= 12; ++history) {
        SCOPED_TRACE(history);
        Books books(history);
        books.openBooks();
        QDate closing(2026, 1, 31);
        books.close(closing);
        QList<QStringList> earlier;
        for (int m = 1; m <= 5; ++m) {
            earlier.append(texts(books.snapshot().stored(m)));
            const QDate next = closing.addDays(1).addMonths(1).addDays(-1);
            books.month(closing, next);
            closing = next;
            const int yjid = books.close(closing);

            EXPECT_EQ(books.differences(), QStringList());
            EXPECT_EQ(texts(books.snapshot().stored(yjid)),
                      texts(books.snapshot().regrouped(closing)));
            EXPECT_EQ(books.db()
                          .scalar(QStringLiteral("SELECT COUNT(*) FROM XJXCYJKCB WHERE YJID = ? "
                                                 "AND JCSL = 0 AND JCJE = 0"),
                                  {yjid})
                          .toInt(),
                      0);
            // Nothing written before changes.
            for (int i = 0; i < earlier.size(); ++i)
                EXPECT_EQ(texts(books.snapshot().stored(i + 1)), earlier.at(i));
        }
        test::expectBooksBalance(books.db(), Fifo, books.formats, true);
    }
}

TEST(LayerSnapshotTest, AClosingBuildsOnItsPredecessorAndTheCheckerSeesADrift)
{
    Books books(99);
    books.openBooks();
    books.close(QDate(2026, 1, 31));
    books.month(QDate(2026, 1, 31), QDate(2026, 2, 28));
    books.close(QDate(2026, 2, 28));
    EXPECT_EQ(books.differences(), QStringList());

    // One pair of the latest closing changed by hand, one added.
    Database &db = books.db();
    db.exec(QStringLiteral("UPDATE XJXCYJKCB SET JCJE = JCJE + 100 WHERE YJID = 2 AND XH = 1 "
                           "AND CLBH = (SELECT MIN(CLBH) FROM XJXCYJKCB WHERE YJID = 2)"));
    db.exec(QStringLiteral("INSERT INTO XJXCYJKCB (YJID, CLBH, JCDJ, JCSL, JCJE, XH) "
                           "VALUES (2, '1002', 777, 10000, 7770, 99)"));
    int found = 0;
    for (const InvariantBreach &b : InvariantChecker::check(db, Fifo, books.formats))
        found += b.kind == InvariantBreach::Kind::Snapshot ? 1 : 0;
    EXPECT_EQ(found, 2);

    // The next closing carries the drift on: it is built from the closing before it.
    books.month(QDate(2026, 2, 28), QDate(2026, 3, 31));
    books.close(QDate(2026, 3, 31));
    EXPECT_EQ(books.differences().size(), 2);
}

TEST(LayerSnapshotTest, AClosingThatKeptEveryPairIsFollowedByAWholeRegrouping)
{
    Books books(7);
    books.openBooks();
    books.close(QDate(2026, 1, 31));
    Database &db = books.db();
    const int rows =
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM XJXCYJKCB WHERE YJID = 1")).toInt();

    // Written the earlier way, with a pair that holds nothing; and one pair off its history.
    db.exec(QStringLiteral("INSERT INTO XJXCYJKCB (YJID, CLBH, JCDJ, JCSL, JCJE, XH) "
                           "VALUES (1, '1001', 12345, 0, 0, 99)"));
    db.exec(QStringLiteral("UPDATE XJXCYJKCB SET JCSL = JCSL + 10000 WHERE YJID = 1 AND XH = 1 "
                           "AND CLBH = (SELECT MIN(CLBH) FROM XJXCYJKCB WHERE YJID = 1)"));
    EXPECT_EQ(books.differences().size(), 1);

    // The next closing regroups the history and leaves the earlier rows as they are.
    books.month(QDate(2026, 1, 31), QDate(2026, 2, 28));
    books.close(QDate(2026, 2, 28));
    EXPECT_EQ(books.differences(), QStringList());
    EXPECT_EQ(texts(books.snapshot().stored(2)),
              texts(books.snapshot().regrouped(QDate(2026, 2, 28))));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT COUNT(*) FROM XJXCYJKCB WHERE YJID = 1")).toInt(),
              rows + 1);
}

} // namespace
} // namespace varnock
