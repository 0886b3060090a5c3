#include "cli/demogenerator.h"

#include "ledger/invariantchecker.h"
#include "shell/accountsets.h"
#include "shell/accountsetsession.h"
#include "shell/datafolder.h"
#include "shell/masterdatabase.h"
#include "store/database.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace varnock {
namespace {

using cli::DemoGenerator;

const QDate Today(2026, 6, 17);

// One generated account set in a temporary data folder.
class Generated
{
public:
    explicit Generated(DemoGenerator::Options options)
        : m_folder(m_dir.path())
    {
        m_master = MasterDatabase::ensure(m_folder);
        NewAccountSet r;
        r.number = 1;
        r.name = QStringLiteral("生成账套");
        r.password = QStringLiteral("p");
        const QDate first = DemoGenerator::openingClosing(Today, options.months);
        r.date = QDate(first.year(), first.month(), 1);
        r.mode = options.mode;
        AccountSets(*m_master, m_folder).create(r);
        m_session = std::make_unique<AccountSetSession>(m_folder, *m_master, 1);
        DemoGenerator generator(db(), m_session->formats(), options);
        summary =
            generator.run(Today, [this](const QString &command, const std::function<void()> &work) {
                commands.append(command);
                Transaction tx(db());
                work();
                tx.commit();
            });
    }

    Database &db() { return m_session->database(); }
    Formats formats() const { return m_session->formats(); }

    // Every row of a table in ID order, as text, for comparing two sets.
    QStringList dump(const QString &table)
    {
        QSqlQuery q = db().exec(QStringLiteral("SELECT * FROM %1 ORDER BY 1, 2, 3").arg(table));
        QStringList rows;
        while (q.next()) {
            QStringList fields;
            for (int i = 0; i < q.record().count(); ++i)
                fields.append(q.value(i).toString());
            rows.append(fields.join(QLatin1Char('|')));
        }
        return rows;
    }

    qint64 count(const QString &sql) { return db().scalar(sql).toLongLong(); }

    DemoGenerator::Summary summary;
    QStringList commands;

private:
    QTemporaryDir m_dir;
    DataFolder m_folder;
    std::unique_ptr<Database> m_master;
    std::unique_ptr<AccountSetSession> m_session;
};

DemoGenerator::Options small(int mode)
{
    DemoGenerator::Options o;
    o.materials = 40;
    o.months = 3;
    o.stockInLines = 240;
    o.issueLines = 300;
    o.units = 8;
    o.mode = mode;
    o.batchSize = 7; // several batches a month
    return o;
}

TEST(DemoGenerator, SmallSetsKeepTheBooksSoundInBothModes)
{
    for (int mode : {1, 2}) {
        Generated set(small(mode));
        SCOPED_TRACE(mode);
        const QList<InvariantBreach> breaches =
            InvariantChecker::check(set.db(), mode, set.formats());
        for (const InvariantBreach &b : breaches) {
            if (b.kind != InvariantBreach::Kind::ZeroQuantityAmount)
                ADD_FAILURE() << b.clbh.toStdString() << ": " << b.what.toStdString();
        }

        // The opening closing and the closed voucher months; the current month stays open and
        // holds vouchers.
        EXPECT_EQ(set.summary.closings, 3);
        EXPECT_EQ(set.count(QStringLiteral("SELECT COUNT(*) FROM YJSJB")), 3);
        EXPECT_EQ(set.db().scalar(QStringLiteral("SELECT MAX(YJSJ) FROM YJSJB")).toString(),
                  QStringLiteral("2026-05-31"));
        EXPECT_GT(set.count(QStringLiteral("SELECT COUNT(*) FROM RKD WHERE CZRQ > '2026-05-31'")),
                  0);
        EXPECT_EQ(set.count(QStringLiteral("SELECT COUNT(*) FROM RKD WHERE CZRQ > '2026-06-17'")),
                  0);

        // Everything written is posted, and exactly what was asked for.
        EXPECT_EQ(set.count(QStringLiteral("SELECT COUNT(*) FROM RKD WHERE JZBZ = 0")), 0);
        EXPECT_EQ(set.count(QStringLiteral("SELECT COUNT(*) FROM RKD")), 240);
        EXPECT_EQ(set.summary.stockInLines, 240);
        EXPECT_EQ(set.count(QStringLiteral("SELECT COUNT(*) FROM KC")), 40);
        EXPECT_EQ(set.count(QStringLiteral("SELECT COUNT(*) FROM KC WHERE KCSL < 0 OR KCJE < 0")),
                  0);
        EXPECT_EQ(set.summary.issueLines, 300);
        EXPECT_EQ(set.count(QStringLiteral("SELECT COUNT(*) FROM LLD WHERE JZBZ <> 0")), 300);
        EXPECT_GT(set.count(QStringLiteral("SELECT COUNT(*) FROM LLD WHERE ZL = '2'")), 0);
        if (mode == 1) {
            EXPECT_GT(set.count(QStringLiteral("SELECT COUNT(*) FROM XJXCSJB")), 0);
        }
        EXPECT_EQ(set.count(QStringLiteral("SELECT COUNT(*) FROM LLDW")), 8);

        // One log record per step and month, not one per voucher.
        EXPECT_EQ(set.commands.count(QStringLiteral("RKDZ")), 3);
        EXPECT_EQ(set.commands.count(QStringLiteral("YJCL")), 3);
    }
}

TEST(DemoGenerator, TheSameSeedMakesTheSameBooks)
{
    Generated a(small(1));
    Generated b(small(1));
    for (const char *table : {"CLJBXXB", "ZWCSH", "RKD", "LLD", "KC", "XJXCSJB", "YJKCB"})
        EXPECT_EQ(a.dump(QLatin1String(table)), b.dump(QLatin1String(table))) << table;

    DemoGenerator::Options other = small(1);
    other.seed += 1;
    Generated c(other);
    EXPECT_NE(a.dump(QStringLiteral("RKD")), c.dump(QStringLiteral("RKD")));
}

TEST(DemoGenerator, LargeCataloguesAreCodedUnderTheCategoriesAndSkewed)
{
    DemoGenerator::Options o;
    o.materials = 1000; // more than the library holds
    o.months = 2;
    o.stockInLines = 3000;
    o.issueLines = 0;
    o.mode = 2;
    o.batchSize = 500;
    Generated set(o);

    EXPECT_EQ(set.count(QStringLiteral("SELECT COUNT(*) FROM CLJBXXB WHERE SFMJ = 1")), 1000);
    EXPECT_EQ(set.summary.materials, 1000);
    // Every material sits under an existing category and extends its code by three digits.
    EXPECT_EQ(set.count(QStringLiteral(
                  "SELECT COUNT(*) FROM CLJBXXB M LEFT JOIN CLJBXXB P ON P.CLBH = M.SJBH "
                  "WHERE M.SFMJ = 1 AND (P.CLBH IS NULL OR P.SFMJ <> 0 "
                  "OR M.CLBH NOT LIKE P.CLBH || '___' OR LENGTH(M.CLBH) <> LENGTH(P.CLBH) + 3)")),
              0);
    EXPECT_EQ(set.count(QStringLiteral("SELECT COUNT(*) FROM ZWCSH")), 1000);

    // A fifth of the materials carries about four fifths of the lines.
    QSqlQuery q = set.db().exec(
        QStringLiteral("SELECT COUNT(*) AS N FROM RKD GROUP BY CLBH ORDER BY N DESC LIMIT 200"));
    qint64 busiest = 0;
    while (q.next())
        busiest += q.value(0).toLongLong();
    EXPECT_GT(busiest, 3000 * 70 / 100);
    EXPECT_LT(busiest, 3000 * 90 / 100);
}

} // namespace
} // namespace varnock
