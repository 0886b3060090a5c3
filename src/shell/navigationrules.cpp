#include "shell/navigationrules.h"

#include "shell/operators.h"
#include "store/database.h"
#include "store/errors.h"

namespace varnock {
namespace {

using Button = NavigationRules::Button;
using Flag = Permissions::Flag;

QString t(const char16_t *s)
{
    return QString::fromUtf16(s);
}

Button command(const char16_t *caption, const char *name, std::optional<Flag> flag = {})
{
    Button b;
    b.caption = t(caption);
    b.command = QString::fromLatin1(name);
    b.flag = flag;
    return b;
}

Button popup(const char16_t *caption, const char *name)
{
    Button b;
    b.caption = t(caption);
    b.popup = QString::fromLatin1(name);
    return b;
}

QList<NavigationRules::Group> buildGroups()
{
    Button opening = command(u"账务初始化", "a", Permissions::RKYW);
    opening.beforeFirstClosingOnly = true;
    return {
        {t(u"系统设置"),
         {command(u"材料设置", "CLSZ", Permissions::CLSZ),
          command(u"供应商", "GYSSZ", Permissions::GYSSZ),
          command(u"领料单位", "LLDWSZ", Permissions::LLDWSZ),
          command(u"系统信息", "XTCSSZ", Permissions::XTSZ), opening}},
        // The pop-up entries carry their own switches, so these buttons check nothing.
        {t(u"业务处理"),
         {popup(u"凭单录入", "POPUP1"), popup(u"入库退货", "POPUP2"), popup(u"领料退货", "POPUP3"),
          popup(u"登账处理", "POPUP4"), popup(u"冲账处理", "POPUP5")}},
        {t(u"周转料具"), {command(u"租    入", "ZLYW"), command(u"还    租", "HZYW")}},
        {t(u"账务处理"),
         {command(u"取消记账", "QXJZ", Permissions::QXJZ),
          command(u"供应商还款", "GYSFK", Permissions::GYSHK),
          command(u"月结处理", "YJCL", Permissions::YJCL)}},
        {t(u"查询报表"),
         {command(u"品名查询", "PMCX", Permissions::CXBB),
          command(u"条件查询", "TJCX", Permissions::CXBB)}},
        {t(u"系统管理"), {command(u"数据备份", "SJBF"), command(u"工作日志", "RZLL")}},
    };
}

NavigationRules::Link report(const char16_t *caption, const char *name)
{
    return {t(caption), QString::fromLatin1(name), QString()};
}

NavigationRules::Link masterList(const char16_t *caption, const char *key)
{
    return {t(caption), QString(), QString::fromLatin1(key)};
}

QList<NavigationRules::LinkFrame> buildFrames()
{
    return {
        {t(u"系统设置相关报表"),
         t(u"系统设置"),
         {masterList(u"材料目录一览", "CLJBXXB"), masterList(u"供应商目录一览表", "GYS"),
          masterList(u"领料单位目录一览表", "LLDW"), masterList(u"帐务初始化资料", "ZWCSH")}},
        {t(u"出入库报表"),
         t(u"查询报表"),
         {report(u"供应商供货情况", "GYSGHQK"), report(u"领料单位领料情况", "LLDWLLQK"),
          report(u"材料入库查询报表", "RKCZBB"), report(u"材料出库查询报表", "CLCKCXBB"),
          report(u"收支存明细报表", "JXCMX"), report(u"收支存汇总报表", "JXCHZ"),
          report(u"材料流水帐", "CLLSZ")}},
        {t(u"库存与往来报表"),
         t(u"查询报表"),
         {report(u"供应商欠款报表", "GYSQK"), report(u"流动资产清点表", "LDZCQDB"),
          report(u"材料调拨报表", "CLDBBB"), report(u"租赁报表", "zlb"),
          report(u"材料清点表", "qdb")}},
    };
}

} // namespace

const QList<NavigationRules::Group> &NavigationRules::groups()
{
    static const QList<Group> list = buildGroups();
    return list;
}

const QList<NavigationRules::LinkFrame> &NavigationRules::linkFrames()
{
    static const QList<LinkFrame> list = buildFrames();
    return list;
}

void NavigationRules::checkPress(Database &db, int operatorNumber, const Button &button)
{
    if (button.flag && !Operators(db).permissions(operatorNumber)[*button.flag])
        throw Refusal(QStringLiteral("提示"), deniedText());
    if (button.beforeFirstClosingOnly &&
        db.scalar(QStringLiteral("SELECT COUNT(*) FROM YJSJB")).toLongLong() != 0)
        throw Refusal(QStringLiteral("提示"), closedText());
}

} // namespace varnock
