#include "shell/commandmap.h"

#include "shell/menutree.h"

#include <QHash>

namespace varnock {
namespace {

using Command = CommandMap::Command;

struct Row
{
    const char16_t *name;
    const char16_t *logText;
    const char16_t *screen;
    const char16_t *title;
    int issueKind;
    int reportKind;
};

// name, log text, screen, title, issue kind, report kind. The permission rules are not
// repeated here: they come from the menu tree, which the login switches.
const Row Rows[] = {
    {u"CLSZ", u"设置材料信息", u"FrmClsz", u"", 0, 0},
    {u"GYSSZ", u"设置供应商", u"FormGYSSZ", u"", 0, 0},
    {u"LLDWSZ", u"设置领料单位", u"FrmLldw", u"", 0, 0},
    {u"XTCSSZ", u"设置系统信息", u"FrmXtcssz", u"", 0, 0},
    {u"CZYSZ", u"", u"FrmCzyQx", u"", 0, 0},
    {u"a", u"设置账务初始化信息", u"FrmZwcsh", u"", 0, 0},
    {u"DHT", u"", u"FrmDHT", u"", 0, 0},
    {u"JHTX", u"", u"FJHTXD", u"", 0, 0},
    {u"gccx", u"", u"Fgccx", u"", 0, 0},
    {u"CGRKD", u"采购入库单填写", u"FrmCgrkd", u"", 0, 0},
    {u"DBRKD", u"调拨入库单填写", u"FrmDbrkd", u"", 0, 0},
    {u"ZGRKD", u"暂估入库单填写", u"FrmZgrkd", u"", 0, 0},
    {u"JGRKD", u"甲方供给入库单填写", u"FrmJgrkd", u"", 0, 0},
    {u"CGTHD", u"采购退货单填写", u"FrmCgthd", u"", 0, 0},
    {u"DBTHD", u"调拨入库退货单填写", u"FrmDbthd", u"", 0, 0},
    {u"ZGTHD", u"暂估入库退货单填写", u"FrmZgthd", u"", 0, 0},
    {u"JGTHD", u"甲方供给退货单填写", u"FrmJgthd", u"", 0, 0},
    {u"LLDTX", u"领料出库单填写", u"FormLLDTX", u"", 1, 0},
    {u"LLDTH", u"领料出库退货单填写", u"FormLLTHDTX", u"领料出库退货单填写", 1, 0},
    {u"DBCKDTX", u"调拨出库单填写", u"FormLLDTX", u"", 2, 0},
    {u"DBCKDTH", u"调拨出库退货单填写", u"FormLLTHDTX", u"调拨出库退货单填写", 2, 0},
    {u"ZJZC", u"直进直出单填写", u"FrmZjzc", u"", 0, 0},
    {u"ZLYW", u"租赁单填写", u"Forzl", u"", 0, 0},
    {u"HZYW", u"还租业务处理", u"Forhz", u"", 0, 0},
    {u"RKDZ", u"入库单登账", u"FrmRkdz", u"", 0, 0},
    {u"THDQBDZ", u"入库退货单登账", u"FrmThdz", u"", 0, 0},
    {u"LLDDZ", u"领料出库单登账", u"FormLLDDZ", u"", 1, 0},
    {u"LLTHDJZ", u"领料出库退货单记帐", u"FormLLTHDDZ", u"领料出库退货单记帐", 1, 0},
    {u"DBDDZ", u"调拨出库单登账", u"FormLLDDZ", u"", 2, 0},
    {u"DBTHDDZ", u"调拨出库退货单登帐", u"FormLLTHDDZ", u"调拨出库退货单记帐", 2, 0},
    {u"ZJZCDZ", u"", u"FrmZjzcdz", u"", 0, 0},
    {u"RKCZ", u"入库单冲帐", u"FrmRkcz", u"", 0, 0},
    {u"LLDCZ", u"领料出库单冲帐", u"FormLLDCZ", u"领料出库单冲帐窗体", 1, 0},
    {u"DDBDCZ", u"调拨出库退货单冲帐", u"FormLLDCZ", u"调拨出库单冲帐窗体", 2, 0},
    {u"ZJZCC", u"", u"Fzjzccz", u"", 0, 0},
    {u"GYSFK", u"供应商付款", u"FrmGYSQK", u"", 0, 0},
    {u"CLKVMT", u"", u"FDZ", u"", 0, 0},
    {u"ZLHK", u"", u"Fzlhk", u"", 0, 0},
    // Month-end closing has no screen of its own: it runs with message boxes only.
    {u"YJCL", u"月结处理", u"MonthEnd", u"", 0, 0},
    {u"QXJZ", u"入库单冲帐", u"FrmQxjz", u"", 0, 0},
    {u"KCPD", u"库存盘点", u"FormKCPD", u"", 0, 0},
    {u"TJCX", u"", u"FormTJCXCT", u"", 0, 0},
    {u"PMCX", u"", u"FormPMCXCT", u"", 0, 0},
    {u"JXCMX", u"", u"FrmJxcmx", u"", 0, 0},
    {u"JXCHZ", u"", u"FrmJxchz", u"", 0, 0},
    {u"LDZCQDB", u"", u"FrmBBkcqd", u"", 0, 0},
    {u"GYSQK", u"", u"FrmRq", u"", 0, 0},
    {u"RKCZBB", u"", u"FrmRKCXBB", u"", 0, 0},
    {u"CLCKCXBB", u"", u"FrmRKCXBB", u"", 0, 0},
    {u"GYSGHQK", u"", u"FrmRkgysbb", u"", 0, 0},
    {u"LLDWLLQK", u"", u"FrmRkgysbb", u"", 0, 0},
    {u"CLDBBB", u"", u"FrmBBdbb", u"", 0, 0},
    {u"zlb", u"", u"Fzlbb", u"", 0, 0},
    {u"CLLSZ", u"", u"FrmCllsz", u"", 0, 0},
    {u"TB", u"", u"FrmTb", u"", 0, 0},
    {u"qdb", u"", u"PD", u"", 0, 0},
    {u"DBB", u"", u"FXJHSL", u"", 0, 0},
    {u"ZTJXCMX", u"", u"FXJXCZ", u"", 0, 0},
    {u"ZTJXCHZ", u"", u"FrmZtjxcmx", u"", 0, 0},
    {u"ZTLDZCQD", u"", u"FrmZtKcpd", u"", 0, 0},
    {u"ZTGYSQK", u"", u"FrmZtGysqk", u"", 0, 0},
    {u"ZTCLRKCX", u"", u"FXRKHZ", u"材料入库汇总表", 0, 0},
    {u"ZTCLCKCX", u"", u"FXRKHZ", u"材料出库汇总表", 0, 0},
    {u"CLSZC", u"", u"FxJDCL", u"", 0, 1},
    {u"WZQCTJB", u"", u"PD", u"", 0, 0},
    {u"jdb", u"", u"FxJDCL", u"", 0, 2},
    {u"YFWZXHBB", u"", u"FrmXHTJ", u"", 0, 0},
    {u"SJBF", u"", u"FXBF", u"", 0, 0},
    {u"RZLL", u"", u"FrmCzrz", u"", 0, 0},
    {u"xihelp", u"", u"Help", u"", 0, 0},
    {u"help", u"", u"Help", u"", 0, 0},
    {u"ZTZX", u"", u"AccountSetLogOff", u"", 0, 0},
    {u"zhuxiao", u"", u"SystemLogOff", u"", 0, 0},
    {u"exit", u"", u"Leave", u"", 0, 0},
};

const char16_t *const AliasRows[][2] = {
    {u"CGRKD1", u"CGRKD"},      {u"DBRKD1", u"DBRKD"},   {u"ZGRKD1", u"ZGRKD"},
    {u"JGRKD1", u"JGRKD"},      {u"LLD", u"LLDTX"},      {u"DBCK", u"DBCKDTX"},
    {u"ZJZC1", u"ZJZC"},        {u"CGTHD1", u"CGTHD"},   {u"DBTHD1", u"DBTHD"},
    {u"ZGTHD1", u"ZGTHD"},      {u"JGTHD1", u"JGTHD"},   {u"LLTHD1", u"LLDTH"},
    {u"DBTKD1", u"DBCKDTH"},    {u"RKDZ1", u"RKDZ"},     {u"THDZ1", u"THDQBDZ"},
    {u"LLDZT1", u"LLDDZ"},      {u"DBLLDZT1", u"DBDDZ"}, {u"LLTHDZT1", u"LLTHDJZ"},
    {u"DBLLTHDZ1", u"DBTHDDZ"}, {u"RKCZ1", u"RKCZ"},     {u"LLCZ1", u"LLDCZ"},
    {u"DBLLCZ1", u"DDBDCZ"},    {u"ZJZCC1", u"ZJZCC"},
};

QString text(const char16_t *s)
{
    return QString::fromUtf16(s);
}

// The flag that switches an entry: its own or that of the nearest menu above it.
std::optional<std::pair<QString, Permissions::Flag>> governingSwitch(const QString &name)
{
    for (const MenuTree::Entry *e = MenuTree::find(name); e; e = MenuTree::find(e->parent)) {
        for (const auto &[entry, flag] : MenuTree::governed()) {
            if (entry == e->name)
                return std::make_pair(entry, flag);
        }
        if (e->parent.isEmpty())
            break;
    }
    return std::nullopt;
}

bool hiddenInTree(const QString &name)
{
    for (const MenuTree::Entry *e = MenuTree::find(name); e; e = MenuTree::find(e->parent)) {
        if (e->hiddenAtStart)
            return true;
        if (e->parent.isEmpty())
            break;
    }
    return false;
}

QList<Command> build()
{
    QList<Command> list;
    for (const Row &r : Rows) {
        Command c;
        c.name = text(r.name);
        c.logText = text(r.logText);
        c.screen = text(r.screen);
        c.title = text(r.title);
        c.issueKind = r.issueKind;
        c.reportKind = r.reportKind;
        c.hiddenFirstInFirstOut = MenuTree::modeDependent().contains(c.name);
        if (hiddenInTree(c.name)) {
            c.rule = CommandMap::Rule::Hidden;
        } else if (c.name == MenuTree::openingBalance()) {
            c.rule = CommandMap::Rule::OpeningBalance;
        } else if (const auto sw = governingSwitch(c.name)) {
            c.rule = CommandMap::Rule::Flag;
            c.switchedBy = sw->first;
            c.flag = sw->second;
        }
        list << c;
    }
    return list;
}

} // namespace

const QList<Command> &CommandMap::commands()
{
    static const QList<Command> list = build();
    return list;
}

const QList<std::pair<QString, QString>> &CommandMap::aliases()
{
    static const QList<std::pair<QString, QString>> list = [] {
        QList<std::pair<QString, QString>> l;
        for (const auto &row : AliasRows)
            l.append({text(row[0]), text(row[1])});
        return l;
    }();
    return list;
}

QString CommandMap::resolve(const QString &name)
{
    for (const auto &[alias, target] : aliases()) {
        if (alias == name)
            return target;
    }
    return name;
}

const Command *CommandMap::find(const QString &name)
{
    static const QHash<QString, qsizetype> index = [] {
        QHash<QString, qsizetype> h;
        for (qsizetype i = 0; i < commands().size(); ++i)
            h.insert(commands()[i].name, i);
        return h;
    }();
    const auto it = index.constFind(resolve(name));
    return it == index.cend() ? nullptr : &commands()[*it];
}

bool CommandMap::permitted(const Command &command, const Permissions &permissions, bool hasClosing)
{
    switch (command.rule) {
    case Rule::Always:
    case Rule::Hidden:
        return true;
    case Rule::OpeningBalance:
        return MenuTree::openingBalanceEnabled(hasClosing);
    case Rule::Flag:
        return permissions[*command.flag];
    }
    return false;
}

} // namespace varnock
