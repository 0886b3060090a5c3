#include "shell/helppages.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

using namespace varnock;

namespace {

QString read(const QUrl &url)
{
    QFile f(QLatin1Char(':') + url.path());
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

} // namespace

TEST(HelpPages, EveryTopicTheScreensNameHasItsOwnPage)
{
    HelpPages::ensureLoaded();
    // The F1 topics the screens pass.
    const QStringList named{QStringLiteral("登陆"),           QStringLiteral("操作员设置"),
                            QStringLiteral("系统参数设置"),   QStringLiteral("日志浏览"),
                            QStringLiteral("特殊符号"),       QStringLiteral("软件环境"),
                            QStringLiteral("数据备份"),       QStringLiteral("直进直出"),
                            QStringLiteral("还租业务"),       QStringLiteral("采购计划"),
                            QStringLiteral("按工程计划查询"), QStringLiteral("供应商付款"),
                            QStringLiteral("统计报表"),       QStringLiteral("品名查询"),
                            QStringLiteral("账套选择"),       QStringLiteral("新建账套"),
                            QStringLiteral("主窗口"),         QStringLiteral("导航条"),
                            QStringLiteral("材料信息设置"),   QStringLiteral("供应商设置"),
                            QStringLiteral("耗料单位设置"),   QStringLiteral("帐务初始化"),
                            QStringLiteral("入库单填制"),     QStringLiteral("退货单填制"),
                            QStringLiteral("领料单填制"),     QStringLiteral("领料退货"),
                            QStringLiteral("入库登账"),       QStringLiteral("月结"),
                            QStringLiteral("冲帐"),           QStringLiteral("取消记账"),
                            QStringLiteral("打印与导出")};
    QSet<QString> files;
    for (const QString &topic : named) {
        SCOPED_TRACE(topic.toStdString());
        ASSERT_TRUE(HelpPages::hasTopic(topic));
        const QUrl url = HelpPages::topicUrl(topic);
        EXPECT_NE(url, HelpPages::contentsUrl());
        const QString html = read(url);
        ASSERT_FALSE(html.isEmpty()) << url.toString().toStdString();
        files.insert(url.toString());
    }
    EXPECT_EQ(files.size(), named.size()) << "two topics share a page";
    EXPECT_EQ(HelpPages::topicUrl(QStringLiteral("没有这个主题")), HelpPages::contentsUrl());
}

TEST(HelpPages, EveryLinkOfEveryPageLeadsToAShippedPage)
{
    HelpPages::ensureLoaded();
    QList<QUrl> pages{HelpPages::contentsUrl(), HelpPages::howToUrl()};
    for (const HelpPages::Page &p : HelpPages::pages())
        pages << HelpPages::topicUrl(p.topic);
    const QRegularExpression href(QStringLiteral("href=\"([^\"]+)\""));
    QSet<QString> linkedFromContents;
    for (const QUrl &page : pages) {
        const QString html = read(page);
        ASSERT_FALSE(html.isEmpty()) << page.toString().toStdString();
        for (auto it = href.globalMatch(html); it.hasNext();) {
            const QUrl target = page.resolved(QUrl(it.next().captured(1)));
            EXPECT_FALSE(read(target).isEmpty())
                << page.toString().toStdString() << " -> " << target.toString().toStdString();
            if (page == HelpPages::contentsUrl())
                linkedFromContents.insert(target.toString());
        }
    }
    // The contents reach every topic page.
    for (const HelpPages::Page &p : HelpPages::pages())
        EXPECT_TRUE(linkedFromContents.contains(HelpPages::topicUrl(p.topic).toString()))
            << p.topic.toStdString();
}
