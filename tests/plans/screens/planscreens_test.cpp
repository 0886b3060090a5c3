#include "plans/plans.h"
#include "plans/screens/fgccx.h"
#include "plans/screens/fjhtxd.h"
#include "plans/screens/fxjhsl.h"
#include "print/screens/reportwindow.h"
#include "store/clock.h"
#include "store/database.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"
#include "widgets/datepicker.h"
#include "widgets/editablegrid.h"
#include "widgets/indexedbuttongroup.h"
#include "widgets/recordingsink.h"
#include "widgets/uitest.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

using namespace varnock;
using test::click;
using test::dec;
using test::keepPicture;
using test::whenModal;

namespace {

class PlanScreens : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setToday(QDate(2026, 3, 10));
        set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
        set.addCategory(QStringLiteral("1001"), QStringLiteral("钢筋"), QStringLiteral("1"));
        set.addMaterial(QStringLiteral("1001001"), QStringLiteral("圆钢"), QStringLiteral("1001"));
        set.addMaterial(QStringLiteral("1001002"), QStringLiteral("螺纹钢"),
                        QStringLiteral("1001"));
    }
    void TearDown() override { Clock::setToday(std::nullopt); }

    Database &db() { return set.db(); }
    int count(const QString &sql) { return db().scalar(sql).toInt(); }
    void plan(const char *date, const char *clbh, const char *quantity)
    {
        db().exec(
            QStringLiteral("INSERT INTO CLJH (CLBH, CZRQ, SL, BZ) VALUES (?, ?, ?, '主楼')"),
            {QString::fromLatin1(clbh), QString::fromLatin1(date), dec(quantity).toVariant()});
    }

    test::TestAccountSet set;
    test::RecordingSink sink;
};

TEST_F(PlanScreens, APlanIsEnteredPerDateAndItsLinesDeleted)
{
    plan("2026-03-01", "1001002", "8");
    FJHTXD screen(db(), Formats());
    screen.show();
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证浏览"));
    EXPECT_FALSE(screen.model()->hasMaterial(0)); // nothing planned today

    click(screen.buttons(), FJHTXD::Add);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证增加"));
    auto *model = screen.model();
    ASSERT_TRUE(model->setData(model->index(0, PlanLineModel::Code), QStringLiteral("9")) == false);
    ASSERT_TRUE(model->setData(model->index(0, PlanLineModel::Code), QStringLiteral("1001001")));
    ASSERT_TRUE(model->setData(model->index(0, PlanLineModel::Quantity), QStringLiteral("12")));
    ASSERT_TRUE(model->setData(model->index(0, PlanLineModel::Remark), QStringLiteral("一期")));
    keepPicture(&screen, QStringLiteral("fjhtxd"));
    click(screen.buttons(), FJHTXD::Save);
    EXPECT_EQ(screen.stateLabel()->text(), QStringLiteral("凭证浏览"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM CLJH WHERE CZRQ = '2026-03-10'")), 1);

    // Choosing another date shows that date's plan.
    screen.dateField()->setDate(QDate(2026, 3, 1));
    QTRY_COMPARE(screen.model()->line(0).clbh, QStringLiteral("1001002"));
    screen.dateField()->setDate(QDate(2026, 3, 2));
    QTRY_VERIFY(!screen.model()->hasMaterial(0));
    screen.dateField()->setDate(QDate(2026, 3, 10));
    QTRY_COMPARE(screen.model()->line(0).clbh, QStringLiteral("1001001"));

    screen.grid()->setCurrentIndex(model->index(0, PlanLineModel::Quantity));
    click(screen.buttons(), FJHTXD::Delete);
    EXPECT_EQ(sink.questions.back().text, QStringLiteral("您确定要删除该记录吗？"));
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM CLJH WHERE CZRQ = '2026-03-10'")), 0);
}

TEST_F(PlanScreens, ThePlanQueryListsWhatItFinds)
{
    plan("2026-03-01", "1001001", "8");
    plan("2026-03-02", "1001002", "5");
    Fgccx query(db(), Formats());
    query.show();
    ASSERT_EQ(query.tree()->topLevelItemCount(), 1);
    query.tree()->setCurrentItem(query.tree()->topLevelItem(0)->child(0)->child(0)); // 钢筋
    EXPECT_EQ(query.material()->count(), 3); // blank and its two materials
    query.material()->setCurrentIndex(2);
    keepPicture(&query, QStringLiteral("fgccx"));
    whenModal<Fgccljlcx>([](Fgccljlcx *result) {
        EXPECT_EQ(result->view()->model()->rowCount(), 1);
        EXPECT_EQ(result->view()->model()->index(0, 1).data().toString(),
                  QStringLiteral("1001002"));
        keepPicture(result, QStringLiteral("fgccljlcx"));
        result->reject();
    });
    click(query.buttons(), Fgccx::Query);

    query.startDate()->setDate(QDate(2026, 3, 31));
    click(query.buttons(), Fgccx::Query);
    EXPECT_EQ(sink.lastText(), QStringLiteral("起始日期不可大以终始日期"));
}

TEST_F(PlanScreens, TheComparisonOpensByTheChosenLevel)
{
    plan("2026-03-01", "1001001", "8");
    plan("2026-03-02", "1001002", "0");
    db().exec(QStringLiteral("INSERT INTO LLD (XTBH, CZRQ, CLBH, SJSL, ZL, JZBZ) "
                             "VALUES (1, '2026-03-03', '1001001', ?, '1', 1)"),
              {dec("2").toVariant()});
    FXJHSL screen(db(), Formats());
    screen.show();
    EXPECT_EQ(screen.startDate()->date(), QDate(2026, 3, 1));
    screen.option(PlanComparison::Level::Second)->setChecked(true);
    keepPicture(&screen, QStringLiteral("fxjhsl"));
    click(screen.buttons(), PeriodForm::Ok);
    const QList<ReportWindow *> windows = screen.findChildren<ReportWindow *>();
    ASSERT_EQ(windows.size(), 1);
    const ReportTable &table = windows.first()->table();
    EXPECT_EQ(table.name(), QStringLiteral("材料数量对比表"));
    ASSERT_EQ(table.rowCount(), 2);
    EXPECT_EQ(table.displayText(0, 1, Formats()), QStringLiteral("钢筋"));
    EXPECT_EQ(table.displayText(0, 7, Formats()), QStringLiteral("25.00"));
    keepPicture(windows.first(), QStringLiteral("jhslb"));
}

} // namespace
