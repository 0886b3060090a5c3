#include "ledger/costengine.h"
#include "ledger/monthend.h"
#include "ledger/posting.h"
#include "print/screens/printing.h"
#include "print/screens/reportwindow.h"
#include "reports/screens/frmtb.h"
#include "reports/screens/fxjxcz.h"
#include "reports/screens/setsummaryscreen.h"
#include "reports/setsummaries.h"
#include "shell/accountsets.h"
#include "shell/masterdatabase.h"
#include "store/clock.h"
#include "support/ledgerseed.h"
#include "support/testaccountset.h"
#include "widgets/datepicker.h"
#include "widgets/recordingsink.h"
#include "widgets/uitest.h"

#include <QAbstractBarSeries>
#include <QBarSet>
#include <QChart>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

using namespace varnock;
using varnock::test::dec;
using varnock::test::RecordingSink;

namespace {

const QString A = QStringLiteral("1001001");
const QString B = QStringLiteral("1001002");

// Two sites of a data folder, 三号工地 and 四号工地, each owing 第一建材 under its own code;
// the folder also lists a set whose file is gone. The open set is a third one.
class SetSummaryScreens : public ::testing::Test
{
protected:
    SetSummaryScreens()
        : folder(dir.path())
        , master(MasterDatabase::ensure(folder))
    {
        Clock::setToday(QDate(2026, 3, 20));
        Printing::setup().dataFolder = folder;
        Printing::setup().exportFolder = dir.filePath(QStringLiteral("exports"));
        site(3, QStringLiteral("三号工地"), QStringLiteral("G1"), "40");
        site(4, QStringLiteral("四号工地"), QStringLiteral("S7"), "60");
        master->exec(QStringLiteral("INSERT INTO ZTXX (BH, ZTMC) VALUES (9, '丢失的账套')"));
    }
    ~SetSummaryScreens() override
    {
        Printing::setup() = Printing::Setup{};
        Clock::setToday(std::nullopt);
    }

    void site(qint64 number, const QString &name, const QString &supplier, const char *amount)
    {
        NewAccountSet r;
        r.number = number;
        r.name = name;
        r.password = QStringLiteral("p");
        r.date = QDate(2026, 1, 1);
        AccountSets(*master, folder).create(r);
        Database db(folder.accountSetDatabasePath(number));
        db.exec(QStringLiteral("INSERT INTO CLJBXXB (CLBH, SJBH, CLMC, JZDW, SFMJ) VALUES "
                               "('1', '0', '钢材', '', 0), ('1001', '1', '钢筋', '', 0), "
                               "('1001001', '1001', '螺纹钢', '吨', 1)"));
        db.exec(QStringLiteral("INSERT INTO GYS (BH, MC, ZGCP, CSQK) VALUES (?, '第一建材', "
                               "'钢材', 0)"),
                {supplier});
        test::LedgerSeed seed(db);
        seed.opening(A, dec("4"), dec("20"));
        seed.receipt(1, A, dec("1"), dec(amount));
        db.exec(QStringLiteral("UPDATE RKD SET GYSBH = ?, CZRQ = '2026-03-05', JZBZ = 1"),
                {supplier});
    }

    QList<ReportWindow *> windows() const { return parent.findChildren<ReportWindow *>(); }

    static void choose(QTreeWidget *sets, const QStringList &names)
    {
        for (int i = 0; i < sets->topLevelItemCount(); ++i)
            sets->topLevelItem(i)->setSelected(names.contains(sets->topLevelItem(i)->text(1)));
    }

    QTemporaryDir dir;
    DataFolder folder;
    std::unique_ptr<Database> master;
    test::TestAccountSet open;
    Formats formats;
    QWidget parent;
};

TEST_F(SetSummaryScreens, ArrearsAcrossSetsRefuseThenSumOneSupplier)
{
    RecordingSink sink;
    std::unique_ptr<SetSummaryScreen> screen(SetSummaryScreen::arrears(open.db(), folder, formats));
    screen->setParent(&parent);
    EXPECT_EQ(screen->objectName(), QStringLiteral("FrmZtGysqk"));
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("供应商欠款汇总表"));
    EXPECT_EQ(screen->startDate()->date(), QDate(2026, 3, 1));
    EXPECT_EQ(screen->endDate()->date(), QDate(2026, 3, 20));
    ASSERT_EQ(screen->sets()->topLevelItemCount(), 3);
    EXPECT_TRUE(screen->sets()->isColumnHidden(0));
    test::keepPicture(screen.get(), QStringLiteral("FrmZtGysqk"));

    test::click(screen->buttons(), SetSummaryScreen::Confirm);
    EXPECT_EQ(sink.lastText(), FXJXCZ::NoSetText);
    choose(screen->sets(),
           {QStringLiteral("三号工地"), QStringLiteral("四号工地"), QStringLiteral("丢失的账套")});
    screen->startDate()->setDate(QDate(2026, 3, 21));
    test::click(screen->buttons(), SetSummaryScreen::Confirm);
    EXPECT_EQ(sink.lastText(), SetSummaries::DatesText);
    EXPECT_TRUE(windows().isEmpty());

    screen->startDate()->setDate(QDate(2026, 3, 1));
    test::click(screen->buttons(), SetSummaryScreen::Confirm);
    EXPECT_TRUE(sink.lastText().contains(QStringLiteral("9 丢失的账套")));
    ASSERT_EQ(windows().size(), 1);
    const ReportTable &t = windows().first()->table();
    EXPECT_EQ(t.name(), SetSummaries::ArrearsName);
    ASSERT_EQ(t.rowCount(), 2);
    EXPECT_EQ(t.displayText(1, 0, formats), QStringLiteral("第一建材"));
    EXPECT_EQ(t.displayText(1, t.columnOf(QStringLiteral("BYQK")), formats),
              QStringLiteral("100.00"));
    test::keepPicture(windows().first(), QStringLiteral("FrmZtGysqk-report"));
}

TEST_F(SetSummaryScreens, SummaryAndCountOpenTheirReports)
{
    RecordingSink sink;
    std::unique_ptr<SetSummaryScreen> summary(
        SetSummaryScreen::summary(open.db(), folder, formats));
    summary->setParent(&parent);
    EXPECT_EQ(summary->objectName(), QStringLiteral("FrmZtjxcmx"));
    test::keepPicture(summary.get(), QStringLiteral("FrmZtjxcmx"));
    choose(summary->sets(), {QStringLiteral("四号工地")});
    test::click(summary->buttons(), SetSummaryScreen::Confirm);
    ASSERT_EQ(windows().size(), 1);
    const ReportTable &s = windows().first()->table();
    EXPECT_EQ(s.name(), SetSummaries::SummaryName);
    EXPECT_EQ(s.displayText(0, 0, formats), QStringLiteral("四号工地"));
    EXPECT_EQ(s.displayText(s.rowCount() - 1, s.columnOf(QStringLiteral("BYJE")), formats),
              QStringLiteral("80.00"));
    test::keepPicture(windows().first(), QStringLiteral("FrmZtjxcmx-report"));

    std::unique_ptr<SetSummaryScreen> count(SetSummaryScreen::count(open.db(), folder, formats));
    count->setParent(&parent);
    EXPECT_EQ(count->objectName(), QStringLiteral("FrmZtKcpd"));
    EXPECT_EQ(count->startDate(), nullptr);
    EXPECT_EQ(count->level(0)->text(), QStringLiteral("一  级  汇  总"));
    EXPECT_TRUE(count->level(2)->isChecked());
    test::keepPicture(count.get(), QStringLiteral("FrmZtKcpd"));
    count->level(0)->setChecked(true);
    choose(count->sets(), {QStringLiteral("三号工地"), QStringLiteral("四号工地")});
    test::click(count->buttons(), SetSummaryScreen::Confirm);
    ASSERT_EQ(windows().size(), 2);
    const ReportTable &c = windows().last()->table();
    EXPECT_EQ(c.name(), SetSummaries::CountName);
    // 钢材 合计 of the stock of both sets, then the total.
    ASSERT_EQ(c.rowCount(), 2);
    EXPECT_EQ(c.displayText(0, 1, formats), QStringLiteral("钢材 合计"));
    EXPECT_EQ(c.displayText(0, c.columnOf(QStringLiteral("KCJE")), formats),
              QStringLiteral("40.00"));
}

TEST_F(SetSummaryScreens, ReceiptsAcrossSetsAtTheChosenLevel)
{
    RecordingSink sink;
    std::unique_ptr<SetSummaryScreen> screen(SetSummaryScreen::movements(
        open.db(), folder, formats, false, QStringLiteral("材料入库汇总表")));
    screen->setParent(&parent);
    EXPECT_EQ(screen->objectName(), QStringLiteral("FXRKHZ"));
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("材料出入库查询报表"));
    EXPECT_EQ(screen->level(1)->text(), QStringLiteral("二  级  材  料"));
    test::keepPicture(screen.get(), QStringLiteral("FXRKHZ"));
    choose(screen->sets(), {QStringLiteral("三号工地"), QStringLiteral("四号工地")});
    screen->startDate()->setDate(QDate(2026, 3, 21));
    test::click(screen->buttons(), SetSummaryScreen::Confirm);
    EXPECT_EQ(sink.lastText(), SetSummaries::MovementsDatesText);

    screen->startDate()->setDate(QDate(2026, 3, 1));
    screen->level(1)->setChecked(true);
    test::click(screen->buttons(), SetSummaryScreen::Confirm);
    ASSERT_EQ(windows().size(), 1);
    const ReportTable &t = windows().first()->table();
    EXPECT_EQ(t.title(), QStringLiteral("材料入库汇总表"));
    EXPECT_EQ(t.displayText(0, 0, formats), QStringLiteral("三号工地"));
    EXPECT_EQ(t.displayText(0, 2, formats), QStringLiteral("钢筋"));
    EXPECT_EQ(t.displayText(t.rowCount() - 1, t.columnOf(QStringLiteral("KCJE")), formats),
              QStringLiteral("100.00"));
    test::keepPicture(windows().first(), QStringLiteral("FXRKHZ-report"));
}

TEST_F(SetSummaryScreens, TheChartsShowTheStoreAndAreKept)
{
    test::TestAccountSet &set = open;
    set.addCategory(QStringLiteral("1"), QStringLiteral("钢材"));
    set.addCategory(QStringLiteral("1001"), QStringLiteral("钢筋"), QStringLiteral("1"));
    set.addMaterial(A, QStringLiteral("螺纹钢"), QStringLiteral("1001"));
    set.addMaterial(B, QStringLiteral("圆钢"), QStringLiteral("1001"));
    set.addUnit(QStringLiteral("U1"), QStringLiteral("一工区"));
    set.addUnit(QStringLiteral("U2"), QStringLiteral("二工区"));
    test::LedgerSeed seed(set.db());
    seed.opening(A, dec("10"), dec("50"));
    seed.opening(B, dec("2"), dec("30"));
    MonthEnd(set.db(), CostEngine::MovingAverage, formats).close(QDate(2026, 2, 28));
    Posting posting(set.db(), CostEngine::MovingAverage, formats);
    seed.issue(1, A, dec("3"), dec("5"), dec("15"));
    set.db().exec(QStringLiteral("UPDATE LLD SET LLDWBH = 'U1', ZL = '1', CZRQ = '2026-03-10'"));
    posting.post(Posting::Family::Issue, QStringLiteral("1"), 1);

    FrmTb screen(set.db(), CostEngine::MovingAverage, formats, &parent);
    screen.resize(1100, 720);
    EXPECT_EQ(screen.startDate()->date(), QDate(2026, 3, 1));
    const StorePicture::Figures &f = screen.figures();
    ASSERT_EQ(f.closings.size(), 1);
    EXPECT_EQ(f.closings.first().value, dec("80"));
    ASSERT_EQ(f.consumption.size(), 1);
    EXPECT_EQ(f.consumption.first().label, QStringLiteral("一工区"));
    EXPECT_EQ(f.consumption.first().value, dec("15"));
    ASSERT_EQ(f.topMaterials.size(), 2);
    EXPECT_EQ(f.topMaterials.first().label, QStringLiteral("螺纹钢"));
    EXPECT_EQ(screen.closingsChart()->series().size(), 1);
    ASSERT_EQ(screen.materialsChart()->series().size(), 1);
    const auto *bars =
        qobject_cast<QAbstractBarSeries *>(screen.materialsChart()->series().first());
    ASSERT_NE(bars, nullptr);
    EXPECT_EQ(bars->barSets().first()->count(), 2);

    // The picture is drawn: more than one colour, and it is kept as PNG and PDF.
    const QImage picture = screen.image();
    ASSERT_FALSE(picture.isNull());
    const QRgb corner = picture.pixel(0, 0);
    bool drawn = false;
    for (int y = 0; y < picture.height() && !drawn; y += 7) {
        for (int x = 0; x < picture.width() && !drawn; x += 7)
            drawn = picture.pixel(x, y) != corner;
    }
    EXPECT_TRUE(drawn);
    const QString png = dir.filePath(QStringLiteral("图表.png"));
    const QString pdf = dir.filePath(QStringLiteral("图表.pdf"));
    screen.writePng(png);
    screen.writePdf(pdf);
    EXPECT_FALSE(QImage(png).isNull());
    QFile written(pdf);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.read(5).startsWith("%PDF"));
    test::keepPicture(&screen, QStringLiteral("FrmTb"));

    // A period backwards is refused and leaves the charts as they were.
    RecordingSink sink;
    screen.startDate()->setDate(QDate(2026, 3, 25));
    EXPECT_FALSE(screen.refresh());
    EXPECT_EQ(sink.lastText(), SetSummaries::DatesText);
    EXPECT_EQ(screen.consumptionChart()->series().size(), 1);
}

} // namespace
