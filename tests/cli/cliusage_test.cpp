#include "clirunner.h"

#include "cli/shellwords.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace varnock {
namespace {

using test::CliRunner;

TEST(CliShellWords, SplitLikeAShell)
{
    using cli::splitShellWords;
    EXPECT_EQ(*splitShellWords(QStringLiteral("  a  b\tc ")), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(*splitShellWords(QStringLiteral(R"(--name "北京 建材" x)")),
              (QStringList{"--name", "北京 建材", "x"}));
    EXPECT_EQ(*splitShellWords(QStringLiteral(R"('it''s' "say \"hi\"" a\ b)")),
              (QStringList{"its", "say \"hi\"", "a b"}));
    EXPECT_EQ(*splitShellWords(QStringLiteral(R"(x "" y)")), (QStringList{"x", "", "y"}));
    // # starts a comment only at the start of a word.
    EXPECT_EQ(*splitShellWords(QStringLiteral("a#b # c")), (QStringList{"a#b"}));
    EXPECT_EQ(*splitShellWords(QStringLiteral("'#' \"#\"")), (QStringList{"#", "#"}));
    EXPECT_TRUE(splitShellWords(QStringLiteral("# all comment"))->isEmpty());
    EXPECT_FALSE(splitShellWords(QStringLiteral("a \"open")));
    EXPECT_FALSE(splitShellWords(QStringLiteral("a 'open")));
}

TEST(CliUsage, ErrorsNameTheOffendingArgument)
{
    CliRunner cli;
    struct Case
    {
        QStringList args;
        const char *named;
    };
    const Case cases[] = {
        {{"stock", "--bogus"}, "--bogus"},
        {{"frob"}, "frob"},
        {{"set"}, "set: missing sub-command"},
        {{"set", "frob"}, "frob"},
        {{"catalogue", "add-material", "--parent", "1"}, "missing --name"},
        {{"opening", "add", "--material", "1", "--price", "abc", "--quantity", "1"}, "--price"},
        {{"opening", "add", "--material", "1", "--price", "1"}, "missing --quantity"},
        {{"set", "create", "--name", "x", "--password", "p", "--date", "2026-13-01"}, "--date"},
        {{"set", "create", "--name", "x", "--password", "p", "--mode", "lifo"}, "--mode"},
        {{"set", "create", "--name", "x", "--name", "y"}, "--name given twice"},
        {{"catalogue", "import", "--library", "4"}, "--library"},
        {{"stock", "extra"}, "extra"},
        {{"stock", "--set"}, "--set needs a value"},
        {{"batch"}, "missing FILE"},
        {{"batch", "/no/such/file"}, "/no/such/file"},
    };
    for (const Case &c : cases) {
        const auto r = cli.run(c.args);
        EXPECT_EQ(r.code, 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String(c.named)))
            << c.args.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    // Nothing was made on the way, not even a half-made set.
    EXPECT_TRUE(cli.run({"set", "list"}).out.isEmpty());
}

TEST(CliUsage, HelpOnEveryCommand)
{
    CliRunner cli;
    const auto general = cli.run({"--help"});
    EXPECT_EQ(general.code, 0);
    for (const char *command :
         {"set create", "set list", "set delete", "catalogue import", "catalogue add-category",
          "catalogue add-material", "supplier add", "unit add", "opening add", "stock", "check",
          "month-end", "batch FILE", "demo", "stock-in save", "post", "voucher show"}) {
        EXPECT_TRUE(general.out.contains(QLatin1String(command))) << command;
        QStringList args = QString::fromLatin1(command).split(' ');
        if (args.last() == QLatin1String("FILE"))
            args.removeLast();
        const auto help = cli.run(args + QStringList{"--help"});
        EXPECT_EQ(help.code, 0) << command;
        EXPECT_TRUE(help.out.startsWith(QStringLiteral("usage: varnock-cli"))) << command;
    }
    // --help wins over missing options and touches nothing.
    EXPECT_EQ(cli.run({"set", "delete", "--help"}).code, 0);
}

TEST(CliUsage, JsonReportsRefusalsToo)
{
    CliRunner cli;
    const auto r = cli.run({"--json", "set", "delete", "--number", "42", "--password", "x"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, QStringLiteral("该账套不存在！\n"));
    EXPECT_TRUE(r.out.contains(QStringLiteral("\"ok\":false")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("\"message\":\"该账套不存在！\"")));
}

// The built program itself.
TEST(CliProgram, RunsAsAProcess)
{
    const QString program = QStringLiteral(VARNOCK_CLI_PATH);
    ASSERT_TRUE(QFileInfo::exists(program)) << program.toStdString();
    QTemporaryDir dir;
    QProcess p;
    p.start(program, {"--data-dir", dir.path(), "--json", "set", "list"});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()),
              QStringLiteral("{\"command\":\"set list\",\"ok\":true,\"rows\":[]}\n"));

    p.start(program,
            {"--data-dir", dir.path(), "set", "delete", "--number", "7", "--password", "x"});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardError()), QStringLiteral("该账套不存在！\n"));

    p.start(program, {"--data-dir", dir.path(), "stock", "--nope"});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 2);
}

} // namespace
} // namespace varnock
