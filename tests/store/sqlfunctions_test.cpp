#include "store/database.h"
#include "store/decimal.h"
#include "store/errors.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <stdexcept>

using varnock::Database;
using varnock::Decimal;
using varnock::StoreError;

namespace {

constexpr qlonglong MaxRaw = std::numeric_limits<qlonglong>::max();
constexpr qlonglong MinRaw = std::numeric_limits<qlonglong>::min();

qlonglong scaled(const char *text)
{
    return Decimal::parse(QString::fromLatin1(text)).value().raw();
}

class ScaledSqlFunctions : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_db = std::make_unique<Database>(m_dir.filePath(QStringLiteral("kvmt.db")),
                                          Database::Access::Create);
    }

    QVariant select(const char *expression, const QVariantList &values)
    {
        return m_db->scalar(QStringLiteral("SELECT ") + QString::fromLatin1(expression), values);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;
};

} // namespace

TEST_F(ScaledSqlFunctions, MultiplyRoundsToTheGivenDecimals)
{
    EXPECT_EQ(select("SMUL(?, ?, 2)", {scaled("2.345"), scaled("1")}).toLongLong(), scaled("2.35"));
    EXPECT_EQ(select("SMUL(?, ?, 2)", {scaled("-2.345"), scaled("1")}).toLongLong(),
              scaled("-2.35"));
    EXPECT_EQ(select("SMUL(?, ?, 2)", {scaled("2.3449"), scaled("1")}).toLongLong(),
              scaled("2.34"));
    EXPECT_EQ(select("SMUL(?, ?, 4)", {scaled("1.2345"), scaled("2")}).toLongLong(),
              scaled("2.469"));
    EXPECT_EQ(select("SMUL(?, ?, 0)", {scaled("0.5"), scaled("1")}).toLongLong(), scaled("1"));
    EXPECT_EQ(select("SMUL(?, ?, 0)", {scaled("-0.5"), scaled("1")}).toLongLong(), scaled("-1"));
    EXPECT_EQ(select("SMUL(?, ?, 3)", {scaled("12.5"), scaled("3.333")}).toLongLong(),
              scaled("41.663")); // 41.6625
    EXPECT_EQ(select("SMUL(?, ?, 4)", {MaxRaw, scaled("0.5")}).toLongLong(), 4611686018427387904LL);
}

TEST_F(ScaledSqlFunctions, DivideAndRound)
{
    EXPECT_EQ(select("SDIV(?, ?, 4)", {scaled("1"), scaled("3")}).toLongLong(), scaled("0.3333"));
    EXPECT_EQ(select("SDIV(?, ?, 2)", {scaled("-2"), scaled("3")}).toLongLong(), scaled("-0.67"));
    EXPECT_EQ(select("SDIV(?, ?, 0)", {scaled("5"), scaled("2")}).toLongLong(), scaled("3"));
    EXPECT_EQ(select("SDIV(?, ?, 2)", {scaled("100"), scaled("0.0001")}).toLongLong(),
              scaled("1000000"));
    EXPECT_EQ(select("SROUND(?, 2)", {scaled("2.345")}).toLongLong(), scaled("2.35"));
    EXPECT_EQ(select("SROUND(?, 2)", {scaled("-2.345")}).toLongLong(), scaled("-2.35"));
    EXPECT_EQ(select("SROUND(?, 0)", {scaled("-0.5")}).toLongLong(), scaled("-1"));
    EXPECT_EQ(select("SROUND(?, 4)", {MinRaw}).toLongLong(), MinRaw);
}

TEST_F(ScaledSqlFunctions, NullInNullOutAndDivisionByZeroIsNull)
{
    const QVariant null;
    EXPECT_TRUE(select("SMUL(?, ?, 2)", {null, scaled("1")}).isNull());
    EXPECT_TRUE(select("SMUL(?, ?, 2)", {scaled("1"), null}).isNull());
    EXPECT_TRUE(select("SMUL(?, ?, ?)", {scaled("1"), scaled("1"), null}).isNull());
    EXPECT_TRUE(select("SDIV(?, ?, 2)", {null, scaled("1")}).isNull());
    EXPECT_TRUE(select("SDIV(?, ?, 2)", {scaled("1"), null}).isNull());
    EXPECT_TRUE(select("SDIV(?, ?, 2)", {scaled("1"), qlonglong(0)}).isNull());
    EXPECT_TRUE(select("SDIV(?, ?, 2)", {qlonglong(0), qlonglong(0)}).isNull());
    EXPECT_TRUE(select("SROUND(?, 2)", {null}).isNull());
    EXPECT_TRUE(select("SROUND(?, ?)", {scaled("1"), null}).isNull());
    // NULL rows drop out of a sum the way SQL sums do.
    m_db->execScript(QStringLiteral("CREATE TABLE T (SL INTEGER, DJ INTEGER)"));
    m_db->exec(QStringLiteral("INSERT INTO T VALUES (?, ?), (?, ?), (?, ?)"),
               {scaled("2"), scaled("1.5"), null, scaled("9"), scaled("1"), qlonglong(0)});
    EXPECT_EQ(m_db->scalar(QStringLiteral("SELECT SUM(SMUL(SL, DJ, 2)) FROM T")).toLongLong(),
              scaled("3"));
    EXPECT_TRUE(
        m_db->scalar(QStringLiteral("SELECT SUM(SDIV(SL, DJ, 2)) FROM T WHERE DJ = 0")).isNull());
}

TEST_F(ScaledSqlFunctions, OverflowIsTheSameFailureAsDecimals)
{
    // Not a store error: the operation that ran the query is refused, as for Decimal.
    EXPECT_THROW(select("SMUL(?, ?, 2)", {MaxRaw, scaled("2")}), std::overflow_error);
    EXPECT_THROW(select("SMUL(?, ?, 4)", {MinRaw, scaled("-1")}), std::overflow_error);
    EXPECT_THROW(select("SDIV(?, ?, 4)", {MaxRaw, scaled("0.0001")}), std::overflow_error);
    EXPECT_THROW(select("SROUND(?, 0)", {MaxRaw}), std::overflow_error);
    EXPECT_THROW(select("SMUL(?, ?, 2)", {MaxRaw, MaxRaw}), std::overflow_error);
    // The connection is still usable afterwards.
    EXPECT_EQ(select("SROUND(?, 2)", {scaled("1.005")}).toLongLong(), scaled("1.01"));
}

TEST_F(ScaledSqlFunctions, TextThatIsNotANumberIsAnError)
{
    EXPECT_THROW(select("SMUL(?, ?, 2)", {QStringLiteral("abc"), scaled("1")}), StoreError);
    // Numeric text is taken as its number, as SQLite columns would.
    EXPECT_EQ(select("SMUL(?, ?, 2)", {QStringLiteral("25000"), scaled("2")}).toLongLong(),
              scaled("5"));
}

TEST_F(ScaledSqlFunctions, AgreeWithDecimalArithmetic)
{
    // A report query and the ledger must produce the same figures to the last digit.
    m_db->execScript(QStringLiteral("CREATE TABLE T (SL INTEGER, DJ INTEGER)"));
    QVariantList rows;
    std::vector<std::pair<Decimal, Decimal>> values;
    std::int64_t seed = 12345;
    for (int i = 0; i < 200; ++i) {
        seed = (seed * 1103515245 + 12345) % 2147483648;
        const Decimal sl = Decimal::fromRaw((seed % 2000001) - 1000000);
        seed = (seed * 1103515245 + 12345) % 2147483648;
        const Decimal dj = Decimal::fromRaw((seed % 99999) + 1);
        values.emplace_back(sl, dj);
        m_db->exec(QStringLiteral("INSERT INTO T VALUES (?, ?)"), {sl.toVariant(), dj.toVariant()});
    }
    for (int d = 0; d <= 4; ++d) {
        Decimal products;
        Decimal quotients;
        for (const auto &[sl, dj] : values) {
            products += (sl * dj).rounded(d);
            quotients += (sl / dj).rounded(d);
        }
        const QVariant sqlProducts =
            m_db->scalar(QStringLiteral("SELECT SUM(SMUL(SL, DJ, ?)) FROM T"), {d});
        const QVariant sqlQuotients =
            m_db->scalar(QStringLiteral("SELECT SUM(SDIV(SL, DJ, ?)) FROM T"), {d});
        EXPECT_EQ(Decimal::fromVariant(sqlProducts), products) << d;
        EXPECT_EQ(Decimal::fromVariant(sqlQuotients), quotients) << d;
    }
}

TEST_F(ScaledSqlFunctions, UsableWhereSqliteRequiresDeterministicFunctions)
{
    m_db->execScript(QStringLiteral("CREATE TABLE T (SL INTEGER, DJ INTEGER);"
                                    "CREATE INDEX T_JE ON T (SMUL(SL, DJ, 2))"));
    m_db->exec(QStringLiteral("INSERT INTO T VALUES (?, ?)"), {scaled("3"), scaled("0.333")});
    EXPECT_EQ(m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM T WHERE SMUL(SL, DJ, 2) = ?"),
                           {scaled("1")})
                  .toInt(),
              1);
}
