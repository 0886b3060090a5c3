#include "shell/helppages.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must run outside any namespace.
static void initHelpResources()
{
    Q_INIT_RESOURCE(help);
}

namespace varnock {
namespace {

QUrl pageUrl(const QString &file)
{
    return QUrl(QStringLiteral("qrc:/help/") + file);
}

} // namespace

const QList<HelpPages::Page> &HelpPages::pages()
{
    static const QList<Page> list = {
        {QStringLiteral("账套选择"), QStringLiteral("chooser.html")},
        {QStringLiteral("新建账套"), QStringLiteral("newset.html")},
        {QStringLiteral("软件环境"), QStringLiteral("environment.html")},
        {QStringLiteral("登陆"), QStringLiteral("login.html")},
        {QStringLiteral("操作员设置"), QStringLiteral("operators.html")},
        {QStringLiteral("主窗口"), QStringLiteral("mainwindow.html")},
        {QStringLiteral("导航条"), QStringLiteral("navigation.html")},
        {QStringLiteral("日志浏览"), QStringLiteral("log.html")},
        {QStringLiteral("特殊符号"), QStringLiteral("specialchars.html")},
        {QStringLiteral("系统参数设置"), QStringLiteral("parameters.html")},
        {QStringLiteral("数据备份"), QStringLiteral("backup.html")},
        {QStringLiteral("材料信息设置"), QStringLiteral("catalogue.html")},
        {QStringLiteral("供应商设置"), QStringLiteral("suppliers.html")},
        {QStringLiteral("耗料单位设置"), QStringLiteral("units.html")},
        {QStringLiteral("帐务初始化"), QStringLiteral("opening.html")},
        {QStringLiteral("入库单填制"), QStringLiteral("stockin.html")},
        {QStringLiteral("退货单填制"), QStringLiteral("stockinreturn.html")},
        {QStringLiteral("领料单填制"), QStringLiteral("issue.html")},
        {QStringLiteral("领料退货"), QStringLiteral("issuereturn.html")},
        // The four posting screens share one page.
        {QStringLiteral("入库登账"), QStringLiteral("posting.html")},
        {QStringLiteral("退货单登账"), QStringLiteral("posting.html")},
        {QStringLiteral("领料出库单记帐"), QStringLiteral("posting.html")},
        {QStringLiteral("领料退货单记帐"), QStringLiteral("posting.html")},
        {QStringLiteral("月结"), QStringLiteral("monthend.html")},
        {QStringLiteral("冲帐"), QStringLiteral("reversal.html")},
        {QStringLiteral("取消记账"), QStringLiteral("cancelposting.html")},
        {QStringLiteral("打印与导出"), QStringLiteral("printing.html")},
        {QStringLiteral("直进直出"), QStringLiteral("direct.html")},
        {QStringLiteral("还租业务"), QStringLiteral("leasereturn.html")},
        {QStringLiteral("采购计划"), QStringLiteral("plan.html")},
        {QStringLiteral("按工程计划查询"), QStringLiteral("planquery.html")},
        {QStringLiteral("供应商付款"), QStringLiteral("payments.html")},
        {QStringLiteral("库存盘点"), QStringLiteral("count.html")},
        {QStringLiteral("数据处理"), QStringLiteral("adjustments.html")},
        {QStringLiteral("品名查询"), QStringLiteral("query.html")},
        {QStringLiteral("统计报表"), QStringLiteral("reports.html")},
    };
    return list;
}

QStringList HelpPages::topics()
{
    QStringList result;
    for (const Page &p : pages())
        result << p.topic;
    return result;
}

QUrl HelpPages::topicUrl(const QString &topic)
{
    for (const Page &p : pages()) {
        if (p.topic == topic)
            return pageUrl(p.file);
    }
    return contentsUrl();
}

bool HelpPages::hasTopic(const QString &topic)
{
    return topics().contains(topic);
}

QUrl HelpPages::contentsUrl()
{
    return pageUrl(QStringLiteral("index.html"));
}

QUrl HelpPages::howToUrl()
{
    return pageUrl(QStringLiteral("howto.html"));
}

void HelpPages::ensureLoaded()
{
    static const bool loaded = [] {
        initHelpResources();
        return true;
    }();
    Q_UNUSED(loaded);
}

} // namespace varnock
