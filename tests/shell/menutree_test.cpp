#include "shell/menutree.h"

#include <gtest/gtest.h>

#include <QSet>
#include <QStringList>

using namespace varnock;

namespace {

// The tree as the user sees it: two spaces per level, "name|caption", "-" for a separator,
// "|hidden" for entries that are never shown.
const char16_t *const ExpectedTree[] = {
    u"XTSZ|系统设置",
    u"  CLSZ|材料设置",
    u"  GYSSZ|供应商设置",
    u"  LLDWSZ|耗料单位设置",
    u"  XTCSSZ|系统信息设置",
    u"  CZYSZ|操作员设置",
    u"  a|账务初始化",
    u"  DHT|导航条",
    u"GCJH|工程计划",
    u"  JHTX|计划填写单",
    u"  gccx|工程计划查询",
    u"RKYW|入库业务",
    u"  RKDTX|入库单填写",
    u"    CGRKD|采购入库单",
    u"    DBRKD|调拨入库单",
    u"    ZGRKD|暂估入库单",
    u"    JGRKD|甲方供给入库单",
    u"  THDTX|入库退货单填写",
    u"    CGTHD|采购退货单",
    u"    DBTHD|调拨退货单",
    u"    ZGTHD|暂估退货单",
    u"    JGTHD|甲方供给退货单",
    u"CKYW|出库业务",
    u"  LLDTX|领料单填写",
    u"  LLDTH|领料单退货",
    u"  DBCKDTX|调拨单填写",
    u"  DBCKDTH|调拨单退货",
    u"ZJZC|直进直出",
    u"ZZLJ|周转料具",
    u"  ZLYW|租赁业务",
    u"  HZYW|还租业务",
    u"ZQCL|账务处理",
    u"  DZCL|登账处理",
    u"    RKDZ|入  库  登  帐",
    u"    THDQBDZ|退  货  登  账",
    u"    LLDDZ|领 料 单 登 账",
    u"    LLTHDJZ|领料退货单登账",
    u"    DBDDZ|调 拨 单 登 账",
    u"    DBTHDDZ|调拨退库单登账",
    u"    ZJZCDZ|直进直出登帐",
    u"  CZCL|冲帐处理",
    u"    RKCZ|入  库  冲  帐",
    u"    LLDCZ|领 料 单 冲 帐",
    u"    DDBDCZ|调 拨 单 冲 帐",
    u"    ZJZCC|直进直出冲帐",
    u"  GYSFK|供应商付款",
    u"  CLKVMT|数据处理",
    u"  ZLHK|租赁还款",
    u"  YJCL|月结处理",
    u"  QXJZ|取消记账",
    u"KCPD|库存盘点",
    u"CX|信息查询",
    u"  TJCX|条件查询",
    u"  PMCX|按品名查询",
    u"TJBB|统计报表",
    u"  JXCMX|收支存明细报表",
    u"  JXCHZ|收支存汇总报表",
    u"  LDZCQDB|流动资产清点表",
    u"  GYSQK|供应商欠款报表",
    u"  RKCZBB|材料入库查询报表",
    u"  CLCKCXBB|材料出库查询报表",
    u"  GYSGHQK|供应商供货情况",
    u"  LLDWLLQK|领料单位领料情况",
    u"  CLDBBB|材料调拨报表",
    u"  CLXHJHDBB|材料消耗与计划数比较报表|hidden",
    u"  zlb|租赁报表",
    u"  CLLSZ|材料流水帐",
    u"  qdb|材料清点表",
    u"  DBB|计划与实际消耗数量对比表",
    u"  TB|图表",
    u"HZBB|汇总报表",
    u"  ZTJXCMX|收支存明细表",
    u"  ZTJXCHZ|收支存汇总表",
    u"  ZTLDZCQD|流动资产清点表",
    u"  ZTGYSQK|供应商欠款表",
    u"  ZTCLRKCX|材料入库查询报表",
    u"  ZTCLCKCX|材料出库查询报表",
    u"SJBB|上缴报表|hidden",
    u"  CLSZC|材料收、支、存平衡表|hidden",
    u"  WZQCTJB|物资盘点清查统计表|hidden",
    u"  jdb|季度材料采购情况统计表|hidden",
    u"  YFWZXHBB|月份物资消耗统计表|hidden",
    u"XTGL|系统管理",
    u"  SJBF|数据备份",
    u"  RZLL|日志浏览",
    u"h|帮助",
    u"  xihelp|系统帮助",
    u"  help|帮助使用",
    u"about|关于...",
    u"  ZTZX|账套注销",
    u"  zhuxiao|系统注销",
    u"  -",
    u"  aboutsys|关于系统",
    u"  -",
    u"  exit|退出系统",
    u"POPUP|",
    u"  BJ|增加本级编码",
    u"  XJ|增加下级编码",
    u"  -",
    u"  SC|删除此编码",
    u"  -",
    u"  SX|刷新",
    u"POPUP1|",
    u"  CGRKD1|采购入库",
    u"  DBRKD1|调拨入库",
    u"  ZGRKD1|暂估入库",
    u"  JGRKD1|甲方供给",
    u"  -",
    u"  LLD|领 料 单",
    u"  DBCK|调拨出库",
    u"  -",
    u"  ZJZC1|直进直出",
    u"POPUP2|",
    u"  CGTHD1|采购退货",
    u"  DBTHD1|调拨退货",
    u"  ZGTHD1|暂估退货",
    u"  JGTHD1|甲供退货",
    u"POPUP3|",
    u"  LLTHD1|领料退货",
    u"  DBTKD1|调拨退货",
    u"POPUP4|",
    u"  RKDZ1|入 库 登 账",
    u"  THDZ1|入库退货登账",
    u"  -",
    u"  LLDZ|领料登账",
    u"    LLDZT1|领 料 登 账",
    u"    DBLLDZT1|调拨领料登账",
    u"  LLTHDZ|领料退货登账",
    u"    LLTHDZT1|领料退货登账",
    u"    DBLLTHDZ1|调拨退货登账",
    u"POPUP5|",
    u"  RKCZ1|入 库 冲 帐",
    u"  -",
    u"  LLCZ1|领 料 冲 帐",
    u"  DBLLCZ1|调拨领料冲帐",
    u"  ZJZCC1|直进直出冲帐",
};

QStringList renderedTree()
{
    QStringList lines;
    for (const MenuTree::Entry &e : MenuTree::entries()) {
        int depth = 0;
        for (QString p = e.parent; !p.isEmpty(); p = MenuTree::find(p)->parent)
            ++depth;
        QString line = QString(depth * 2, QLatin1Char(' '));
        line += e.isSeparator() ? QStringLiteral("-") : e.name + QLatin1Char('|') + e.caption;
        if (e.hiddenAtStart)
            line += QStringLiteral("|hidden");
        lines << line;
    }
    return lines;
}

QStringList names(std::initializer_list<const char *> list)
{
    QStringList result;
    for (const char *n : list)
        result << QString::fromLatin1(n);
    return result;
}

Permissions only(Permissions::Flag flag)
{
    Permissions p;
    p[flag] = true;
    return p;
}

QSet<QString> enabledNames(const Permissions &p)
{
    QSet<QString> result;
    for (const auto &[name, enabled] : MenuTree::governedStates(p)) {
        if (enabled)
            result.insert(name);
    }
    return result;
}

} // namespace

TEST(MenuTree, TreeCaptionsSeparatorsAndHiddenEntries)
{
    QStringList expected;
    for (const char16_t *line : ExpectedTree)
        expected << QString::fromUtf16(line);
    EXPECT_EQ(renderedTree(), expected);

    EXPECT_EQ(MenuTree::menuBar(),
              names({"XTSZ", "GCJH", "RKYW", "CKYW", "ZJZC", "ZZLJ", "ZQCL", "KCPD", "CX", "TJBB",
                     "HZBB", "SJBB", "XTGL", "h", "about"}));
    EXPECT_EQ(MenuTree::popups(),
              names({"POPUP", "POPUP1", "POPUP2", "POPUP3", "POPUP4", "POPUP5"}));
}

TEST(MenuTree, NamesAreUniqueAndKindsFollowTheTree)
{
    QSet<QString> seen;
    for (const MenuTree::Entry &e : MenuTree::entries()) {
        if (e.isSeparator())
            continue;
        EXPECT_FALSE(seen.contains(e.name)) << qPrintable(e.name);
        seen.insert(e.name);
        const bool hasChildren = !MenuTree::children(e.name).isEmpty();
        EXPECT_EQ(e.kind == MenuTree::Entry::Kind::Menu, hasChildren) << qPrintable(e.name);
        EXPECT_EQ(e.checkable, e.name == QStringLiteral("DHT")) << qPrintable(e.name);
    }
    // Two entries of the menu bar are commands of their own.
    EXPECT_EQ(MenuTree::find(QStringLiteral("ZJZC"))->kind, MenuTree::Entry::Kind::Command);
    EXPECT_EQ(MenuTree::find(QStringLiteral("KCPD"))->kind, MenuTree::Entry::Kind::Command);
    EXPECT_EQ(MenuTree::find(QStringLiteral("nonesuch")), nullptr);
}

TEST(MenuTree, LoginSwitchesEntriesInItsOrder)
{
    QStringList order;
    for (const auto &entry : MenuTree::governed())
        order << entry.first;
    EXPECT_EQ(order,
              names({"RKYW",   "CKYW",   "CLSZ",     "GYSSZ",    "LLDWSZ",    "CZCL",    "DZCL",
                     "QXJZ",   "YJCL",   "ZJZC",     "TJBB",     "CX",        "CZYSZ",   "XTCSSZ",
                     "GYSFK",  "CGRKD1", "DBRKD1",   "ZGRKD1",   "JGRKD1",    "CGTHD1",  "DBTHD1",
                     "ZGTHD1", "JGTHD1", "LLD",      "DBCK",     "LLTHD1",    "DBTKD1",  "RKDZ1",
                     "THDZ1",  "LLDZT1", "DBLLDZT1", "LLTHDZT1", "DBLLTHDZ1", "DBLLCZ1", "LLCZ1",
                     "RKCZ1",  "ZJZCC1", "ZJZC",     "ZJZC1",    "KCPD",      "HZBB"}));
    for (const QString &name : order)
        EXPECT_NE(MenuTree::find(name), nullptr) << qPrintable(name);
}

TEST(MenuTree, OperatorWithoutRightsKeepsOnlyAdministrationHelpAndLeaving)
{
    for (const auto &[name, enabled] : MenuTree::governedStates(Permissions()))
        EXPECT_FALSE(enabled) << qPrintable(name);
    for (const auto &[name, enabled] : MenuTree::governedStates(Permissions::all()))
        EXPECT_TRUE(enabled) << qPrintable(name);
    for (const char *name :
         {"XTGL", "SJBF", "RZLL", "h", "about", "ZTZX", "zhuxiao", "exit", "aboutsys", "DHT", "a"})
        EXPECT_FALSE(MenuTree::isGoverned(QString::fromLatin1(name))) << name;
}

TEST(MenuTree, EachFlagSwitchesExactlyItsEntries)
{
    using P = Permissions;
    const std::pair<P::Flag, QStringList> table[] = {
        {P::RKYW, names({"RKYW", "CGRKD1", "DBRKD1", "ZGRKD1", "JGRKD1", "CGTHD1", "DBTHD1",
                         "ZGTHD1", "JGTHD1"})},
        {P::CKYW, names({"CKYW", "LLD", "DBCK", "LLTHD1", "DBTKD1"})},
        {P::CLSZ, names({"CLSZ"})},
        {P::GYSSZ, names({"GYSSZ"})},
        {P::LLDWSZ, names({"LLDWSZ"})},
        {P::XTSZ, names({"XTCSSZ"})},
        {P::CZYSZ, names({"CZYSZ"})},
        {P::DZCL, names({"DZCL", "RKDZ1", "THDZ1", "LLDZT1", "DBLLDZT1", "LLTHDZT1", "DBLLTHDZ1"})},
        {P::YJCL, names({"YJCL"})},
        {P::QXJZ, names({"QXJZ", "KCPD"})},
        {P::GYSHK, names({"GYSFK"})},
        {P::CXBB, names({"TJBB", "CX", "HZBB"})},
        {P::CZCL, names({"CZCL", "DBLLCZ1", "LLCZ1", "RKCZ1", "ZJZCC1"})},
        {P::ZJZC, names({"ZJZC", "ZJZC1"})},
    };
    for (const auto &[flag, expected] : table) {
        const QSet<QString> want(expected.cbegin(), expected.cend());
        EXPECT_EQ(enabledNames(only(flag)), want) << qPrintable(P::fieldName(flag));

        // Taking the one flag away from a full set disables just those entries.
        Permissions allBut = P::all();
        allBut[flag] = false;
        for (const auto &[name, enabled] : MenuTree::governedStates(allBut))
            EXPECT_EQ(enabled, !want.contains(name)) << qPrintable(name);
    }
}

TEST(MenuTree, ModeAndClosingRules)
{
    for (const char *name : {"ZJZCC", "ZJZCC1", "QXJZ"}) {
        const QString n = QString::fromLatin1(name);
        EXPECT_FALSE(MenuTree::visibleInMode(n, 1)) << name;
        EXPECT_TRUE(MenuTree::visibleInMode(n, 2)) << name;
        // Anything but first in first out behaves as moving average.
        EXPECT_TRUE(MenuTree::visibleInMode(n, 0)) << name;
    }
    EXPECT_TRUE(MenuTree::visibleInMode(QStringLiteral("ZJZCDZ"), 1));
    EXPECT_TRUE(MenuTree::visibleInMode(QStringLiteral("RKCZ1"), 1));
    EXPECT_FALSE(MenuTree::visibleInMode(QStringLiteral("SJBB"), 2));
    EXPECT_FALSE(MenuTree::visibleInMode(QStringLiteral("CLXHJHDBB"), 2));

    EXPECT_EQ(MenuTree::openingBalance(), QStringLiteral("a"));
    EXPECT_TRUE(MenuTree::openingBalanceEnabled(false));
    EXPECT_FALSE(MenuTree::openingBalanceEnabled(true));
}
