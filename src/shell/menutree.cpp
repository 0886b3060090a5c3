#include "shell/menutree.h"

#include <QHash>

namespace varnock {
namespace {

using Entry = MenuTree::Entry;
using Flag = Permissions::Flag;

// Collects the tree in order; a parent becomes a Menu as soon as it gets a child.
class Builder
{
public:
    Builder &menu(const char16_t *name, const char16_t *caption)
    {
        return add(QString(), name, caption);
    }
    Builder &popup(const char16_t *name)
    {
        Entry e;
        e.name = QString::fromUtf16(name);
        e.kind = Entry::Kind::Menu;
        e.popupRoot = true;
        m_entries << e;
        return *this;
    }
    Builder &item(const char16_t *parent, const char16_t *name, const char16_t *caption)
    {
        return add(QString::fromUtf16(parent), name, caption);
    }
    Builder &separator(const char16_t *parent)
    {
        Entry e;
        e.parent = QString::fromUtf16(parent);
        e.kind = Entry::Kind::Separator;
        m_entries << e;
        return *this;
    }
    Builder &hidden()
    {
        m_entries.last().hiddenAtStart = true;
        return *this;
    }
    Builder &checkable()
    {
        m_entries.last().checkable = true;
        return *this;
    }
    QList<Entry> take() { return std::move(m_entries); }

private:
    Builder &add(const QString &parent, const char16_t *name, const char16_t *caption)
    {
        if (!parent.isEmpty()) {
            for (Entry &e : m_entries) {
                if (e.name == parent)
                    e.kind = Entry::Kind::Menu;
            }
        }
        Entry e;
        e.name = QString::fromUtf16(name);
        e.caption = QString::fromUtf16(caption);
        e.parent = parent;
        m_entries << e;
        return *this;
    }

    QList<Entry> m_entries;
};

QList<Entry> buildTree()
{
    Builder b;
    b.menu(u"XTSZ", u"系统设置")
        .item(u"XTSZ", u"CLSZ", u"材料设置")
        .item(u"XTSZ", u"GYSSZ", u"供应商设置")
        .item(u"XTSZ", u"LLDWSZ", u"耗料单位设置")
        .item(u"XTSZ", u"XTCSSZ", u"系统信息设置")
        .item(u"XTSZ", u"CZYSZ", u"操作员设置")
        .item(u"XTSZ", u"a", u"账务初始化")
        .item(u"XTSZ", u"DHT", u"导航条")
        .checkable();

    b.menu(u"GCJH", u"工程计划")
        .item(u"GCJH", u"JHTX", u"计划填写单")
        .item(u"GCJH", u"gccx", u"工程计划查询");

    b.menu(u"RKYW", u"入库业务")
        .item(u"RKYW", u"RKDTX", u"入库单填写")
        .item(u"RKDTX", u"CGRKD", u"采购入库单")
        .item(u"RKDTX", u"DBRKD", u"调拨入库单")
        .item(u"RKDTX", u"ZGRKD", u"暂估入库单")
        .item(u"RKDTX", u"JGRKD", u"甲方供给入库单")
        .item(u"RKYW", u"THDTX", u"入库退货单填写")
        .item(u"THDTX", u"CGTHD", u"采购退货单")
        .item(u"THDTX", u"DBTHD", u"调拨退货单")
        .item(u"THDTX", u"ZGTHD", u"暂估退货单")
        .item(u"THDTX", u"JGTHD", u"甲方供给退货单");

    b.menu(u"CKYW", u"出库业务")
        .item(u"CKYW", u"LLDTX", u"领料单填写")
        .item(u"CKYW", u"LLDTH", u"领料单退货")
        .item(u"CKYW", u"DBCKDTX", u"调拨单填写")
        .item(u"CKYW", u"DBCKDTH", u"调拨单退货");

    b.menu(u"ZJZC", u"直进直出");

    b.menu(u"ZZLJ", u"周转料具")
        .item(u"ZZLJ", u"ZLYW", u"租赁业务")
        .item(u"ZZLJ", u"HZYW", u"还租业务");

    b.menu(u"ZQCL", u"账务处理")
        .item(u"ZQCL", u"DZCL", u"登账处理")
        .item(u"DZCL", u"RKDZ", u"入  库  登  帐")
        .item(u"DZCL", u"THDQBDZ", u"退  货  登  账")
        .item(u"DZCL", u"LLDDZ", u"领 料 单 登 账")
        .item(u"DZCL", u"LLTHDJZ", u"领料退货单登账")
        .item(u"DZCL", u"DBDDZ", u"调 拨 单 登 账")
        .item(u"DZCL", u"DBTHDDZ", u"调拨退库单登账")
        .item(u"DZCL", u"ZJZCDZ", u"直进直出登帐")
        .item(u"ZQCL", u"CZCL", u"冲帐处理")
        .item(u"CZCL", u"RKCZ", u"入  库  冲  帐")
        .item(u"CZCL", u"LLDCZ", u"领 料 单 冲 帐")
        .item(u"CZCL", u"DDBDCZ", u"调 拨 单 冲 帐")
        .item(u"CZCL", u"ZJZCC", u"直进直出冲帐")
        .item(u"ZQCL", u"GYSFK", u"供应商付款")
        .item(u"ZQCL", u"CLKVMT", u"数据处理")
        .item(u"ZQCL", u"ZLHK", u"租赁还款")
        .item(u"ZQCL", u"YJCL", u"月结处理")
        .item(u"ZQCL", u"QXJZ", u"取消记账");

    b.menu(u"KCPD", u"库存盘点");

    b.menu(u"CX", u"信息查询")
        .item(u"CX", u"TJCX", u"条件查询")
        .item(u"CX", u"PMCX", u"按品名查询");

    b.menu(u"TJBB", u"统计报表")
        .item(u"TJBB", u"JXCMX", u"收支存明细报表")
        .item(u"TJBB", u"JXCHZ", u"收支存汇总报表")
        .item(u"TJBB", u"LDZCQDB", u"流动资产清点表")
        .item(u"TJBB", u"GYSQK", u"供应商欠款报表")
        .item(u"TJBB", u"RKCZBB", u"材料入库查询报表")
        .item(u"TJBB", u"CLCKCXBB", u"材料出库查询报表")
        .item(u"TJBB", u"GYSGHQK", u"供应商供货情况")
        .item(u"TJBB", u"LLDWLLQK", u"领料单位领料情况")
        .item(u"TJBB", u"CLDBBB", u"材料调拨报表")
        .item(u"TJBB", u"CLXHJHDBB", u"材料消耗与计划数比较报表")
        .hidden()
        .item(u"TJBB", u"zlb", u"租赁报表")
        .item(u"TJBB", u"CLLSZ", u"材料流水帐")
        .item(u"TJBB", u"qdb", u"材料清点表")
        .item(u"TJBB", u"DBB", u"计划与实际消耗数量对比表")
        .item(u"TJBB", u"TB", u"图表");

    b.menu(u"HZBB", u"汇总报表")
        .item(u"HZBB", u"ZTJXCMX", u"收支存明细表")
        .item(u"HZBB", u"ZTJXCHZ", u"收支存汇总表")
        .item(u"HZBB", u"ZTLDZCQD", u"流动资产清点表")
        .item(u"HZBB", u"ZTGYSQK", u"供应商欠款表")
        .item(u"HZBB", u"ZTCLRKCX", u"材料入库查询报表")
        .item(u"HZBB", u"ZTCLCKCX", u"材料出库查询报表");

    b.menu(u"SJBB", u"上缴报表")
        .hidden()
        .item(u"SJBB", u"CLSZC", u"材料收、支、存平衡表")
        .hidden()
        .item(u"SJBB", u"WZQCTJB", u"物资盘点清查统计表")
        .hidden()
        .item(u"SJBB", u"jdb", u"季度材料采购情况统计表")
        .hidden()
        .item(u"SJBB", u"YFWZXHBB", u"月份物资消耗统计表")
        .hidden();

    b.menu(u"XTGL", u"系统管理")
        .item(u"XTGL", u"SJBF", u"数据备份")
        .item(u"XTGL", u"RZLL", u"日志浏览");

    b.menu(u"h", u"帮助").item(u"h", u"xihelp", u"系统帮助").item(u"h", u"help", u"帮助使用");

    b.menu(u"about", u"关于...")
        .item(u"about", u"ZTZX", u"账套注销")
        .item(u"about", u"zhuxiao", u"系统注销")
        .separator(u"about")
        .item(u"about", u"aboutsys", u"关于系统")
        .separator(u"about")
        .item(u"about", u"exit", u"退出系统");

    b.popup(u"POPUP")
        .item(u"POPUP", u"BJ", u"增加本级编码")
        .item(u"POPUP", u"XJ", u"增加下级编码")
        .separator(u"POPUP")
        .item(u"POPUP", u"SC", u"删除此编码")
        .separator(u"POPUP")
        .item(u"POPUP", u"SX", u"刷新");

    b.popup(u"POPUP1")
        .item(u"POPUP1", u"CGRKD1", u"采购入库")
        .item(u"POPUP1", u"DBRKD1", u"调拨入库")
        .item(u"POPUP1", u"ZGRKD1", u"暂估入库")
        .item(u"POPUP1", u"JGRKD1", u"甲方供给")
        .separator(u"POPUP1")
        .item(u"POPUP1", u"LLD", u"领 料 单")
        .item(u"POPUP1", u"DBCK", u"调拨出库")
        .separator(u"POPUP1")
        .item(u"POPUP1", u"ZJZC1", u"直进直出");

    b.popup(u"POPUP2")
        .item(u"POPUP2", u"CGTHD1", u"采购退货")
        .item(u"POPUP2", u"DBTHD1", u"调拨退货")
        .item(u"POPUP2", u"ZGTHD1", u"暂估退货")
        .item(u"POPUP2", u"JGTHD1", u"甲供退货");

    b.popup(u"POPUP3")
        .item(u"POPUP3", u"LLTHD1", u"领料退货")
        .item(u"POPUP3", u"DBTKD1", u"调拨退货");

    b.popup(u"POPUP4")
        .item(u"POPUP4", u"RKDZ1", u"入 库 登 账")
        .item(u"POPUP4", u"THDZ1", u"入库退货登账")
        .separator(u"POPUP4")
        .item(u"POPUP4", u"LLDZ", u"领料登账")
        .item(u"LLDZ", u"LLDZT1", u"领 料 登 账")
        .item(u"LLDZ", u"DBLLDZT1", u"调拨领料登账")
        .item(u"POPUP4", u"LLTHDZ", u"领料退货登账")
        .item(u"LLTHDZ", u"LLTHDZT1", u"领料退货登账")
        .item(u"LLTHDZ", u"DBLLTHDZ1", u"调拨退货登账");

    b.popup(u"POPUP5")
        .item(u"POPUP5", u"RKCZ1", u"入 库 冲 帐")
        .separator(u"POPUP5")
        .item(u"POPUP5", u"LLCZ1", u"领 料 冲 帐")
        .item(u"POPUP5", u"DBLLCZ1", u"调拨领料冲帐")
        .item(u"POPUP5", u"ZJZCC1", u"直进直出冲帐");
    return b.take();
}

QList<std::pair<QString, Flag>> buildGoverned()
{
    QList<std::pair<QString, Flag>> list;
    auto add = [&list](Flag flag, std::initializer_list<const char *> names) {
        for (const char *name : names)
            list.append({QString::fromLatin1(name), flag});
    };
    // The top-level entries first, in the login's order.
    add(Permissions::RKYW, {"RKYW"});
    add(Permissions::CKYW, {"CKYW"});
    add(Permissions::CLSZ, {"CLSZ"});
    add(Permissions::GYSSZ, {"GYSSZ"});
    add(Permissions::LLDWSZ, {"LLDWSZ"});
    add(Permissions::CZCL, {"CZCL"});
    add(Permissions::DZCL, {"DZCL"});
    add(Permissions::QXJZ, {"QXJZ"});
    add(Permissions::YJCL, {"YJCL"});
    add(Permissions::ZJZC, {"ZJZC"});
    add(Permissions::CXBB, {"TJBB", "CX"});
    add(Permissions::CZYSZ, {"CZYSZ"});
    add(Permissions::XTSZ, {"XTCSSZ"});
    add(Permissions::GYSHK, {"GYSFK"});
    // Then the pop-up entries the navigation panel opens.
    add(Permissions::RKYW,
        {"CGRKD1", "DBRKD1", "ZGRKD1", "JGRKD1", "CGTHD1", "DBTHD1", "ZGTHD1", "JGTHD1"});
    add(Permissions::CKYW, {"LLD", "DBCK", "LLTHD1", "DBTKD1"});
    add(Permissions::DZCL, {"RKDZ1", "THDZ1", "LLDZT1", "DBLLDZT1", "LLTHDZT1", "DBLLTHDZ1"});
    // The pop-up reversal of direct-in-direct-out vouchers follows its menu twin ZJZCC under
    // CZCL; left ungoverned, an operator without reversal rights could still reverse.
    add(Permissions::CZCL, {"DBLLCZ1", "LLCZ1", "RKCZ1", "ZJZCC1"});
    add(Permissions::ZJZC, {"ZJZC", "ZJZC1"});
    add(Permissions::QXJZ, {"KCPD"});
    add(Permissions::CXBB, {"HZBB"});
    return list;
}

} // namespace

const QList<MenuTree::Entry> &MenuTree::entries()
{
    static const QList<Entry> tree = buildTree();
    return tree;
}

const MenuTree::Entry *MenuTree::find(const QString &name)
{
    static const QHash<QString, qsizetype> index = [] {
        QHash<QString, qsizetype> h;
        const QList<Entry> &all = entries();
        for (qsizetype i = 0; i < all.size(); ++i) {
            if (!all[i].isSeparator())
                h.insert(all[i].name, i);
        }
        return h;
    }();
    const auto it = index.constFind(name);
    return it == index.cend() ? nullptr : &entries()[*it];
}

QList<MenuTree::Entry> MenuTree::children(const QString &parent)
{
    QList<Entry> result;
    for (const Entry &e : entries()) {
        if (e.parent == parent && !parent.isEmpty())
            result << e;
    }
    return result;
}

QStringList MenuTree::menuBar()
{
    QStringList names;
    for (const Entry &e : entries()) {
        if (e.parent.isEmpty() && !e.popupRoot)
            names << e.name;
    }
    return names;
}

QStringList MenuTree::popups()
{
    QStringList names;
    for (const Entry &e : entries()) {
        if (e.popupRoot)
            names << e.name;
    }
    return names;
}

const QList<std::pair<QString, Permissions::Flag>> &MenuTree::governed()
{
    static const QList<std::pair<QString, Flag>> list = buildGoverned();
    return list;
}

QList<std::pair<QString, bool>> MenuTree::governedStates(const Permissions &permissions)
{
    QList<std::pair<QString, bool>> states;
    for (const auto &[name, flag] : governed())
        states.append({name, permissions[flag]});
    return states;
}

bool MenuTree::isGoverned(const QString &name)
{
    for (const auto &entry : governed()) {
        if (entry.first == name)
            return true;
    }
    return false;
}

QStringList MenuTree::modeDependent()
{
    return {QStringLiteral("ZJZCC"), QStringLiteral("ZJZCC1"), QStringLiteral("QXJZ")};
}

bool MenuTree::visibleInMode(const QString &name, int mode)
{
    const Entry *e = find(name);
    if (e && e->hiddenAtStart)
        return false;
    // Any mode other than first in first out behaves as moving average.
    return mode != 1 || !modeDependent().contains(name);
}

} // namespace varnock
