#include "shell/commandmap.h"
#include "shell/menutree.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace varnock;

namespace {

// The command map as the users' manual lists it, typed independently of the code.
// Flag: a permission field, "-" for always available, "a" for the opening-balance rule,
// "hidden" for the commands of hidden entries.
struct Expected
{
    const char16_t *name;
    const char16_t *logText; // u"" = no record
    const char16_t *screen;
    int kind;
    const char *flag;
};

const Expected Table[] = {
    {u"CLSZ", u"设置材料信息", u"FrmClsz", 0, "CLSZ"},
    {u"GYSSZ", u"设置供应商", u"FormGYSSZ", 0, "GYSSZ"},
    {u"LLDWSZ", u"设置领料单位", u"FrmLldw", 0, "LLDWSZ"},
    {u"XTCSSZ", u"设置系统信息", u"FrmXtcssz", 0, "XTSZ"},
    {u"CZYSZ", u"", u"FrmCzyQx", 0, "CZYSZ"},
    {u"a", u"设置账务初始化信息", u"FrmZwcsh", 0, "a"},
    {u"DHT", u"", u"FrmDHT", 0, "-"},
    {u"JHTX", u"", u"FJHTXD", 0, "-"},
    {u"gccx", u"", u"Fgccx", 0, "-"},
    {u"CGRKD", u"采购入库单填写", u"FrmCgrkd", 0, "RKYW"},
    {u"DBRKD", u"调拨入库单填写", u"FrmDbrkd", 0, "RKYW"},
    {u"ZGRKD", u"暂估入库单填写", u"FrmZgrkd", 0, "RKYW"},
    {u"JGRKD", u"甲方供给入库单填写", u"FrmJgrkd", 0, "RKYW"},
    {u"CGTHD", u"采购退货单填写", u"FrmCgthd", 0, "RKYW"},
    {u"DBTHD", u"调拨入库退货单填写", u"FrmDbthd", 0, "RKYW"},
    {u"ZGTHD", u"暂估入库退货单填写", u"FrmZgthd", 0, "RKYW"},
    {u"JGTHD", u"甲方供给退货单填写", u"FrmJgthd", 0, "RKYW"},
    {u"LLDTX", u"领料出库单填写", u"FormLLDTX", 1, "CKYW"},
    {u"DBCKDTX", u"调拨出库单填写", u"FormLLDTX", 2, "CKYW"},
    {u"LLDTH", u"领料出库退货单填写", u"FormLLTHDTX", 1, "CKYW"},
    {u"DBCKDTH", u"调拨出库退货单填写", u"FormLLTHDTX", 2, "CKYW"},
    {u"ZJZC", u"直进直出单填写", u"FrmZjzc", 0, "ZJZC"},
    {u"ZLYW", u"租赁单填写", u"Forzl", 0, "-"},
    {u"HZYW", u"还租业务处理", u"Forhz", 0, "-"},
    {u"RKDZ", u"入库单登账", u"FrmRkdz", 0, "DZCL"},
    {u"THDQBDZ", u"入库退货单登账", u"FrmThdz", 0, "DZCL"},
    {u"LLDDZ", u"领料出库单登账", u"FormLLDDZ", 1, "DZCL"},
    {u"LLTHDJZ", u"领料出库退货单记帐", u"FormLLTHDDZ", 1, "DZCL"},
    {u"DBDDZ", u"调拨出库单登账", u"FormLLDDZ", 2, "DZCL"},
    {u"DBTHDDZ", u"调拨出库退货单登帐", u"FormLLTHDDZ", 2, "DZCL"},
    {u"ZJZCDZ", u"", u"FrmZjzcdz", 0, "DZCL"},
    {u"RKCZ", u"入库单冲帐", u"FrmRkcz", 0, "CZCL"},
    {u"LLDCZ", u"领料出库单冲帐", u"FormLLDCZ", 1, "CZCL"},
    {u"DDBDCZ", u"调拨出库退货单冲帐", u"FormLLDCZ", 2, "CZCL"},
    {u"ZJZCC", u"", u"Fzjzccz", 0, "CZCL"},
    {u"GYSFK", u"供应商付款", u"FrmGYSQK", 0, "GYSHK"},
    {u"CLKVMT", u"", u"FDZ", 0, "-"},
    {u"ZLHK", u"", u"Fzlhk", 0, "-"},
    {u"YJCL", u"月结处理", u"MonthEnd", 0, "YJCL"},
    {u"QXJZ", u"入库单冲帐", u"FrmQxjz", 0, "QXJZ"},
    {u"KCPD", u"库存盘点", u"FormKCPD", 0, "QXJZ"},
    {u"TJCX", u"", u"FormTJCXCT", 0, "CXBB"},
    {u"PMCX", u"", u"FormPMCXCT", 0, "CXBB"},
    {u"JXCMX", u"", u"FrmJxcmx", 0, "CXBB"},
    {u"JXCHZ", u"", u"FrmJxchz", 0, "CXBB"},
    {u"LDZCQDB", u"", u"FrmBBkcqd", 0, "CXBB"},
    {u"GYSQK", u"", u"FrmRq", 0, "CXBB"},
    {u"RKCZBB", u"", u"FrmRKCXBB", 0, "CXBB"},
    {u"CLCKCXBB", u"", u"FrmRKCXBB", 0, "CXBB"},
    {u"GYSGHQK", u"", u"FrmRkgysbb", 0, "CXBB"},
    {u"LLDWLLQK", u"", u"FrmRkgysbb", 0, "CXBB"},
    {u"CLDBBB", u"", u"FrmBBdbb", 0, "CXBB"},
    {u"zlb", u"", u"Fzlbb", 0, "CXBB"},
    {u"CLLSZ", u"", u"FrmCllsz", 0, "CXBB"},
    {u"qdb", u"", u"PD", 0, "CXBB"},
    {u"DBB", u"", u"FXJHSL", 0, "CXBB"},
    {u"TB", u"", u"FrmTb", 0, "CXBB"},
    {u"ZTJXCMX", u"", u"FXJXCZ", 0, "CXBB"},
    {u"ZTJXCHZ", u"", u"FrmZtjxcmx", 0, "CXBB"},
    {u"ZTLDZCQD", u"", u"FrmZtKcpd", 0, "CXBB"},
    {u"ZTGYSQK", u"", u"FrmZtGysqk", 0, "CXBB"},
    {u"ZTCLRKCX", u"", u"FXRKHZ", 0, "CXBB"},
    {u"ZTCLCKCX", u"", u"FXRKHZ", 0, "CXBB"},
    {u"CLSZC", u"", u"FxJDCL", 0, "hidden"},
    {u"jdb", u"", u"FxJDCL", 0, "hidden"},
    {u"WZQCTJB", u"", u"PD", 0, "hidden"},
    {u"YFWZXHBB", u"", u"FrmXHTJ", 0, "hidden"},
    {u"SJBF", u"", u"FXBF", 0, "-"},
    {u"RZLL", u"", u"FrmCzrz", 0, "-"},
    {u"xihelp", u"", u"Help", 0, "-"},
    {u"help", u"", u"Help", 0, "-"},
    {u"ZTZX", u"", u"AccountSetLogOff", 0, "-"},
    {u"zhuxiao", u"", u"SystemLogOff", 0, "-"},
    {u"exit", u"", u"Leave", 0, "-"},
};

QString s(const char16_t *t)
{
    return QString::fromUtf16(t);
}

std::string flagText(const CommandMap::Command &c)
{
    switch (c.rule) {
    case CommandMap::Rule::Always:
        return "-";
    case CommandMap::Rule::Hidden:
        return "hidden";
    case CommandMap::Rule::OpeningBalance:
        return "a";
    case CommandMap::Rule::Flag:
        return Permissions::fieldName(*c.flag).toStdString();
    }
    return "?";
}

} // namespace

TEST(CommandMap, EveryCommandMatchesTheManual)
{
    QSet<QString> seen;
    for (const Expected &e : Table) {
        const QString name = s(e.name);
        SCOPED_TRACE(name.toStdString());
        const CommandMap::Command *c = CommandMap::find(name);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->name, name);
        EXPECT_EQ(c->logText, s(e.logText));
        EXPECT_EQ(c->writesLog(), !s(e.logText).isEmpty());
        EXPECT_EQ(c->screen, s(e.screen));
        EXPECT_EQ(c->issueKind, e.kind);
        EXPECT_EQ(flagText(*c), e.flag);
        seen.insert(name);
    }
    // Nothing in the map that the manual does not list.
    for (const CommandMap::Command &c : CommandMap::commands())
        EXPECT_TRUE(seen.contains(c.name)) << c.name.toStdString();
    EXPECT_EQ(CommandMap::commands().size(), qsizetype(std::size(Table)));
}

TEST(CommandMap, SharedScreensTakeTheirTitleAndKindFromTheCommand)
{
    auto title = [](const char *name) {
        return CommandMap::find(QString::fromLatin1(name))->title;
    };
    EXPECT_EQ(title("LLDTH"), QStringLiteral("领料出库退货单填写"));
    EXPECT_EQ(title("DBCKDTH"), QStringLiteral("调拨出库退货单填写"));
    EXPECT_EQ(title("LLTHDJZ"), QStringLiteral("领料出库退货单记帐"));
    EXPECT_EQ(title("DBTHDDZ"), QStringLiteral("调拨出库退货单记帐"));
    EXPECT_EQ(title("LLDCZ"), QStringLiteral("领料出库单冲帐窗体"));
    EXPECT_EQ(title("DDBDCZ"), QStringLiteral("调拨出库单冲帐窗体"));
    EXPECT_EQ(title("ZTCLRKCX"), QStringLiteral("材料入库汇总表"));
    EXPECT_EQ(title("ZTCLCKCX"), QStringLiteral("材料出库汇总表"));
    EXPECT_EQ(CommandMap::find(QStringLiteral("CLSZC"))->reportKind, 1);
    EXPECT_EQ(CommandMap::find(QStringLiteral("jdb"))->reportKind, 2);

    // Every command that opens an issue-voucher screen sets the kind to 1 or 2.
    const QStringList issueScreens{QStringLiteral("FormLLDTX"), QStringLiteral("FormLLTHDTX"),
                                   QStringLiteral("FormLLDDZ"), QStringLiteral("FormLLTHDDZ"),
                                   QStringLiteral("FormLLDCZ")};
    int issueCommands = 0;
    for (const CommandMap::Command &c : CommandMap::commands()) {
        if (issueScreens.contains(c.screen)) {
            ++issueCommands;
            EXPECT_TRUE(c.issueKind == 1 || c.issueKind == 2) << c.name.toStdString();
        } else {
            EXPECT_EQ(c.issueKind, 0) << c.name.toStdString();
        }
    }
    EXPECT_EQ(issueCommands, 10);
}

TEST(CommandMap, PopupEntriesRunTheirMenuTwins)
{
    const std::pair<const char *, const char *> expected[] = {
        {"CGRKD1", "CGRKD"},      {"DBRKD1", "DBRKD"},   {"ZGRKD1", "ZGRKD"},
        {"JGRKD1", "JGRKD"},      {"LLD", "LLDTX"},      {"DBCK", "DBCKDTX"},
        {"ZJZC1", "ZJZC"},        {"CGTHD1", "CGTHD"},   {"DBTHD1", "DBTHD"},
        {"ZGTHD1", "ZGTHD"},      {"JGTHD1", "JGTHD"},   {"LLTHD1", "LLDTH"},
        {"DBTKD1", "DBCKDTH"},    {"RKDZ1", "RKDZ"},     {"THDZ1", "THDQBDZ"},
        {"LLDZT1", "LLDDZ"},      {"DBLLDZT1", "DBDDZ"}, {"LLTHDZT1", "LLTHDJZ"},
        {"DBLLTHDZ1", "DBTHDDZ"}, {"RKCZ1", "RKCZ"},     {"LLCZ1", "LLDCZ"},
        {"DBLLCZ1", "DDBDCZ"},    {"ZJZCC1", "ZJZCC"},
    };
    EXPECT_EQ(CommandMap::aliases().size(), qsizetype(std::size(expected)));
    for (const auto &[alias, target] : expected) {
        const QString a = QString::fromLatin1(alias);
        EXPECT_EQ(CommandMap::resolve(a), QString::fromLatin1(target)) << alias;
        ASSERT_NE(CommandMap::find(a), nullptr) << alias;
        EXPECT_EQ(CommandMap::find(a)->name, QString::fromLatin1(target));
        // Each alias is a real entry of a pop-up menu.
        const MenuTree::Entry *e = MenuTree::find(a);
        ASSERT_NE(e, nullptr) << alias;
    }
    EXPECT_EQ(CommandMap::resolve(QStringLiteral("CLSZ")), QStringLiteral("CLSZ"));
    EXPECT_EQ(CommandMap::find(QStringLiteral("nosuch")), nullptr);
    // Every command of the map is an entry of the menu tree.
    for (const CommandMap::Command &c : CommandMap::commands())
        EXPECT_NE(MenuTree::find(c.name), nullptr) << c.name.toStdString();
}

TEST(CommandMap, RightsDecideWhatAnOperatorMayUse)
{
    Permissions noReports = Permissions::all();
    noReports[Permissions::CXBB] = false;
    int reports = 0;
    for (const CommandMap::Command &c : CommandMap::commands()) {
        if (c.rule != CommandMap::Rule::Flag || *c.flag != Permissions::CXBB)
            continue;
        ++reports;
        EXPECT_FALSE(CommandMap::permitted(c, noReports, false)) << c.name.toStdString();
        // The switch sits on the report menus themselves, which the login turns off.
        EXPECT_TRUE(c.switchedBy == QLatin1String("TJBB") || c.switchedBy == QLatin1String("CX") ||
                    c.switchedBy == QLatin1String("HZBB"))
            << c.name.toStdString();
        for (const auto &[entry, enabled] : MenuTree::governedStates(noReports)) {
            if (entry == c.switchedBy) {
                EXPECT_FALSE(enabled);
            }
        }
    }
    EXPECT_EQ(reports, 22);

    const CommandMap::Command &opening = *CommandMap::find(QStringLiteral("a"));
    EXPECT_TRUE(CommandMap::permitted(opening, Permissions{}, false));
    EXPECT_FALSE(CommandMap::permitted(opening, Permissions::all(), true));

    const CommandMap::Command &log = *CommandMap::find(QStringLiteral("RZLL"));
    EXPECT_TRUE(CommandMap::permitted(log, Permissions{}, true));

    EXPECT_TRUE(CommandMap::find(QStringLiteral("QXJZ"))->hiddenFirstInFirstOut);
    EXPECT_TRUE(CommandMap::find(QStringLiteral("ZJZCC"))->hiddenFirstInFirstOut);
    EXPECT_FALSE(CommandMap::find(QStringLiteral("RKCZ"))->hiddenFirstInFirstOut);
}
