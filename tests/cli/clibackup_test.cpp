#include "clirunner.h"

#include "shell/datafolder.h"
#include "shell/operationlog.h"
#include "store/clock.h"
#include "store/database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace varnock {
namespace {

using test::CliRunner;

const QStringList Admin = {"--user", "admin", "--password", "admin"};

QJsonObject json(const QString &line)
{
    return QJsonDocument::fromJson(line.toUtf8()).object();
}

// A set opened, closed and with a posted purchase; the books are compared through what the
// command line shows of them.
class CliBackup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setToday(QDate(2026, 1, 31));
        const auto made =
            cli.batch(QStringLiteral(R"(set create --name 备份 --password pw --date 2026-01-01
catalogue import --library 3
supplier add --name 第一建材
opening add --material 1001001 --price 4000 --quantity 10
month-end --yes
)"),
                      Admin);
        ASSERT_EQ(made.code, 0) << made.err.toStdString();
        set = made.lines().value(0);
        Clock::setToday(QDate(2026, 2, 10));
        ASSERT_EQ(purchase("2").code, 0);
    }
    void TearDown() override { Clock::setToday(std::nullopt); }

    CliRunner::Outcome run(const QStringList &args) const
    {
        return cli.run(QStringList{"--set", set} + Admin + args);
    }
    CliRunner::Outcome purchase(const QString &quantity) const
    {
        return cli.batch(QStringLiteral("stock-in save --kind 采购入库 --date 2026-02-05 "
                                        "--supplier 1 --line 1001001,4100,%1\n"
                                        "post stock-in --all\n")
                             .arg(quantity),
                         QStringList{"--set", set} + Admin);
    }
    // What a clerk sees of the books.
    QString books() const
    {
        return run({"stock"}).out + run({"voucher", "show", "stock-in", "--voucher", "1"}).out;
    }
    QString setFile() const
    {
        return DataFolder(cli.dataDir()).accountSetDatabasePath(set.toLongLong());
    }

    CliRunner cli;
    QString set;
};

TEST_F(CliBackup, ARestoreGivesBackTheBooksOfTheBackup)
{
    const QString saved = books();
    const auto backup = run({"--json", "backup"});
    ASSERT_EQ(backup.code, 0) << backup.err.toStdString();
    const QString file = json(backup.lines().value(0))[QStringLiteral("file")].toString();
    EXPECT_EQ(QFileInfo(file).fileName(), QStringLiteral("KVMT%1-2026-02-10.db").arg(set));

    ASSERT_EQ(purchase("3").code, 0);
    ASSERT_NE(books(), saved);

    // Without --yes the question is answered No and nothing changes.
    const auto declined = run({"restore", "--file", file});
    EXPECT_EQ(declined.code, 1);
    EXPECT_NE(books(), saved);

    const auto restored = run({"--json", "restore", "--file", file, "--yes"});
    ASSERT_EQ(restored.code, 0) << restored.err.toStdString();
    EXPECT_EQ(books(), saved);
    EXPECT_EQ(run({"check", "--strict"}).code, 0);
    {
        Database db(setFile(), Database::Access::ReadOnly);
        QStringList texts;
        for (const OperationLog::Row &row : OperationLog(db).browse())
            texts << row.text;
        EXPECT_EQ(texts.mid(texts.size() - 2),
                  (QStringList{QStringLiteral("数据备份"), QStringLiteral("数据还原")}));
    }

    // The books replaced were kept, and the list shows both copies.
    const QString before = json(restored.lines().value(0))[QStringLiteral("before")].toString();
    const auto list = run({"--json", "backup", "list"});
    const QJsonArray copies = json(list.lines().value(0))[QStringLiteral("copies")].toArray();
    ASSERT_EQ(copies.size(), 2);
    EXPECT_EQ(copies[0].toObject()[QStringLiteral("file")].toString(), before);
    EXPECT_EQ(copies[1].toObject()[QStringLiteral("kind")].toString(), QStringLiteral("数据备份"));
}

TEST_F(CliBackup, ATruncatedFileIsRefusedAndTheBooksStay)
{
    const QString file = run({"backup"}).lines().value(0);
    const QString truncated = QDir(cli.dataDir()).filePath(QStringLiteral("half.db"));
    ASSERT_TRUE(QFile::copy(file, truncated));
    QFile half(truncated);
    ASSERT_TRUE(half.resize(half.size() / 2));
    const QString saved = books();

    const auto refused = run({"restore", "--file", truncated, "--yes"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("不能用于还原，账套数据未被改动")))
        << refused.err.toStdString();
    EXPECT_EQ(books(), saved);
    EXPECT_FALSE(QFileInfo::exists(setFile() + QStringLiteral(".restore")));
}

TEST_F(CliBackup, PiecesSplitIntoAFolderJoinBackIntoTheBooks)
{
    const QString saved = books();
    const QString medium = QDir(cli.dataDir()).filePath(QStringLiteral("medium"));
    ASSERT_TRUE(QDir().mkpath(medium));
    const auto split = run({"--json", "backup", "split", "--folder", medium});
    ASSERT_EQ(split.code, 0) << split.err.toStdString();
    const int pieces = json(split.lines().value(0))[QStringLiteral("pieces")].toInt();
    ASSERT_GE(pieces, 1);
    ASSERT_EQ(purchase("3").code, 0);

    // A missing piece stops the join with the request for it.
    const QString last = QDir(medium).filePath(
        QStringLiteral("kvmt-%1$db.%2").arg(pieces).arg(pieces, 3, 10, QLatin1Char('0')));
    const QString aside = last + QStringLiteral(".aside");
    ASSERT_TRUE(QFile::rename(last, aside));
    const auto missing = run({"backup", "join", "--folder", medium, "--yes"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, QStringLiteral("请插入你已备份好的磁盘,第%1号磁盘\n").arg(pieces));
    EXPECT_NE(books(), saved);

    ASSERT_TRUE(QFile::rename(aside, last));
    const auto joined = run({"backup", "join", "--folder", medium, "--yes"});
    ASSERT_EQ(joined.code, 0) << joined.err.toStdString();
    EXPECT_EQ(books(), saved);
}

TEST_F(CliBackup, SettingsAreShownAndSetAndTheBackupFolderFollows)
{
    const QString chosen = QDir(cli.dataDir()).filePath(QStringLiteral("备份盘"));
    ASSERT_TRUE(QDir().mkpath(chosen));
    const auto changed =
        run({"--json", "settings", "set", "--firm-name", "第一建筑公司", "--amount-format",
             "0.0000", "--receipt-caption", "3=收 料 人", "--backup-folder", chosen});
    ASSERT_EQ(changed.code, 0) << changed.err.toStdString();
    const QJsonObject saved = json(changed.lines().value(0));
    EXPECT_TRUE(saved[QStringLiteral("restart")].toBool());
    EXPECT_EQ(saved[QStringLiteral("JEXSW")].toString(), QStringLiteral("0.0000"));
    EXPECT_EQ(saved[QStringLiteral("receiptCaptions")].toArray()[2].toString(),
              QStringLiteral("收 料 人"));

    const QJsonObject shown = json(run({"--json", "settings", "show"}).lines().value(0));
    EXPECT_EQ(shown[QStringLiteral("GSMC")].toString(), QStringLiteral("第一建筑公司"));
    EXPECT_FALSE(shown[QStringLiteral("defaultBackupFolder")].toBool());
    // The same formats again: nothing to restart for.
    EXPECT_FALSE(json(run({"--json", "settings", "set", "--amount-format", "0.0000"})
                          .lines()
                          .value(0))[QStringLiteral("restart")]
                     .toBool());
    EXPECT_EQ(QFileInfo(run({"backup"}).lines().value(0)).absolutePath(),
              QFileInfo(chosen).absoluteFilePath());

    EXPECT_EQ(run({"settings", "set", "--issue-caption", "6=x"}).code, 2);
    EXPECT_EQ(run({"settings", "set", "--quantity-format", "0.00000"}).code, 1);
    EXPECT_EQ(run({"settings", "restore-templates", "材料信息一览表"}).code, 1);
    EXPECT_EQ(run({"settings", "restore-templates", "材料信息一览表", "--yes"}).out,
              QStringLiteral("你所有选的报表,已成功还原\n"));
}

} // namespace
} // namespace varnock
