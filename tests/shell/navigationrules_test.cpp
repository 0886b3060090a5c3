#include "shell/commandmap.h"
#include "shell/menutree.h"
#include "shell/navigationrules.h"
#include "shell/operators.h"
#include "support/testaccountset.h"

#include <gtest/gtest.h>

using namespace varnock;

namespace {

const NavigationRules::Button &buttonOf(const QString &caption)
{
    for (const NavigationRules::Group &g : NavigationRules::groups()) {
        for (const NavigationRules::Button &b : g.buttons) {
            if (b.caption == caption)
                return b;
        }
    }
    throw std::runtime_error("no such button");
}

QString refusal(Database &db, int op, const QString &caption)
{
    try {
        NavigationRules::checkPress(db, op, buttonOf(caption));
    } catch (const Refusal &r) {
        return r.text;
    }
    return QString();
}

} // namespace

TEST(NavigationRules, SixGroupsWhoseButtonsRunMapCommandsOrPopups)
{
    QStringList captions;
    for (const NavigationRules::Group &g : NavigationRules::groups())
        captions << g.caption;
    EXPECT_EQ(captions, (QStringList{QStringLiteral("系统设置"), QStringLiteral("业务处理"),
                                     QStringLiteral("周转料具"), QStringLiteral("账务处理"),
                                     QStringLiteral("查询报表"), QStringLiteral("系统管理")}));
    for (const NavigationRules::Group &g : NavigationRules::groups()) {
        for (const NavigationRules::Button &b : g.buttons) {
            if (b.popup.isEmpty())
                EXPECT_NE(CommandMap::find(b.command), nullptr) << b.command.toStdString();
            else
                EXPECT_TRUE(MenuTree::popups().contains(b.popup)) << b.popup.toStdString();
        }
    }
    for (const NavigationRules::LinkFrame &f : NavigationRules::linkFrames()) {
        EXPECT_TRUE(captions.contains(f.group));
        for (const NavigationRules::Link &l : f.links) {
            if (l.command.isEmpty())
                continue;
            const CommandMap::Command *c = CommandMap::find(l.command);
            ASSERT_NE(c, nullptr);
            EXPECT_EQ(c->flag, Permissions::CXBB) << l.command.toStdString();
        }
    }
}

TEST(NavigationRules, PressesCheckTheRightsInTheDatabaseNow)
{
    test::TestAccountSet set;
    Operators ops(set.db());
    Permissions noReports = Permissions::all();
    noReports[Permissions::CXBB] = false;
    ops.add(1, QStringLiteral("甲"), {}, {}, noReports);
    ops.add(2, QStringLiteral("乙"), {}, {}, Permissions::all());

    const QString denied = QStringLiteral("对不起,您没有被授予该项权限!");
    EXPECT_EQ(refusal(set.db(), 1, QStringLiteral("品名查询")), denied);
    EXPECT_EQ(refusal(set.db(), 1, QStringLiteral("条件查询")), denied);
    EXPECT_EQ(refusal(set.db(), 2, QStringLiteral("条件查询")), QString());
    EXPECT_EQ(refusal(set.db(), 1, QStringLiteral("材料设置")), QString());
    // Buttons whose pop-up entries carry the switches check nothing themselves.
    EXPECT_EQ(refusal(set.db(), 1, QStringLiteral("凭单录入")), QString());
    EXPECT_EQ(refusal(set.db(), 1, QStringLiteral("工作日志")), QString());

    // Rights changed after the login count at the next press.
    ops.update(2, QStringLiteral("乙"), {}, {}, noReports);
    EXPECT_EQ(refusal(set.db(), 2, QStringLiteral("条件查询")), denied);
    // An operator without a rights row has none.
    EXPECT_EQ(refusal(set.db(), 5, QStringLiteral("材料设置")), denied);
}

TEST(NavigationRules, OpeningBalancesNeedTheStockInRightAndNoClosing)
{
    test::TestAccountSet set;
    Operators ops(set.db());
    Permissions noStockIn = Permissions::all();
    noStockIn[Permissions::RKYW] = false;
    ops.add(1, QStringLiteral("甲"), {}, {}, Permissions::all());
    ops.add(2, QStringLiteral("乙"), {}, {}, noStockIn);

    const QString opening = QStringLiteral("账务初始化");
    EXPECT_EQ(refusal(set.db(), 1, opening), QString());
    EXPECT_EQ(refusal(set.db(), 2, opening), QStringLiteral("对不起,您没有被授予该项权限!"));
    set.db().exec(QStringLiteral("INSERT INTO YJSJB (YJID, YJSJ) VALUES (1, '2026-01-31')"));
    EXPECT_EQ(refusal(set.db(), 1, opening), QStringLiteral("已经做过业务不允许再做初始化！！！"));
}
