#include "clirunner.h"

#include "store/clock.h"
#include "support/workbookreader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace varnock {
namespace {

using test::CliRunner;
using test::WorkbookReader;

class PrintCli : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setToday(QDate(2026, 1, 31));
        const auto r = cli.batch(QStringLiteral(R"(
set create --name 打印账套 --password pw --date 2026-01-01 --operator 张会计 --operator-password kj
catalogue add-category --parent 0 --code 1 --name 钢材
catalogue add-material --parent 1 --code 1001 --name 圆钢 --spec φ8 --unit 吨 --planned-price 4000
catalogue add-material --parent 1 --code 1002 --name 角钢 --spec 50 --unit 吨 --planned-price 3800
supplier add --code 1 --name 钢材公司
opening add --material 1001 --price 4000 --quantity 2
month-end --yes
)"),
                                 as);
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        Clock::setToday(QDate(2026, 2, 5));
        const auto saved = cli.run(
            as + QStringList{"stock-in", "save", "--kind", "采购入库", "--date", "2026-02-03",
                             "--supplier", "1", "--line", "1001,4100,1", "--line", "1002,3900,2"});
        ASSERT_EQ(saved.code, 0) << saved.err.toStdString();
    }
    void TearDown() override { Clock::setToday(std::nullopt); }

    QString file(const QString &name) const { return QDir(cli.dataDir()).filePath(name); }

    // The built program, for what draws pages.
    QProcess::ExitStatus runProgram(const QStringList &args, int &code, QString &out,
                                    QString &err) const
    {
        QProcess p;
        p.start(QStringLiteral(VARNOCK_CLI_PATH),
                QStringList{"--data-dir", cli.dataDir()} + as + args);
        p.waitForFinished(60000);
        code = p.exitCode();
        out = QString::fromUtf8(p.readAllStandardOutput());
        err = QString::fromUtf8(p.readAllStandardError());
        return p.exitStatus();
    }

    static int pdfPages(const QString &path)
    {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return -1;
        return int(QString::fromLatin1(f.readAll())
                       .count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
    }

    const QStringList as = {"--user", "张会计", "--password", "kj"};
    CliRunner cli;
};

TEST_F(PrintCli, ExportWritesTheWorkbookOfAMasterListByNameOrKey)
{
    const auto r = cli.run(as + QStringList{"--json", "export", "CLJBXXB", "--xlsx",
                                            file(QStringLiteral("目录.xlsx"))});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(r.out.toUtf8()).object();
    EXPECT_EQ(json.value(QStringLiteral("file")).toString(),
              QFileInfo(file(QStringLiteral("目录.xlsx"))).absoluteFilePath());
    EXPECT_EQ(json.value(QStringLiteral("rows")).toInt(), 3);
    const auto book = WorkbookReader::read(file(QStringLiteral("目录.xlsx")));
    ASSERT_TRUE(book);
    EXPECT_EQ(book->text(QStringLiteral("C6")), QStringLiteral("角钢"));
    EXPECT_DOUBLE_EQ(book->cell(QStringLiteral("H6"))->number, 3800);

    // The same through its name, for the opening balances.
    const auto opening = cli.run(
        as + QStringList{"export", "账务初始资料", "--xlsx", file(QStringLiteral("初始.xlsx"))});
    ASSERT_EQ(opening.code, 0) << opening.err.toStdString();
    EXPECT_EQ(WorkbookReader::read(file(QStringLiteral("初始.xlsx")))->text(QStringLiteral("B6")),
              QStringLiteral("全部材料 总计"));
}

TEST_F(PrintCli, ExportRefusesWhatItCannotWrite)
{
    const auto empty = cli.run(as + QStringList{"export", "LLDW", "--xlsx", file("u.xlsx")});
    EXPECT_EQ(empty.code, 1);
    EXPECT_EQ(empty.err.trimmed(), QStringLiteral("没有记录！"));
    EXPECT_FALSE(QFile::exists(file("u.xlsx")));

    EXPECT_EQ(cli.run(as + QStringList{"export", "GYS", "--from", "2026-01-01", "--to",
                                       "2026-01-31", "--xlsx", file("g.xlsx")})
                  .code,
              2);
    EXPECT_EQ(cli.run(as + QStringList{"export", "无此报表", "--xlsx", file("x.xlsx")}).code, 2);
    EXPECT_EQ(cli.run(as + QStringList{"export", "GYS"}).code, 2);
    EXPECT_EQ(
        cli.run(as + QStringList{"export", "GYS", "--xlsx", file("a.xlsx"), "--pdf", file("a.pdf")})
            .code,
        2);
}

TEST_F(PrintCli, TheProgramWritesSlipsAndReportsAsPdf)
{
    int code = 0;
    QString out;
    QString err;
    ASSERT_EQ(runProgram({"print", "slip", "stock-in", "--voucher", "1", "--pdf",
                          file(QStringLiteral("slip.pdf"))},
                         code, out, err),
              QProcess::NormalExit);
    ASSERT_EQ(code, 0) << err.toStdString();
    EXPECT_EQ(out.trimmed(), QFileInfo(file(QStringLiteral("slip.pdf"))).absoluteFilePath());
    EXPECT_EQ(pdfPages(file(QStringLiteral("slip.pdf"))), 1);

    runProgram({"--json", "export", "供应商设置一览表", "--pdf", file(QStringLiteral("gys.pdf"))},
               code, out, err);
    ASSERT_EQ(code, 0) << err.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(out.toUtf8()).object().value("rows").toInt(), 1);
    EXPECT_EQ(pdfPages(file(QStringLiteral("gys.pdf"))), 1);

    runProgram(
        {"print", "slip", "issue", "--voucher", "9", "--pdf", file(QStringLiteral("no.pdf"))}, code,
        out, err);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(err.trimmed(), QStringLiteral("没有记录！"));
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("no.pdf"))));
}

} // namespace
} // namespace varnock
