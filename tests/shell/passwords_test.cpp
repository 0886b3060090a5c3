#include "shell/passwords.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace varnock;

TEST(Passwords, HashIsSaltedAndRecordsItsIterations)
{
    const QString a = Passwords::hash(QStringLiteral("secret"));
    const QString b = Passwords::hash(QStringLiteral("secret"));
    EXPECT_NE(a, b);
    EXPECT_FALSE(a.contains(QStringLiteral("secret")));

    const QStringList parts = a.split(QLatin1Char('$'));
    ASSERT_EQ(parts.size(), 4);
    EXPECT_EQ(parts[0], QStringLiteral("pbkdf2-sha256"));
    EXPECT_GE(parts[1].toInt(), 100000);
    EXPECT_EQ(QByteArray::fromBase64(parts[2].toLatin1()).size(), 16);
    EXPECT_TRUE(Passwords::isHash(a));
}

TEST(Passwords, AStoredHashIsCheckedWithTheRoundsItRecords)
{
    const QString quick = Passwords::hash(QStringLiteral("secret"), 1);
    EXPECT_EQ(quick.split(QLatin1Char('$')).value(1), QStringLiteral("1"));
    EXPECT_TRUE(Passwords::matches(quick, QStringLiteral("secret")));
    EXPECT_FALSE(Passwords::matches(quick, QStringLiteral("secreT")));
    EXPECT_FALSE(Passwords::matches(Passwords::hash(QStringLiteral("secret"), 2),
                                    QStringLiteral("secrets")));
}

TEST(Passwords, MatchesIgnoresSpacesAroundButNothingElse)
{
    const QString stored = Passwords::hash(QStringLiteral("  口令 1'%  "));
    EXPECT_TRUE(Passwords::matches(stored, QStringLiteral("口令 1'%")));
    EXPECT_TRUE(Passwords::matches(stored, QStringLiteral(" 口令 1'% ")));
    EXPECT_FALSE(Passwords::matches(stored, QStringLiteral("口令1'%")));
    EXPECT_FALSE(Passwords::matches(stored, QStringLiteral("口令 1'")));
    EXPECT_FALSE(Passwords::matches(stored, QString()));
}

TEST(Passwords, EmptyPasswordMatchesOnlyEmpty)
{
    const QString stored = Passwords::hash(QString());
    EXPECT_TRUE(Passwords::matches(stored, QString()));
    EXPECT_TRUE(Passwords::matches(stored, QStringLiteral("   ")));
    EXPECT_FALSE(Passwords::matches(stored, QStringLiteral("a")));
}

TEST(Passwords, OlderPlainTextValuesStillCompareTrimmed)
{
    EXPECT_FALSE(Passwords::isHash(QStringLiteral(" abc ")));
    EXPECT_TRUE(Passwords::matches(QStringLiteral(" abc "), QStringLiteral("abc  ")));
    EXPECT_FALSE(Passwords::matches(QStringLiteral(" abc "), QStringLiteral("abd")));
    // A damaged hash is not accepted as a hash, nor does its own text open it by accident.
    QString damaged = Passwords::hash(QStringLiteral("x"));
    damaged.replace(QStringLiteral("pbkdf2-sha256$"), QStringLiteral("pbkdf2-sha256$x"));
    EXPECT_FALSE(Passwords::isHash(damaged));
    EXPECT_FALSE(Passwords::matches(damaged, QStringLiteral("x")));
}
